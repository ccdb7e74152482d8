// The status bar: three skins in light and dark, Chinese and English, the three schemes,
// hover and pressed buttons, accent and base colours, and the translucent look.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "GdiHelpers.h"
#include "Pages.h"
#include "StatusBar.h"

namespace zlgallery {

namespace {

struct State {
    const wchar_t* name;
    uint8_t chinese;
    uint32_t scheme;
    uint8_t fullWidth;
    int hover;
    int pressed;
    bool colours;
    bool translucent;
};

// The bar's premultiplied pixels over a grey desktop, with the window's constant alpha.
void Compose(const std::vector<uint32_t>& px, int w, int h, int constAlpha, zltest::Canvas& out) {
    std::vector<uint32_t> rgb(px.size());
    const uint32_t desk = 0x808080;
    for (size_t i = 0; i < px.size(); ++i) {
        const uint32_t v = px[i];
        const int a = static_cast<int>(v >> 24) * constAlpha / 255;
        uint32_t o = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int s = static_cast<int>((v >> shift) & 0xFF) * constAlpha / 255;
            const int d = static_cast<int>((desk >> shift) & 0xFF);
            o |= static_cast<uint32_t>(std::min(255, s + d * (255 - a) / 255)) << shift;
        }
        rgb[i] = o;
    }
    BITMAPINFO bi = zl::TopDownBitmapInfo(w, h);
    SetDIBitsToDevice(out.Dc(), 0, 0, w, h, 0, 0, 0, h, rgb.data(), &bi, DIB_RGB_COLORS);
}

}  // namespace

void AddStatusBarPages(Gallery& g) {
    const State states[] = {
        {L"zh-wubi-half", 1, 0, 0, -1, -1, false, false},
        {L"en-pinyin-full", 0, 1, 1, -1, -1, false, false},
        {L"zh-mixed-hover-gear", 1, 2, 0, 4, -1, false, false},
        {L"zh-pressed-smiley", 1, 0, 1, -1, 3, false, false},
        {L"en-hover-scheme", 0, 0, 0, 1, -1, false, false},
        {L"zh-accent-base", 1, 0, 0, 2, -1, true, false},
        {L"en-accent-base", 0, 2, 1, -1, -1, true, false},
        {L"zh-translucent", 1, 0, 0, -1, -1, false, true},
    };
    const wchar_t* skins[3] = {L"default", L"classic", L"frame"};
    zl::StatusBar bar;
    if (!bar.Create(g.Instance())) {
        g.Fail(L"status", "the status bar could not be created");
        return;
    }
    // At another screen dpi (the gallery's second run) the pictures say which.
    const std::wstring dpiSuffix = bar.dpi == 96 ? std::wstring() : L"-" + std::to_wstring(bar.dpi) + L"dpi";
    const char* expected = std::getenv("ZL_EXPECT_DPI");
    if (expected && std::atoi(expected) != bar.dpi) {
        g.Fail(L"status" + dpiSuffix, "the screen does not have the expected dpi");
        return;
    }
    const int w = bar.L(192), h = bar.L(56);
    for (uint32_t skin = 0; skin < 3; ++skin) {
        for (const bool dark : {false, true}) {
            for (const State& s : states) {
                const std::wstring name = std::wstring(L"status-") + skins[skin] + L"-" + s.name +
                                          (dark ? L"-dark" : L"-light") + dpiSuffix;
                zl::StatusSkin look;
                look.theme = dark ? 2 : 1;
                look.skin = skin;
                look.translucent = s.translucent ? 1 : 0;
                look.accent = s.colours ? 0x2E8B57 : 0;
                look.base = s.colours ? (dark ? 0x3A2A20 : 0xF0E6DC) : 0;
                bar.SetSkin(look);
                zl::StatusInfo info;
                info.chinese = s.chinese;
                info.scheme = s.scheme;
                info.fullWidth = s.fullWidth;
                bar.Update(info);
                bar.hover = s.hover;
                bar.pressed = s.pressed;
                std::vector<uint32_t> px;
                if (!bar.DrawPixels(w, h, px)) {
                    g.Fail(name, "nothing drawn");
                    continue;
                }
                // As shown with composition on and the mouse away.
                const int alpha = zl::StatusBar::ComputeLayeredAlpha(look.translucent != 0, true,
                                                                     false, false);
                zltest::Canvas picture(w, h);
                Compose(px, w, h, alpha, picture);
                g.Save(name, picture);
            }
        }
    }
    bar.Destroy();
}

}  // namespace zlgallery
