// zlhostpeer DLL|- READY polite|stubborn: loads DLL, opens a hidden window, sets the event
// READY and runs until the window closes (exit code 7); a stubborn peer ignores WM_CLOSE.
// Ends itself with 4 after two minutes should the test never end it.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

static bool g_stubborn = false;

static LRESULT CALLBACK PeerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CLOSE && g_stubborn) return 0;
    if (m == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcW(w, m, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4 || (wcscmp(argv[1], L"-") != 0 && !LoadLibraryW(argv[1]))) return 2;
    g_stubborn = wcscmp(argv[3], L"stubborn") == 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = PeerProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"ZlHostPeer";
    RegisterClassW(&wc);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!CreateWindowW(wc.lpszClassName, L"peer", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, nullptr,
                       nullptr, instance, nullptr) || !ready || !SetEvent(ready))
        return 2;
    SetTimer(nullptr, 0, 120000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) return 4;
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
