// Pinyin syllable matching: the typed letters must spell a leading run of syllables,
// each earlier syllable typed whole or as its first letter, the last one as any prefix.
#include <cstring>
#include <vector>

#include "Dict.h"

namespace zl {

namespace {

// The user types u for ü, stored as v.
inline bool LetterMatch(char typed, char stored) { return typed == stored || (typed == 'u' && stored == 'v'); }

bool SpellsPrefix(const char* input, std::string_view syl, size_t len) {
    for (size_t i = 0; i < len; ++i)
        if (!LetterMatch(input[i], syl[i])) return false;
    return true;
}

}  // namespace

bool Dict::SylMatch(std::string_view pinyin, int syllableCount, const char* input, int inputLen) {
    if (syllableCount < 1 || inputLen < 1 || input == nullptr) return false;
    const size_t m = static_cast<size_t>(inputLen);

    // reach[p]: input[0, p) spells the syllables before the current one. Tracking the set
    // of reachable positions instead of backtracking keeps the work polynomial.
    constexpr size_t kLocal = 64;
    char local[2 * (kLocal + 1)];
    std::vector<char> heap;
    char* reach = local;
    if (m > kLocal) {
        heap.resize(2 * (m + 1));
        reach = heap.data();
    }
    char* next = reach + m + 1;
    std::memset(reach, 0, m + 1);
    reach[0] = 1;

    size_t pos = 0;
    bool ended = false;  // a NUL or the end of the view ends the pinyin: later syllables are empty
    for (int i = 0; i < syllableCount; ++i) {
        std::string_view syl;
        if (!ended) {
            size_t end = pos;
            while (end < pinyin.size() && pinyin[end] != '\'' && pinyin[end] != '\0') ++end;
            syl = pinyin.substr(pos, end - pos);
            if (end >= pinyin.size() || pinyin[end] == '\0')
                ended = true;
            else
                pos = end + 1;
        }

        // This syllable as the last piece: the rest of the input is a non-empty prefix of it.
        if (!syl.empty()) {
            for (size_t p = 0; p < m; ++p) {
                const size_t rest = m - p;
                if (reach[p] && rest <= syl.size() && SpellsPrefix(input + p, syl, rest)) return true;
            }
        }
        if (i == syllableCount - 1) break;

        // This syllable as an earlier piece: whole, its first letter, or passed over when empty.
        std::memset(next, 0, m + 1);
        bool any = false;
        for (size_t p = 0; p <= m; ++p) {
            if (!reach[p]) continue;
            if (syl.empty()) {
                next[p] = any = 1;
                continue;
            }
            if (p + syl.size() <= m && SpellsPrefix(input + p, syl, syl.size())) next[p + syl.size()] = any = 1;
            if (p < m && LetterMatch(input[p], syl[0])) next[p + 1] = any = 1;
        }
        if (!any) return false;
        std::swap(reach, next);
    }
    return false;
}

}  // namespace zl
