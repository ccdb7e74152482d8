#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "Foreground.h"
#include "Pump.h"
#include "SymTestUtil.h"
#include "SymbolPanel.h"
#include "ThemeOverride.h"

namespace {

using symtest::ClientPoint;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

TEST(SymbolPanel, CreateMakesAHiddenToolPopup) {
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    ASSERT_NE(nullptr, p.hwnd);
    wchar_t name[64] = {};
    GetClassNameW(p.hwnd, name, 64);
    EXPECT_STREQ(L"ZelunWubiSymWnd", name);
    wchar_t title[64] = {};
    GetWindowTextW(p.hwnd, title, 64);
    EXPECT_STREQ(L"图标输入", title);
    EXPECT_EQ(0x08000088u, static_cast<DWORD>(GetWindowLongPtrW(p.hwnd, GWL_EXSTYLE)) & 0x08000088u);
    EXPECT_TRUE(static_cast<DWORD>(GetWindowLongPtrW(p.hwnd, GWL_STYLE)) & WS_POPUP);
    EXPECT_EQ(nullptr, GetWindow(p.hwnd, GW_OWNER));
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    EXPECT_EQ(404, r.right - r.left);
    EXPECT_EQ(190, r.bottom - r.top);
    EXPECT_FALSE(IsWindowVisible(p.hwnd));
    EXPECT_FALSE(p.visible);
    EXPECT_TRUE(p.tabFont && p.symbolFont && p.textFont);
    // A second Create keeps the window and its fonts.
    const HWND first = p.hwnd;
    const HFONT font = p.symbolFont.Get();
    EXPECT_TRUE(p.Create(Instance()));
    EXPECT_EQ(first, p.hwnd);
    EXPECT_EQ(font, p.symbolFont.Get());
    p.Destroy();
    EXPECT_EQ(nullptr, p.hwnd);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(p.tabFont || p.symbolFont || p.textFont);
}

TEST(SymbolPanel, ShowOpensOnTheFirstTabAboveTheAnchorAndReports) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    int reports = 0;
    p.onVisibilityChanged = [&] { ++reports; };
    const POINT anchor = symtest::MidAnchor();
    p.category = 4;
    p.hoverItem = 3;
    p.flashItem = 2;
    p.Show(anchor);
    EXPECT_TRUE(p.visible);
    EXPECT_TRUE(IsWindowVisible(p.hwnd));
    EXPECT_EQ(1, reports);
    EXPECT_EQ(0, p.category);
    EXPECT_EQ(-1, p.hoverItem);
    EXPECT_EQ(-1, p.hoverTab);
    EXPECT_EQ(-1, p.flashItem);
    EXPECT_EQ(-1, p.lastItem);
    EXPECT_NE(nullptr, p.hook);
    EXPECT_NE(p.hwnd, GetForegroundWindow()) << "the panel took the foreground";
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    EXPECT_EQ(anchor.x, r.left);
    EXPECT_EQ(anchor.y - 198, r.top);
    EXPECT_EQ(404, r.right - r.left);
    EXPECT_EQ(190, r.bottom - r.top);
    EXPECT_TRUE(GetWindowLongPtrW(p.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The rounded region: the corner pixel is cut, the middle of an edge is not.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(p.hwnd, region));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 200, 0));
    EXPECT_TRUE(PtInRegion(region, 403, 95));
    DeleteObject(region);

    const HHOOK hook = p.hook;
    p.Hide();
    EXPECT_FALSE(p.visible);
    EXPECT_FALSE(IsWindowVisible(p.hwnd));
    EXPECT_EQ(2, reports);
    EXPECT_EQ(nullptr, p.hook);
    EXPECT_TRUE(symtest::HookGone(hook));
    p.Hide();  // already hidden: no report
    EXPECT_EQ(2, reports);

    p.Toggle(anchor);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(3, reports);
    p.Toggle(anchor);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(4, reports);
    EXPECT_EQ(nullptr, p.hook);

    // Destroy ends everything without a report.
    p.Show(anchor);
    const HHOOK open = p.hook;
    p.Destroy();
    EXPECT_EQ(5, reports);
    EXPECT_FALSE(p.visible);
    EXPECT_TRUE(symtest::HookGone(open));
}

TEST(SymbolPanel, NothingHappensWithoutAWindow) {
    zl::SymbolPanel p;
    int reports = 0;
    p.onVisibilityChanged = [&] { ++reports; };
    p.Show(POINT{100, 400});
    p.Toggle(POINT{100, 400});
    p.Hide();
    p.ApplySize();
    p.CheckForeground();
    p.InstallHook();
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(nullptr, p.hook);
    EXPECT_EQ(0, reports);
    p.Destroy();
}

