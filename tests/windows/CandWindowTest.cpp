#include <gtest/gtest.h>

#include <windows.h>

#include "CandSamples.h"
#include "CandWindow.h"
#include "Pump.h"

namespace {

using candtest::Request;
using candtest::Sample;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// The window has its rounded region for the current size: corner cut, right edge inside,
// nothing beyond it.
bool HasRoundedRegion(const zl::CandWindow& w) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int cx = w.clientSize.cx, cy = w.clientSize.cy;
    const bool ok = GetWindowRgn(w.hwnd, region) != ERROR && !PtInRegion(region, 0, 0) &&
                    PtInRegion(region, cx - 1, cy / 2) && !PtInRegion(region, cx + 1, cy / 2) &&
                    PtInRegion(region, cx / 2, cy - 1) && !PtInRegion(region, cx / 2, cy + 1);
    DeleteObject(region);
    return ok;
}

TEST(CandWindow, CreatesAHiddenNonActivatingTopmostPopup) {
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    HWND first = w.hwnd;
    EXPECT_TRUE(w.Create(Instance()));  // already there
    EXPECT_EQ(first, w.hwnd);
    wchar_t cls[64] = {};
    GetClassNameW(w.hwnd, cls, 64);
    EXPECT_STREQ(L"ZelunWubiCandWnd", cls);
    EXPECT_EQ(0x08000088u, static_cast<DWORD>(GetWindowLongPtrW(w.hwnd, GWL_EXSTYLE)) & 0x08000088u);
    EXPECT_TRUE(GetWindowLongPtrW(w.hwnd, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.visible);
    EXPECT_EQ(MA_NOACTIVATE, SendMessageW(w.hwnd, WM_MOUSEACTIVATE, 0, 0));
    EXPECT_EQ(1, SendMessageW(w.hwnd, WM_ERASEBKGND, 0, 0));
}

TEST(CandWindow, DestroyClearsEverythingAndAllowsANewWindow) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    w.Show(Request(list));
    ASSERT_TRUE(w.visible);
    HWND old = w.hwnd;
    w.Destroy();
    EXPECT_EQ(nullptr, w.hwnd);
    EXPECT_EQ(nullptr, w.font.Get());
    EXPECT_EQ(nullptr, w.smallFont.Get());
    EXPECT_FALSE(w.visible);  // a stale flag would let HitTest and Hide act on nothing
    EXPECT_FALSE(IsWindow(old));
    // The class goes with its last window, so a reloaded module registers its own again.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_FALSE(GetClassInfoExW(Instance(), L"ZelunWubiCandWnd", &wc));
    EXPECT_EQ(-1, w.HitTest(POINT{0, 0}));
    w.Show(Request(list));  // no window: nothing happens
    EXPECT_FALSE(w.visible);
    ASSERT_TRUE(w.Create(Instance()));
    w.Show(Request(list));
    EXPECT_TRUE(w.visible);
}

TEST(CandWindow, TwoWindowsShareTheClass) {
    zl::CandWindow a, b;
    ASSERT_TRUE(a.Create(Instance()));
    ASSERT_TRUE(b.Create(Instance()));
    a.Destroy();  // class still in use by b: stays registered
    auto list = Sample(2);
    b.Show(Request(list));
    EXPECT_TRUE(b.visible);
    b.Destroy();
    zl::CandWindow c;
    EXPECT_TRUE(c.Create(Instance()));
}

TEST(CandWindow, ADestroyedWindowIsForgotten) {
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    auto list = Sample(2);
    w.Show(Request(list));
    DestroyWindow(w.hwnd);
    EXPECT_EQ(nullptr, w.hwnd);
    EXPECT_FALSE(w.visible);
    w.Show(Request(list));
    w.Hide();
    EXPECT_TRUE(w.Create(Instance()));
    // The new window is as big as the old one and still gets its region.
    w.Show(Request(list));
    EXPECT_TRUE(HasRoundedRegion(w));
}

