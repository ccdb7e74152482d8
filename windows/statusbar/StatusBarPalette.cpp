// The bar's colours: presets per theme, then accent, base and skin adjustments.
#include "StatusBar.h"
#include "Theme.h"

#include <algorithm>
#include <cstdlib>

namespace zl {

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kBlack = 0x000000;

int Lum(COLORREF c) { return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c); }

COLORREF PillTextOn(COLORREF pill) { return Lum(pill) < 151000 ? kWhite : 0x322620; }

}  // namespace

COLORREF RgbLerp(COLORREF a, COLORREF b, int t) {
    auto ch = [t](int ca, int cb) { return std::clamp(ca + (cb - ca) * t / 256, 0, 255); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
               ch(GetBValue(a), GetBValue(b)));
}

bool IsDarkTheme() { return ReadAppsUseLightTheme(1) == 0; }

Palette MakePalette(const StatusSkin& skin, bool dark) {
    Palette p;
    if (dark) {
        p = {0x403A3A, 0x302A2A, 0x584E4E, 0x6A6060, 0xF09460, 0xC45F2E, 0x807570,
             0x645954, 0xBCB1AC, 0xF8AC82, 0x4C4442, 0x5A504E, 0x524846, kWhite};
    } else {
        p = {0xFFFDFD, 0xF8F3F0, 0xE6DDD8, 0xFFFFFF, 0xFA9860, 0xCE5C28, 0xC4B8B2,
             0xA0938C, 0x887870, 0xCE5C28, 0xF6F0ED, 0xEEE5E0, 0xEEE6E2, kWhite};
    }
    const COLORREF accent = skin.accent & 0xFFFFFF;
    const COLORREF base = skin.base & 0xFFFFFF;
    if (skin.accent != 0) {
        p.accent = accent;
        p.pillOnTop = RgbLerp(accent, kWhite, 60);
        p.pillOnBottom = RgbLerp(accent, kBlack, 60);
        p.pillText = PillTextOn(p.pillOnBottom);
    }
    if (skin.base != 0) {
        if (dark) {
            p.bgTop = RgbLerp(base, kBlack, 130);
            p.bgBottom = RgbLerp(base, kBlack, 170);
            p.outline = RgbLerp(base, kWhite, 40);
        } else {
            p.bgTop = RgbLerp(base, kWhite, 40);
            p.bgBottom = RgbLerp(base, kBlack, 30);
            p.outline = RgbLerp(base, kBlack, 90);
        }
        p.highlight = kWhite;
        p.pillText = PillTextOn(p.pillOnBottom);
        if (Lum(p.bgBottom) / 1000 + Lum(p.bgTop) / 1000 > 255) {
            p.glyphOff = 0x8C7D76;
            p.hoverFill = RgbLerp(p.bgBottom, kBlack, 14);
            p.pressedFill = RgbLerp(p.bgBottom, kBlack, 28);
            p.separator = RgbLerp(p.bgBottom, kBlack, 34);
        } else {
            p.glyphOff = 0xC2B7B2;
            p.hoverFill = RgbLerp(p.bgBottom, kWhite, 34);
            p.pressedFill = RgbLerp(p.bgBottom, kWhite, 58);
            p.separator = RgbLerp(p.bgBottom, kWhite, 26);
            p.highlight = RgbLerp(p.bgTop, kWhite, 60);
        }
    }
    if (skin.accent != 0) {
        int la = Lum(p.accent) / 1000;
        int lb = (Lum(p.bgBottom) / 1000 + Lum(p.bgTop) / 1000) / 2;
        // Too close to the background: move away from it (darker on a lighter background).
        if (std::abs(la - lb) <= 79) p.accent = RgbLerp(p.accent, lb > la ? kBlack : kWhite, 110);
    }
    if (skin.skin == 1) {
        p.bgBottom = p.highlight = p.bgTop;
        p.outline = kBlack;
        p.pillOnBottom = p.pillOnTop;
        p.pillOffBottom = p.pillOffTop;
        p.separator = dark ? 0x807878 : 0x9E9696;
        p.pillText = Lum(p.pillOnTop) < 151000 ? kWhite : 0x181414;
    }
    return p;
}

}  // namespace zl
