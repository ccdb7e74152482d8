// Release of the raw COM pointers the text service keeps as members.
#pragma once

namespace zl {

// Releases p if set and clears it, so that a second teardown finds nothing to release.
template <class T>
void ReleaseAndClear(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

}  // namespace zl
