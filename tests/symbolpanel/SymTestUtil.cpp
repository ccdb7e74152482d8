#include "SymTestUtil.h"

#include <vector>

#include "Pump.h"

namespace symtest {

namespace {

const wchar_t kOwnerClass[] = L"ZlSymTestOwner";

LRESULT CALLBACK OwnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

}  // namespace

OwnerWindow::OwnerWindow(RECT r) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOwnerClass;
    RegisterClassExW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOwnerClass, L"owner", WS_POPUP,
                            r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance,
                            nullptr);
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    zltest::PumpPending();
}

OwnerWindow::~OwnerWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    zltest::PumpPending();
}

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

POINT MidAnchor() {
    const RECT w = WorkArea();
    return POINT{w.left + (w.right - w.left) / 2 - 100, w.top + (w.bottom - w.top) / 2 + 100};
}

bool Press(POINT p, DWORD downFlag, DWORD upFlag, DWORD data) {
    if (!SetCursorPos(p.x, p.y)) return false;
    zltest::PumpPending();
    INPUT in[2] = {};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dwFlags = downFlag;
    in[0].mi.mouseData = data;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = upFlag;
    in[1].mi.mouseData = data;
    return SendInput(2, in, sizeof(INPUT)) == 2;
}

bool LeftClick(POINT p) { return Press(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void FeedHook(UINT message, POINT p) {
    MSLLHOOKSTRUCT ev{};
    ev.pt = p;
    ev.time = GetTickCount();
    zl::SymbolPanel::MouseHook(HC_ACTION, message, reinterpret_cast<LPARAM>(&ev));
}

LPARAM ClientPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

POINT ItemCentre(const zl::SymbolPanel& panel, int k) {
    const RECT r = zl::SymbolItemRect(panel.category, k);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT TabCentre(int tab) {
    const RECT r = zl::SymbolTabRect(tab);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool HookGone(HHOOK h) { return h && !UnhookWindowsHookEx(h); }

}  // namespace symtest
