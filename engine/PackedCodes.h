// Wubi codes of up to four letters packed into a word, five bits a letter from the top,
// so that words compare as the codes do. The wildcard walk binary-searches the code
// index over and over; a probe of a packed copy reads one word of a small array where
// the mapping takes an id, an entry and a pool byte, each a cache miss of its own.
#pragma once

#include <cstdint>
#include <string_view>

namespace zl {

struct PackedCode {
    static constexpr size_t kLetters = 4;
    // Words share their first two letters' bits above this many.
    static constexpr unsigned kTwoLetterShift = 10;
    // Bits that hold the letter at depth (0 to 3).
    static constexpr unsigned ShiftOf(size_t depth) { return static_cast<unsigned>(5 * (kLetters - 1 - depth)); }
    // The word's letters before depth, the rest cleared.
    static uint32_t PrefixOf(uint32_t word, size_t depth) { return word & ~((uint32_t{1} << (ShiftOf(depth) + 5)) - 1); }

    // False for a code that does not fit: longer than four letters, or not all a-z.
    static bool Pack(std::string_view code, uint32_t& word) {
        if (code.size() > kLetters) return false;
        word = 0;
        for (size_t i = 0; i < kLetters; ++i) {
            uint32_t letter = 0;
            if (i < code.size()) {
                if (code[i] < 'a' || code[i] > 'z') return false;
                letter = static_cast<uint32_t>(code[i] - 'a' + 1);
            }
            word = (word << 5) | letter;
        }
        return true;
    }

    static std::string_view Unpack(uint32_t word, char (&letters)[kLetters]) {
        size_t n = 0;
        for (size_t i = 0; i < kLetters; ++i) {
            const uint32_t letter = (word >> ShiftOf(i)) & 31;
            if (letter == 0) break;
            letters[n++] = static_cast<char>('a' + letter - 1);
        }
        return std::string_view(letters, n);
    }
};

}  // namespace zl
