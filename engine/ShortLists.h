// The lists of the one- and two-letter codes, and of the pinyin codes of three letters
// with some dozens of matches or four and five with a hundred or more, built aside once
// a dictionary is loaded. Each of those codes searches dozens to hundreds of ids: typed
// for the first time, they were the slowest keys of all. When the thread can know the use counts (none, or the file just
// loaded) the lists carry them and come ranked, so that a heavy user's first letters
// need not look up hundreds of texts; the engine adds the uses since, and the
// promotions, when it takes a list. Beside them, every pinyin match of the four- to
// six-letter codes that begin those with many: a longer code filters these instead of
// scanning a three-letter code's jump list, often a thousand entries and more, or
// filtering a five-letter code's hundreds.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CandidateCache.h"
#include "Dict.h"

namespace zl {

class ListBuilder;

struct ShortLists {
    struct List {
        bool ready = false;  // built and not yet taken
        CachedList built;    // ranked only when counted
    };

    // The scheme, filter and load they were built for.
    Mode mode = kModeWubi;
    bool gbkOnly = false;
    uint64_t dictLoads = 0;
    // Count and rank the lists: the counts are userFile's lines (none when null), the
    // engine's counts numbered countsFor as they were after its first countsAt counts.
    bool withCounts = false;
    std::shared_ptr<const std::string> userFile;
    bool byUse = false;  // the use counts count in the ranking
    uint64_t countsFor = 0;
    uint32_t countsAt = 0;
    // Set before done when every list was counted and ranked.
    bool counted = false;
    // Set, with release, when every list is built; from then on only the engine's
    // thread touches the lists.
    std::atomic<bool> done{false};
    std::vector<List> lists;  // by IndexOf
    // Memory for the kept lists, its pages brought in here rather than on the keys that
    // keep the first lists; the engine adopts it with the lists.
    std::vector<BlockPool::Slab> slabs;

    // Where the list of code is kept; SIZE_MAX for other codes. Only once done.
    size_t IndexOf(const std::string& code) const;
    // Every pinyin match, in index order, of a four- to six-letter code kept here; null
    // for others. Only once done.
    const std::vector<uint32_t>* LongerMatches(const std::string& code) const;
    // Builds every list on the calling thread; returns early, not done, once stop is set.
    void Build(const Dict& dict, const std::atomic<bool>& stop);

private:
    // Builds the list of code into lists[at] (growing lists when at is its size).
    void BuildOne(ListBuilder& builder, const Dict& dict, const std::string& code, size_t at);
    // Gives every list its candidates' counts from file (none when null) and ranks it;
    // false when stopped.
    bool CountAndRank(const Dict& dict, const std::string* file, const std::atomic<bool>& stop);

    // Per three-letter code, 1 + its place in lists; 0 when it has none.
    std::vector<uint16_t> threeLetters_;
    // Adds the codes one letter longer than code to longer_, from all, every match of
    // code.
    void KeepLonger(const Dict& dict, const std::string& code, const std::vector<uint32_t>& all);

    bool searchedAll_ = false;
    struct Longer {
        std::vector<uint32_t> matches;  // every one, in index order
        size_t list = SIZE_MAX;         // its place in lists, when it has one
    };
    std::unordered_map<std::string, Longer> longer_;
};

}  // namespace zl