TEST(CandWindow, TheRegionFollowsTheWindowSize) {
    auto wide = Sample(7);
    auto narrow = Sample(2);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    struct Step {
        const zl::CandidateList* list;
        bool horizontal;
    } const steps[] = {{&wide, true}, {&wide, true}, {&narrow, true}, {&wide, false}, {&wide, true}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        w.Show(Request(*steps[i].list, 0, steps[i].horizontal));
        EXPECT_TRUE(HasRoundedRegion(w));
    }
}

TEST(CandWindow, ShowsPagesWithTheirIndicator) {
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    w.Show(Request(list, 0));
    ASSERT_TRUE(w.visible);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_EQ(5u, w.pageItems.size());
    EXPECT_EQ(5u, w.cells.size());
    EXPECT_EQ(2u, w.pageCount);
    EXPECT_GT(w.indicatorTextW, 0);
    EXPECT_EQ(L"工", w.pageItems[0].text);
    RECT wr;
    GetWindowRect(w.hwnd, &wr);
    const int withIndicator = wr.right - wr.left;
    EXPECT_GT(withIndicator, w.cells.back().right);  // room for "1/2" after the last cell

    w.Show(Request(list, 1));
    EXPECT_TRUE(w.visible);
    ASSERT_EQ(2u, w.pageItems.size());
    EXPECT_EQ(L"同学", w.pageItems[0].text);
    EXPECT_EQ(L"五笔输入法", w.pageItems[1].text);

    auto req = Request(list, 0);
    req.showPageIndicator = 0;
    w.Show(req);
    EXPECT_EQ(0, w.indicatorTextW);
    GetWindowRect(w.hwnd, &wr);
    EXPECT_EQ(w.cells.back().right, wr.right - wr.left);  // no width reserved

    auto single = Sample(3);
    w.Show(Request(single));
    EXPECT_EQ(0, w.indicatorTextW);  // one page: no indicator
}

TEST(CandWindow, NothingToShowHides) {
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    auto showAndExpectHidden = [&](const zl::CandShow& s) {
        w.Show(Request(list));
        ASSERT_TRUE(w.visible);
        w.Show(s);
        EXPECT_FALSE(w.visible);
        EXPECT_FALSE(IsWindowVisible(w.hwnd));
    };
    showAndExpectHidden(Request(list, 2));  // past the end
    auto zero = Request(list);
    zero.pageSize = 0;
    showAndExpectHidden(zero);
    zl::CandShow none;
    showAndExpectHidden(none);
    zl::CandidateList empty;
    showAndExpectHidden(Request(empty));
    auto wrap = Request(list, (~0ull / 5) + 1);
    showAndExpectHidden(wrap);
}

TEST(CandWindow, CodeWidthOnlyForNonEmptyCodes) {
    auto list = Sample(2);
    list[1].code.clear();
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    auto req = Request(list, 0, false);
    req.showCode = 0;
    w.Show(req);
    const LONG rowWithout = w.cells[0].right;
    req.showCode = 1;
    w.Show(req);
    EXPECT_GT(w.cells[0].right, rowWithout);
    // Horizontal: the cell whose code is empty is as wide with codes on as off.
    req.horizontal = 1;
    req.showCode = 0;
    w.Show(req);
    const LONG w1Off = w.cells[1].right - w.cells[1].left;
    const LONG w0Off = w.cells[0].right - w.cells[0].left;
    req.showCode = 1;
    w.Show(req);
    EXPECT_EQ(w1Off, w.cells[1].right - w.cells[1].left);
    EXPECT_GT(w.cells[0].right - w.cells[0].left, w0Off);
}

TEST(CandWindow, KeepsOnScreenAndOpensAboveTheCaret) {
    auto list = Sample(5);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    auto req = Request(list);
    req.x = work.right - 5;
    req.y = 200;
    w.Show(req);
    RECT wr;
    GetWindowRect(w.hwnd, &wr);
    EXPECT_EQ(work.right, wr.right);
    EXPECT_EQ(200, wr.top);

    req.x = 100;
    req.y = work.bottom - 10;
    w.Show(req);
    GetWindowRect(w.hwnd, &wr);
    EXPECT_EQ(100, wr.left);
    EXPECT_EQ(work.bottom - 10 - (wr.bottom - wr.top) - 38, wr.top);
}

