#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "CandSamples.h"
#include "CandWindow.h"
#include "Foreground.h"
#include "Pump.h"

namespace {

TEST(CandForeground, HidesWhenAnotherProcessComesToTheFront) {
    zltest::OwnForegroundWindow own;
    ASSERT_NE(nullptr, own.Get());
    ASSERT_EQ(GetCurrentProcessId(), zltest::ForegroundProcessId()) << "cannot bring a window of this process to the front";

    auto list = candtest::Sample(5);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    w.Show(candtest::Request(list));
    // Our own process in front: the timer leaves the window up.
    zltest::PumpFor(900);
    EXPECT_TRUE(w.visible);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));

    zltest::ForeignForegroundWindow other;
    ASSERT_TRUE(other.Start()) << "the helper process did not come to the front";
    const DWORD front = GetTickCount();
    ASSERT_TRUE(zltest::PumpUntil([&] { return !w.visible; }, 3000));
    const DWORD took = GetTickCount() - front;
    std::printf("hidden %lu ms after the other process came to the front\n", took);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    // One timer period, with slack for a loaded machine.
    EXPECT_LE(took, 400u + 250u);
}

TEST(CandForeground, CheckHidesWithoutAForegroundWindowOfThisProcess) {
    auto list = candtest::Sample(5);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    w.Show(candtest::Request(list));
    ASSERT_TRUE(w.visible);
    if (zltest::ForegroundProcessId() == GetCurrentProcessId()) {
        w.CheckForeground();
        EXPECT_TRUE(w.visible);
    } else {
        w.CheckForeground();
        EXPECT_FALSE(w.visible);
    }
}

}  // namespace
