// Buttons, clicks, dragging and placement of one bar in this process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "Pump.h"
#include "SbTestUtil.h"
#include "StatusBar.h"

using sbtest::Send;

namespace {

struct Bar : zl::StatusBar {
    Bar() {
        sbtest::ResetPositionCache();
        EXPECT_TRUE(Create(GetModuleHandleW(nullptr)));
    }
};

POINT TopLeft(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return POINT{r.left, r.top};
}

TEST(StatusBarInput, HitRegionEdgesAt96Dpi) {
    zl::StatusBar bar;
    EXPECT_EQ(bar.HitRegion({12, 12}), 0);
    EXPECT_EQ(bar.HitRegion({180, 12}), 4);
    EXPECT_EQ(bar.HitRegion({183, 12}), -1);
    EXPECT_EQ(bar.HitRegion({12, 47}), -1);
    EXPECT_EQ(bar.HitRegion({12, 9}), -1);
    EXPECT_EQ(bar.HitRegion({12, 45}), 0);
    EXPECT_EQ(bar.HitRegion({9, 20}), -1);
    const int left[5] = {10, 53, 84, 115, 148};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar.HitRegion({left[i], 20}), i) << i;
        EXPECT_EQ(bar.HitRegion({left[i] - 1, 20}), i - 1) << i;
    }
}

TEST(StatusBarInput, ClickOnlyWhenReleasedOnThePressedButton) {
    Bar bar;
    std::vector<int> clicks;
    bar.onClick = [&](int r) { clicks.push_back(r); };
    // Region 1 ends at client x 83; a 2-pixel move onto region 2 is no drag and no click.
    Send(bar, WM_LBUTTONDOWN, 82, 20);
    EXPECT_EQ(bar.pressed, 1);
    Send(bar, WM_LBUTTONUP, 84, 20);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(bar.pressed, -1);
    Send(bar, WM_LBUTTONDOWN, 60, 20);
    Send(bar, WM_LBUTTONUP, 61, 21);
    Send(bar, WM_LBUTTONDOWN, 180, 44);
    Send(bar, WM_LBUTTONUP, 180, 44);
    EXPECT_EQ(clicks, (std::vector<int>{1, 4}));
    EXPECT_EQ(bar.buttonDown, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(StatusBarInput, DragStartsAtSquaredDistance16) {
    Bar bar;
    bar.Show();
    const POINT start = TopLeft(bar.hwnd);
    Send(bar, WM_LBUTTONDOWN, 60, 20);
    Send(bar, WM_MOUSEMOVE, 62, 23);  // 4 + 9 = 13
    EXPECT_EQ(bar.dragging, 0);
    EXPECT_EQ(TopLeft(bar.hwnd).x, start.x);
    Send(bar, WM_MOUSEMOVE, 63, 23);  // 9 + 9 = 18
    EXPECT_EQ(bar.dragging, 1);
    EXPECT_EQ(bar.pressed, -1);
    EXPECT_EQ(TopLeft(bar.hwnd).x, start.x + 3);
    EXPECT_EQ(TopLeft(bar.hwnd).y, start.y + 3);
    Send(bar, WM_LBUTTONUP, 60, 20);  // client point of the moved window: back by 3
    EXPECT_EQ(bar.dragging, 0);
}

TEST(StatusBarInput, DragLeftAndUpUsesSignedCoordinates) {
    Bar bar;
    bar.SetPos(300, 300);
    bar.Show();
    const POINT start = TopLeft(bar.hwnd);
    std::vector<POINT> moved;
    bar.onMoved = [&](int x, int y) { moved.push_back({x, y}); };
    Send(bar, WM_LBUTTONDOWN, 60, 20);
    Send(bar, WM_MOUSEMOVE, -30, -20);
    EXPECT_EQ(TopLeft(bar.hwnd).x, start.x - 90);
    EXPECT_EQ(TopLeft(bar.hwnd).y, start.y - 40);
    // The window moved: the same screen point is now at client (60, 20) again.
    Send(bar, WM_LBUTTONUP, 60, 20);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].x, start.x - 90);
    EXPECT_EQ(moved[0].y, start.y - 40);
    EXPECT_EQ(bar.x, start.x - 90);
}

TEST(StatusBarInput, DragEndingWhereItBeganReportsTheOldPosition) {
    Bar bar;
    bar.SetPos(200, 200);
    bar.Show();
    const POINT start = TopLeft(bar.hwnd);
    std::vector<POINT> moved;
    bar.onMoved = [&](int x, int y) { moved.push_back({x, y}); };
    Send(bar, WM_LBUTTONDOWN, 60, 20);
    Send(bar, WM_MOUSEMOVE, 70, 30);
    Send(bar, WM_MOUSEMOVE, 50, 10);  // back at the press point on screen
    EXPECT_EQ(TopLeft(bar.hwnd).x, start.x);
    Send(bar, WM_LBUTTONUP, 60, 20);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].x, start.x);
    EXPECT_EQ(moved[0].y, start.y);
}

