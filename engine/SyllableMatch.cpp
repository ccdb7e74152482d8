// Pinyin syllable matching: the typed letters must spell a leading run of syllables,
// each earlier syllable typed whole or as its first letter, the last one as any prefix.
#include <algorithm>
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

uint32_t Dict::TypedLetters(std::string_view typed) {
    uint32_t mask = 0;
    for (const char c : typed) {
        if (c < 'a' || c > 'z') return 0;  // nothing to rule out by
        mask |= uint32_t{1} << (c - 'a');
    }
    return mask;
}

uint32_t Dict::PinyinLetters(std::string_view pinyin, int syllableCount) {
    // Every letter the match could read lies in the first syllableCount syllables, and
    // in none past one longer than the longest real syllable; so within this many bytes.
    const size_t bound = static_cast<size_t>(std::max(syllableCount, 0)) * (kMaxSyllable + 2);
    const size_t stop = std::min(pinyin.size(), bound);
    uint32_t mask = 0;
    int separators = 0;
    for (size_t i = 0; i < stop; ++i) {
        const char c = pinyin[i];
        if (c == '\0') break;
        if (c == '\'') {
            if (++separators >= syllableCount) break;
            continue;
        }
        if (c >= 'a' && c <= 'z') mask |= uint32_t{1} << (c - 'a');
    }
    if (mask & (uint32_t{1} << ('v' - 'a'))) mask |= uint32_t{1} << ('u' - 'a');  // u is typed for v
    return mask;
}

bool Dict::SylMatch(std::string_view pinyin, int syllableCount, const char* input, int inputLen) {
    if (syllableCount < 1 || inputLen < 1 || input == nullptr) return false;
    const size_t m = static_cast<size_t>(inputLen);

    // Most matches spell their syllables whole up to a prefix of the last one typed:
    // the typed letters begin the joined syllables. Anything else goes to the full match.
    {
        size_t typed = 0, letters = 0;
        size_t earlier = 0;  // non-empty syllables before the one being read
        int syllable = 0;
        size_t i = 0;
        for (; i < pinyin.size() && typed < m; ++i) {
            const char ch = pinyin[i];
            if (ch == '\0') break;
            if (ch == '\'') {
                if (++syllable >= syllableCount) break;
                if (letters != 0) ++earlier;
                letters = 0;
                continue;
            }
            if (++letters > kMaxSyllable || !LetterMatch(input[typed], ch)) break;
            ++typed;
        }
        if (typed == m) {
            // The full match reads a syllable as far as the letters left from its earliest
            // start, and gives up on one longer than any real syllable. Each earlier
            // syllable took a letter at least, so with fewer letters left than that it
            // cannot give up; else the syllable must be seen to end, one letter on.
            if (m - earlier < kMaxSyllable || i >= pinyin.size() || pinyin[i] == '\'' || pinyin[i] == '\0')
                return true;
        }
    }

    // reach: positions p where input[0, p) spells the syllables before the current one.
    // Tracking the set of reachable positions instead of backtracking keeps the work
    // polynomial. Positions run from 0 to m.
    Positions reach(m + 1), next(m + 1);
    reach.Add(0);
    size_t least = 0;  // smallest position in reach

    size_t pos = 0;
    bool ended = false;  // a NUL or the end of the view ends the pinyin: later syllables are empty
    for (int i = 0; i < syllableCount; ++i) {
        // Every non-empty piece takes a letter; with none left nothing more can match.
        if (least >= m) return false;
        // A damaged pool may have lost its separators, so a syllable is read only as far
        // as the letters still to match need, plus one to see where it ends.
        std::string_view syl;
        bool longer = false;  // the syllable goes on past what was read
        if (!ended) {
            const size_t window = std::min(m - least, kMaxSyllable) + 1;
            const size_t stop = std::min(pinyin.size(), pos + window);
            size_t end = pos;
            while (end < stop && pinyin[end] != '\'' && pinyin[end] != '\0') ++end;
            longer = end == stop && end < pinyin.size();
            syl = pinyin.substr(pos, end - pos);
            if (longer && syl.size() > kMaxSyllable) return false;  // no real syllable is that long
            if (!longer) {
                if (end >= pinyin.size() || pinyin[end] == '\0')
                    ended = true;
                else
                    pos = end + 1;
            }
        }

        // This syllable as the last piece: the rest of the input is a non-empty prefix of it.
        if (!syl.empty() && reach.ForEach([&](size_t p) {
                const size_t rest = m - p;
                return p < m && rest <= syl.size() && SpellsPrefix(input + p, syl, rest);
            }))
            return true;
        if (i == syllableCount - 1) break;

        // This syllable as an earlier piece: whole, its first letter, or passed over when empty.
        // One that goes on past the letters left can only be typed as its first letter.
        next.Clear();
        next.ResetAny();
        least = m + 1;
        reach.ForEach([&](size_t p) {
            auto add = [&](size_t q) {
                next.Add(q);
                if (q < least) least = q;
            };
            if (syl.empty()) {
                add(p);
            } else {
                if (!longer && p + syl.size() <= m && SpellsPrefix(input + p, syl, syl.size())) add(p + syl.size());
                if (p < m && LetterMatch(input[p], syl[0])) add(p + 1);
            }
            return false;
        });
        if (!next.Any()) return false;
        std::swap(reach, next);

        if (longer) {
            // Step over the rest of the syllable to the next one, within the longest real syllable.
            const size_t stop = std::min(pinyin.size(), pos + kMaxSyllable + 1);
            size_t end = pos + syl.size();
            while (end < stop && pinyin[end] != '\'' && pinyin[end] != '\0') ++end;
            if (end == stop && end < pinyin.size()) return false;
            if (end >= pinyin.size() || pinyin[end] == '\0')
                ended = true;
            else
                pos = end + 1;
        }
    }
    return false;
}

}  // namespace zl
