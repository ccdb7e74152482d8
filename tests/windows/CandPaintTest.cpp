#include <gtest/gtest.h>

#include <windows.h>

#include "CandPalette.h"
#include "CandSamples.h"
#include "CandWindow.h"
#include "Canvas.h"
#include "Pump.h"
#include "ThemeOverride.h"

namespace {

using candtest::Request;
using candtest::Sample;
using zltest::Canvas;

RECT TextArea(const zl::CandWindow& w, size_t i) {
    const RECT& c = w.cells[i];
    const int x = c.left + w.metrics.padX + w.metrics.indexCol + 4;
    return RECT{x, c.top + 2, x + w.textWidths[i], c.bottom - 2};
}

RECT IndexArea(const zl::CandWindow& w, size_t i) {
    const RECT& c = w.cells[i];
    return RECT{c.left + w.metrics.padX, c.top + 2, c.left + w.metrics.padX + w.metrics.indexCol, c.bottom - 2};
}

class CandPaint : public ::testing::TestWithParam<bool> {};

TEST_P(CandPaint, BackgroundSelectionTextCodesAndIndicator) {
    const bool dark = GetParam();
    const zl::CandPalette& pal = zl::CandPaletteFor(dark);
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    w.Show(Request(list));
    w.dark = dark ? 1 : 0;
    const int width = w.clientSize.cx;
    const int height = w.clientSize.cy;
    Canvas canvas(width, height);
    ASSERT_TRUE(canvas.Valid());
    w.PaintTo(canvas.Dc());

    // Border round the whole client area, background inside it.
    EXPECT_EQ(pal.border, canvas.Pixel(0, 0));
    EXPECT_EQ(pal.border, canvas.Pixel(width - 1, height - 1));
    EXPECT_EQ(pal.background, canvas.Pixel(1, 1));
    EXPECT_EQ(pal.background, canvas.Pixel(width - 2, 1));

    // The selected cell is filled except 2 pixels at its top and bottom; the others are not.
    const RECT c0 = w.cells[0];
    EXPECT_EQ(pal.background, canvas.Pixel(c0.right - 2, c0.top + 1));
    EXPECT_EQ(pal.selectedFill, canvas.Pixel(c0.right - 2, c0.top + 2));
    EXPECT_EQ(pal.selectedFill, canvas.Pixel(c0.right - 2, c0.bottom - 3));
    EXPECT_EQ(pal.background, canvas.Pixel(c0.right - 2, c0.bottom - 2));
    const RECT c1 = w.cells[1];
    EXPECT_EQ(pal.background, canvas.Pixel(c1.right - 2, (c1.top + c1.bottom) / 2));
    // The palette's two large fills, as known values rather than the code's own table.
    EXPECT_EQ(dark ? 0x302C2Au : 0xFDFCFCu, canvas.Pixel(1, 1));
    EXPECT_EQ(dark ? 0x704626u : 0xFFE8D6u, canvas.Pixel(c0.right - 2, c0.top + 2));

    // Text is drawn in every cell, in the text colour.
    for (size_t i = 0; i < w.cells.size(); ++i) {
        const COLORREF under = i == 0 ? pal.selectedFill : pal.background;
        EXPECT_GT(canvas.CountOther(TextArea(w, i), under), 10) << "cell " << i;
        EXPECT_GT(canvas.CountNear(TextArea(w, i), pal.text, 90), 0) << "cell " << i;
    }
    // Index numbers: accent on the selected cell, secondary elsewhere.
    EXPECT_GT(canvas.CountNear(IndexArea(w, 0), pal.accent, 60), 0);
    EXPECT_EQ(0, canvas.CountNear(IndexArea(w, 1), pal.accent, 20));
    EXPECT_GT(canvas.CountOther(IndexArea(w, 1), pal.background), 0);

    // Codes after the text.
    const RECT t1 = TextArea(w, 1);
    const RECT code1{t1.right + 2, c1.top + 2, c1.right - w.metrics.padX + 1, c1.bottom - 2};
    EXPECT_GT(canvas.CountOther(code1, pal.background), 0);

    // The page indicator right of the last cell, near the bottom.
    const RECT ind{w.cells.back().right, 1, width - 1, height - 1};
    EXPECT_GT(canvas.CountOther(ind, pal.background), 0);
}

INSTANTIATE_TEST_SUITE_P(Themes, CandPaint, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Dark" : "Light"; });

TEST(CandPaintOptions, NoIndicatorNoCodesAndOtherSelection) {
    auto list = Sample(7);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    auto req = Request(list, 0, false);
    req.showCode = 0;
    req.showPageIndicator = 0;
    req.selected = 2;
    w.Show(req);
    w.dark = 0;
    const zl::CandPalette& pal = zl::kCandLight;
    Canvas canvas(w.clientSize.cx, w.clientSize.cy);
    w.PaintTo(canvas.Dc());
    const RECT c0 = w.cells[0];
    const RECT c2 = w.cells[2];
    EXPECT_EQ(pal.background, canvas.Pixel(c0.right - 2, c0.top + 3));
    EXPECT_EQ(pal.selectedFill, canvas.Pixel(c2.right - 2, c2.top + 3));
    EXPECT_GT(canvas.CountNear(IndexArea(w, 2), pal.accent, 60), 0);
    EXPECT_EQ(0, canvas.CountNear(IndexArea(w, 0), pal.accent, 20));
    // Right of the widest text nothing is drawn: no codes.
    int widest = 0;
    for (int tw : w.textWidths) widest = std::max(widest, tw);
    const int textX = w.metrics.padX + w.metrics.indexCol + 4;
    const RECT rest{textX + widest + 1, 1, w.clientSize.cx - 1, w.clientSize.cy - 1};
    EXPECT_EQ(0, canvas.CountOther(rest, pal.background, 0) -
                     canvas.CountNear(rest, pal.selectedFill, 0));

    // A selection past the page highlights nothing.
    req.selected = 9;
    w.Show(req);
    w.dark = 0;
    canvas.Fill(0xFF00FF);
    w.PaintTo(canvas.Dc());
    EXPECT_EQ(0, canvas.CountNear(RECT{0, 0, w.clientSize.cx, w.clientSize.cy}, pal.selectedFill, 0));
}

TEST(CandTheme, MissingOrUnreadableValueMeansDark) {
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.Valid());
    EXPECT_TRUE(zl::CandWindow::IsDarkMode());  // no key at all
    ASSERT_TRUE(theme.RemoveLightTheme());
    EXPECT_TRUE(zl::CandWindow::IsDarkMode());  // key without the value
    ASSERT_TRUE(theme.SetLightTheme(1));
    EXPECT_FALSE(zl::CandWindow::IsDarkMode());
    ASSERT_TRUE(theme.SetLightTheme(0));
    EXPECT_TRUE(zl::CandWindow::IsDarkMode());
    ASSERT_TRUE(theme.SetLightThemeText(L"1"));
    EXPECT_TRUE(zl::CandWindow::IsDarkMode());  // wrong type
}

TEST(CandTheme, ShowTakesTheThemeEachTime) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.Valid());
    ASSERT_TRUE(theme.SetLightTheme(1));
    w.Show(Request(list));
    EXPECT_FALSE(w.dark);
    ASSERT_TRUE(theme.SetLightTheme(0));
    w.Show(Request(list));
    EXPECT_TRUE(w.dark);
}

TEST(CandPaintScreen, PaintReachesTheWindow) {
    auto list = Sample(3);
    zl::CandWindow w;
    ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.SetLightTheme(1));
    w.Show(Request(list));
    zltest::PumpPending();
    Canvas canvas(w.clientSize.cx, w.clientSize.cy);
    HDC dc = GetDC(w.hwnd);
    ASSERT_NE(nullptr, dc);
    BitBlt(canvas.Dc(), 0, 0, w.clientSize.cx, w.clientSize.cy, dc, 0, 0, SRCCOPY);
    ReleaseDC(w.hwnd, dc);
    const RECT c0 = w.cells[0];
    EXPECT_EQ(zl::kCandLight.selectedFill, canvas.Pixel(c0.right - 2, (c0.top + c0.bottom) / 2));
    EXPECT_EQ(zl::kCandLight.background, canvas.Pixel(w.cells[1].right - 2, (c0.top + c0.bottom) / 2));
}

}  // namespace
