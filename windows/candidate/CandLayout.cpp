#include "CandLayout.h"

#include <algorithm>

namespace zl {

int ClampCandFontPx(uint32_t fontPx) {
    if (fontPx < static_cast<uint32_t>(kCandMinFontPx)) return kCandMinFontPx;
    if (fontPx > static_cast<uint32_t>(kCandMaxFontPx)) return kCandMaxFontPx;
    return static_cast<int>(fontPx);
}

CandMetrics CandMetricsFor(int f) {
    CandMetrics m;
    m.padX = f <= 20 ? 6 : f / 3;
    m.padY = f <= 24 ? 4 : f / 5;
    // Integer forms of 1.7 f and 0.85 f: in floating point the 32-bit build's x87 keeps
    // 1.7 × 20 as 33.999… and truncates it to 33, so the two builds would differ.
    m.lineH = 17 * f / 10;
    m.indexCol = 85 * f / 100;
    m.smallPx = 3 * f < 60 ? 11 : 3 * f / 5;
    return m;
}

CandPage SliceCandPage(size_t listSize, uint64_t page, uint64_t pageSize) {
    CandPage p;
    if (pageSize == 0 || listSize == 0) return p;
    const uint64_t size = listSize;
    // Written so that no product or sum can wrap, whatever page and pageSize hold.
    p.pageCount = size / pageSize + (size % pageSize != 0 ? 1 : 0);
    if (page >= p.pageCount) return p;
    const uint64_t first = page * pageSize;  // < size, since page < pageCount
    p.first = static_cast<size_t>(first);
    p.count = static_cast<size_t>(std::min<uint64_t>(pageSize, size - first));
    return p;
}

CandLayout LayoutCandCells(const CandMetrics& m, const std::vector<CandCellSize>& sizes,
                           int indicatorW, bool horizontal) {
    CandLayout out;
    const int fixed = m.padX + m.indexCol + 4 + m.padX;
    if (horizontal) {
        out.height = m.lineH + 2 * m.padY;
        int x = 0;
        for (const CandCellSize& s : sizes) {
            int w = fixed + s.textW + s.extraW;
            out.cells.push_back(RECT{x, 0, x + w, out.height});
            x += w;
        }
        out.width = x + indicatorW;
    } else {
        int maxText = 0;
        int maxExtra = 0;
        for (const CandCellSize& s : sizes) {
            maxText = std::max(maxText, s.textW);
            maxExtra = std::max(maxExtra, s.extraW);
        }
        const int rowW = fixed + maxText + maxExtra;
        const int n = static_cast<int>(sizes.size());
        for (int i = 0; i < n; ++i) {
            out.cells.push_back(RECT{0, m.padY + i * m.lineH, rowW, m.padY + (i + 1) * m.lineH});
        }
        out.width = rowW + indicatorW;
        out.height = m.lineH * n + 2 * m.padY;
    }
    return out;
}

POINT PlaceCandWindow(POINT wanted, SIZE size, const RECT& work, int fontPx) {
    // 64-bit sums: a caret point near the edge of the coordinate range must not wrap.
    long long left = wanted.x;
    if (left + size.cx > work.right) left = static_cast<long long>(work.right) - size.cx;
    left = std::max<long long>(left, work.left);
    long long top = wanted.y;
    if (top + size.cy > work.bottom) {
        top = top - size.cy - 19LL * fontPx / 10;  // 1.9 f
    }
    // A caret reported far below the work area (a window dragged partly off the screen)
    // would leave the window out of sight even after opening above it.
    top = std::min<long long>(top, static_cast<long long>(work.bottom) - size.cy);
    top = std::max<long long>(top, work.top);
    return POINT{static_cast<LONG>(left), static_cast<LONG>(top)};
}

int HitTestCells(const std::vector<RECT>& cells, POINT client) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (PtInRect(&cells[i], client)) return static_cast<int>(i);
    }
    return -1;
}

std::wstring FormatPageIndicator(uint64_t page, uint64_t pageCount) {
    // %u takes 32 bits: pass exactly that, or a 32-bit build reads the halves of a 64-bit value.
    wchar_t buf[32];
    int n = wsprintfW(buf, L"%u/%u", static_cast<unsigned>(page + 1), static_cast<unsigned>(pageCount));
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring CodeToWide(const std::string& code) {
    if (code.empty() || code.size() > 0x7fffffff) return std::wstring();
    int len = static_cast<int>(code.size());
    int n = MultiByteToWideChar(CP_UTF8, 0, code.data(), len, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, code.data(), len, &out[0], n);
    return out;
}

}  // namespace zl
