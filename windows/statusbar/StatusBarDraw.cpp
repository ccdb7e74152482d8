// Drawing on the bar's 4x canvas: rounded gradients, strokes, cells, the pill and icons.
#include "StatusBar.h"
#include "GdiHelpers.h"

#include <cmath>

namespace zl {

const int kEdges[6] = {0, 43, 74, 105, 138, 172};

namespace {

// Puts the DC's clip region, objects and modes back on leaving.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDc() {
        if (id_) RestoreDC(dc_, id_);
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int id_;
};

}  // namespace

void FillRoundGradient(HDC dc, int x, int y, int w, int h, int radius, COLORREF c1, COLORREF c2,
                       bool vertical) {
    if (w <= 0 || h <= 0) return;
    SavedDc saved(dc);
    RegionHandle clip(CreateRoundRectRgn(x, y, x + w + 1, y + h + 1, 2 * radius, 2 * radius));
    if (clip) SelectClipRgn(dc, clip.Get());
    const int n = vertical ? h : w;
    for (int k = 0; k < n; ++k) {
        COLORREF c = RgbLerp(c1, c2, n > 1 ? k * 256 / (n - 1) : 0);
        RECT r = vertical ? RECT{x, y + k, x + w, y + k + 1} : RECT{x + k, y, x + k + 1, y + h};
        FillSolid(dc, r, c);
    }
}

void StrokeRound(HDC dc, int x, int y, int w, int h, int radius, int width, COLORREF colour) {
    PenHandle pen(CreatePen(PS_SOLID, width, colour));
    if (!pen) return;
    SelectGuard usePen(dc, pen.Get());
    SelectGuard useBrush(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, x, y, x + w, y + h, 2 * radius, 2 * radius);
}

void StrokeRectFlat(HDC dc, int x, int y, int w, int h, COLORREF colour) {
    PenHandle pen(CreatePen(PS_SOLID, 4, colour));
    if (!pen) return;
    SelectGuard usePen(dc, pen.Get());
    SelectGuard useBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, x + 2, y + 2, x + w - 2, y + h - 2);
}

void DrawCellHighlight(HDC dc, int region, bool pressed, const Palette& palette, bool square) {
    if (region < 1 || region > 4) return;
    const int* e = kEdges;
    int left, right;
    if (region <= 2) {
        left = (e[region] + 2) * 4;
        right = (e[region + 1] + 2) * 4 - 16;
    } else {
        left = (e[region] + 3) * 4;
        right = (e[region + 1] + 1) * 4 - 16;
    }
    SavedDc saved(dc);
    RegionHandle clip(square ? CreateRectRgn(left, 16, right, 128)
                             : CreateRoundRectRgn(left, 16, right, 128, 72, 72));
    if (!clip) return;
    SelectClipRgn(dc, clip.Get());
    FillSolid(dc, RECT{left, 16, right, 128}, pressed ? palette.pressedFill : palette.hoverFill);
}

namespace {

void DrawSmiley(HDC dc, COLORREF g) {
    PenHandle pen(CreatePen(PS_SOLID, 7, g));
    if (!pen) return;
    {
        SelectGuard usePen(dc, pen.Get());
        SelectGuard useBrush(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, 452, 40, 516, 104);
    }
    {
        SetDCBrushColor(dc, g);
        SelectGuard usePen(dc, GetStockObject(NULL_PEN));
        SelectGuard useBrush(dc, GetStockObject(DC_BRUSH));
        // A null pen leaves out the right and bottom edge: one more pixel each way.
        Ellipse(dc, 466, 57, 477, 68);
        Ellipse(dc, 492, 57, 503, 68);
    }
    SelectGuard usePen(dc, pen.Get());
    int oldDir = SetArcDirection(dc, AD_CLOCKWISE);
    Arc(dc, 463, 51, 505, 93, 501, 73, 467, 73);
    if (oldDir) SetArcDirection(dc, oldDir);
}

void DrawGear(HDC dc, COLORREF g) {
    const double kPi = 3.14159265358979323846;
    POINT pts[32];
    const double offsets[4] = {-21, -13, 13, 21};
    const double radii[4] = {26, 34.4, 34.4, 26};
    for (int k = 0; k < 8; ++k) {
        for (int j = 0; j < 4; ++j) {
            double a = (k * 45 + offsets[j]) * kPi / 180;
            pts[k * 4 + j] = {static_cast<LONG>(std::lround(std::cos(a) * radii[j])) + 620,
                              static_cast<LONG>(std::lround(std::sin(a) * radii[j])) + 72};
        }
    }
    SavedDc saved(dc);
    SetDCBrushColor(dc, g);
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetPolyFillMode(dc, ALTERNATE);
    BeginPath(dc);
    Polygon(dc, pts, 32);
    Ellipse(dc, 609, 61, 632, 84);
    EndPath(dc);
    FillPath(dc);
}

}  // namespace

// The button row at four times its 96-dpi size, 688 × 144.
void DrawStatusCanvas(HDC dc, const Palette& p, const StatusSkin& skin, const StatusInfo& info,
                      int hover, int pressed) {
    const bool classic = skin.skin == 1;
    SetBkMode(dc, TRANSPARENT);
    if (classic) {
        FillSolid(dc, RECT{0, 0, 688, 144}, p.bgTop);
        StrokeRectFlat(dc, 0, 0, 688, 144, p.outline);
    } else {
        FillRoundGradient(dc, 0, 0, 688, 144, 48, p.bgTop, p.bgBottom, true);
        if (skin.skin == 2) {
            StrokeRound(dc, 0, 0, 687, 143, 48, 8, p.pillOnBottom);
        } else {
            StrokeRound(dc, 0, 0, 687, 143, 48, 4, p.outline);
            PenHandle pen(CreatePen(PS_SOLID, 1, p.highlight));
            if (pen) {
                SelectGuard usePen(dc, pen.Get());
                MoveToEx(dc, 32, 1, nullptr);
                LineTo(dc, 656, 1);
            }
        }
    }
    if (pressed >= 0)
        DrawCellHighlight(dc, pressed, true, p, classic);
    else if (hover >= 0)
        DrawCellHighlight(dc, hover, false, p, classic);

    {
        PenHandle pen(CreatePen(PS_SOLID, 4, p.separator));
        if (pen) {
            SelectGuard usePen(dc, pen.Get());
            MoveToEx(dc, 420, 48, nullptr);
            LineTo(dc, 420, 96);
            MoveToEx(dc, 552, 48, nullptr);
            LineTo(dc, 552, 96);
        }
    }

    const COLORREF top = info.chinese ? p.pillOnTop : p.pillOffTop;
    const COLORREF bottom = info.chinese ? p.pillOnBottom : p.pillOffBottom;
    if (classic) {
        FillSolid(dc, RECT{12, 16, 164, 128}, top);
        StrokeRectFlat(dc, 12, 16, 152, 112, p.outline);
    } else {
        FillRoundGradient(dc, 12, 16, 152, 112, 56, top, bottom, false);
        StrokeRound(dc, 12, 16, 151, 111, 56, 4, RgbLerp(top, 0xFFFFFF, 80));
    }

    const COLORREF g = info.chinese ? p.accent : p.glyphOff;
    DrawSmiley(dc, g);
    DrawGear(dc, g);
}

}  // namespace zl
