// Repainting the layered bar: the canvas filtered down to the window with its shadow,
// the glyphs, and the presentation with per-pixel and constant alpha.
#include "StatusBar.h"

#include <algorithm>
#include <cmath>

#include "ZlTrace.h"
#include "GdiHelpers.h"
#include "SystemLibrary.h"

namespace zl {

namespace {

const int kCanvasW = 688;
const int kCanvasH = 144;

// A top-down 32-bit DIB selected into a memory DC.
class DibSurface {
public:
    DibSurface(HDC compatible, int w, int h) : dc_(compatible) {
        if (!dc_) return;
        BITMAPINFO bi = zl::TopDownBitmapInfo(w, h);
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap_) return;
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        bits_ = static_cast<uint32_t*>(bits);
    }
    ~DibSurface() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_.Get(), old_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC Dc() const { return dc_.Get(); }
    uint32_t* Bits() const { return bits_; }

private:
    MemoryDc dc_;
    BitmapHandle bitmap_;  // destroyed after the selection is undone
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

struct RowShape {
    double s, w, h, r;
    int shadow;
    bool classic;
};

// Coverage of a pixel by the row (0..16 of a 4 × 4 sample grid).
int Coverage(const RowShape& g, int px, int py) {
    int c = 0;
    for (int j = 0; j < 4; ++j) {
        double sy = py + (j + 0.5) / 4;
        for (int i = 0; i < 4; ++i) {
            double sx = px + (i + 0.5) / 4;
            if (g.classic) {
                if (sx >= g.s && sx < g.s + g.w && sy >= g.s && sy < g.s + g.h) ++c;
                continue;
            }
            double cx = std::clamp(sx, g.s + g.r, g.s + g.w - g.r);
            double cy = std::clamp(sy, g.s + g.r, g.s + g.h - g.r);
            double dx = sx - cx, dy = sy - cy;
            if (dx * dx + dy * dy <= g.r * g.r) ++c;
        }
    }
    return c;
}

// Signed distance of the pixel centre to the row's rounded outline, negative inside.
double OutlineDistance(const RowShape& g, int px, int py) {
    double hx = g.w / 2, hy = g.h / 2;
    double qx = std::fabs(px + 0.5 - (g.s + hx)) - (hx - g.r);
    double qy = std::fabs(py + 0.5 - (g.s + hy)) - (hy - g.r);
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - g.r;
}

}  // namespace

int StatusBar::ComputeLayeredAlpha(bool translucent, bool composition, bool buttonDown,
                                   bool mouseInside) {
    if (!translucent || !composition || buttonDown) return 255;
    return mouseInside ? 255 : 160;
}

void StatusBar::DrawFrame(HDC dc, uint32_t* bits, int w, int h, const Palette& pal) {
    std::fill(bits, bits + static_cast<size_t>(w) * h, 0u);
    DibSurface canvas(dc, kCanvasW, kCanvasH);
    if (!canvas.Bits()) return;
    DrawStatusCanvas(canvas.Dc(), pal, skin, info, hover, pressed);
    GdiFlush();
    const uint32_t* cv = canvas.Bits();

    const bool classic = skin.skin == 1;
    RowShape g{static_cast<double>(L(10)), static_cast<double>(L(172)),
               static_cast<double>(L(36)), classic ? 0.0 : static_cast<double>(L(12)),
               skin.skin == 1 || skin.skin == 2 ? 0 : 64, classic};
    const int s = L(10), W = L(172), H = L(36);
    // The alpha of every covered pixel, put back after the text is drawn.
    std::vector<uint8_t> alphas(static_cast<size_t>(w) * h, 0);
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            int c = Coverage(g, px, py);
            int a = c * 255 / 16;
            double d = OutlineDistance(g, px, py);
            int z = 0;
            if (d <= 0)
                z = g.shadow * (255 - a);
            else if (d < s)
                z = static_cast<int>(g.shadow * (1 - d / s)) * (255 - a);
            int alpha = a + z / 255;
            if (alpha < 1) continue;
            int r = 0, gr = 0, b = 0;
            if (c >= 1) {
                int row = MulDiv(py - s, kCanvasH, H), col = MulDiv(px - s, kCanvasW, W);
                int sr = 0, sg = 0, sb = 0;
                for (int j = 0; j < 4; ++j) {
                    int yy = std::clamp(row + j, 0, kCanvasH - 1);
                    for (int i = 0; i < 4; ++i) {
                        int xx = std::clamp(col + i, 0, kCanvasW - 1);
                        uint32_t v = cv[yy * kCanvasW + xx];
                        sb += v & 0xFF;
                        sg += (v >> 8) & 0xFF;
                        sr += (v >> 16) & 0xFF;
                    }
                }
                b = sb / 16 * a / 255;
                gr = sg / 16 * a / 255;
                r = sr / 16 * a / 255;
            }
            b = std::min(255, b + z * 28 / 65025);
            gr = std::min(255, gr + z * 20 / 65025);
            r = std::min(255, r + z * 20 / 65025);
            alpha = std::min(alpha, 255);
            bits[static_cast<size_t>(py) * w + px] =
                static_cast<uint32_t>(alpha) << 24 | r << 16 | gr << 8 | b;
            if (c >= 1) alphas[static_cast<size_t>(py) * w + px] = static_cast<uint8_t>(alpha);
        }
    }

    {
        SelectGuard useFont(dc, glyphFont);
        SetBkMode(dc, TRANSPARENT);
        const COLORREF glyph = info.chinese ? pal.accent : pal.glyphOff;
        const wchar_t* scheme = info.scheme == 1 ? L"拼" : info.scheme == 2 ? L"混" : L"五";
        const wchar_t* texts[3] = {info.chinese ? L"中" : L"英", scheme,
                                   info.fullWidth ? L"全" : L"半"};
        for (int i = 0; i < 3; ++i) {
            RECT rc{s + MulDiv(kEdges[i], W, 172), s, s + MulDiv(kEdges[i + 1], W, 172), s + H};
            SetTextColor(dc, i == 0 ? pal.pillText : glyph);
            DrawTextW(dc, texts[i], 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        GdiFlush();
    }
    // Text output clears the alpha byte; the shadow's share on the row's edge stays.
    for (size_t i = 0; i < alphas.size(); ++i) {
        if (alphas[i]) bits[i] = (bits[i] & 0x00FFFFFFu) | static_cast<uint32_t>(alphas[i]) << 24;
    }
}

bool StatusBar::DrawPixels(int w, int h, std::vector<uint32_t>& out) {
    if (w <= 0 || h <= 0) return false;
    WindowDc screen(nullptr);
    DibSurface frame(screen.Get(), w, h);
    if (!frame.Bits()) return false;
    DrawFrame(frame.Dc(), frame.Bits(), w, h, MakePalette(skin, dark != 0));
    out.assign(frame.Bits(), frame.Bits() + static_cast<size_t>(w) * h);
    return true;
}

void StatusBar::Render() {
    if (!hwnd) return;
    RECT rc{};
    GetClientRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return;
    if (!dwmProbed) {
        dwmOk = IsCompositionAvailable() ? 1 : 0;
        dwmProbed = 1;
    }
    // Schemes beyond 2 all show 五 and share its key.
    const uint32_t scheme = info.scheme <= 2 ? info.scheme : 0;
    const uint32_t key = (info.chinese ? 1u : 0u) | (scheme * 4 & 0xC) |
                         (info.fullWidth ? 1u : 0u) << 4 | (info.symbolsOpen ? 1u : 0u) << 5 |
                         (mouseInside ? 1u : 0u) << 6 | (buttonDown ? 1u : 0u) << 7 |
                         (dark ? 1u : 0u) << 8 | (dwmOk ? 1u : 0u) << 9 |
                         (skin.translucent != 0 ? 1u : 0u) << 10 |
                         (static_cast<uint32_t>(hover + 1) << 12 & 0xF000) |
                         (static_cast<uint32_t>(pressed + 1) << 16 & 0xF0000) |
                         (skin.theme << 20 & 0xF00000) | (skin.skin << 24 & 0x3000000);
    if (!dirty && key == renderKey && skin.accent == renderAccent && skin.base == renderBase &&
        w == renderW && h == renderH)
        return;
    dirty = 0;
    renderKey = key;
    renderAccent = skin.accent;
    renderBase = skin.base;
    renderW = w;
    renderH = h;

    const Palette pal = MakePalette(skin, dark != 0);
    WindowDc screen(nullptr);
    DibSurface frame(screen.Get(), w, h);
    if (!frame.Bits()) {
        dirty = 1;  // try again at the next repaint
        return;
    }
    DrawFrame(frame.Dc(), frame.Bits(), w, h, pal);

    const int alpha =
        ComputeLayeredAlpha(skin.translucent != 0, dwmOk != 0, buttonDown != 0, mouseInside != 0);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    SIZE size{w, h};
    POINT src{0, 0};
    BOOL ok = UpdateLayeredWindow(hwnd, screen.Get(), nullptr, &size, frame.Dc(), &src, 0, &bf,
                                  ULW_ALPHA);
    DWORD err = ok ? 0 : GetLastError();
    presentedAlpha = alpha;
    if (!renderLogged) {
        renderLogged = 1;
        ZlTrace(L"sb render: dwm=%d translucent=%d size=%dx%d theme=%d ulw=%d err=%lu", dwmOk,
                skin.translucent != 0 ? 1 : 0, w, h, static_cast<int>(skin.theme), ok ? 1 : 0,
                err);
    }
}

}  // namespace zl
