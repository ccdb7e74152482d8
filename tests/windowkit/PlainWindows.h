// Plain windows of this process made with a class of the test's naming: owners and
// stand-ins for other windows (the status bar, the settings window), and windows that
// take the foreground. Every window test makes them through this one helper.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zltest {

struct WindowLook {
    DWORD exStyle = 0;
    DWORD style = WS_POPUP;
    RECT rect{0, 0, 10, 10};
    int show = SW_HIDE;
};

class PlainWindows {
public:
    explicit PlainWindows(std::wstring className = L"ZlWindowKitPlain");
    ~PlainWindows();  // destroys what it made, newest first, then unregisters the class
    PlainWindows(const PlainWindows&) = delete;
    PlainWindows& operator=(const PlainWindows&) = delete;

    // Null when the window could not be made.
    HWND Make(const wchar_t* title, HWND owner = nullptr, const WindowLook& look = WindowLook());
    // A visible, topmost, never-activated tool popup at r: where the status bar would be.
    HWND Owner(RECT r);

private:
    std::wstring class_;
    std::vector<HWND> made_;
};

}  // namespace zltest
