#include <gtest/gtest.h>

#include <windows.h>

#include "CandSamples.h"
#include "CandWindow.h"
#include "Foreground.h"
#include "Pump.h"

namespace {

// The check runs on the window's timer; the tests send its tick instead of waiting for it.
void Tick(const zl::CandWindow& w) { SendMessageW(w.hwnd, WM_TIMER, zl::CandWindow::kForegroundTimer, 0); }

TEST(CandForeground, StaysWhileThisProcessIsInFrontAndHidesWhenAnotherComes) {
    zltest::OwnForegroundWindow own;
    ASSERT_NE(nullptr, own.Get());
    ASSERT_EQ(GetCurrentProcessId(), zltest::ForegroundProcessId()) << "cannot bring a window of this process to the front";

    auto list = candtest::Sample(5);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    w.Show(candtest::Request(list));
    Tick(w);
    EXPECT_TRUE(w.visible);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));

    zltest::ForeignForegroundWindow other;
    ASSERT_TRUE(other.Start()) << "the helper process did not come to the front";
    Tick(w);
    EXPECT_FALSE(w.visible);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));

    // Shown again while the other process is in front, the real timer hides it by itself.
    w.Show(candtest::Request(list));
    ASSERT_TRUE(w.visible);
    EXPECT_TRUE(zltest::PumpUntil([&] { return !w.visible; }, 10000));
}

}  // namespace
