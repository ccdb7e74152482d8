// zlsbpeer: the second process of the status-bar tests.
//   publish X Y              publish a position in the shared block
//   place FILE               place a new bar and write "x y" into FILE
//   bar READY QUIT [opts]    show a bar, set event READY, run until event QUIT is set
//       --hang               take no message after READY until QUIT
//       --window             also show a plain window (a foreground candidate)
//       --arbitrate          run the bar's foreground check with the settings window in front
//   settings READY QUIT      show a settings window (no bar)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "PlainWindows.h"
#include "StatusBar.h"
#include "UniqueHandle.h"

namespace {

// A plain window (a foreground candidate, or the settings window) that stays up as long as
// the peer runs.
HWND MakeWindow(zltest::PlainWindows& windows, const wchar_t* title) {
    zltest::WindowLook look;
    look.style = WS_OVERLAPPEDWINDOW;
    look.rect = RECT{60, 60, 300, 220};
    look.show = SW_SHOWNOACTIVATE;
    return windows.Make(title, nullptr, look);
}

bool HasArg(int argc, wchar_t** argv, const wchar_t* opt) {
    for (int i = 1; i < argc; ++i)
        if (wcscmp(argv[i], opt) == 0) return true;
    return false;
}

int RunUntil(HANDLE quit) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return 0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 3;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"publish" && argc >= 4) {
        zl::StatusBar::SetSharedPos(_wtoi(argv[2]), _wtoi(argv[3]));
        return 0;
    }
    if (cmd == L"place" && argc >= 3) {
        zl::StatusBar bar;
        if (!bar.Create(instance)) return 1;
        bar.Show();
        char text[64];
        int n = std::snprintf(text, sizeof(text), "%d %d", bar.x, bar.y);
        zl::UniqueHandle f(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!f.Valid() || !WriteFile(f.Get(), text, n, &written, nullptr)) return 1;
        return 0;
    }
    if ((cmd == L"bar" || cmd == L"settings") && argc >= 4) {
        zl::UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
        zl::UniqueHandle quit(OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
        if (!ready.Valid() || !quit.Valid()) return 2;
        if (cmd == L"settings") {
            zltest::PlainWindows settings(L"ZlDemoMain");
            if (!MakeWindow(settings, L"泽仑五笔输入法 - 设置")) return 1;
            SetEvent(ready.Get());
            return RunUntil(quit.Get());
        }
        zl::StatusBar bar;
        if (!bar.Create(instance)) return 1;
        zltest::PlainWindows front(L"ZlSbPeerFront");
        if (HasArg(argc, argv, L"--window") && !MakeWindow(front, L"sbpeer front")) return 1;
        if (HasArg(argc, argv, L"--arbitrate")) {
            bar.enabled = 1;
            bar.foregroundWindowProvider = [] { return FindWindowW(L"ZlDemoMain", nullptr); };
        }
        bar.Show();
        SetEvent(ready.Get());
        // Hung: takes no message at all until told to quit (or its minute is up).
        if (HasArg(argc, argv, L"--hang")) return WaitForSingleObject(quit.Get(), 60000) == WAIT_OBJECT_0 ? 0 : 3;
        return RunUntil(quit.Get());
    }
    return 2;
}
