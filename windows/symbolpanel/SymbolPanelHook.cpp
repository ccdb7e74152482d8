// The low-level mouse hook that closes open symbol panels on a press outside them.
//
// A low-level hook runs on the thread that installed it, so each thread keeps one hook
// for all of its open panels, together with each panel's own window and owner. The hook
// acts on exactly those panels; looking a panel up by its class would find whichever
// window of the class sits on top, often a hidden panel of a later activation.
#include <cstdlib>

#include "ZlTrace.h"
#include "SymbolPanel.h"

namespace zl {

namespace {

struct Watched {
    HWND panel;
    HWND owner;
};

// More open panels than this on one thread would be a fault elsewhere; the rest go unwatched.
constexpr int kMaxWatched = 8;
constexpr LONG kRepeatSlop = 3;  // pixels, on both axes
constexpr DWORD kRepeatMs = 300;

// Plain data only, so that nothing needs tearing down when a thread ends.
struct ThreadHook {
    HHOOK hook;
    int count;
    Watched watched[kMaxWatched];
    // The last outside press, to let the second press of a double click through. Per
    // thread: every thread's hook sees the same press, and a shared memory would make the
    // second thread take it for a repeat.
    POINT lastPt;
    DWORD lastTick;
};

thread_local ThreadHook t_hook = {nullptr, 0, {}, {-10000, -10000}, 0};

bool Watches(UINT_PTR message) {
    // The middle button is not watched.
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

bool Inside(HWND window, POINT p) {
    RECT r{};
    return window && GetWindowRect(window, &r) && PtInRect(&r, p);
}

HHOOK InstallMouseHook() {
    HHOOK h = SetWindowsHookExW(WH_MOUSE_LL, SymbolPanel::MouseHook, nullptr, 0);
    if (h) return h;
    // Some systems insist on a module even for a low-level hook: give the one holding the procedure.
    const DWORD err = GetLastError();
    HMODULE self = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&t_hook), &self)) {
        h = SetWindowsHookExW(WH_MOUSE_LL, SymbolPanel::MouseHook, self, 0);
    }
    if (!h) SetLastError(err);
    return h;
}

}  // namespace

void SymbolPanel::InstallHook() {
    if (hook || !hwnd) return;
    ThreadHook& t = t_hook;
    if (t.count >= kMaxWatched) {
        ZlTrace(L"sym hook install failed err=%lu", static_cast<unsigned long>(ERROR_NOT_ENOUGH_QUOTA));
        return;
    }
    if (!t.hook) {
        t.hook = InstallMouseHook();
        if (!t.hook) {
            ZlTrace(L"sym hook install failed err=%lu", static_cast<unsigned long>(GetLastError()));
            return;
        }
    }
    t.watched[t.count++] = Watched{hwnd, owner};
    watched_ = hwnd;
    hook = t.hook;
}

void SymbolPanel::RemoveHook() {
    if (!hook) return;
    hook = nullptr;
    ThreadHook& t = t_hook;
    for (int i = 0; i < t.count; ++i) {
        if (t.watched[i].panel != watched_) continue;
        t.watched[i] = t.watched[--t.count];
        break;
    }
    watched_ = nullptr;
    if (t.count == 0 && t.hook) {
        UnhookWindowsHookEx(t.hook);
        t.hook = nullptr;
    }
}

LRESULT CALLBACK SymbolPanel::MouseHook(int code, WPARAM wp, LPARAM lp) {
    ThreadHook& t = t_hook;
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    if (code >= 0 && event && Watches(wp) && t.count > 0) {
        const POINT p = event->pt;
        bool outside[kMaxWatched] = {};
        bool anyOutside = false;
        for (int i = 0; i < t.count; ++i) {
            HWND panel = t.watched[i].panel;
            outside[i] = IsWindow(panel) && IsWindowVisible(panel) && !Inside(panel, p);
            anyOutside = anyOutside || outside[i];
        }
        if (anyOutside) {
            // The press's own time stamp: a hook called late must not take a double
            // click for two presses.
            const DWORD now = event->time;
            const bool repeat = std::labs(p.x - t.lastPt.x) <= kRepeatSlop &&
                                std::labs(p.y - t.lastPt.y) <= kRepeatSlop && now - t.lastTick < kRepeatMs;
            t.lastPt = p;
            t.lastTick = now;
            if (!repeat) {
                for (int i = 0; i < t.count; ++i) {
                    if (!outside[i] || Inside(t.watched[i].owner, p)) continue;
                    // Only a post: the hook must hand the press on without delay.
                    PostMessageW(t.watched[i].panel, kSymHideMsg, static_cast<WPARAM>(static_cast<LONG_PTR>(p.x)),
                                 static_cast<LPARAM>(p.y));
                }
            }
        }
    }
    // Never swallows the press.
    return CallNextHookEx(t.hook, code, wp, lp);
}

}  // namespace zl
