#include "DemoApp.h"

#include "DemoFiles.h"
#include "GdiHelpers.h"
#include "InputKeys.h"

namespace zldemo {

bool g_settingsOnly = false;
std::wstring g_folder;
zl::Config g_cfg;
zl::Engine g_engine;
zl::CandWindow g_cand;
HWND g_main = nullptr;
HWND g_input = nullptr;
HWND g_help = nullptr;
HWND g_helpPopup = nullptr;
std::wstring g_text;
std::wstring g_status;
std::wstring g_helpText;
bool g_topMost = false;
RECT g_helpCard = {16, 84, 643, 596};
RECT g_statusRect = {16, 362, 643, 400};
zl::FontHandle g_fontTitle;
zl::FontHandle g_font;
zl::FontHandle g_fontUI;
zl::FontHandle g_fontHelp;
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

void ApplyOptionsFromUI() {
    ApplyOptions(g_engine, g_cfg);
    if (g_input) InvalidateRect(g_input, nullptr, FALSE);
}

std::wstring ShownVersion() { return ShownVersionIn(g_folder); }

}  // namespace zldemo
