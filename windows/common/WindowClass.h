// The window class of the input method's popups (candidate window, symbol panel).
#pragma once

#include <windows.h>

namespace zl {

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

}  // namespace zl
