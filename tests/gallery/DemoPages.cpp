// The settings program: the demonstration window with typed text and candidates (both
// layouts), the settings window and the help window. zldemo.exe runs as a process of
// its own with the generated dictionary; its windows are copied from the screen.
#include <string>
#include <vector>

#include "DemoProcess.h"
#include "Pages.h"
#include "Pump.h"

namespace zlgallery {

namespace {

const wchar_t kMain[] = L"ZlDemoMain";

// The screen under r, once two copies taken a round trip apart agree: the program
// paints and hands its pictures to the screen in its own time.
bool CopyScreen(HWND owner, const RECT& r, zltest::Canvas& out) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    zltest::Canvas last(w, h);
    for (int attempt = 0; attempt < 50; ++attempt) {
        RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageW(owner, WM_NULL, 0, 0);
        zltest::PumpFor(40);
        HDC screen = GetDC(nullptr);
        BitBlt(out.Dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        if (attempt > 0 && memcmp(out.Bits(), last.Bits(), static_cast<size_t>(w) * h * 4) == 0) return true;
        BitBlt(last.Dc(), 0, 0, w, h, out.Dc(), 0, 0, SRCCOPY);
    }
    return false;
}

// The client area and the menu bar above it. The frame is left out: without a window
// manager on the test display nobody draws it.
void SaveWindow(Gallery& g, const std::wstring& name, HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (GetMenu(window)) r.top -= GetSystemMetrics(SM_CYMENU);
    zltest::Canvas picture(r.right - r.left, r.bottom - r.top);
    if (!CopyScreen(window, r, picture)) {
        g.Fail(name, "the window did not settle on the screen");
        return;
    }
    g.Save(name, picture);
}

void Keys(HWND box, const char* letters) {
    for (const char* p = letters; *p; ++p) {
        const UINT vk = *p == ' ' ? VK_SPACE : static_cast<UINT>(*p - 'a' + 'A');
        SendMessageW(box, WM_KEYDOWN, vk, 0);
    }
}

}  // namespace

void AddDemoPages(Gallery& g) {
    zltest::UserFolder user;
    zltest::DemoFolder folder(ZLTEST_DICT);
    {
        zltest::DemoProcess demo;
        HWND main = demo.Start(folder.Exe(), L"") ? demo.WaitWindow(kMain) : nullptr;
        HWND box = main ? FindWindowExW(main, nullptr, L"ZlDemoInput", nullptr) : nullptr;
        if (!box) {
            g.Fail(L"demo", "the demonstration window did not open");
            return;
        }
        Keys(box, "wqvb khlg lwty ggtt");
        SaveWindow(g, L"demo-typing", main);
        SendMessageW(main, WM_COMMAND, 206, 0);  // 竖排候选
        Keys(box, " yiu");
        SaveWindow(g, L"demo-typing-vertical", main);
        SendMessageW(main, WM_COMMAND, 320, 0);  // 查看使用说明
        HWND help = demo.WaitWindow(L"ZlHelpPopupWnd");
        if (help) {
            SaveWindow(g, L"demo-help", help);
        } else {
            g.Fail(L"demo-help", "the help window did not open");
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        demo.WaitExit();
    }
    zltest::DemoProcess settings;
    HWND main = settings.Start(folder.Exe(), L"--settings") ? settings.WaitWindow(kMain) : nullptr;
    if (!main) {
        g.Fail(L"demo-settings", "the settings window did not open");
        return;
    }
    SaveWindow(g, L"demo-settings", main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    settings.WaitExit();
}

}  // namespace zlgallery
