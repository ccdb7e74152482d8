#include "PlainWindows.h"

#include "Pump.h"

namespace zltest {

PlainWindows::PlainWindows(std::wstring className) : class_(std::move(className)) {}

PlainWindows::~PlainWindows() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) DestroyWindow(*it);
    PumpPending();
    // Fails harmlessly while another helper still has windows of the class.
    UnregisterClassW(class_.c_str(), GetModuleHandleW(nullptr));
}

HWND PlainWindows::Make(const wchar_t* title, HWND owner, const WindowLook& look) {
    // Registered on every call: another helper of the same class name may have
    // unregistered it meanwhile.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = class_.c_str();
    RegisterClassExW(&wc);
    const RECT& r = look.rect;
    HWND w = CreateWindowExW(look.exStyle, class_.c_str(), title, look.style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, owner, nullptr, wc.hInstance, nullptr);
    if (!w) return nullptr;
    made_.push_back(w);
    if (look.show != SW_HIDE) ShowWindow(w, look.show);
    PumpPending();
    return w;
}

HWND PlainWindows::Owner(RECT r) {
    WindowLook look;
    look.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    look.rect = r;
    look.show = SW_SHOWNOACTIVATE;
    return Make(L"owner", nullptr, look);
}

}  // namespace zltest
