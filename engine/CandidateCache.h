// Candidate lists already built, kept so that typing a code again (its first letters
// above all, whose searches return hundreds of ids) costs no search and no building.
// A kept list stays exact as use counts change: the cache notes, per slot of text
// hashes, when a text was last counted, and a candidate whose slot was counted after its
// list last read the counts has its count read again and moves up in the list.
#pragma once

#include <cstdint>
#include <list>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "BlockPool.h"
#include "Candidate.h"

namespace zl {

// A candidate of a list: its text and code are those of entry `source` (its code the
// joined pinyin when `pinyin`), read from the mapping only when shown. Kept small, as a
// cached list holds up to a few hundred.
struct PendingCandidate {
    uint32_t hash;  // of the text, for finding it again
    uint32_t source;
    uint32_t freq;
    uint32_t userCount;
    uint32_t promote;
    int8_t tier;
    bool pinyin;
};

// The hash a PendingCandidate keeps of its text.
uint32_t TextHash(std::wstring_view text);

// Candidates being built or kept. A kept list's come from the cache's pool.
using PendingList = std::pmr::vector<PendingCandidate>;

struct CachedList {
    // A list made by the cache takes its memory from the cache's pool.
    using allocator_type = std::pmr::polymorphic_allocator<std::byte>;
    CachedList() = default;
    explicit CachedList(const allocator_type& memory) : pending(memory) {}

    Mode mode = kModeWubi;  // the effective scheme
    std::string code;
    bool gbkOnly = false;
    bool freqAdjust = false;
    PendingList pending;  // in building order
    std::vector<uint32_t> kept;             // positions in pending, in list order
    uint64_t wubiCount = 0;
    uint64_t exactCount = 0;
    bool pinyinLonger = false;
    // The mixed scheme searched pinyin for the code and found ids (usable or not).
    bool pinyinSearched = false;
    bool pinyinFound = false;
    // Every pinyin match of the code in index order, when its search saw them all.
    bool pinyinAllKnown = false;
    std::vector<uint32_t> pinyinAll;
    size_t units = 0;         // what it counts against the cache's room
    uint32_t countsSeen = 0;  // use counts made before this are in pending
};

class CandidateCache {
public:
    // The text hashes of the last counts are kept: a list that missed only these finds
    // its changed candidates by hash instead of by slot.
    static constexpr uint32_t kRecentCounts = 64;
    // Lists kept, and their size in units of a candidate (24 bytes): a few megabytes.
    static constexpr size_t kMaxLists = 8192;
    static constexpr size_t kMaxUnits = 1 << 18;

    // The list for the scheme and code, or null.
    CachedList* Find(Mode mode, const std::string& code);
    // A list to fill for the scheme and code, replacing the one kept for them; room is
    // made by dropping the lists used least recently.
    // `units`: the list's size.
    CachedList& Add(Mode mode, const std::string& code, size_t units);
    void Clear();
    // Slabs made ahead for the lists' memory (see BlockPool).
    void AdoptSlabs(std::vector<BlockPool::Slab>&& slabs) { pool_.Adopt(std::move(slabs)); }
    // Room for the most lists at once (a rehash would move every key, on some keystroke)
    // and the count slots, which the first commit of a session would otherwise make.
    void Reserve();

    // A use count of text grew. False when the lists that read their counts before
    // cannot be told: the count numbers started again, or there was no room to note it.
    bool Counted(std::wstring_view text);
    uint32_t CountsMade() const { return counts_; }
    // False when no text with this hash was counted after the first `seen` counts.
    bool MayHaveCounted(uint32_t hash, uint32_t seen) const {
        return !countedAt_.empty() && countedAt_[hash & (countedAt_.size() - 1)] > seen;
    }
    // Calls f with the hash of each text counted after the first `seen` counts; false
    // (and no call) when they are too many to have been kept.
    template <typename F>
    bool ForEachCountedSince(uint32_t seen, F f) const {
        if (seen > counts_ || counts_ - seen > kRecentCounts) return false;
        for (uint32_t n = seen + 1; n <= counts_ && n != 0; ++n) f(recent_[n % kRecentCounts]);
        return true;
    }

private:
    using Lists = std::pmr::list<CachedList>;
    static std::string KeyOf(Mode mode, const std::string& code);
    void Drop(Lists::iterator list);

    BlockPool pool_;       // the lists' memory, with their candidates'
    Lists lists_{&pool_};  // the most recently used first
    std::unordered_map<std::string, std::list<CachedList>::iterator> byKey_;
    size_t unitsTotal_ = 0;
    uint32_t counts_ = 0;
    std::vector<uint32_t> countedAt_;  // per hash slot: the number of its last count
    uint32_t recent_[kRecentCounts] = {};
};

}  // namespace zl
