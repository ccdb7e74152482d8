#include <gtest/gtest.h>

#include <windows.h>

#include "Canvas.h"
#include "Foreground.h"
#include "Pump.h"
#include "SymTestUtil.h"
#include "SymbolPanel.h"

namespace {

constexpr COLORREF kLightBg = 0xFEFDFD;
constexpr COLORREF kDarkBg = 0x322E2C;

struct Painted {
    zl::SymbolPanel panel;
    zltest::Canvas canvas{zl::kSymPanelW, zl::kSymPanelH};
    explicit Painted(bool dark, int category = 0, int hoverTab = -1, int hoverItem = -1, int flashItem = -1) {
        if (!panel.Create(GetModuleHandleW(nullptr))) return;
        panel.dark = dark;
        panel.category = category;
        panel.hoverTab = hoverTab;
        panel.hoverItem = hoverItem;
        panel.flashItem = flashItem;
        panel.OnPaint(canvas.Dc());
    }
    RECT Inner(int item) const {
        const RECT c = zl::SymbolItemRect(panel.category, item);
        return RECT{c.left + 4, c.top + 4, c.right - 4, c.bottom - 4};
    }
};

TEST(SymbolPaint, LightPanelOnTheFirstTab) {
    Painted p(false);
    ASSERT_TRUE(p.panel.hwnd);
    EXPECT_EQ(kLightBg, p.canvas.Pixel(5, 100));
    EXPECT_EQ(0xD6D0CEu, p.canvas.Pixel(200, 0));     // the outline, top
    EXPECT_EQ(0xD6D0CEu, p.canvas.Pixel(200, 189));   // and bottom
    EXPECT_EQ(0xD6D0CEu, p.canvas.Pixel(0, 95));
    EXPECT_EQ(0xCD6826u, p.canvas.Pixel(15, 23));     // the selected tab
    EXPECT_EQ(kLightBg, p.canvas.Pixel(80, 23));      // the others have no fill
    // The selected tab's label is white, the others are drawn in the secondary colour.
    EXPECT_GT(p.canvas.CountNear(zl::SymbolTabRect(0), 0xFFFFFF, 40), 5);
    EXPECT_GT(p.canvas.CountOther(zl::SymbolTabRect(1), kLightBg), 5);
    EXPECT_EQ(0, p.canvas.CountNear(zl::SymbolTabRect(1), 0xF8ECE4, 0));
    // Every item is drawn in its cell; the cells after the last one stay empty.
    for (int k = 0; k < 41; ++k) EXPECT_GT(p.canvas.CountOther(p.Inner(k), kLightBg), 3) << "item " << k;
    EXPECT_EQ(0, p.canvas.CountOther(zl::SymbolItemRect(0, 41), kLightBg, 0));
    EXPECT_EQ(0, p.canvas.CountOther(zl::SymbolItemRect(0, 43), kLightBg, 0));
}

TEST(SymbolPaint, HoverAndFlashFills) {
    Painted p(false, 0, 2, 3, 5);
    ASSERT_TRUE(p.panel.hwnd);
    EXPECT_EQ(0xF8ECE4u, p.canvas.Pixel(zl::SymbolTabRect(2).left + 3, 23));  // hovered tab
    const RECT hover = zl::SymbolItemRect(0, 3);
    EXPECT_EQ(0xF8ECE4u, p.canvas.Pixel(hover.left + 4, hover.top + 4));
    EXPECT_EQ(kLightBg, p.canvas.Pixel(hover.left + 1, hover.top + 17));  // the 2-pixel inset
    const RECT flash = zl::SymbolItemRect(0, 5);
    EXPECT_EQ(0xF8DCC6u, p.canvas.Pixel(flash.left + 4, flash.top + 4));
    // Hot items are drawn in the hot text colour.
    EXPECT_GT(p.canvas.CountNear(p.Inner(3), 0x964C18, 40), 0);
    EXPECT_GT(p.canvas.CountNear(p.Inner(5), 0x964C18, 40), 0);
    EXPECT_EQ(0, p.canvas.CountNear(p.Inner(4), 0x964C18, 10));
}

TEST(SymbolPaint, DarkPanelAndTheEmoticonTab) {
    Painted p(true, 5, -1, 1);
    ASSERT_TRUE(p.panel.hwnd);
    EXPECT_EQ(kDarkBg, p.canvas.Pixel(5, 100));
    EXPECT_EQ(0x56504Eu, p.canvas.Pixel(200, 0));
    EXPECT_EQ(0xA8602Eu, p.canvas.Pixel(zl::SymbolTabRect(5).left + 3, 23));
    EXPECT_EQ(kDarkBg, p.canvas.Pixel(15, 23));  // 常用 is not selected now
    const RECT hover = zl::SymbolItemRect(5, 1);
    EXPECT_EQ(0x48403Cu, p.canvas.Pixel(hover.left + 4, hover.top + 4));
    for (int k = 0; k < 12; ++k) EXPECT_GT(p.canvas.CountOther(p.Inner(k), kDarkBg), 10) << "emoticon " << k;
}

TEST(SymbolPaint, PaintReachesTheWindow) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    zl::SymbolPanel p;
    ASSERT_TRUE(p.Create(GetModuleHandleW(nullptr)));
    p.Show(symtest::MidAnchor());
    UpdateWindow(p.hwnd);  // the pending WM_PAINT, now
    zltest::Canvas canvas(zl::kSymPanelW, zl::kSymPanelH);
    HDC dc = GetDC(p.hwnd);
    ASSERT_NE(nullptr, dc);
    BitBlt(canvas.Dc(), 0, 0, zl::kSymPanelW, zl::kSymPanelH, dc, 0, 0, SRCCOPY);
    ReleaseDC(p.hwnd, dc);
    const COLORREF bg = p.dark ? kDarkBg : kLightBg;
    EXPECT_EQ(bg, canvas.Pixel(5, 100));
    EXPECT_GT(canvas.CountOther(zl::SymbolItemRect(0, 0), bg), 3);
}

}  // namespace
