#include "LearnedFilter.h"

#include <new>

#include "CandidateCache.h"

namespace zl {

void LearnedFilter::Rebuild(const UseCounts& counts) {
    try {
        // Kept even for no texts, so the first commit of a session need not make it.
        bits_.assign(kBits / 64, 0);
        for (const auto& entry : counts) Set(TextHash(entry.first));
        valid_ = true;
    } catch (const std::bad_alloc&) {
        bits_ = {};
        valid_ = false;
    }
}

void LearnedFilter::Add(std::wstring_view text) {
    // A valid filter has its bits (Rebuild makes them even for no texts).
    if (valid_) Set(TextHash(text));
}

}  // namespace zl
