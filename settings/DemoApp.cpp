#include "DemoApp.h"

#include "GdiHelpers.h"

namespace zldemo {

bool g_settingsOnly = false;
std::wstring g_folder;
zl::Config g_cfg;
zl::Engine g_engine;
zl::CandWindow g_cand;
HWND g_main = nullptr;
HWND g_input = nullptr;
HWND g_helpPopup = nullptr;
std::wstring g_text;
std::wstring g_helpText;
zl::FontHandle g_font;
zl::FontHandle g_fontUI;
zl::BrushHandle g_cardBrush;

void PaintBuffered(HWND hwnd, void (*draw)(HWND hwnd, HDC dc, const RECT& client)) {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    {
        zl::MemoryDc mem(target);
        zl::BitmapHandle bitmap(CreateCompatibleBitmap(target, rc.right, rc.bottom));
        if (mem && bitmap) {
            zl::SelectGuard keepBitmap(mem.Get(), bitmap.Get());
            draw(hwnd, mem.Get(), rc);
            BitBlt(target, 0, 0, rc.right, rc.bottom, mem.Get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(hwnd, &ps);
}

}  // namespace zldemo
