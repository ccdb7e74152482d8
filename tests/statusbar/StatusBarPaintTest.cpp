// Colours, the composed pixels, translucency and GDI hygiene of the bar.
#include <gtest/gtest.h>

#include <vector>

#include "GdiLeak.h"
#include "Pump.h"
#include "SbTestUtil.h"
#include "StatusBar.h"
#include "ThemeOverride.h"

namespace {

using zl::MakePalette;
using zl::RgbLerp;
using zl::StatusSkin;

StatusSkin Skin(uint32_t skin, uint32_t accent = 0, uint32_t base = 0) {
    StatusSkin s;
    s.skin = skin;
    s.accent = accent;
    s.base = base;
    return s;
}

TEST(StatusBarPalette, RgbLerpTruncatesTowardZeroPerChannel) {
    EXPECT_EQ(RgbLerp(0x0000FF, 0x000000, 60), 0x0000C4u);
    EXPECT_EQ(RgbLerp(0x123456, 0xABCDEF, 256), 0xABCDEFu);
    EXPECT_EQ(RgbLerp(0x123456, 0xABCDEF, 0), 0x123456u);
    EXPECT_EQ(RgbLerp(0x000010, 0x000000, 1), 0x000010u);  // -16/256 truncates to 0
    EXPECT_EQ(RgbLerp(0x000000, 0x0000FF, 128), 0x00007Fu);
    EXPECT_EQ(RgbLerp(0x000000, 0xFFFFFF, 300), 0xFFFFFFu);  // clamped
}

TEST(StatusBarPalette, PresetsAndAccent) {
    zl::Palette light = MakePalette(Skin(0), false);
    EXPECT_EQ(light.bgTop, 0xFFFDFDu);
    EXPECT_EQ(light.accent, 0xCE5C28u);
    EXPECT_EQ(light.pillText, 0xFFFFFFu);
    zl::Palette dark = MakePalette(Skin(0), true);
    EXPECT_EQ(dark.bgBottom, 0x302A2Au);
    EXPECT_EQ(dark.glyphOff, 0xBCB1ACu);

    // Red accent on the light preset: the darker pill end is dark enough for white text.
    zl::Palette red = MakePalette(Skin(0, 0x0000FF), false);
    EXPECT_EQ(red.pillOnBottom, 0x0000C4u);
    EXPECT_EQ(red.pillOnTop, 0x3B3BFFu);
    EXPECT_EQ(red.pillText, 0xFFFFFFu);
    EXPECT_EQ(red.accent, 0x0000FFu);
    // A pale accent: dark pill text, and the accent is pushed away from the background.
    zl::Palette pale = MakePalette(Skin(0, 0xF0F0F0), false);
    EXPECT_EQ(pale.pillText, 0x322620u);
    EXPECT_EQ(pale.accent, 0x898989u);
    zl::Palette paleOnDark = MakePalette(Skin(0, 0x404040), true);
    EXPECT_EQ(paleOnDark.accent, 0x929292u);
}

TEST(StatusBarPalette, BaseColourLightAndDark) {
    zl::Palette lightBase = MakePalette(Skin(0, 0, 0xE0E0E0), false);
    EXPECT_EQ(lightBase.bgTop, 0xE4E4E4u);
    EXPECT_EQ(lightBase.bgBottom, 0xC6C6C6u);
    EXPECT_EQ(lightBase.outline, 0x929292u);
    EXPECT_EQ(lightBase.glyphOff, 0x8C7D76u);
    EXPECT_EQ(lightBase.hoverFill, 0xBCBCBCu);
    EXPECT_EQ(lightBase.highlight, 0xFFFFFFu);

    zl::Palette darkBase = MakePalette(Skin(0, 0, 0x302010), true);
    EXPECT_EQ(darkBase.bgTop, 0x181008u);
    EXPECT_EQ(darkBase.glyphOff, 0xC2B7B2u);
    EXPECT_EQ(darkBase.separator, 0x29231Fu);
    EXPECT_EQ(darkBase.highlight, 0x4E4841u);
}

TEST(StatusBarPalette, ClassicFlattensAndOutlinesBlack) {
    for (bool dark : {false, true}) {
        zl::Palette p = MakePalette(Skin(1), dark);
        EXPECT_EQ(p.outline, 0u);
        EXPECT_EQ(p.bgBottom, p.bgTop);
        EXPECT_EQ(p.highlight, p.bgTop);
        EXPECT_EQ(p.pillOnBottom, p.pillOnTop);
        EXPECT_EQ(p.pillOffBottom, p.pillOffTop);
        EXPECT_EQ(p.separator, dark ? 0x807878u : 0x9E9696u);
        EXPECT_EQ(p.pillText, 0xFFFFFFu);
    }
    EXPECT_EQ(MakePalette(Skin(1, 0x00FFFF), false).pillText, 0x181414u);
}

TEST(StatusBarPalette, ThemeFollowsAppsUseLightTheme) {
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.Valid());
    EXPECT_FALSE(zl::IsDarkTheme());  // no value: light
    theme.SetLightTheme(0);
    EXPECT_TRUE(zl::IsDarkTheme());
    theme.SetLightTheme(1);
    EXPECT_FALSE(zl::IsDarkTheme());

