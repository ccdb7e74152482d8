// The bar's window: creation, state updates and the window procedure.
#include "StatusBar.h"

#include <algorithm>

#include "ZlTrace.h"
#include "GdiHelpers.h"
#include "WindowClass.h"

namespace zl {

namespace {

const wchar_t kClassName[] = L"ZelunWubiStatusWnd";

StatusBar* FromWindow(HWND w) {
    return reinterpret_cast<StatusBar*>(GetWindowLongPtrW(w, GWLP_USERDATA));
}

}  // namespace

bool StatusBar::Create(HINSTANCE instance) {
    if (hwnd) return true;
    {
        WindowDc screen(nullptr);
        int d = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
        dpi = std::max(d, 96);
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = NoThrowWndProc<WndProc>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // already registered by another bar: use that class
    instance_ = instance;
    if (!glyphFont) {
        glyphFont = CreateFontW(-L(14), 0, 0, 0, 600, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH, L"Microsoft YaHei UI");
    }
    CreateWindowExW(0x08080088, kClassName, L"泽仑输入法状态", WS_POPUP, 0, 0, L(192), L(56),
                    nullptr, nullptr, instance, this);
    return hwnd != nullptr;
}

void StatusBar::Destroy() {
    if (glyphFont) {
        DeleteObject(glyphFont);
        glyphFont = nullptr;
    }
    // A bar hidden by the foreground check keeps its thread as the active one, and Hide
    // then does nothing: without this the other threads' bars would defer to a bar that
    // no longer exists and never come back where only the active thread may show one.
    InterlockedCompareExchange(&g_activeTid, 0, static_cast<LONG>(GetCurrentThreadId()));
    if (hwnd) {
        HWND w = hwnd;
        KillTimer(w, 1);
        // Messages sent while the window goes away (capture loss) no longer reach the object.
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        hwnd = nullptr;
        DestroyWindow(w);
    }
    // The last bar of the module takes its class along, so that a module loaded again
    // later never finds a class whose procedure points into the unloaded one; also when
    // the window went first (its thread ending) or was never made. Fails harmlessly while
    // other bars still have windows.
    if (instance_) {
        UnregisterClassW(kClassName, instance_);
        instance_ = nullptr;
    }
}

void StatusBar::ResolveDark() {
    dark = skin.theme == 2 ? 1 : skin.theme == 0 ? (IsDarkTheme() ? 1 : 0) : 0;
}

void StatusBar::Update(const StatusInfo& next) {
    const bool changed = next.chinese != info.chinese || next.scheme != info.scheme ||
                         next.fullWidth != info.fullWidth || next.symbolsOpen != info.symbolsOpen;
    if (next.chinese != info.chinese)
        ZlTrace(L"sb info chinese=%d (was=%d)", static_cast<int>(next.chinese),
                static_cast<int>(info.chinese));
    info = next;
    if (changed && visible && hwnd) InvalidateRect(hwnd, nullptr, TRUE);
}

void StatusBar::SetSkin(const StatusSkin& next) {
    const bool changed = next.theme != skin.theme || next.skin != skin.skin ||
                         next.translucent != skin.translucent || next.accent != skin.accent ||
                         next.base != skin.base;
    skin = next;
    ResolveDark();
    if (!changed) return;
    dirty = 1;
    if (visible && hwnd) InvalidateRect(hwnd, nullptr, TRUE);
}

int StatusBar::HitRegion(POINT client) const {
    const int px = MulDiv(client.x, 96, dpi) - 10;
    const int py = MulDiv(client.y, 96, dpi) - 10;
    if (py < 0 || py > 35) return -1;
    for (int i = 0; i < 5; ++i) {
        if (kEdges[i] <= px && px < kEdges[i + 1]) return i;
    }
    return -1;
}

LRESULT CALLBACK StatusBar::WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<StatusBar*>(cs->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) {
            self->hwnd = window;
            SetTimer(window, 1, 250, nullptr);
        }
        return 0;
    }
    StatusBar* self = FromWindow(window);
    if (!self) return DefWindowProcW(window, msg, wp, lp);
    // Signed: a drag carries the cursor left of and above the window.
    const int cx = static_cast<short>(LOWORD(lp));
    const int cy = static_cast<short>(HIWORD(lp));
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        self->Render();
        return 0;
    }
    case WM_SIZE:
        self->Render();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ACTIVATEAPP:
        if (wp)
            self->CheckForeground();
        else
            SetTimer(window, 2, 180, nullptr);
        return DefWindowProcW(window, msg, wp, lp);
    case WM_TIMER:
        if (wp == 1) {
            self->CheckForeground();
            // The tick may end in anything the owner does, even clearing the callback or
            // deleting the bar: a copy runs, and nothing follows it here.
            if (self->onTick) {
                const std::function<void()> tick = self->onTick;
                tick();
            }
        } else if (wp == 2) {
            KillTimer(window, 2);
            self->CheckForeground();
        } else if (wp == 3) {
            self->OnMouseLeaveTimer();
        }
        return 0;
    case WM_MOUSEMOVE:
        self->OnMouseMove(cx, cy);
        return 0;
    case WM_LBUTTONDOWN:
        self->OnLButtonDown(cx, cy);
        return 0;
    case WM_LBUTTONUP:
        self->OnLButtonUp(cx, cy);
        return 0;
    case WM_CAPTURECHANGED:
        self->OnCaptureChanged(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_RBUTTONUP:
        if (self->onRightClick) {
            POINT pt{};
            GetCursorPos(&pt);
            // May run a menu loop and destroy the bar: a copy runs.
            const std::function<void(POINT)> rightClick = self->onRightClick;
            rightClick(pt);
        }
        return 0;
    case WM_MOUSELEAVE:
        self->tracking = 0;
        if (self->mouseInside) SetTimer(window, 3, 150, nullptr);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self->hwnd == window) self->hwnd = nullptr;
        return DefWindowProcW(window, msg, wp, lp);
    default:
        return DefWindowProcW(window, msg, wp, lp);
    }
}

}  // namespace zl
