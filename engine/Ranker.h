// The order of a candidate list: promotion stamp (newest first), then tier (smaller
// first), use count when counts count, weight, and building order for every tie. Its own
// scratch, so the typing thread and the short lists' thread each rank with their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CandidateCache.h"
#include "ListBuilder.h"

namespace zl {

class Ranker {
public:
    static constexpr size_t kMaxCandidates = ListBuilder::kMaxCandidates;
    // More raised candidates than this are ranked again by ranking the whole list.
    static constexpr size_t kRaisedByInsertion = 32;

    // Leaves in kept the positions of the best candidates of pending, in list order.
    // byUse: the use counts count.
    void Rank(const PendingList& pending, bool byUse, std::vector<uint32_t>& kept);
    // Rank for a ranked list whose candidates at the positions in raised (each once)
    // gained uses or a promotion since, none losing any.
    void Raise(const PendingList& pending, bool byUse, const std::vector<uint32_t>& raised,
               std::vector<uint32_t>& kept);
    // Room for ranking `ids` candidates, written once, so that ranking need not grow it.
    void Reserve(size_t ids);

private:
    struct Ranked {
        uint64_t first, second;
        uint32_t at;  // into the pending candidates
        // The candidate order: x goes before y.
        static bool Before(const Ranked& x, const Ranked& y) {
            if (x.first != y.first) return x.first > y.first;
            if (x.second != y.second) return x.second > y.second;
            return x.at < y.at;
        }
    };
    static Ranked RankOf(const PendingCandidate& p, bool byUse, uint32_t at);

    std::vector<Ranked> ranked_;
    std::vector<uint64_t> packedKeys_;  // the order of candidates with no promotion or counted use
    std::vector<uint32_t> lifted_;      // the others, while ranking
};

}  // namespace zl
