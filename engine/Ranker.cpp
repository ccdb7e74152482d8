#include "Ranker.h"

#include <algorithm>
#include <functional>

#include "Prefault.h"

namespace zl {

namespace {

// Building positions up to this fit the packed order's low 16 bits.
constexpr uint32_t kMaxPackedAt = 0xFFFF;

}  // namespace

Ranker::Ranked Ranker::RankOf(const PendingCandidate& p, bool byUse, uint32_t at) {
    // The order folded into two numbers, larger first: promotion stamp, then tier
    // (smaller better); use count (when it counts), then weight.
    return Ranked{(uint64_t{p.promote} << 32) | static_cast<uint32_t>(INT32_MAX - p.tier),
                  ((byUse ? uint64_t{p.userCount} : 0) << 32) | p.freq, at};
}

void Ranker::Rank(const PendingList& pending, bool byUse, std::vector<uint32_t>& kept) {
    // Most candidates have no promotion and no use that counts: their order is tier,
    // weight, building order, packed into one number each (larger first). The others,
    // when few, go in afterwards as raised ones do.
    bool packed = pending.size() <= kMaxPackedAt + 1;
    lifted_.clear();
    packedKeys_.clear();
    for (uint32_t i = 0; packed && i < pending.size(); ++i) {
        const PendingCandidate& p = pending[i];
        if (p.promote != 0 || (byUse && p.userCount != 0) || p.tier < 0) {
            lifted_.push_back(i);
            packed = lifted_.size() <= kRaisedByInsertion;
        } else {
            packedKeys_.push_back((uint64_t(INT8_MAX - p.tier) << 48) | (uint64_t{p.freq} << 16) | (kMaxPackedAt - i));
        }
    }
    if (packed) {
        const size_t keep = std::min(packedKeys_.size(), kMaxCandidates);
        const auto first = packedKeys_.begin();
        if (keep < packedKeys_.size()) std::nth_element(first, first + keep, packedKeys_.end(), std::greater<>());
        std::sort(first, first + keep, std::greater<>());
        kept.resize(keep);
        for (size_t i = 0; i < keep; ++i) kept[i] = kMaxPackedAt - static_cast<uint32_t>(packedKeys_[i] & kMaxPackedAt);
        if (!lifted_.empty()) Raise(pending, byUse, lifted_, kept);
        return;
    }
    ranked_.resize(pending.size());
    for (uint32_t i = 0; i < ranked_.size(); ++i) ranked_[i] = RankOf(pending[i], byUse, i);
    // The order is total (building order breaks every tie), so selecting the best 100
    // and sorting them gives the list a full sort would.
    const size_t keep = std::min(ranked_.size(), kMaxCandidates);
    if (keep < ranked_.size())
        std::nth_element(ranked_.begin(), ranked_.begin() + keep, ranked_.end(), Ranked::Before);
    std::sort(ranked_.begin(), ranked_.begin() + keep, Ranked::Before);
    kept.resize(keep);
    for (size_t i = 0; i < keep; ++i) kept[i] = ranked_[i].at;
}

void Ranker::Raise(const PendingList& pending, bool byUse, const std::vector<uint32_t>& raised,
                   std::vector<uint32_t>& kept) {
    // Only the raised candidates moved, and only up: any other one left out still ranks
    // below all those kept, so the best are among the kept and the raised. The kept
    // ones that did not move stay in order; each raised one goes in at its new place.
    const size_t keep = std::min(pending.size(), kMaxCandidates);
    const auto before = [&](uint32_t x, uint32_t y) {
        return Ranked::Before(RankOf(pending[x], byUse, x), RankOf(pending[y], byUse, y));
    };
    for (uint32_t at : raised) {
        const auto was = std::find(kept.begin(), kept.end(), at);
        if (was != kept.end()) kept.erase(was);
    }
    for (uint32_t at : raised) kept.insert(std::lower_bound(kept.begin(), kept.end(), at, before), at);
    if (kept.size() > keep) kept.resize(keep);
}

void Ranker::Reserve(size_t ids) {
    Prefault(ranked_, ids);
    Prefault(packedKeys_, ids);
    Prefault(lifted_, kRaisedByInsertion + 1);
}

}  // namespace zl
