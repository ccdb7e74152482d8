// The outside-press hook, with real presses through SendInput and with events fed to the
// hook procedure directly where timing matters.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "Foreground.h"
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

// Gives a posted hide request time to arrive.
void Settle() { zltest::PumpFor(300); }

class SymbolHook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetCurrentProcessId(), zltest::ForegroundProcessId()) << "cannot hold the foreground";
        // Let a press of an earlier test leave the double-press window.
        zltest::PumpFor(320);
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
};

TEST_F(SymbolHook, AnOutsidePressClosesTheOpenPanelButNotAPressInsideOrOnTheOwner) {
    const POINT anchor = symtest::MidAnchor();
    symtest::OwnerWindow bar(RECT{anchor.x, anchor.y, anchor.x + 200, anchor.y + 36});
    ASSERT_NE(nullptr, bar.Get());
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.owner = bar.Get();
    int reports = 0;
    p.onVisibilityChanged = [&] { ++reports; };
    p.Show(anchor);
    ASSERT_NE(nullptr, p.hook);

    ASSERT_TRUE(symtest::LeftClick(InsideBlank(p)));
    Settle();
    EXPECT_TRUE(p.visible) << "a press inside the panel";

    ASSERT_TRUE(symtest::LeftClick(POINT{anchor.x + 100, anchor.y + 18}));
    Settle();
    EXPECT_TRUE(p.visible) << "a press on the owner (the status bar)";

    ASSERT_TRUE(symtest::Press(Elsewhere(), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    Settle();
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
    symtest::OwnerWindow barA(RECT{a.x, a.y, a.x + 200, a.y + 36});
    symtest::OwnerWindow barB(RECT{b.x, b.y, b.x + 200, b.y + 36});
    zl::SymbolPanel pa;
    zl::SymbolPanel pb;
    ASSERT_TRUE(pa.Create(Instance()));
    ASSERT_TRUE(pb.Create(Instance()));
    pa.owner = barA.Get();
    pb.owner = barB.Get();
    pa.Show(a);
    pb.Show(b);
    ASSERT_NE(nullptr, pa.hook);
    ASSERT_NE(nullptr, pb.hook);

    // On A's owner: A stays, B (for which it is outside) closes.
    ASSERT_TRUE(symtest::LeftClick(POINT{a.x + 100, a.y + 18}));
    ASSERT_TRUE(zltest::PumpUntil([&] { return !pb.visible; }, 2000));
    Settle();
    EXPECT_TRUE(pa.visible);
    EXPECT_NE(nullptr, pa.hook) << "B's hide must not take A's hook";

    // Inside B (open again): A closes, B stays.
    pb.Show(b);
    zltest::PumpFor(320);
    ASSERT_TRUE(symtest::LeftClick(InsideBlank(pb)));
    ASSERT_TRUE(zltest::PumpUntil([&] { return !pa.visible; }, 2000));
    Settle();
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
    ASSERT_TRUE(symtest::LeftClick(Elsewhere()));
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
    p.Show(symtest::MidAnchor());
    symtest::FeedHook(WM_LBUTTONDOWN, away);
    zltest::PumpPending();
    ASSERT_FALSE(p.visible);

    // Within 3 pixels on both axes and 300 ms: let through without closing.
    p.Show(symtest::MidAnchor());
    symtest::FeedHook(WM_LBUTTONDBLCLK, POINT{away.x + 3, away.y - 3});
    zltest::PumpPending();
    EXPECT_TRUE(p.visible);
    // Each press moves the memory: 3 more pixels from the last one is again a repeat.
    symtest::FeedHook(WM_LBUTTONDOWN, POINT{away.x + 6, away.y - 3});
    zltest::PumpPending();
    EXPECT_TRUE(p.visible);
    // 4 pixels away on one axis is a new press.
    symtest::FeedHook(WM_LBUTTONDOWN, POINT{away.x + 10, away.y - 3});
    zltest::PumpPending();
    EXPECT_FALSE(p.visible);

    // After 300 ms the same point closes again.
    p.Show(symtest::MidAnchor());
    zltest::PumpFor(320);
    symtest::FeedHook(WM_XBUTTONDOWN, POINT{away.x + 10, away.y - 3});
    zltest::PumpPending();
    EXPECT_FALSE(p.visible);
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
