// The one GDI-leak check of the window tests. GetGuiResources reports 0 under Wine, so a
// leak is caught by the headroom (how many more objects the process can create)
// shrinking over many cycles instead.
#pragma once

#include <gtest/gtest.h>

#include <functional>

namespace zltest {

// Runs cycle(i) `warmUps` times first (fonts and classes may keep caches for the life of
// the process), then `cycles` times between two headroom counts. Fails when a cycle
// returns false or more than `slack` objects went missing: one object lost per cycle
// costs `cycles`.
::testing::AssertionResult LeavesNoGdiObjects(const std::function<bool(int)>& cycle, int cycles,
                                              int warmUps = 1, int slack = 20);

}  // namespace zltest