TEST(StatusBarInput, CaptureLossEndsADrag) {
    Bar bar;
    bar.SetPos(200, 200);
    bar.Show();
    int calls = 0;
    bar.onMoved = [&](int, int) { ++calls; };
    Send(bar, WM_LBUTTONDOWN, 60, 20);
    SendMessageW(bar.hwnd, WM_CAPTURECHANGED, 0, 0);  // no drag yet: no move reported
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(bar.buttonDown, 0);
    Send(bar, WM_LBUTTONDOWN, 60, 20);  // captures again while holding the capture
    EXPECT_EQ(bar.buttonDown, 1);
    Send(bar, WM_MOUSEMOVE, 80, 20);
    ReleaseCapture();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(bar.buttonDown, 0);
    EXPECT_EQ(bar.dragging, 0);
    EXPECT_EQ(bar.pressed, -1);
}

// The owner may tear the bar down from any callback (a menu loop, a deactivation).
TEST(StatusBarInput, CallbacksMayDestroyTheBar) {
    for (int which = 0; which < 4; ++which) {
        sbtest::ResetPositionCache();
        auto* bar = new zl::StatusBar;
        ASSERT_TRUE(bar->Create(GetModuleHandleW(nullptr)));
        bar->SetPos(200, 200);
        bar->Show();
        HWND w = bar->hwnd;
        auto gone = [&bar] { delete bar; bar = nullptr; };
        bar->onClick = [&](int) { gone(); };
        bar->onMoved = [&](int, int) { gone(); };
        bar->onRightClick = [&](POINT) { gone(); };
        if (which == 0) {
            sbtest::LeftGesture(w, 60);
        } else if (which == 1) {
            sbtest::LeftGesture(w, 60, 90);
        } else if (which == 2) {
            SendMessageW(w, WM_LBUTTONDOWN, 0, sbtest::ClientPoint(60, 20));
            SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, sbtest::ClientPoint(90, 20));
            ReleaseCapture();
        } else {
            SendMessageW(w, WM_RBUTTONUP, 0, sbtest::ClientPoint(60, 20));
        }
        EXPECT_EQ(bar, nullptr) << which;
        EXPECT_FALSE(IsWindow(w)) << which;
        delete bar;
    }
}

// Clearing the callbacks (a deactivation inside the menu loop) must not destroy the one
// that is still running: it may use what it captured once the call that cleared it returns.
TEST(StatusBarInput, ACallbackClearedWhileItRunsStaysAlive) {
    static int live = 0;
    struct Capture {
        Capture() { ++live; }
        Capture(const Capture&) { ++live; }
        ~Capture() { --live; }
    };
    for (int which = 0; which < 4; ++which) {
        Bar bar;
        bar.SetPos(200, 200);
        bar.Show();
        HWND w = bar.hwnd;
        int calls = 0;
        int liveAfterClear = -1;
        auto clearAll = [&] {
            ++calls;
            bar.onClick = nullptr;
            bar.onMoved = nullptr;
            bar.onRightClick = nullptr;
            bar.onTick = nullptr;
            liveAfterClear = live;
        };
        bar.onClick = [c = Capture(), &clearAll](int) { clearAll(); };
        bar.onMoved = [c = Capture(), &clearAll](int, int) { clearAll(); };
        bar.onRightClick = [c = Capture(), &clearAll](POINT) { clearAll(); };
        bar.onTick = [c = Capture(), &clearAll] { clearAll(); };
        ASSERT_EQ(4, live);
        if (which == 0) {
            sbtest::LeftGesture(w, 60);
        } else if (which == 1) {
            sbtest::LeftGesture(w, 90, 90);
        } else if (which == 2) {
            SendMessageW(w, WM_RBUTTONUP, 0, sbtest::ClientPoint(60, 20));
        } else {
            SendMessageW(w, WM_TIMER, 1, 0);
        }
        EXPECT_EQ(1, calls) << which;
        EXPECT_EQ(1, liveAfterClear) << "the running callback was destroyed, case " << which;
        EXPECT_EQ(0, live) << which;
    }
}

TEST(StatusBarPlacement, DefaultCornerAndClamp) {
    const RECT work = sbtest::WorkArea();
    {
        Bar bar;
        bar.Show();
        EXPECT_EQ(bar.x, work.right - 204);
        EXPECT_EQ(bar.y, work.bottom - 68);
        RECT r{};
        GetWindowRect(bar.hwnd, &r);
        EXPECT_EQ(r.right - r.left, 192);
        EXPECT_EQ(r.bottom - r.top, 56);
        EXPECT_TRUE(IsWindowVisible(bar.hwnd));
        EXPECT_EQ(static_cast<DWORD>(zl::g_activeTid), GetCurrentThreadId());
        bar.Hide();
        EXPECT_EQ(zl::g_activeTid, 0);
    }
    {
        Bar bar;
        bar.SetPos(work.right + 500, work.top + 40);
        bar.Show();
        EXPECT_EQ(bar.x, work.right - 192);
        EXPECT_EQ(bar.y, work.top + 40);
        bar.SetPos(-300, -300);  // not a position: the bar keeps none and takes the corner
        EXPECT_EQ(bar.x, work.right - 204);
    }
    {
        // A negative published position is not used.
        Bar bar;
        zl::StatusBar::SetSharedPos(-5, 10);
        EXPECT_EQ(zl::StatusBar::s_posX_.load(), -5);
        EXPECT_EQ(zl::StatusBar::s_posInit_.load(), 1);
        bar.Show();
        EXPECT_EQ(bar.x, work.right - 204);
        EXPECT_EQ(bar.y, work.bottom - 68);
    }
}

