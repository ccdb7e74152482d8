// Painting the symbol panel: background, tab strip and the current category's cells.
#include <cwchar>

#include "SymbolPanel.h"

namespace zl {

namespace {

struct SymbolPalette {
    COLORREF background;
    COLORREF border;
    COLORREF accent;
    COLORREF hoverFill;
    COLORREF flashFill;
    COLORREF text;
    COLORREF secondary;
    COLORREF hotText;
};

constexpr SymbolPalette kLight{0xFEFDFD, 0xD6D0CE, 0xCD6826, 0xF8ECE4, 0xF8DCC6, 0x2E2824, 0x887E78, 0x964C18};
constexpr SymbolPalette kDark{0x322E2C, 0x56504E, 0xA8602E, 0x48403C, 0x945C3A, 0xEEEAE8, 0xA59B96, 0xFFD6B4};
constexpr COLORREF kSelectedLabel = 0xFFFFFF;

// A rounded rectangle filled with `colour` and no outline.
void FillRounded(HDC dc, const RECT& r, int corner, COLORREF colour) {
    BrushHandle brush(CreateSolidBrush(colour));
    if (!brush) return;
    SelectGuard keepBrush(dc, brush.Get());
    SelectGuard keepPen(dc, GetStockObject(NULL_PEN));
    // Without a pen the shape loses its right and bottom pixel; one more keeps its size.
    RoundRect(dc, r.left, r.top, r.right + 1, r.bottom + 1, corner, corner);
}

void DrawLabel(HDC dc, const wchar_t* text, RECT r, COLORREF colour, UINT extra) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | extra);
}

}  // namespace

void SymbolPanel::OnPaint(HDC target) const {
    if (!target) return;
    MemoryDc mem(target);
    BitmapHandle bitmap(CreateCompatibleBitmap(target, kSymPanelW, kSymPanelH));
    if (!mem || !bitmap) return;
    HDC dc = mem.Get();
    SelectGuard keepBitmap(dc, bitmap.Get());
    const SymbolPalette& pal = dark ? kDark : kLight;
    SetBkMode(dc, TRANSPARENT);

    {
        BrushHandle fill(CreateSolidBrush(pal.background));
        PenHandle outline(CreatePen(PS_SOLID, 1, pal.border));
        SelectGuard keepBrush(dc, fill.Get());
        SelectGuard keepPen(dc, outline.Get());
        RoundRect(dc, 0, 0, kSymPanelW, kSymPanelH, 12, 12);
    }

    {
        SelectGuard keepFont(dc, tabFont.Get());
        for (int i = 0; i < kSymbolCategoryCount; ++i) {
            const RECT r = SymbolTabRect(i);
            if (i == category) {
                FillRounded(dc, r, 8, pal.accent);
                DrawLabel(dc, kCats[i].label, r, kSelectedLabel, 0);
            } else if (i == hoverTab) {
                FillRounded(dc, r, 8, pal.hoverFill);
                DrawLabel(dc, kCats[i].label, r, pal.text, 0);
            } else {
                DrawLabel(dc, kCats[i].label, r, pal.secondary, 0);
            }
        }
    }

    if (category >= 0 && category < kSymbolCategoryCount) {
        const SymbolCategory& cat = kCats[category];
        for (int k = 0; k < cat.count; ++k) {
            const RECT cell = SymbolItemRect(category, k);
            const bool hot = k == hoverItem || k == flashItem;
            if (hot) {
                const RECT inner{cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2};
                FillRounded(dc, inner, 6, k == flashItem ? pal.flashFill : pal.hoverFill);
            }
            const wchar_t* item = cat.items[k];
            SelectGuard keepFont(dc, (std::wcslen(item) == 1 ? symbolFont : textFont).Get());
            DrawLabel(dc, item, cell, hot ? pal.hotText : pal.text, DT_NOPREFIX);
        }
    }

    BitBlt(target, 0, 0, kSymPanelW, kSymPanelH, dc, 0, 0, SRCCOPY);
}

}  // namespace zl
