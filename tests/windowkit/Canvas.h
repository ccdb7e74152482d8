// An off-screen 32-bit picture with a device context, for painting a window into and
// reading its pixels back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace zltest {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = 0xFF00FF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Top-down rows of 0x00RRGGBB words.
    const uint32_t* Bits() const { return bits_; }

    void Fill(COLORREF colour);
    // The pixel as a COLORREF (0x00BBGGRR); 0xFFFFFFFF outside.
    COLORREF Pixel(int x, int y) const;
    // Pixels of r (clipped to the canvas) whose channels all lie within `tolerance` of colour.
    int CountNear(const RECT& r, COLORREF colour, int tolerance = 0) const;
    // Pixels of r that differ from colour by more than `tolerance` in some channel:
    // drawn text or shapes on a plain fill.
    int CountOther(const RECT& r, COLORREF colour, int tolerance = 24) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

bool ColourNear(COLORREF a, COLORREF b, int tolerance);

// Writes the canvas as a PNG file (GDI+); false on any failure.
bool SavePng(const Canvas& canvas, const std::wstring& path);

}  // namespace zltest
