// Candidate lists already built for codes whose search returns many ids (the first
// letters of a code), kept so that typing them again costs no search and no building.
// A kept list stays exact as use counts change: the cache logs which texts were counted,
// and a list that may hold one of them has its counts read again and is re-ranked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Candidate.h"

namespace zl {

// A candidate while a list is built: its text still points into the mapping, and its
// code is that of entry `source` (joined pinyin when `pinyin`), made only when shown.
struct PendingCandidate {
    std::wstring_view text;
    size_t hash;  // std::hash of text
    uint32_t source;
    bool pinyin;
    uint32_t freq;
    uint32_t userCount;
    uint32_t promote;
    int32_t tier;
};

struct CachedList {
    Mode mode = kModeWubi;  // the effective scheme
    std::string code;
    bool gbkOnly = false;
    bool freqAdjust = false;
    std::vector<PendingCandidate> pending;  // in building order
    std::vector<uint32_t> kept;             // positions in pending, in list order
    uint64_t wubiCount = 0;
    uint64_t exactCount = 0;
    bool pinyinLonger = false;
    uint64_t countsSeen = 0;  // use counts logged before this are in pending
    uint64_t lastUse = 0;
};

class CandidateCache {
public:
    // Lists of fewer candidates than this are rebuilt: they cost little to build.
    static constexpr size_t kMinPending = 48;
    // About 48 bytes a candidate: a few megabytes at most.
    static constexpr size_t kMaxPending = 1 << 16;
    static constexpr size_t kMaxLists = 1024;
    // Counted texts remembered; a list older than all of them is rebuilt.
    static constexpr size_t kLogSize = 1024;

    // The list for the scheme and code, or null.
    CachedList* Find(Mode mode, const std::string& code);
    // A list to fill for the scheme and code (its old content is reused room), making
    // space by dropping the least recently used lists.
    CachedList& Add(Mode mode, const std::string& code, size_t pendingCount);
    void Clear();

    // A use count of text changed.
    void Counted(std::wstring_view text);
    uint64_t CountsLogged() const { return logBase_ + log_.size(); }
    // True when the log still holds every count after list.countsSeen; mayHold then
    // tells, by a filter without false negatives, whether a candidate's text may be one.
    struct ChangedTexts {
        uint64_t bits[64];
        bool MayHold(size_t hash) const { return (bits[(hash >> 6) & 63] >> (hash & 63)) & 1; }
    };
    bool ChangesSince(const CachedList& list, ChangedTexts& changed) const;

private:
    static std::string KeyOf(Mode mode, const std::string& code);
    void Drop(size_t at);

    std::vector<CachedList> lists_;
    std::unordered_map<std::string, size_t> byKey_;  // into lists_
    size_t pendingTotal_ = 0;
    uint64_t uses_ = 0;
    std::vector<size_t> log_;  // hashes of counted texts
    uint64_t logBase_ = 0;     // count number of log_[0]
};

}  // namespace zl