TEST(SymbolPanel, OpensBelowTheAnchorNearTheTopOfTheWorkArea) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    const RECT work = symtest::WorkArea();
    p.Show(POINT{work.left + 50, work.top + 20});
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    EXPECT_EQ(work.left + 50, r.left);
    EXPECT_EQ(work.top + 20 + 38, r.top);
    // At the right edge it stays on the monitor.
    p.Hide();
    p.Show(POINT{work.right - 10, work.bottom - 40});
    GetWindowRect(p.hwnd, &r);
    EXPECT_EQ(work.right - 404, r.left);
    EXPECT_EQ(work.bottom - 40 - 198, r.top);
}

TEST(SymbolPanel, AClickOnAnItemHandsItsTextOverAfterwardsAndFlashes) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    std::vector<std::wstring> got;
    p.onInsert = [&](const std::wstring& s) { got.push_back(s); };
    p.Show(symtest::MidAnchor());

    const POINT c = symtest::ItemCentre(p, 12);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(c.x, c.y));
    EXPECT_TRUE(got.empty()) << "handed over inside the mouse-down handling";
    EXPECT_EQ(12, p.lastItem);
    zltest::PumpPending();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(std::wstring(L"》"), got[0]);
    EXPECT_TRUE(p.pending.empty());
    EXPECT_EQ(12, p.flashItem);
    EXPECT_TRUE(p.visible) << "a pick leaves the panel open";
    ASSERT_TRUE(zltest::PumpUntil([&] { return p.flashItem == -1; }, 1000));

    // An emoticon goes over whole.
    const POINT tab = symtest::TabCentre(5);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(tab.x, tab.y));
    EXPECT_EQ(5, p.category);
    const POINT e = symtest::ItemCentre(p, 11);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(e.x, e.y));
    zltest::PumpPending();
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(std::wstring(L"（＞﹏＜）"), got[1]);

    // The empty cells after the last item of 数学 do nothing.
    const POINT mathTab = symtest::TabCentre(1);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(mathTab.x, mathTab.y));
    EXPECT_EQ(1, p.category);
    const POINT empty = symtest::ItemCentre(p, 42);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(empty.x, empty.y));
    zltest::PumpPending();
    EXPECT_EQ(2u, got.size());

    // Opening again shows 常用, whatever tab was last selected.
    p.Hide();
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(0, p.category);

    // Without a handler a click picks nothing.
    p.onInsert = nullptr;
    const POINT first = symtest::ItemCentre(p, 0);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(first.x, first.y));
    EXPECT_TRUE(p.pending.empty());
    zltest::PumpPending();
    EXPECT_EQ(-1, p.flashItem);
}

TEST(SymbolPanel, TheHandlerMayDestroyThePanel) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    int calls = 0;
    p.onInsert = [&](const std::wstring&) {
        ++calls;
        p.onInsert = nullptr;  // the copy being called stays alive
        p.Destroy();
    };
    p.Show(symtest::MidAnchor());
    const POINT c = symtest::ItemCentre(p, 0);
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(c.x, c.y));
    zltest::PumpPending();
    EXPECT_EQ(1, calls);
    EXPECT_EQ(nullptr, p.hwnd);
    EXPECT_EQ(nullptr, p.hook);
}

// The owner may delete the panel in the handler (a deactivation): the commit must not touch
// the object afterwards, here a new panel that took over the same memory.
TEST(SymbolPanel, TheHandlerMayDeleteThePanel) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    alignas(zl::SymbolPanel) unsigned char storage[sizeof(zl::SymbolPanel)];
    auto* p = new (storage) zl::SymbolPanel;
    ASSERT_TRUE(p->Create(Instance()));
    HWND first = p->hwnd;
    zl::SymbolPanel* next = nullptr;
    p->onInsert = [&](const std::wstring&) {
        p->~SymbolPanel();
        next = new (storage) zl::SymbolPanel;
        next->Create(Instance());
        next->lastItem = 7;
    };
    p->Show(symtest::MidAnchor());
    const POINT c = symtest::ItemCentre(*p, 3);
    SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(c.x, c.y));
    zltest::PumpPending();
    ASSERT_NE(nullptr, next);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(-1, next->flashItem) << "the old panel's commit flashed the new one";
    next->~SymbolPanel();
}

