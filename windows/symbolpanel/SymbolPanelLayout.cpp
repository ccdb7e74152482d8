// Where the symbol panel's tabs and cells lie, what a point hits, and where the panel opens.
#include <cstdint>

#include "SymbolPanel.h"

namespace zl {

namespace {

bool IsCategory(int category) { return category >= 0 && category < kSymbolCategoryCount; }

}  // namespace

int SymbolColumns(int category) { return IsCategory(category) ? kCats[category].columns : 10; }

int SymbolItemCount(int category) { return IsCategory(category) ? kCats[category].count : 0; }

int SymbolCellWidth(int category) { return kSymInnerW / SymbolColumns(category); }

int SymbolGridLeft(int category) {
    return (kSymInnerW - SymbolCellWidth(category) * SymbolColumns(category)) / 2 + kSymMargin;
}

RECT SymbolTabRect(int tab) {
    const int left = kSymMargin + 2 + kSymTabStep * tab;
    return RECT{left, kSymTabTop, left + kSymTabStep - 4, kSymTabBottom};
}

RECT SymbolItemRect(int category, int item) {
    const int columns = SymbolColumns(category);
    const int w = SymbolCellWidth(category);
    const int x = SymbolGridLeft(category) + (item % columns) * w;
    const int y = kSymGridTop + kSymRowH * (item / columns);
    return RECT{x, y, x + w, y + kSymRowH};
}

int SymbolHitTest(int category, POINT p, bool* isTab) {
    if (p.y >= kSymTabTop && p.y < kSymTabBottom) {
        if (isTab) *isTab = true;
        if (p.x >= kSymMargin + kSymInnerW) return -1;
        // The left margin counts as tab 0, as the division truncates toward zero.
        if (p.x < kSymMargin) return p.x > kSymMargin - kSymTabStep ? 0 : -1;
        return (p.x - kSymMargin) / kSymTabStep;
    }
    if (isTab) *isTab = false;
    if (p.y < kSymGridTop) return -1;
    const int columns = SymbolColumns(category);
    const int w = SymbolCellWidth(category);
    const int x0 = SymbolGridLeft(category);
    if (p.x < x0) return -1;
    const int column = (p.x - x0) / w;
    if (column >= columns) return -1;
    const int64_t index = column + static_cast<int64_t>((p.y - kSymGridTop) / kSymRowH) * columns;
    return index >= SymbolItemCount(category) ? -1 : static_cast<int>(index);
}

POINT PlaceSymbolPanel(POINT anchor, const RECT& work) {
    // 64-bit so that a garbage anchor cannot overflow.
    int64_t x = anchor.x;
    if (x + kSymPanelW > work.right) x = static_cast<int64_t>(work.right) - kSymPanelW;
    if (x < work.left) x = work.left;
    int64_t y = static_cast<int64_t>(anchor.y) - (kSymPanelH + kSymGapAbove);
    if (y < work.top) y = static_cast<int64_t>(anchor.y) + kSymBelowOffset;
    if (y < work.top) y = work.top;
    if (y + kSymPanelH > work.bottom) y = static_cast<int64_t>(work.bottom) - kSymPanelH;
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

}  // namespace zl
