// Which texts may have a use count: one bit per slot of text hashes, set for every text
// of the counts. For a heavy user the map of counts misses the cache on nearly every
// lookup, and a first-letter list looks up hundreds of texts; a clear bit spares one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "LearnFormat.h"

namespace zl {

class LearnedFilter {
public:
    // Until the first Rebuild (and after a failed one) every text may have a count.
    void Rebuild(const UseCounts& counts);
    void Add(std::wstring_view text);
    // hash: TextHash of the text.
    bool MayHave(uint32_t hash) const {
        return !valid_ || ((bits_[(hash & kMask) >> 6] >> (hash & 63)) & 1) != 0;
    }

private:
    static constexpr uint32_t kBits = 1u << 20;  // 128 KB: a tenth set at 100,000 texts
    static constexpr uint32_t kMask = kBits - 1;
    void Set(uint32_t hash) { bits_[(hash & kMask) >> 6] |= uint64_t{1} << (hash & 63); }

    std::vector<uint64_t> bits_;  // kBits bits while valid_
    bool valid_ = false;
};

}  // namespace zl