TEST(SymbolPanel, MouseMovesTrackTheTabAndTheItemUnderTheMouse) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    const POINT tab = symtest::TabCentre(2);
    SendMessageW(p.hwnd, WM_MOUSEMOVE, 0, ClientPoint(tab.x, tab.y));
    EXPECT_EQ(2, p.hoverTab);
    EXPECT_EQ(-1, p.hoverItem);
    SendMessageW(p.hwnd, WM_MOUSEMOVE, 0, ClientPoint(398, 20));  // the strip beyond the last tab
    EXPECT_EQ(-1, p.hoverTab);
    const POINT item = symtest::ItemCentre(p, 7);
    SendMessageW(p.hwnd, WM_MOUSEMOVE, 0, ClientPoint(item.x, item.y));
    EXPECT_EQ(7, p.hoverItem);
    EXPECT_EQ(-1, p.hoverTab);
    SendMessageW(p.hwnd, WM_MOUSEMOVE, 0, ClientPoint(-5, -5));  // negative 16-bit coordinates
    EXPECT_EQ(-1, p.hoverItem);
    EXPECT_EQ(-1, p.hoverTab);
    // A tab click drops the item hover; clicking the selected tab changes nothing.
    SendMessageW(p.hwnd, WM_MOUSEMOVE, 0, ClientPoint(item.x, item.y));
    SendMessageW(p.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(tab.x, tab.y));
    EXPECT_EQ(2, p.category);
    EXPECT_EQ(-1, p.hoverItem);
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    EXPECT_EQ(symtest::MidAnchor().y - 198, r.top) << "a tab change keeps the place";
}

TEST(SymbolPanel, ThemeIsReadAtEveryShowAndMissingMeansLight) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.Valid());
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(0, p.dark) << "no key at all";
    p.Hide();
    ASSERT_TRUE(theme.SetLightTheme(0));
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(1, p.dark);
    p.Hide();
    ASSERT_TRUE(theme.SetLightThemeText(L"0"));
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(0, p.dark) << "a value of the wrong type";
    p.Hide();
    ASSERT_TRUE(theme.RemoveLightTheme());
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(0, p.dark) << "key without the value";
    p.Hide();
    ASSERT_TRUE(theme.SetLightTheme(1));
    p.Show(symtest::MidAnchor());
    EXPECT_EQ(0, p.dark);
}

TEST(SymbolPanel, HidesWhenAnotherProcessComesToTheFront) {
    zltest::OwnForegroundWindow own;
    ASSERT_EQ(GetCurrentProcessId(), zltest::ForegroundProcessId());
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    int reports = 0;
    p.onVisibilityChanged = [&] { ++reports; };
    p.Show(symtest::MidAnchor());
    // The timer's tick, without waiting for it.
    SendMessageW(p.hwnd, WM_TIMER, zl::SymbolPanel::kForegroundTimer, 0);
    EXPECT_TRUE(p.visible) << "this process in front";

    zltest::ForeignForegroundWindow other;
    ASSERT_TRUE(other.Start());
    // The real timer does it by itself.
    ASSERT_TRUE(zltest::PumpUntil([&] { return !p.visible; }, 10000));
    EXPECT_EQ(2, reports);
    EXPECT_EQ(nullptr, p.hook) << "the hook goes with the panel on every path";
}

TEST(SymbolPanel, ADestroyedWindowTakesItsHookWithIt) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    const HHOOK hook = p.hook;
    ASSERT_NE(nullptr, hook);
    DestroyWindow(p.hwnd);  // as when its thread ends
    EXPECT_EQ(nullptr, p.hwnd);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(nullptr, p.hook);
    EXPECT_TRUE(symtest::HookGone(hook));
    // The object can make a new window afterwards.
    ASSERT_TRUE(p.Create(Instance()));
    p.Show(symtest::MidAnchor());
    EXPECT_NE(nullptr, p.hook);
}

// A class of the panel's name whose windows refuse to be created: every Create fails.
LRESULT CALLBACK RefuseProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) return FALSE;
    return DefWindowProcW(w, m, wp, lp);
}

TEST(SymbolPanel, ARetriedCreateMakesNoFontsTwice) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RefuseProc;
    wc.hInstance = Instance();
    wc.lpszClassName = zl::SymbolPanel::kClassName;
    ASSERT_TRUE(RegisterClassExW(&wc));
    zl::SymbolPanel p;
    EXPECT_FALSE(p.Create(Instance()));
    const HFONT tab = p.tabFont.Get();
    const HFONT symbol = p.symbolFont.Get();
    const HFONT text = p.textFont.Get();
    for (int i = 0; i < 50; ++i) EXPECT_FALSE(p.Create(Instance()));
    EXPECT_EQ(tab, p.tabFont.Get());
    EXPECT_EQ(symbol, p.symbolFont.Get());
    EXPECT_EQ(text, p.textFont.Get());
    EXPECT_EQ(nullptr, p.hwnd);
    UnregisterClassW(zl::SymbolPanel::kClassName, Instance());
    // With the real class the same object comes up with the fonts it already has.
    ASSERT_TRUE(p.Create(Instance()));
    EXPECT_EQ(symbol, p.symbolFont.Get());
    p.Destroy();
    EXPECT_FALSE(p.tabFont || p.symbolFont || p.textFont);
}

}  // namespace
