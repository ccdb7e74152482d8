// Read-only Wubi and pinyin dictionary, searched in place in a file mapping.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "DictFormat.h"
#include "PackedCodes.h"
#include "UniqueHandle.h"
#include "Warmup.h"

namespace zl {

class Dict {
public:
    Dict() = default;
    Dict(const Dict&) = delete;
    Dict& operator=(const Dict&) = delete;

    // Maps the file and checks its header and regions. True when searchable.
    bool Load(const std::wstring& path);

    // Ids whose Wubi code starts with code; 'z' is a wildcard letter.
    void SearchWubi(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const;
    // Ids whose pinyin syllables are spelled by code (whole syllables or initials).
    void SearchPinyin(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const;
    // Appends to out (cleared first) the ids of from, in order, that code matches, until
    // out holds cap ids. With from all the matches of a code that code begins with, this
    // is SearchPinyin for code: a longer code only matches entries the shorter one does.
    void FilterPinyin(const std::string& code, const std::vector<uint32_t>& from, std::vector<uint32_t>& out,
                      uint64_t cap) const;
    // SearchPinyin without the jump tables: the whole first-letter group in index order.
    void SearchPinyinPlain(const std::string& code, std::vector<uint32_t>& out, uint64_t max) const;
    // How many entries SearchPinyin of code checks at most through a jump table, or
    // UINT64_MAX when it would scan the first-letter group instead.
    uint64_t PinyinSearchLength(const std::string& code) const;
    // True when the file holds usable jump tables for pinyin searches.
    bool HasPinyinJumps() const { return jump2_.Usable() || jump3_.Usable(); }

    // Letters in the longest pinyin syllable (zhuang); a longer one marks a damaged pool.
    static constexpr size_t kMaxSyllable = 6;

    // True when input spells a leading run of the syllables in pinyin. pinyin is
    // bounded by its view: a syllable ends at an apostrophe, a NUL or the view's end.
    // A syllable longer than kMaxSyllable that must be read whole fails the match.
    static bool SylMatch(std::string_view pinyin, int syllableCount, const char* input, int inputLen);
    // The letters of typed as bits ('a' the lowest), or 0 when it holds anything else.
    static uint32_t TypedLetters(std::string_view typed);
    // The letters SylMatch could match in pinyin, as bits, a stored v also counting as u.
    // Typed letters outside them rule a match out without running the matcher.
    static uint32_t PinyinLetters(std::string_view pinyin, int syllableCount);
    // True when code is at least as long as pattern and matches it, 'z' matching any letter.
    static bool WildMatch(std::string_view code, std::string_view pattern);

    static uint64_t WubiCap(uint64_t max);
    static uint64_t PinyinCap(uint64_t max);

    bool Valid() const { return valid_; }
    // Starts bringing the mapping's pages and its texts' GBK answers in on a thread of
    // its own, so that the first keys do not pay for them, then runs then there (it may
    // read the dictionary); the next Load, WarmUp or the destructor stops it.
    void WarmUp(Warmup::Then then = {});
    // True once the warm-up has packed the Wubi codes for the searches (see PackedCodes.h).
    bool CodesPacked() const { return packedReady_.load(std::memory_order_acquire); }
    // True once the last WarmUp's work is done (or none is under way).
    bool WarmedUp() const { return warmup_.Done(); }
    uint64_t EntryCount() const { return valid_ ? entryCount_ : 0; }
    // Counts the loads: ids found before a later load may name other entries.
    uint64_t Loads() const { return loads_; }

    // Reads entry id; false when the id or the entry points outside the table or its pools.
    // Inline, like the views below: every search and list calls them per id.
    bool GetEntry(uint32_t id, DictEntry& e) const {
        if (!valid_ || id >= entryCount_) return false;
        std::memcpy(&e, entries_ + static_cast<uint64_t>(id) * sizeof(DictEntry), sizeof e);
        if (static_cast<uint64_t>(e.textOff) + e.textLen > textPoolUnits_) return false;
        if (e.codeLen != 0 && static_cast<uint64_t>(e.codeOff) + e.codeLen > codePoolBytes_) return false;
        if (e.syllableCount != 0 && e.pinyinOff >= pinyinPoolBytes_) return false;
        return true;
    }
    // Start bringing an entry, or the pinyin of an entry, into the cache ahead of its
    // turn: the searches read entries scattered over the mapping, and a miss each costs
    // more than the match.
    void PrefetchEntry(uint32_t id) const {
        if (valid_ && id < entryCount_) __builtin_prefetch(entries_ + uint64_t{id} * sizeof(DictEntry));
    }
    void PrefetchPinyin(uint32_t id) const {
        DictEntry e;
        if (GetEntry(id, e) && e.syllableCount != 0) __builtin_prefetch(pinyinPool_ + e.pinyinOff);
    }
    // Views into the mapping for an entry that GetEntry accepted.
    std::wstring_view Text(const DictEntry& e) const { return std::wstring_view(textPool_ + e.textOff, e.textLen); }
    std::string_view Code(const DictEntry& e) const {
        if (e.codeLen == 0) return {};
        return std::string_view(codePool_ + e.codeOff, e.codeLen);
    }
    // From the entry's first syllable to the end of the pinyin pool; empty without pinyin.
    std::string_view Pinyin(const DictEntry& e) const {
        if (e.syllableCount == 0) return {};
        return std::string_view(pinyinPool_ + e.pinyinOff, pinyinPoolBytes_ - e.pinyinOff);
    }

private:
    uint32_t CodeIndexId(uint64_t pos) const { return U32At(codeIndex_, pos * 4); }
    uint32_t PinyinIndexId(uint64_t pos) const { return U32At(pinyinIndex_, pos * 4); }
    // The entry's code, or false when the entry is absent.
    bool CodeOf(uint32_t id, std::string_view& code) const;
    // True when the entry has syllables and its pinyin is not one empty syllable.
    bool HasPinyin(const DictEntry& e) const;
    // SylMatch of code against e's pinyin, first ruling out entries that lack a typed
    // letter (letters: TypedLetters(code)).
    bool PinyinMatch(const DictEntry& e, const std::string& code, uint32_t letters, int inputLen) const {
        const std::string_view pinyin = Pinyin(e);
        if ((letters & ~PinyinLetters(pinyin, e.syllableCount)) != 0) return false;
        return SylMatch(pinyin, e.syllableCount, code.data(), inputLen);
    }
    // The code at a code-index position, from the packed copy once there is one (letters
    // then holds it); false when the entry is absent (never with the packed copy).
    bool CodeAt(uint64_t pos, std::string_view& code, char (&letters)[PackedCode::kLetters]) const;
    // With the packed copy: the first position in [lo, hi) whose word is not below word,
    // the positions in it sorted.
    uint64_t PackedLowerBound(uint64_t lo, uint64_t hi, uint32_t word) const;
    // Forgets the packed copy; the warm-up thread must not be running.
    void DropPackedCodes();
    // Fills the packed copy, on the warm-up thread; leaves none when a code does not pack.
    void PackCodes(const std::atomic<bool>& stop);
    // First code-index position whose code is not less than code.
    uint64_t LowerBoundCode(std::string_view code) const;
    void WildcardSearch(const std::string& code, uint64_t start, uint64_t cap,
                        std::vector<uint32_t>& out) const;
    // Appends the wildcard matches among code-index positions [lo, hi), whose codes all
    // match code[0, depth), in index order.
    void WildcardWalk(const std::string& code, size_t depth, uint64_t lo, uint64_t hi, uint64_t cap,
                      std::vector<uint32_t>& out) const;
    // First position in [lo, hi) whose code is at least depth + 1 long with a letter at
    // depth not below letter (letter 0: the first code longer than depth).
    uint64_t PartitionAt(uint64_t lo, uint64_t hi, size_t depth, int letter) const;

    // A pinyin jump table inside the mapping (see DictFormat.h).
    struct PinyinJumps {
        const uint8_t* offsets = nullptr;  // 26^letters + 1
        const uint8_t* positions = nullptr;
        uint64_t positionCount = 0;
        size_t letters = 0;  // 0: absent or unusable
        bool Usable() const { return letters != 0; }
    };
    static uint32_t U32At(const uint8_t* base, uint64_t byteOffset) {
        uint32_t v;
        std::memcpy(&v, base + byteOffset, sizeof v);
        return v;
    }
    static PinyinJumps ReadJumps(const uint8_t* table, uint64_t count, size_t letters);
    // First position in the pinyin index of the group of first letter c.
    uint64_t PinyinGroupStart(signed char c) const;
    // The jump table SearchPinyin of code uses, if any.
    const PinyinJumps* JumpsFor(const std::string& code) const;
    // The positions [begin, end) listed for code's first letters; false when damaged.
    bool JumpList(const PinyinJumps& jumps, const std::string& code, uint64_t& begin, uint64_t& end) const;
    // The search through a jump table; false when the table turns out to be damaged.
    bool SearchPinyinJump(const PinyinJumps& jumps, const std::string& code, uint64_t cap,
                          std::vector<uint32_t>& out) const;

    UniqueHandle file_;
    UniqueHandle mapping_;
    UniqueView view_;
    uint64_t fileSize_ = 0;

    const uint8_t* entries_ = nullptr;
    const wchar_t* textPool_ = nullptr;
    const char* pinyinPool_ = nullptr;
    const char* codePool_ = nullptr;
    const uint8_t* codeIndex_ = nullptr;
    const uint8_t* pinyinIndex_ = nullptr;
    const uint8_t* index3_ = nullptr;
    const uint8_t* index4_ = nullptr;

    uint64_t entryCount_ = 0;
    uint64_t pinyinIndexCount_ = 0;
    uint64_t index3Count_ = 0;
    uint64_t index4Count_ = 0;

    uint64_t textPoolUnits_ = 0;
    uint64_t pinyinPoolBytes_ = 0;
    uint64_t codePoolBytes_ = 0;

    PinyinJumps jump2_, jump3_;

    // Set only when every check of Load passed; both searches return nothing otherwise.
    bool valid_ = false;
    uint64_t loads_ = 0;

    // The packed codes of code-index positions from packedBase_ on; those before it have
    // no code. Written by the warm-up thread before it sets packedReady_, then only read.
    std::vector<uint32_t> packed_;
    uint64_t packedBase_ = 0;
    // The first position whose word's first two letters are at least the key's.
    std::array<uint32_t, (1u << (20 - PackedCode::kTwoLetterShift)) + 1> twoLetterStarts_{};
    std::atomic<bool> packedReady_{false};

    // Last, so that it stops before the mapping it touches goes.
    Warmup warmup_;
};

}  // namespace zl
