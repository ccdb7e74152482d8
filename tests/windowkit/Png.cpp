#include <windows.h>
// GDI+ needs the COM property types that the lean windows.h leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include "Canvas.h"

namespace zltest {

namespace {

// The PNG encoder of GDI+ ({557CF406-1A04-11D3-9A73-0000F81EF32E}).
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

}  // namespace

bool SavePng(const Canvas& canvas, const std::wstring& path) {
    if (!canvas.Valid()) return false;
    GdiFlush();
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        Gdiplus::Bitmap bitmap(canvas.Width(), canvas.Height(), canvas.Width() * 4, PixelFormat32bppRGB,
                               reinterpret_cast<BYTE*>(const_cast<uint32_t*>(canvas.Bits())));
        ok = bitmap.GetLastStatus() == Gdiplus::Ok &&
             bitmap.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

}  // namespace zltest
