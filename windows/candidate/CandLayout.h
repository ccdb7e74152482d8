// Sizes, paging, layout, placement and hit testing of the candidate window, as plain
// functions of their inputs (no window needed).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zl {

// Pixel metrics derived from the main font's character height.
struct CandMetrics {
    int padX;
    int padY;
    int lineH;
    int indexCol;
    int smallPx;  // character height of the small font
};

// Font heights the window accepts; anything outside (garbage from a caller) is clamped,
// which keeps every derived size far from overflow.
constexpr int kCandMinFontPx = 6;
constexpr int kCandMaxFontPx = 256;

int ClampCandFontPx(uint32_t fontPx);
CandMetrics CandMetricsFor(int fontPx);

// The list indices of one page. Empty (count 0) when the page lies past the end or the
// page size is 0.
struct CandPage {
    size_t first = 0;
    size_t count = 0;
    uint64_t pageCount = 0;
};
CandPage SliceCandPage(size_t listSize, uint64_t page, uint64_t pageSize);

// Widths measured for one candidate: its text in the main font, and the code's width
// in the small font plus its gap (0 without a code).
struct CandCellSize {
    int textW;
    int extraW;
};

struct CandLayout {
    int width = 0;
    int height = 0;
    std::vector<RECT> cells;
};

// Lays out the cells of a page; indicatorW is the page indicator's width including its
// padding (0 when none is drawn).
CandLayout LayoutCandCells(const CandMetrics& m, const std::vector<CandCellSize>& sizes,
                           int indicatorW, bool horizontal);

// Top-left of a window of `size` wanted at `wanted`, kept inside `work`; opens above
// the caret line when there is no room below. A window larger than `work` keeps its
// left and top edges inside.
POINT PlaceCandWindow(POINT wanted, SIZE size, const RECT& work, int fontPx);

// Index of the first cell containing the client point (left/top inside, right/bottom
// outside), or -1.
int HitTestCells(const std::vector<RECT>& cells, POINT client);

// "page/count" with the 1-based page.
std::wstring FormatPageIndicator(uint64_t page, uint64_t pageCount);

// A code as stored (UTF-8) in the wide text that is drawn; invalid bytes become U+FFFD.
std::wstring CodeToWide(const std::string& code);

}  // namespace zl
