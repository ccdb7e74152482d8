// The two dictionary searches: Wubi code prefix (with the 'z' wildcard) and pinyin.
#include <algorithm>
#include <limits>

#include "Dict.h"

namespace zl {

namespace {

constexpr uint64_t kNoMaxCap = 400;

uint64_t CapOf(uint64_t max, uint64_t factor, uint64_t extra) {
    if (max == 0) return kNoMaxCap;
    const uint64_t limit = std::numeric_limits<uint64_t>::max();
    if (max > (limit - extra) / factor) return limit;
    return factor * max + extra;
}

enum class Side { Before, NotBefore, Absent };

// First position in [lo, hi) that is not before the searched key. An absent (damaged)
// entry takes the side of the next entry that is present, so one bad id cannot hide
// the entries around it.
template <typename SideOf>
uint64_t PartitionPoint(uint64_t lo, uint64_t hi, SideOf sideOf) {
    while (lo < hi) {
        const uint64_t mid = lo + (hi - lo) / 2;
        uint64_t probe = mid;
        Side side;
        while ((side = sideOf(probe)) == Side::Absent && ++probe < hi) {
        }
        if (side == Side::Before)
            lo = probe + 1;
        else
            hi = mid;
    }
    return lo;
}

}  // namespace

uint64_t Dict::WubiCap(uint64_t max) { return CapOf(max, 4, 16); }

uint64_t Dict::PinyinCap(uint64_t max) { return CapOf(max, 6, 24); }

bool Dict::WildMatch(std::string_view code, std::string_view pattern) {
    if (code.size() < pattern.size()) return false;
    for (size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != 'z' && pattern[i] != code[i]) return false;
    return true;
}

bool Dict::CodeOf(uint32_t id, std::string_view& code) const {
    DictEntry e;
    if (!GetEntry(id, e)) return false;
    code = Code(e);
    return true;
}

bool Dict::CodeAt(uint64_t pos, std::string_view& code, char (&letters)[PackedCode::kLetters]) const {
    if (packedReady_.load(std::memory_order_acquire)) {
        if (pos < packedBase_) {
            code = {};
            return true;
        }
        code = PackedCode::Unpack(packed_[pos - packedBase_], letters);
        return true;
    }
    return CodeOf(CodeIndexId(pos), code);
}

uint64_t Dict::PackedLowerBound(uint64_t lo, uint64_t hi, uint32_t word) const {
    // Positions before the packed ones have no code, below every word searched for.
    lo = std::max(lo, packedBase_);
    if (lo >= hi) return hi;
    const uint32_t key = word >> PackedCode::kTwoLetterShift;
    auto clamp = [&](uint64_t pos) { return std::min(std::max(pos, lo), hi); };
    const uint64_t from = clamp(twoLetterStarts_[key]);
    if ((word & ((uint32_t{1} << PackedCode::kTwoLetterShift) - 1)) == 0) return from;
    const uint64_t to = clamp(twoLetterStarts_[key + 1]);
    const uint32_t* words = packed_.data() - packedBase_;
    return static_cast<uint64_t>(std::lower_bound(words + from, words + to, word) - words);
}

uint64_t Dict::LowerBoundCode(std::string_view code) const {
    uint32_t word = 0;
    if (packedReady_.load(std::memory_order_acquire) && PackedCode::Pack(code, word))
        return PackedLowerBound(0, entryCount_, word);
    return PartitionPoint(0, entryCount_, [&](uint64_t pos) {
        std::string_view c;
        char letters[PackedCode::kLetters];
        if (!CodeAt(pos, c, letters)) return Side::Absent;
        return c.compare(code) < 0 ? Side::Before : Side::NotBefore;
    });
}

void Dict::SearchWubi(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const {
    out.clear();
    if (!valid_ || code.empty() || entryCount_ == 0) return;
    const uint64_t cap = WubiCap(max);
    const uint64_t start = LowerBoundCode(code);

    if (code.find('z') != std::string::npos) {
        WildcardSearch(code, start, cap, out);
        return;
    }
    for (uint64_t pos = start; pos < entryCount_ && out.size() < cap; ++pos) {
        std::string_view c;
        char letters[PackedCode::kLetters];
        if (!CodeAt(pos, c, letters) || c.size() < code.size()) continue;
        if (c.compare(0, code.size(), code) != 0) break;
        out.push_back(CodeIndexId(pos));
    }
}

void Dict::WildcardSearch(const std::string& code, uint64_t start, uint64_t cap,
                          std::vector<uint32_t>& out) const {
    // Literal matches first, with 'z' taken as itself.
    for (uint64_t pos = start; pos < entryCount_ && out.size() < cap; ++pos) {
        std::string_view c;
        char letters[PackedCode::kLetters];
        if (!CodeAt(pos, c, letters)) continue;
        if (c != code) break;
        out.push_back(CodeIndexId(pos));
    }

    // Then every longer or equally long code that matches with 'z' as any letter. The index
    // is sorted, so the matches are found by narrowing it letter by letter instead of
    // scanning it whole; they come out in index order all the same.
    WildcardWalk(code, 0, 0, entryCount_, cap, out);
}

uint64_t Dict::PartitionAt(uint64_t lo, uint64_t hi, size_t depth, int letter) const {
    // Before: codes that end before depth (letter 0), or whose letter at depth is < letter.
    if (packedReady_.load(std::memory_order_acquire) && (letter == 0 || (letter >= 'a' && letter <= 'z' + 1))) {
        // No packed code goes on past four letters.
        if (depth >= PackedCode::kLetters) return hi;
        const uint64_t first = std::max(lo, packedBase_);
        if (first >= hi) return hi;
        // The positions share their letters before depth: the search is for the first
        // word, among them, with a letter at depth not below this one.
        const uint32_t rank = letter == 0 ? 1 : static_cast<uint32_t>(letter - 'a' + 1);
        const uint32_t prefix = PackedCode::PrefixOf(packed_[first - packedBase_], depth);
        return PackedLowerBound(lo, hi, prefix | (rank << PackedCode::ShiftOf(depth)));
    }
    return PartitionPoint(lo, hi, [&](uint64_t pos) {
        std::string_view c;
        char letters[PackedCode::kLetters];
        if (!CodeAt(pos, c, letters)) return Side::Absent;
        if (c.size() <= depth) return Side::Before;
        return static_cast<unsigned char>(c[depth]) < letter ? Side::Before : Side::NotBefore;
    });
}

void Dict::WildcardWalk(const std::string& code, size_t depth, uint64_t lo, uint64_t hi, uint64_t cap,
                        std::vector<uint32_t>& out) const {
    if (depth == code.size()) {
        for (uint64_t pos = lo; pos < hi && out.size() < cap; ++pos) {
            std::string_view c;
            char letters[PackedCode::kLetters];
            if (!CodeAt(pos, c, letters) || c == code) continue;  // literal matches are already taken
            if (WildMatch(c, code)) out.push_back(CodeIndexId(pos));
        }
        return;
    }
    // [lo, hi) holds the codes that match code[0, depth); the shorter ones come first.
    lo = PartitionAt(lo, hi, depth, 0);
    const unsigned char want = static_cast<unsigned char>(code[depth]);
    if (want != 'z') {
        const uint64_t first = PartitionAt(lo, hi, depth, want);
        WildcardWalk(code, depth + 1, first, PartitionAt(first, hi, depth, want + 1), cap, out);
        return;
    }
    while (lo < hi && out.size() < cap) {
        std::string_view c;
        char letters[PackedCode::kLetters];
        if (!CodeAt(lo, c, letters) || c.size() <= depth) {
            ++lo;
            continue;
        }
        const uint64_t next = PartitionAt(lo, hi, depth, static_cast<unsigned char>(c[depth]) + 1);
        WildcardWalk(code, depth + 1, lo, next, cap, out);
        lo = next > lo ? next : lo + 1;
    }
}

bool Dict::HasPinyin(const DictEntry& e) const {
    if (e.syllableCount == 0) return false;
    const char c = Pinyin(e)[0];
    // One empty syllable is an empty pinyin.
    return !(e.syllableCount == 1 && (c == '\0' || c == '\''));
}

uint64_t Dict::PinyinGroupStart(signed char first) const {
    return PartitionPoint(0, pinyinIndexCount_, [&](uint64_t pos) {
        DictEntry e;
        if (!GetEntry(PinyinIndexId(pos), e)) return Side::Absent;
        if (!HasPinyin(e) || static_cast<signed char>(Pinyin(e)[0]) < first) return Side::Before;
        return Side::NotBefore;
    });
}

void Dict::SearchPinyin(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const {
    out.clear();
    if (!valid_ || code.empty() || pinyinIndexCount_ == 0) return;
    // One letter is matched by every entry of its group, so the plain walk ends at the cap.
    const PinyinJumps* jumps = JumpsFor(code);
    if (jumps && SearchPinyinJump(*jumps, code, PinyinCap(max), out)) return;
    SearchPinyinPlain(code, out, max);
}

const Dict::PinyinJumps* Dict::JumpsFor(const std::string& code) const {
    if (!valid_ || pinyinIndexCount_ == 0 || code.size() < 2) return nullptr;
    const PinyinJumps& jumps = code.size() >= 3 && jump3_.Usable() ? jump3_ : jump2_;
    return jumps.Usable() ? &jumps : nullptr;
}

bool Dict::JumpList(const PinyinJumps& jumps, const std::string& code, uint64_t& begin, uint64_t& end) const {
    uint64_t key = 0;
    for (size_t i = 0; i < jumps.letters; ++i) {
        if (code[i] < 'a' || code[i] > 'z') return false;
        key = key * 26 + static_cast<uint64_t>(code[i] - 'a');
    }
    begin = U32At(jumps.offsets, 4 * key);
    end = U32At(jumps.offsets, 4 * (key + 1));
    return begin <= end && end <= jumps.positionCount;
}

uint64_t Dict::PinyinSearchLength(const std::string& code) const {
    const PinyinJumps* jumps = JumpsFor(code);
    uint64_t begin = 0, end = 0;
    if (!jumps || !JumpList(*jumps, code, begin, end)) return UINT64_MAX;
    return end - begin;
}

bool Dict::SearchPinyinJump(const PinyinJumps& jumps, const std::string& code, uint64_t cap,
                            std::vector<uint32_t>& out) const {
    uint64_t begin = 0, end = 0;
    if (!JumpList(jumps, code, begin, end)) return false;
    const int inputLen = static_cast<int>(std::min<size_t>(code.size(), std::numeric_limits<int>::max()));
    const uint32_t letters = TypedLetters(code);
    // Listed positions lie in the group, ascending; the plain scan visits the same
    // entries in the same order and skips the others, which cannot match.
    uint64_t from = PinyinGroupStart(static_cast<signed char>(code[0]));
    // Each listed entry is reached through the index, its entry and its pinyin: each is
    // asked for ahead, the later ones once the earlier are in.
    const auto ahead = [&](uint64_t i, uint64_t distance, auto fetch) {
        if (i + distance >= end) return;
        const uint64_t pos = U32At(jumps.positions, 4 * (i + distance));
        if (pos < pinyinIndexCount_) fetch(pos);
    };
    for (uint64_t i = begin; i < end && out.size() < cap; ++i) {
        ahead(i, 16, [&](uint64_t pos) { __builtin_prefetch(pinyinIndex_ + pos * 4); });
        ahead(i, 8, [&](uint64_t pos) { PrefetchEntry(PinyinIndexId(pos)); });
        ahead(i, 4, [&](uint64_t pos) { PrefetchPinyin(PinyinIndexId(pos)); });
        const uint64_t pos = U32At(jumps.positions, 4 * i);
        if (pos < from || pos >= pinyinIndexCount_) {
            out.clear();
            return false;
        }
        from = pos + 1;
        const uint32_t id = PinyinIndexId(pos);
        DictEntry e;
        if (!GetEntry(id, e)) continue;  // absent: never read
        if (!HasPinyin(e) || Pinyin(e)[0] != code[0]) {
            out.clear();
            return false;
        }
        if (PinyinMatch(e, code, letters, inputLen)) out.push_back(id);
    }
    return true;
}

void Dict::FilterPinyin(const std::string& code, const std::vector<uint32_t>& from, std::vector<uint32_t>& out,
                        uint64_t cap) const {
    out.clear();
    if (!valid_ || code.empty()) return;
    const int inputLen = static_cast<int>(std::min<size_t>(code.size(), std::numeric_limits<int>::max()));
    const uint32_t letters = TypedLetters(code);
    const size_t n = from.size();
    for (size_t i = 0; i < n; ++i) {
        if (out.size() >= cap) break;
        if (i + 16 < n) PrefetchEntry(from[i + 16]);
        if (i + 8 < n) PrefetchPinyin(from[i + 8]);
        const uint32_t id = from[i];
        DictEntry e;
        if (GetEntry(id, e) && HasPinyin(e) && PinyinMatch(e, code, letters, inputLen))
            out.push_back(id);
    }
}

void Dict::SearchPinyinPlain(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const {
    out.clear();
    if (!valid_ || code.empty() || pinyinIndexCount_ == 0) return;
    const uint64_t cap = PinyinCap(max);
    const uint64_t start = PinyinGroupStart(static_cast<signed char>(code[0]));

    const int inputLen = static_cast<int>(std::min<size_t>(code.size(), std::numeric_limits<int>::max()));
    const uint32_t letters = TypedLetters(code);
    for (uint64_t pos = start; pos < pinyinIndexCount_ && out.size() < cap; ++pos) {
        if (pos + 16 < pinyinIndexCount_) PrefetchEntry(PinyinIndexId(pos + 16));
        if (pos + 8 < pinyinIndexCount_) PrefetchPinyin(PinyinIndexId(pos + 8));
        const uint32_t id = PinyinIndexId(pos);
        DictEntry e;
        if (!GetEntry(id, e)) continue;  // absent: never read
        if (!HasPinyin(e) || Pinyin(e)[0] != code[0]) break;
        if (PinyinMatch(e, code, letters, inputLen)) out.push_back(id);
    }
}

}  // namespace zl
