#include "Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace zltest {

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc_ || !bitmap_ || !bits) return;
    old_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
    Fill(fill);
}

Canvas::~Canvas() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

void Canvas::Fill(COLORREF colour) {
    if (!bits_) return;
    GdiFlush();
    const uint32_t word = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, word);
}

COLORREF Canvas::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
    GdiFlush();
    const uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool ColourNear(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int Canvas::CountNear(const RECT& r, COLORREF colour, int tolerance) const {
    int n = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height_); ++y) {
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width_); ++x) {
            if (ColourNear(Pixel(x, y), colour, tolerance)) ++n;
        }
    }
    return n;
}

int Canvas::CountOther(const RECT& r, COLORREF colour, int tolerance) const {
    int n = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height_); ++y) {
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width_); ++x) {
            if (!ColourNear(Pixel(x, y), colour, tolerance)) ++n;
        }
    }
    return n;
}

}  // namespace zltest