TEST(StatusBarPlacement, HideOfAnUnshownBarDoesNothing) {
    sbtest::UserFolder folder;
    Bar bar;
    bar.Hide();
    EXPECT_FALSE(folder.TraceHas("sb hide"));
    bar.Show();
    bar.Hide();
    EXPECT_TRUE(folder.TraceHas("sb hide"));
    EXPECT_FALSE(IsWindowVisible(bar.hwnd));
}

TEST(StatusBarPlacement, UpdateRepaintsOnlyOnChange) {
    Bar bar;
    bar.Show();
    zltest::PumpPending();
    ValidateRect(bar.hwnd, nullptr);
    zl::StatusInfo same = bar.info;
    bar.Update(same);
    EXPECT_FALSE(GetUpdateRect(bar.hwnd, nullptr, FALSE));
    same.symbolsOpen = 1;
    bar.Update(same);
    EXPECT_TRUE(GetUpdateRect(bar.hwnd, nullptr, FALSE));
    ValidateRect(bar.hwnd, nullptr);
    bar.SetSkin(bar.skin);
    EXPECT_FALSE(GetUpdateRect(bar.hwnd, nullptr, FALSE));
    zl::StatusSkin other = bar.skin;
    other.skin = 1;
    bar.SetSkin(other);
    EXPECT_TRUE(GetUpdateRect(bar.hwnd, nullptr, FALSE));
    EXPECT_EQ(bar.dirty, 1);
}

TEST(StatusBarWindow, ClassGoesWithTheLastBarAlsoWhenItsWindowWentFirst) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    {
        Bar a, b;
        a.Destroy();  // b still has a window: the class stays
        EXPECT_TRUE(GetClassInfoExW(instance, L"ZelunWubiStatusWnd", &wc));
        // Destroyed from outside, as when its thread ends: the bar only learns it is gone.
        ASSERT_TRUE(DestroyWindow(b.hwnd));
        EXPECT_EQ(nullptr, b.hwnd);
        b.Destroy();
        // A later copy of the module loaded at the same address must not find this class.
        EXPECT_FALSE(GetClassInfoExW(instance, L"ZelunWubiStatusWnd", &wc));
    }
    Bar again;  // registers it anew
    EXPECT_NE(nullptr, again.hwnd);
}

// Run once in the shared prefix (96 dpi) and once in a prefix whose screen has 144 dpi.
TEST(StatusBarDpi, GeometryFollowsScreenDpi) {
    const char* env = std::getenv("ZL_EXPECT_DPI");
    const int dpi = env ? std::atoi(env) : 96;
    auto L = [dpi](int v) { return MulDiv(v, dpi, 96); };
    Bar bar;
    EXPECT_EQ(bar.dpi, dpi);
    bar.Show();
    RECT r{};
    GetWindowRect(bar.hwnd, &r);
    EXPECT_EQ(r.right - r.left, L(192));
    EXPECT_EQ(r.bottom - r.top, L(56));
    const RECT work = sbtest::WorkArea();
    EXPECT_EQ(r.right, work.right - 12);
    EXPECT_EQ(r.bottom, work.bottom - 12);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(bar.glyphFont, sizeof(lf), &lf));
    EXPECT_EQ(lf.lfHeight, -L(14));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar.HitRegion({L(10 + zl::kEdges[i]) + 1, L(28)}), i) << i;
        EXPECT_EQ(bar.HitRegion({L(10 + zl::kEdges[i + 1]) - 2, L(28)}), i) << i;
    }
    EXPECT_EQ(bar.HitRegion({L(10 + 172) + 1, L(28)}), -1);
    EXPECT_EQ(bar.HitRegion({L(20), L(47)}), -1);
    // The drawing scales too: opaque inside the row, shadow below it, clear at the corner.
    std::vector<uint32_t> px;
    ASSERT_TRUE(bar.DrawPixels(L(192), L(56), px));
    auto alpha = [&](int x, int y) { return px[static_cast<size_t>(y) * L(192) + x] >> 24; };
    EXPECT_EQ(alpha(L(96), L(28)), 255u);
    EXPECT_GT(alpha(L(96), L(46) + 1), 0u);
    EXPECT_LT(alpha(L(96), L(46) + 1), 64u);
    EXPECT_EQ(alpha(0, 0), 0u);
}

}  // namespace