    sbtest::ResetPositionCache();
    zl::StatusBar bar;
    ASSERT_TRUE(bar.Create(GetModuleHandleW(nullptr)));
    bar.SetSkin(StatusSkin{});
    EXPECT_EQ(bar.dark, 0);
    theme.SetLightTheme(0);
    bar.SetSkin(StatusSkin{});  // same skin: dark still follows the system
    EXPECT_EQ(bar.dark, 1);
    StatusSkin forcedLight;
    forcedLight.theme = 1;
    bar.SetSkin(forcedLight);
    EXPECT_EQ(bar.dark, 0);
    forcedLight.theme = 7;
    bar.SetSkin(forcedLight);
    EXPECT_EQ(bar.dark, 0);
}

class Pixels {
public:
    Pixels(zl::StatusBar& bar) : w_(bar.L(192)) { ok_ = bar.DrawPixels(w_, bar.L(56), px_); }
    bool Ok() const { return ok_; }
    uint32_t At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
    COLORREF Colour(int x, int y) const {
        uint32_t v = At(x, y);
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int w_;
    bool ok_;
    std::vector<uint32_t> px_;
};

bool Near(COLORREF a, COLORREF b, int tol) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

struct PaintBar : zl::StatusBar {
    PaintBar() {
        sbtest::ResetPositionCache();
        EXPECT_TRUE(Create(GetModuleHandleW(nullptr)));
    }
};

TEST(StatusBarPixels, DefaultSkinHasSoftShadowWithoutAlphaDips) {
    PaintBar bar;
    Pixels p(bar);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.Alpha(96, 28), 255);
    EXPECT_EQ(p.Alpha(0, 0), 0);
    EXPECT_GT(p.Alpha(5, 28), 0);   // shadow left of the row
    EXPECT_GT(p.Alpha(96, 50), 0);  // and below it
    EXPECT_LT(p.Alpha(96, 50), 64);
    // Premultiplied: no channel exceeds alpha.
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 192; ++x) {
            uint32_t v = p.At(x, y);
            int a = v >> 24;
            ASSERT_LE(static_cast<int>((v >> 16) & 0xFF), a) << x << "," << y;
            ASSERT_LE(static_cast<int>(v & 0xFF), a) << x << "," << y;
        }
    // Going inwards from the shadow into the row, alpha never drops: the anti-aliased
    // edge pixels keep the shadow's share (checked in the top-left and bottom-right corners).
    for (int y = 1; y < 22; ++y)
        for (int x = 1; x < 22; ++x) {
            EXPECT_GE(p.Alpha(x, y), p.Alpha(x - 1, y)) << x << "," << y;
            EXPECT_GE(p.Alpha(x, y), p.Alpha(x, y - 1)) << x << "," << y;
            EXPECT_GE(p.Alpha(191 - x, 55 - y), p.Alpha(192 - x, 55 - y)) << x << "," << y;
            EXPECT_GE(p.Alpha(191 - x, 55 - y), p.Alpha(191 - x, 56 - y)) << x << "," << y;
        }
    // Glyphs are drawn (the 中 pill holds white text pixels) and stay opaque.
    int white = 0;
    for (int y = 16; y < 41; ++y)
        for (int x = 16; x < 49; ++x) {
            if (Near(p.Colour(x, y), 0xFFFFFF, 40)) ++white;
            ASSERT_EQ(p.Alpha(x, y), 255);
        }
    EXPECT_GT(white, 10);
}

TEST(StatusBarPixels, ClassicIsSquareWithBlackOutlineAndNoShadow) {
    PaintBar bar;
    bar.SetSkin(Skin(1));
    Pixels p(bar);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.Alpha(5, 28), 0);
    EXPECT_EQ(p.Alpha(96, 50), 0);
    EXPECT_EQ(p.Alpha(10, 10), 255);  // square corner
    EXPECT_TRUE(Near(p.Colour(10, 28), 0x000000, 80));
    EXPECT_TRUE(Near(p.Colour(112, 28), MakePalette(Skin(1), false).bgTop, 8));
}

TEST(StatusBarPixels, ColourFrameHasNoShadowAndAFrameInTheDarkAccent) {
    PaintBar bar;
    bar.SetSkin(Skin(2, 0x00A000));
    Pixels p(bar);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.Alpha(5, 28), 0);
    EXPECT_LT(p.Alpha(10, 10), 255);  // rounded corner
    const COLORREF frame = MakePalette(Skin(2, 0x00A000), false).pillOnBottom;
    EXPECT_TRUE(Near(p.Colour(10, 28), frame, 12));
    EXPECT_TRUE(Near(p.Colour(96, 10), frame, 12));
}

