#include "GdiLeak.h"

#include <windows.h>

#include <vector>

#include "Pump.h"

namespace zltest {

namespace {

// Creates small regions until creation fails or the limit is reached, frees them all
// and returns how many were made.
int GdiHeadroom(int limit = 200000) {
    std::vector<HRGN> made;
    made.reserve(static_cast<size_t>(limit));
    while (static_cast<int>(made.size()) < limit) {
        HRGN r = CreateRectRgn(0, 0, 1, 1);
        if (!r) break;
        made.push_back(r);
    }
    for (HRGN r : made) DeleteObject(r);
    return static_cast<int>(made.size());
}

}  // namespace

::testing::AssertionResult LeavesNoGdiObjects(const std::function<bool(int)>& cycle, int cycles, int warmUps,
                                              int slack) {
    for (int i = 0; i < warmUps; ++i) {
        if (!cycle(i)) return ::testing::AssertionFailure() << "warm-up cycle " << i << " failed";
    }
    PumpPending();
    const int before = GdiHeadroom();
    if (before < 1000) return ::testing::AssertionFailure() << "only " << before << " GDI objects to spare";
    for (int i = 0; i < cycles; ++i) {
        if (!cycle(i)) return ::testing::AssertionFailure() << "cycle " << i << " failed";
    }
    PumpPending();
    const int after = GdiHeadroom();
    if (after < before - slack)
        return ::testing::AssertionFailure() << "GDI headroom " << before << " before, " << after << " after "
                                             << cycles << " cycles";
    return ::testing::AssertionSuccess();
}

}  // namespace zltest
