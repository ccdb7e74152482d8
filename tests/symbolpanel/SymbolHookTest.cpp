// The outside-press hook, with real presses through SendInput and with events fed to the
// hook procedure directly where timing matters.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "Foreground.h"
#include "PlainWindows.h"
#include "Pump.h"
#include "SymTestUtil.h"
#include "SymbolPanel.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

POINT InsideBlank(const zl::SymbolPanel& p) {
    // The bottom-left margin of the panel: inside its window, on no tab or item.
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    return POINT{r.left + 6, r.bottom - 6};
}

class SymbolHook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetCurrentProcessId(), zltest::ForegroundProcessId()) << "cannot hold the foreground";
        ASSERT_TRUE(watch_.Valid());
    }
    // Well away from the panels and their owners: the middle of this process's foreground
    // window. A press on the bare desktop would bring another process to the front, which
    // closes the panel by itself and would hide whether the hook did.
    POINT Elsewhere() const {
        RECT r{};
        GetWindowRect(front_.Get(), &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    size_t HookHides() const { return folder_.TraceCount("sym hook outside click -> hide "); }

    zltest::OwnForegroundWindow front_;
    symtest::UserFolder folder_;
    symtest::PressWatch watch_;  // before any panel's hook
    zltest::PlainWindows owners_;
};

TEST_F(SymbolHook, AnOutsidePressClosesTheOpenPanelButNotAPressInsideOrOnTheOwner) {
    const POINT anchor = symtest::MidAnchor();
    const HWND bar = owners_.Owner(RECT{anchor.x, anchor.y, anchor.x + 200, anchor.y + 36});
    ASSERT_NE(nullptr, bar);
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.owner = bar;
    int reports = 0;
    p.onVisibilityChanged = [&] { ++reports; };
    p.Show(anchor);
    ASSERT_NE(nullptr, p.hook);

    ASSERT_TRUE(symtest::LeftClick(InsideBlank(p)));
    EXPECT_TRUE(p.visible) << "a press inside the panel";

    ASSERT_TRUE(symtest::LeftClick(POINT{anchor.x + 100, anchor.y + 18}));
    EXPECT_TRUE(p.visible) << "a press on the owner (the status bar)";

    ASSERT_TRUE(symtest::Press(Elsewhere(), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    EXPECT_TRUE(p.visible) << "the middle button is not watched";

    const HHOOK hook = p.hook;
    ASSERT_TRUE(symtest::LeftClick(Elsewhere()));
    ASSERT_TRUE(zltest::PumpUntil([&] { return !p.visible; }, 2000)) << "an outside press did not close the panel";
    EXPECT_FALSE(IsWindowVisible(p.hwnd));
    EXPECT_EQ(2, reports);
    EXPECT_EQ(nullptr, p.hook);
    EXPECT_TRUE(symtest::HookGone(hook));
    EXPECT_EQ(1u, folder_.TraceCount("sym hide by outside click"));
    EXPECT_EQ(1u, folder_.TraceCount("sym hook outside click -> hide "));
}

TEST_F(SymbolHook, ARightPressOutsideClosesToo) {
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    ASSERT_TRUE(symtest::Press(Elsewhere(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP));
    EXPECT_TRUE(zltest::PumpUntil([&] { return !p.visible; }, 2000));
    EXPECT_EQ(1u, HookHides());
}

TEST_F(SymbolHook, ANewerHiddenPanelDoesNotStealTheOutsidePress) {
    // The open panel of an earlier activation, and a hidden one made later on top of it.
    zl::SymbolPanel open;
    ASSERT_TRUE(open.Create(Instance()));
    open.Show(symtest::MidAnchor());
    zl::SymbolPanel later;
    ASSERT_TRUE(later.Create(Instance()));
    ASSERT_FALSE(later.visible);
    ASSERT_TRUE(symtest::LeftClick(Elsewhere()));
    EXPECT_TRUE(zltest::PumpUntil([&] { return !open.visible; }, 2000));
    EXPECT_FALSE(later.visible);
    EXPECT_EQ(1u, HookHides());
}

TEST_F(SymbolHook, TwoOpenPanelsEachKeepTheirOwnInsideAndOwner) {
    const POINT a = symtest::MidAnchor();
    const POINT b{a.x - 450, a.y};
    const HWND barA = owners_.Owner(RECT{a.x, a.y, a.x + 200, a.y + 36});
    const HWND barB = owners_.Owner(RECT{b.x, b.y, b.x + 200, b.y + 36});
    zl::SymbolPanel pa;
    zl::SymbolPanel pb;
    ASSERT_TRUE(pa.Create(Instance()));
    ASSERT_TRUE(pb.Create(Instance()));
    pa.owner = barA;
    pb.owner = barB;
    pa.Show(a);
    pb.Show(b);
    ASSERT_NE(nullptr, pa.hook);
    ASSERT_NE(nullptr, pb.hook);

    // On A's owner: A stays, B (for which it is outside) closes.
    ASSERT_TRUE(symtest::LeftClick(POINT{a.x + 100, a.y + 18}));
    ASSERT_TRUE(zltest::PumpUntil([&] { return !pb.visible; }, 2000));
    EXPECT_TRUE(pa.visible);
    EXPECT_NE(nullptr, pa.hook) << "B's hide must not take A's hook";

    // Inside B (open again): A closes, B stays.
    pb.Show(b);
    ASSERT_TRUE(symtest::LeftClick(InsideBlank(pb)));
    ASSERT_TRUE(zltest::PumpUntil([&] { return !pa.visible; }, 2000));
    EXPECT_TRUE(pb.visible);

    EXPECT_EQ(2u, HookHides());
    const HHOOK hook = pb.hook;
    pb.Hide();
    EXPECT_TRUE(symtest::HookGone(hook)) << "the last open panel removes the hook";
}

TEST_F(SymbolHook, PanelsOnTwoThreadsBothCloseOnOnePress) {
    std::atomic<int> stage{0};  // 1 shown, 2 hidden, 3 failed
    std::atomic<bool> quit{false};
    std::thread other([&] {
        zl::SymbolPanel p;
        if (!p.Create(Instance())) {
            stage = 3;
            return;
        }
        const POINT a = symtest::MidAnchor();
        p.Show(POINT{a.x - 450, a.y});
        stage = p.hook ? 1 : 3;
        zltest::PumpUntil([&] { return quit.load() || !p.visible; }, 10000);
        if (!p.visible) stage = 2;
        zltest::PumpUntil([&] { return quit.load(); }, 10000);
        p.Destroy();
    });
    ASSERT_TRUE(zltest::PumpUntil([&] { return stage.load() != 0; }, 5000));
    ASSERT_EQ(1, stage.load());
    zl::SymbolPanel mine;
    ASSERT_TRUE(mine.Create(Instance()));
    mine.Show(symtest::MidAnchor());
    ASSERT_TRUE(symtest::LeftClick(Elsewhere(), false));
    const bool mineClosed = zltest::PumpUntil([&] { return !mine.visible; }, 2000);
    const bool otherClosed = zltest::PumpUntil([&] { return stage.load() == 2; }, 2000);
    quit = true;
    other.join();
    EXPECT_TRUE(mineClosed);
    EXPECT_TRUE(otherClosed) << "the second thread's hook took the press for a repeat";
    EXPECT_EQ(2u, HookHides());
}

TEST_F(SymbolHook, ASecondPressCloseByWithin300MsIsARepeat) {
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    const POINT away = Elsewhere();
    const DWORD t0 = symtest::NextPressTime();
    p.Show(symtest::MidAnchor());
    symtest::FeedHook(WM_LBUTTONDOWN, away, t0);
    zltest::PumpPending();
    ASSERT_FALSE(p.visible);

    // Each press is compared with the one before it (whether it closed or not).
    struct Step {
        UINT message;
        int dx, dy;
        DWORD after;  // ms after the previous press
        bool closes;
    } const steps[] = {
        {WM_LBUTTONDBLCLK, 3, -3, 299, false},  // within 3 pixels on both axes and 300 ms
        {WM_LBUTTONDOWN, 6, -3, 100, false},    // 3 more pixels from the last press
        {WM_LBUTTONDOWN, 10, -3, 1, true},      // 4 pixels on one axis: a new press
        {WM_XBUTTONDOWN, 10, -3, 300, true},    // the same point 300 ms later
        {WM_RBUTTONDOWN, 10, -7, 0, true},      // 4 pixels on the other axis
    };
    DWORD t = t0;
    for (const Step& s : steps) {
        p.Show(symtest::MidAnchor());
        t += s.after;
        symtest::FeedHook(s.message, POINT{away.x + s.dx, away.y + s.dy}, t);
        zltest::PumpPending();
        EXPECT_EQ(!s.closes, p.visible != 0) << s.dx << "," << s.dy << " after " << s.after << " ms";
    }
}

TEST_F(SymbolHook, OnlyPressesCountAndAPressInsideLeavesNoMemory) {
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    const POINT away = Elsewhere();
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MOUSEWHEEL}) {
        symtest::FeedHook(m, away);
    }
    // A negative code is handed on untouched.
    MSLLHOOKSTRUCT ev{};
    ev.pt = away;
    zl::SymbolPanel::MouseHook(-1, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&ev));
    zl::SymbolPanel::MouseHook(HC_ACTION, WM_LBUTTONDOWN, 0);  // no event at all
    zltest::PumpPending();
    EXPECT_TRUE(p.visible);

    // A press inside is not remembered: an outside press right beside it still closes.
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    symtest::FeedHook(WM_LBUTTONDOWN, POINT{r.left + 1, r.bottom - 6});
    zltest::PumpPending();
    EXPECT_TRUE(p.visible);
    symtest::FeedHook(WM_LBUTTONDOWN, POINT{r.left - 1, r.bottom - 6});
    zltest::PumpPending();
    EXPECT_FALSE(p.visible);
}

}  // namespace
