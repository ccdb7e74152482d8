#include "CandidateCache.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace zl {

std::string CandidateCache::KeyOf(Mode mode, const std::string& code) {
    std::string key(1, static_cast<char>('0' + mode));
    key += code;
    return key;
}

CachedList* CandidateCache::Find(Mode mode, const std::string& code) {
    const auto it = byKey_.find(KeyOf(mode, code));
    if (it == byKey_.end()) return nullptr;
    CachedList& list = lists_[it->second];
    list.lastUse = ++uses_;
    return &list;
}

void CandidateCache::Drop(size_t at) {
    pendingTotal_ -= lists_[at].pending.size();
    byKey_.erase(KeyOf(lists_[at].mode, lists_[at].code));
    if (at + 1 != lists_.size()) {
        lists_[at] = std::move(lists_.back());
        byKey_[KeyOf(lists_[at].mode, lists_[at].code)] = at;
    }
    lists_.pop_back();
}

CachedList& CandidateCache::Add(Mode mode, const std::string& code, size_t pendingCount) {
    const std::string key = KeyOf(mode, code);
    const auto it = byKey_.find(key);
    if (it != byKey_.end()) Drop(it->second);
    while (!lists_.empty() && (lists_.size() >= kMaxLists || pendingTotal_ + pendingCount > kMaxPending)) {
        size_t oldest = 0;
        for (size_t i = 1; i < lists_.size(); ++i)
            if (lists_[i].lastUse < lists_[oldest].lastUse) oldest = i;
        Drop(oldest);
    }
    lists_.emplace_back();
    CachedList& list = lists_.back();
    list.mode = mode;
    list.code = code;
    list.lastUse = ++uses_;
    list.countsSeen = CountsLogged();
    pendingTotal_ += pendingCount;
    byKey_[key] = lists_.size() - 1;
    return list;
}

void CandidateCache::Clear() {
    lists_.clear();
    byKey_.clear();
    pendingTotal_ = 0;
}

void CandidateCache::Counted(std::wstring_view text) {
    if (log_.size() >= kLogSize) {
        // Forget the older half at once, so that logging stays cheap per count.
        const size_t forget = kLogSize / 2;
        log_.erase(log_.begin(), log_.begin() + forget);
        logBase_ += forget;
    }
    log_.push_back(std::hash<std::wstring_view>{}(text));
}

bool CandidateCache::ChangesSince(const CachedList& list, ChangedTexts& changed) const {
    if (list.countsSeen < logBase_) return false;
    std::memset(changed.bits, 0, sizeof changed.bits);
    for (uint64_t i = list.countsSeen - logBase_; i < log_.size(); ++i) {
        const size_t h = log_[i];
        changed.bits[(h >> 6) & 63] |= uint64_t{1} << (h & 63);
    }
    return true;
}

}  // namespace zl
