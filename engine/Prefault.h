// Room written once ahead, so that the keys' first use of it faults in no fresh pages.
#pragma once

#include <cstddef>

namespace zl {

// Room for n elements in v, written once; v's elements stay as they were.
template <typename V>
void Prefault(V& v, size_t n) {
    const size_t had = v.size();
    if (had >= n) return;
    v.resize(n);
    v.resize(had);
}

}  // namespace zl
