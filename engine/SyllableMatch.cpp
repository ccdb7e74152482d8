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

// Input positions reached so far. Typed codes are short, so a bit mask does; longer
// input falls back to a byte per position.
class Positions {
public:
    explicit Positions(size_t size) : size_(size) {
        if (size_ > 64) bytes_.assign(size_, 0);
    }
    void Clear() {
        mask_ = 0;
        if (!bytes_.empty()) std::memset(bytes_.data(), 0, bytes_.size());
    }
    void Add(size_t p) {
        any_ = true;
        if (bytes_.empty())
            mask_ |= uint64_t{1} << p;
        else
            bytes_[p] = 1;
    }
    bool Any() const { return bytes_.empty() ? mask_ != 0 : any_; }
    void ResetAny() { any_ = false; }
    template <typename F>
    bool ForEach(F f) const {  // stops when f returns true
        if (bytes_.empty()) {
            for (uint64_t m = mask_; m; m &= m - 1)
                if (f(static_cast<size_t>(__builtin_ctzll(m)))) return true;
            return false;
        }
        for (size_t p = 0; p < size_; ++p)
            if (bytes_[p] && f(p)) return true;
        return false;
    }

private:
    size_t size_;
    uint64_t mask_ = 0;
    std::vector<char> bytes_;
    bool any_ = false;
};

}  // namespace

bool Dict::SylMatch(std::string_view pinyin, int syllableCount, const char* input, int inputLen) {
    if (syllableCount < 1 || inputLen < 1 || input == nullptr) return false;
    const size_t m = static_cast<size_t>(inputLen);

    // reach: positions p where input[0, p) spells the syllables before the current one.
    // Tracking the set of reachable positions instead of backtracking keeps the work
    // polynomial. Positions run from 0 to m.
    Positions reach(m + 1), next(m + 1);
    reach.Add(0);

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
        if (!syl.empty() && reach.ForEach([&](size_t p) {
                const size_t rest = m - p;
                return p < m && rest <= syl.size() && SpellsPrefix(input + p, syl, rest);
            }))
            return true;
        if (i == syllableCount - 1) break;

        // This syllable as an earlier piece: whole, its first letter, or passed over when empty.
        next.Clear();
        next.ResetAny();
        reach.ForEach([&](size_t p) {
            if (syl.empty()) {
                next.Add(p);
            } else {
                if (p + syl.size() <= m && SpellsPrefix(input + p, syl, syl.size())) next.Add(p + syl.size());
                if (p < m && LetterMatch(input[p], syl[0])) next.Add(p + 1);
            }
            return false;
        });
        if (!next.Any()) return false;
        std::swap(reach, next);
    }
    return false;
}

}  // namespace zl
