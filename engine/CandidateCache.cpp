#include "CandidateCache.h"

#include <algorithm>
#include <functional>

namespace zl {

namespace {

// Slots of counted texts: with fewer texts counted since a list read its counts than
// this, few of its candidates are read again needlessly.
constexpr size_t kCountSlots = 1 << 14;

}  // namespace

uint32_t TextHash(std::wstring_view text) { return static_cast<uint32_t>(std::hash<std::wstring_view>{}(text)); }

std::string CandidateCache::KeyOf(Mode mode, const std::string& code) {
    std::string key(1, static_cast<char>('0' + mode));
    key += code;
    return key;
}

void CandidateCache::Unlink(uint32_t slot) {
    CachedList& list = lists_[slot];
    if (list.newer) lists_[list.newer - 1].older = list.older;
    else newest_ = list.older;
    if (list.older) lists_[list.older - 1].newer = list.newer;
    else oldest_ = list.newer;
    list.newer = list.older = 0;
}

void CandidateCache::LinkNewest(uint32_t slot) {
    CachedList& list = lists_[slot];
    list.older = newest_;
    list.newer = 0;
    if (newest_) lists_[newest_ - 1].newer = slot + 1;
    else oldest_ = slot + 1;
    newest_ = slot + 1;
}

CachedList* CandidateCache::Find(Mode mode, const std::string& code) {
    const auto it = byKey_.find(KeyOf(mode, code));
    if (it == byKey_.end()) return nullptr;
    if (newest_ != it->second + 1) {
        Unlink(it->second);
        LinkNewest(it->second);
    }
    return &lists_[it->second];
}

void CandidateCache::DropOldest() {
    const uint32_t slot = oldest_ - 1;
    Unlink(slot);
    CachedList& list = lists_[slot];
    byKey_.erase(KeyOf(list.mode, list.code));
    unitsTotal_ -= list.units;
    list = CachedList{};  // gives back its memory
    free_.push_back(slot);
}

CachedList& CandidateCache::Add(Mode mode, const std::string& code, size_t units) {
    std::string key = KeyOf(mode, code);
    const auto it = byKey_.find(key);
    const bool known = it != byKey_.end();
    uint32_t slot = known ? it->second : 0;
    if (known) {
        // Out of the order of use while room is made, so that it is not dropped.
        Unlink(slot);
        unitsTotal_ -= lists_[slot].units;
        lists_[slot] = CachedList{};
    }
    while (oldest_ && (byKey_.size() + (known ? 0 : 1) > kMaxLists || unitsTotal_ + units > kMaxUnits))
        DropOldest();
    if (!known) {
        if (free_.empty()) {
            // Room for all at once: growing would move every list, on some keystroke.
            if (lists_.empty()) {
                lists_.reserve(kMaxLists);
                byKey_.reserve(kMaxLists);
            }
            lists_.emplace_back();
            free_.push_back(static_cast<uint32_t>(lists_.size() - 1));
        }
        slot = free_.back();
        byKey_.emplace(std::move(key), slot);
        free_.pop_back();
    }
    CachedList& list = lists_[slot];
    list.mode = mode;
    list.code = code;
    list.countsSeen = counts_;
    list.units = units;
    unitsTotal_ += units;
    LinkNewest(slot);
    return list;
}

void CandidateCache::Clear() {
    lists_.clear();
    free_.clear();
    byKey_.clear();
    newest_ = oldest_ = 0;
    unitsTotal_ = 0;
}

void CandidateCache::Counted(std::wstring_view text) {
    if (counts_ == UINT32_MAX) {
        // Count numbers start again: no list may have seen a number that comes again.
        Clear();
        std::fill(countedAt_.begin(), countedAt_.end(), 0);
        counts_ = 0;
    }
    ++counts_;
    if (countedAt_.empty()) {
        try {
            countedAt_.assign(kCountSlots, 0);
        } catch (...) {
            // Without the slots no change could be told: no list may be kept.
            Clear();
            return;
        }
    }
    countedAt_[TextHash(text) & (kCountSlots - 1)] = counts_;
}

}  // namespace zl
