// The window class, style, font and creation of the input method's popups (candidate
// window, symbol panel).
#pragma once

#include <windows.h>

namespace zl {

// Topmost tool windows that never take activation.
constexpr DWORD kPopupExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;  // 0x08000088

// The popups' text font, `px` pixels high.
inline HFONT MakePopupFont(int px) {
    return CreateFontW(-px, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Microsoft YaHei");
}

// A window procedure whose work may throw (a string or container out of memory): what is
// thrown ends here, before the host's and the system's frames, and the message gets the
// default handling, which also validates a paint that failed.
template <WNDPROC Work>
LRESULT CALLBACK NoThrowWndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        return Work(window, msg, wp, lp);
    } catch (...) {
        return DefWindowProcW(window, msg, wp, lp);
    }
}

// Registers a popup class with a drop shadow and the arrow cursor. A class that another
// window of this module registered already is fine.
inline void RegisterPopupClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// The popup a message is for. At WM_CREATE the object passed to CreateWindowExW is stored
// with the window, learns its handle and starts its foreground timer; null when none was.
template <class Popup>
Popup* PopupOf(HWND window, UINT msg, LPARAM lp) {
    if (msg != WM_CREATE) return reinterpret_cast<Popup*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    auto* self = static_cast<Popup*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) {
        self->hwnd = window;
        SetTimer(window, Popup::kForegroundTimer, Popup::kForegroundMs, nullptr);
    }
    return self;
}

}  // namespace zl
