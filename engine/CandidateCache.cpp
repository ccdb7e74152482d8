#include "CandidateCache.h"

#include <algorithm>
#include <functional>
#include <iterator>

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

CachedList* CandidateCache::Find(Mode mode, const std::string& code) {
    const auto it = byKey_.find(KeyOf(mode, code));
    if (it == byKey_.end()) return nullptr;
    lists_.splice(lists_.begin(), lists_, it->second);
    return &*it->second;
}

void CandidateCache::Drop(Lists::iterator list) {
    byKey_.erase(KeyOf(list->mode, list->code));
    unitsTotal_ -= list->units;
    lists_.erase(list);
}

CachedList& CandidateCache::Add(Mode mode, const std::string& code, size_t units) {
    std::string key = KeyOf(mode, code);
    const auto it = byKey_.find(key);
    if (it != byKey_.end()) Drop(it->second);
    while (!lists_.empty() && (lists_.size() >= kMaxLists || unitsTotal_ + units > kMaxUnits))
        Drop(std::prev(lists_.end()));
    if (byKey_.empty()) Reserve();
    lists_.emplace_front();
    CachedList& list = lists_.front();
    list.mode = mode;
    list.code = code;
    byKey_.emplace(std::move(key), lists_.begin());
    list.countsSeen = counts_;
    list.units = units;
    unitsTotal_ += units;
    return list;
}

void CandidateCache::Clear() {
    lists_.clear();
    pool_.Release();
    byKey_.clear();
    unitsTotal_ = 0;
}

void CandidateCache::Reserve() {
    byKey_.reserve(kMaxLists);
    if (countedAt_.empty()) countedAt_.assign(kCountSlots, 0);
}

bool CandidateCache::Counted(std::wstring_view text) {
    bool told = true;
    if (counts_ == UINT32_MAX) {
        // Count numbers start again: no list may have seen a number that comes again.
        Clear();
        std::fill(countedAt_.begin(), countedAt_.end(), 0);
        counts_ = 0;
        told = false;
    }
    ++counts_;
    if (countedAt_.empty()) {
        try {
            countedAt_.assign(kCountSlots, 0);
        } catch (...) {
            // Without the slots no change could be told: no list may be kept.
            Clear();
            return false;
        }
    }
    const uint32_t hash = TextHash(text);
    countedAt_[hash & (kCountSlots - 1)] = counts_;
    recent_[counts_ % kRecentCounts] = hash;
    return told;
}

}  // namespace zl
