// The symbol panel's window: creation, showing and hiding, placement and its messages.
#include <windowsx.h>

#include "SettingsWindow.h"
#include "SymbolPanel.h"
#include "Theme.h"
#include "WindowClass.h"
#include "ZlTrace.h"

namespace zl {

namespace {

// A font is made only while its slot is empty, so a Create retried after a failure
// does not make (and lose) another set.
void EnsureFont(FontHandle& font, int px) {
    if (!font) font.Reset(MakePopupFont(px));
}

RECT WorkAreaNear(POINT p) {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

HCURSOR CursorFor(int hit) {
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(hit >= 0 ? IDC_HAND : IDC_ARROW));
}

}  // namespace

bool SymbolPanel::Create(HINSTANCE instance) {
    if (hwnd) return true;
    RegisterPopupClass(instance, kClassName, NoThrowWndProc<WndProc>);
    instance_ = instance;
    EnsureFont(tabFont, 13);
    EnsureFont(symbolFont, 20);
    EnsureFont(textFont, 13);
    HWND made = CreateWindowExW(kPopupExStyle, kClassName, L"图标输入", WS_POPUP, 0, 0, kSymPanelW, kSymPanelH,
                                nullptr, nullptr, instance, this);
    // A window that never reached our procedure (a foreign class of the same name) is not ours to keep.
    if (made && made != hwnd) DestroyWindow(made);
    return hwnd != nullptr;
}

void SymbolPanel::Show(POINT anchorPoint) {
    if (!hwnd) return;
    anchor = anchorPoint;
    dark = ReadAppsUseLightTheme(1) == 0 ? 1 : 0;  // missing or unreadable: light
    category = 0;
    hoverItem = -1;
    hoverTab = -1;
    flashItem = -1;
    lastItem = -1;
    ApplySize();
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    visible = 1;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    InstallHook();
    if (onVisibilityChanged) {
        std::function<void()> changed = onVisibilityChanged;
        changed();
    }
}

void SymbolPanel::Hide() {
    if (!hwnd || !visible) return;
    RemoveHook();
    ShowWindow(hwnd, SW_HIDE);
    visible = 0;
    if (onVisibilityChanged) {
        std::function<void()> changed = onVisibilityChanged;
        changed();
    }
}

void SymbolPanel::Toggle(POINT anchorPoint) {
    if (!visible) {
        Show(anchorPoint);
    } else {
        Hide();
    }
}

void SymbolPanel::Destroy() {
    RemoveHook();
    if (hwnd) {
        KillTimer(hwnd, kForegroundTimer);
        KillTimer(hwnd, kFlashTimer);
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
    tabFont.Reset();
    symbolFont.Reset();
    textFont.Reset();
    visible = 0;
    // A class outlives the module that registered it; let it go with the last panel so that
    // a later copy of this module does not find a class pointing into freed code. Fails
    // harmlessly while another panel still has a window.
    if (instance_) {
        UnregisterClassW(kClassName, instance_);
        instance_ = nullptr;
    }
}

void SymbolPanel::CheckForeground() {
    if (!hwnd || !visible) return;
    HWND fg = GetForegroundWindow();
    if (!fg || IsSettingsWindowForeground(fg)) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(fg, &pid);
    if (pid != GetCurrentProcessId()) Hide();
}

void SymbolPanel::ApplySize() {
    if (!hwnd) return;
    const POINT at = PlaceSymbolPanel(anchor, WorkAreaNear(anchor));
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, kSymPanelW, kSymPanelH, SWP_NOACTIVATE);
    HRGN region = CreateRoundRectRgn(0, 0, kSymPanelW + 1, kSymPanelH + 1, 12, 12);
    // The window owns the region once it is set; only a refused one is ours to delete.
    if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

void SymbolPanel::OnMouseMove(LPARAM lp) {
    bool isTab = false;
    const int hit = HitTest(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, &isTab);
    const int32_t oldItem = hoverItem;
    const int32_t oldTab = hoverTab;
    if (isTab) {
        hoverTab = hit;
        hoverItem = -1;
    } else {
        hoverItem = hit;
        hoverTab = -1;
    }
    if (hoverItem != oldItem || hoverTab != oldTab) InvalidateRect(hwnd, nullptr, FALSE);
    SetCursor(CursorFor(hit));
}

void SymbolPanel::OnLButtonDown(LPARAM lp) {
    bool isTab = false;
    const int hit = HitTest(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, &isTab);
    if (hit < 0) return;
    if (isTab) {
        if (hit == category || hit >= kSymbolCategoryCount) return;
        category = hit;
        hoverItem = -1;
        ApplySize();
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    if (!onInsert) return;
    pending = kCats[category].items[hit];
    lastItem = hit;
    PostMessageW(hwnd, kSymCommitMsg, 0, 0);
}

void SymbolPanel::OnCommit() {
    std::wstring text = std::move(pending);
    pending.clear();
    if (text.empty()) return;
    const HWND window = hwnd;
    if (onInsert) {
        // The handler may replace the callback or hide the panel while it runs.
        std::function<void(const std::wstring&)> insert = onInsert;
        insert(text);
    }
    // It may also have destroyed or deleted the panel: ask the window, not the object.
    if (!IsWindow(window) ||
        GetWindowLongPtrW(window, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(this))
        return;
    flashItem = lastItem;
    SetTimer(hwnd, kFlashTimer, kFlashMs, nullptr);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SymbolPanel::OnOutsidePress(LONG x, LONG y) {
    if (!visible) return;
    // Traced here rather than in the hook, which must return to the system at once.
    RECT r{};
    GetWindowRect(hwnd, &r);
    ZlTrace(L"sym hook outside click -> hide %ld,%ld panel=%ld,%ld %ldx%ld", static_cast<long>(x),
            static_cast<long>(y), static_cast<long>(r.left), static_cast<long>(r.top),
            static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    ZlTrace(L"sym hide by outside click");
    Hide();
}

void SymbolPanel::ForgetWindow() {
    RemoveHook();
    hwnd = nullptr;
    visible = 0;
}

LRESULT SymbolPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc) OnPaint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        SetCursor(CursorFor(HitTest(p, nullptr)));
        return 1;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_TIMER:
        if (wp == kForegroundTimer) {
            CheckForeground();
        } else if (wp == kFlashTimer) {
            KillTimer(hwnd, kFlashTimer);
            if (flashItem >= 0) {
                flashItem = -1;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(lp);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(lp);
        return 0;
    case kSymCommitMsg:
        OnCommit();
        return 0;
    case kSymHideMsg:
        OnOutsidePress(static_cast<LONG>(static_cast<LONG_PTR>(wp)), static_cast<LONG>(lp));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SymbolPanel::WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = PopupOf<SymbolPanel>(window, msg, lp);
    if (!self || self->hwnd != window) return DefWindowProcW(window, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // Destroyed from outside (its thread ending): no hook may outlive the window.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->ForgetWindow();
        return DefWindowProcW(window, msg, wp, lp);
    }
    return self->OnMessage(msg, wp, lp);
}

}  // namespace zl