TEST(CandWindow, HitTestAndClicksReportTheIndexOnThePage) {
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    std::vector<int> clicked;
    w.onCandidateClick = [&](int i) { clicked.push_back(i); };
    w.Show(Request(list, 1));
    ASSERT_EQ(2u, w.cells.size());
    EXPECT_EQ(0, w.HitTest(candtest::CellCentreOnScreen(w, 0)));
    EXPECT_EQ(1, w.HitTest(candtest::CellCentreOnScreen(w, 1)));

    auto click = [&](int x, int y) {
        SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    };
    const RECT c1 = w.cells[1];
    click(c1.left + 2, (c1.top + c1.bottom) / 2);
    // The page indicator area, right of the last cell: nothing.
    RECT wr;
    GetWindowRect(w.hwnd, &wr);
    click((wr.right - wr.left) - 3, (c1.top + c1.bottom) / 2);
    // Negative client coordinates are signed, not huge positives.
    click(-5, 5);
    ASSERT_EQ(1u, clicked.size());
    EXPECT_EQ(1, clicked[0]);  // index within the page, not within the list

    // Vertical: the padding above the first row is between cells.
    w.Show(Request(list, 0, false));
    clicked.clear();
    click(10, 1);
    click(10, w.cells[2].top + 1);
    ASSERT_EQ(1u, clicked.size());
    EXPECT_EQ(2, clicked[0]);

    w.Hide();
    EXPECT_EQ(-1, w.HitTest(candtest::CellCentreOnScreen(w, 0)));
}

TEST(CandWindow, ACallbackMayShowAnotherPage) {
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    int calls = 0;
    w.onCandidateClick = [&](int) {
        ++calls;
        w.onCandidateClick = nullptr;
        w.Show(Request(list, 1));
    };
    w.Show(Request(list, 0));
    const RECT c = w.cells[3];
    SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.left + 1, c.top + 5));
    EXPECT_EQ(1, calls);
    EXPECT_EQ(2u, w.pageItems.size());
}

TEST(CandWindow, ShowDoesNotTakeActivation) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    w.Show(Request(list));
    zltest::PumpPending();
    EXPECT_NE(w.hwnd, GetForegroundWindow());
    EXPECT_NE(w.hwnd, GetActiveWindow());
    EXPECT_NE(w.hwnd, GetFocus());
    EXPECT_TRUE(GetWindowLongPtrW(w.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(CandWindow, FontsFollowTheRequestedHeight) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    auto req = Request(list);
    for (uint32_t f : {19u, 20u, 48u}) {
        req.fontPx = f;
        w.Show(req);
        LOGFONTW main{}, small{};
        ASSERT_TRUE(GetObjectW(w.font.Get(), sizeof(main), &main));
        ASSERT_TRUE(GetObjectW(w.smallFont.Get(), sizeof(small), &small));
        EXPECT_EQ(-static_cast<LONG>(f), main.lfHeight);
        EXPECT_EQ(f == 19 ? -11 : f == 20 ? -12 : -28, small.lfHeight);
        EXPECT_STREQ(L"Microsoft YaHei", main.lfFaceName);
        EXPECT_EQ(FW_NORMAL, main.lfWeight);
        EXPECT_EQ(CLEARTYPE_QUALITY, main.lfQuality);
        EXPECT_EQ(OUT_TT_PRECIS, small.lfOutPrecision);
    }
}

TEST(CandWindow, GarbageFontSizeStillLaysOut) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(Instance()));
    auto req = Request(list);
    req.fontPx = 0xFFFFFFFFu;
    w.Show(req);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(zl::kCandMaxFontPx, w.fontPx);
    req.fontPx = 0;
    w.Show(req);
    EXPECT_EQ(zl::kCandMinFontPx, w.fontPx);
    EXPECT_GT(w.cells[0].bottom, w.cells[0].top);
}

}  // namespace
