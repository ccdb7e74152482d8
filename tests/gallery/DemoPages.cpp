// The settings program: the demonstration window with typed text and candidates (both
// layouts), the help window and the settings window. zldemo.exe runs as itself with the
// generated dictionary; its windows are copied from the screen.
#include <cstring>
#include <string>

#include "DemoProcess.h"
#include "Pages.h"
#include "Pump.h"

namespace zlgallery {

namespace {

// The client area and the menu bar above it; nobody draws the frame on a display
// without a window manager. Taken once two copies a round trip apart agree, since the
// program paints and hands its pictures to the screen in its own time.
void SaveWindow(Gallery& g, const std::wstring& name, HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (GetMenu(window)) r.top -= GetSystemMetrics(SM_CYMENU);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    zltest::Canvas picture(w, h);
    zltest::Canvas last(w, h);
    for (int attempt = 0; attempt < 50; ++attempt) {
        SendMessageW(window, WM_NULL, 0, 0);
        zltest::PumpFor(40);
        HDC screen = GetDC(nullptr);
        BitBlt(picture.Dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        if (attempt > 0 && std::memcmp(picture.Bits(), last.Bits(), static_cast<size_t>(w) * h * 4) == 0) {
            g.Save(name, picture);
            return;
        }
        BitBlt(last.Dc(), 0, 0, w, h, picture.Dc(), 0, 0, SRCCOPY);
    }
    g.Fail(name, "the window did not settle on the screen");
}

void Type(HWND box, const char* keys) {
    for (const char* p = keys; *p; ++p)
        SendMessageW(box, WM_KEYDOWN, *p == ' ' ? VK_SPACE : static_cast<WPARAM>(*p - 'a' + 'A'), 0);
}

}  // namespace

void AddDemoPages(Gallery& g) {
    zltest::UserFolder user;
    zltest::DemoFolder folder(ZLTEST_DICT);
    {
        zltest::DemoProcess demo(folder, L"");
        HWND main = demo.WaitWindow(L"ZlDemoMain");
        HWND box = main ? FindWindowExW(main, nullptr, L"ZlDemoInput", nullptr) : nullptr;
        if (!box) return g.Fail(L"demo", "the demonstration window did not open");
        Type(box, "wqvb khlg lwty ggtt");
        SaveWindow(g, L"demo-typing", main);
        SendMessageW(main, WM_COMMAND, 206, 0);  // 竖排候选
        Type(box, " yiu");
        SaveWindow(g, L"demo-typing-vertical", main);
        SendMessageW(main, WM_COMMAND, 320, 0);  // 查看使用说明
        if (HWND help = demo.WaitWindow(L"ZlHelpPopupWnd")) SaveWindow(g, L"demo-help", help);
        else g.Fail(L"demo-help", "the help window did not open");
        PostMessageW(main, WM_CLOSE, 0, 0);
        demo.WaitExit();
    }
    zltest::DemoProcess settings(folder, L"--settings");
    HWND main = settings.WaitWindow(L"ZlDemoMain");
    if (!main) return g.Fail(L"demo-settings", "the settings window did not open");
    SaveWindow(g, L"demo-settings", main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    settings.WaitExit();
}

}  // namespace zlgallery
