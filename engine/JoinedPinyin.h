// An entry's pinyin as typed: its syllables joined without apostrophes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "Dict.h"

namespace zl {

// Calls f with each letter of the entry's syllables joined without apostrophes, up to
// its syllable count or a NUL. False when a syllable is longer than any real one: the
// pool is damaged there, and reading on could take the rest of the pool.
template <typename F>
bool ForEachJoinedLetter(std::string_view pinyin, int syllableCount, F f) {
    int syllable = 0;
    size_t letters = 0;
    for (char ch : pinyin) {
        if (ch == '\0') break;
        if (ch == '\'') {
            if (++syllable >= syllableCount) break;
            letters = 0;
            continue;
        }
        if (++letters > Dict::kMaxSyllable) return false;
        f(ch);
    }
    return true;
}

// The joined letters; empty when ForEachJoinedLetter finds the pool damaged.
void JoinPinyin(std::string_view pinyin, int syllableCount, std::string& out);

}  // namespace zl