TEST(StatusBarPixels, HoverAndPressedCellsAndStates) {
    PaintBar bar;
    const zl::Palette pal = MakePalette(StatusSkin{}, false);
    // Region 1's cell spans x 55..82 of the window; left of its glyph it is plain fill.
    Pixels idle(bar);
    bar.hover = 1;
    Pixels hovered(bar);
    bar.pressed = 1;
    Pixels pressed(bar);
    EXPECT_TRUE(Near(hovered.Colour(57, 28), pal.hoverFill, 6));
    EXPECT_TRUE(Near(pressed.Colour(57, 28), pal.pressedFill, 6));
    EXPECT_FALSE(Near(idle.Colour(57, 28), pal.pressedFill, 2));
    // English mode greys the pill.
    bar.hover = bar.pressed = -1;
    zl::StatusInfo en;
    en.chinese = 0;
    bar.Update(en);
    Pixels english(bar);
    EXPECT_TRUE(Near(english.Colour(20, 28), pal.pillOffTop, 24));
}

TEST(StatusBarRender, ConstantAlphaWithCompositionForcedOn) {
    sbtest::UserFolder folder;
    EXPECT_EQ(zl::StatusBar::ComputeLayeredAlpha(true, true, false, false), 160);
    EXPECT_EQ(zl::StatusBar::ComputeLayeredAlpha(true, true, false, true), 255);
    EXPECT_EQ(zl::StatusBar::ComputeLayeredAlpha(true, true, true, false), 255);
    EXPECT_EQ(zl::StatusBar::ComputeLayeredAlpha(true, false, false, false), 255);
    EXPECT_EQ(zl::StatusBar::ComputeLayeredAlpha(false, true, false, false), 255);

    PaintBar bar;
    bar.dwmOk = 1;
    bar.dwmProbed = 1;
    bar.Show();
    SendMessageW(bar.hwnd, WM_SIZE, 0, 0);
    EXPECT_EQ(bar.presentedAlpha, 160);
    EXPECT_EQ(bar.dirty, 0);
    bar.mouseInside = 1;  // part of the cache key: a repaint follows without `dirty`
    SendMessageW(bar.hwnd, WM_SIZE, 0, 0);
    EXPECT_EQ(bar.presentedAlpha, 255);
    bar.mouseInside = 0;
    StatusSkin opaque;
    opaque.translucent = 0;
    bar.SetSkin(opaque);
    SendMessageW(bar.hwnd, WM_SIZE, 0, 0);
    EXPECT_EQ(bar.presentedAlpha, 255);
    // Traced once, at the first repaint (when the window was made).
    EXPECT_TRUE(folder.TraceHas("translucent=1 size=192x56 theme=0 ulw=1 err=0")) << folder.Trace();
}

// The leave notice arms timer 3; its tick (sent here, not waited for) looks where the
// cursor really is.
TEST(StatusBarRender, MouseLeaveIsConfirmedByTheTimer) {
    sbtest::UserFolder folder;
    PaintBar bar;
    bar.SetPos(300, 300);
    bar.Show();
    RECT r{};
    GetWindowRect(bar.hwnd, &r);
    ASSERT_TRUE(SetCursorPos(r.left + 60, r.top + 20));
    SendMessageW(bar.hwnd, WM_MOUSEMOVE, 0, sbtest::ClientPoint(60, 20));
    EXPECT_EQ(bar.mouseInside, 1);
    EXPECT_EQ(bar.hover, 1);
    SendMessageW(bar.hwnd, WM_MOUSELEAVE, 0, 0);
    SendMessageW(bar.hwnd, WM_TIMER, 3, 0);
    EXPECT_EQ(bar.mouseInside, 1);
    EXPECT_TRUE(folder.TraceHas("sb mouseleave ignored (still inside)"));
    ASSERT_TRUE(SetCursorPos(r.left - 100, r.top - 100));
    SendMessageW(bar.hwnd, WM_MOUSELEAVE, 0, 0);
    SendMessageW(bar.hwnd, WM_TIMER, 3, 0);
    EXPECT_EQ(bar.mouseInside, 0);
    EXPECT_EQ(bar.hover, -1);
    EXPECT_TRUE(folder.TraceHas("sb mouseleave -> translucent"));
}

TEST(StatusBarRender, NoGdiLeakOverManyCycles) {
    EXPECT_TRUE(zltest::LeavesNoGdiObjects(
        [](int i) {
            sbtest::ResetPositionCache();
            zl::StatusBar bar;
            if (!bar.Create(GetModuleHandleW(nullptr))) return false;
            bar.SetSkin(Skin(static_cast<uint32_t>(i % 3), i % 2 ? 0x3060C0 : 0, i % 4 ? 0 : 0x202020));
            bar.Show();
            bar.hover = i % 5;
            SendMessageW(bar.hwnd, WM_SIZE, 0, 0);
            InvalidateRect(bar.hwnd, nullptr, FALSE);
            UpdateWindow(bar.hwnd);
            std::vector<uint32_t> px;
            bar.DrawPixels(192, 56, px);
            bar.Hide();
            bar.Destroy();
            return true;
        },
        200, 5));
}

}  // namespace
