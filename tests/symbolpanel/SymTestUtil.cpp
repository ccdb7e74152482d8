#include "SymTestUtil.h"

#include <vector>

#include "Pump.h"

namespace symtest {

namespace {

// What the watch saw last: the stamp of the last release that passed every hook.
thread_local int t_watches = 0;
thread_local ULONG_PTR t_seen = 0;
DWORD g_nextPress = 0;

LRESULT CALLBACK WatchProc(int code, WPARAM wp, LPARAM lp) {
    const auto* ev = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    if (code >= 0 && ev && ev->dwExtraInfo != 0 &&
        (wp == WM_LBUTTONUP || wp == WM_RBUTTONUP || wp == WM_MBUTTONUP || wp == WM_XBUTTONUP)) {
        t_seen = ev->dwExtraInfo;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

PressWatch::PressWatch() : hook_(SetWindowsHookExW(WH_MOUSE_LL, WatchProc, nullptr, 0)) {
    if (hook_) ++t_watches;
}

PressWatch::~PressWatch() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    --t_watches;
}

DWORD NextPressTime() {
    if (g_nextPress == 0) g_nextPress = GetTickCount();
    g_nextPress += 1000;
    return g_nextPress;
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

bool Press(POINT p, DWORD downFlag, DWORD upFlag, DWORD data, bool wait) {
    if (!SetCursorPos(p.x, p.y)) return false;
    zltest::PumpPending();
    const DWORD stamp = NextPressTime();
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.mouseData = data;
        i.mi.time = stamp;
        i.mi.dwExtraInfo = stamp;
    }
    in[0].mi.dwFlags = downFlag;
    in[1].mi.dwFlags = upFlag;
    if (SendInput(2, in, sizeof(INPUT)) != 2) return false;
    if (t_watches == 0 || !wait) return true;
    // The hooks run while this thread takes its messages; the guard only turns a lost
    // event into a failure instead of a hang.
    if (!zltest::PumpUntil([&] { return t_seen == stamp; }, 10000)) return false;
    zltest::PumpPending();
    return true;
}

bool LeftClick(POINT p, bool wait) { return Press(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0, wait); }

void FeedHook(UINT message, POINT p, DWORD time) {
    MSLLHOOKSTRUCT ev{};
    ev.pt = p;
    ev.time = time;
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
