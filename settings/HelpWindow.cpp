// The help window (menu 查看使用说明) and the main window's help control in settings mode.
#include <windows.h>

#include "DemoApp.h"
#include "WindowClass.h"

namespace zldemo {

namespace {

constexpr int kHelpWidth = 760;
constexpr int kHelpHeight = 560;
constexpr int kHelpMargin = 10;
constexpr UINT kHelpEditId = 2001;

WNDPROC g_helpPopupEditOld = nullptr;
WNDPROC g_helpOldProc = nullptr;

LRESULT CALLBACK HelpPopupEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
        PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
        return 0;
    }
    return CallWindowProcW(g_helpPopupEditOld, hwnd, msg, wp, lp);
}

// The card shows no caret: the focus message never reaches the control.
LRESULT CALLBACK HelpEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFOCUS) return 0;
    return CallWindowProcW(g_helpOldProc, hwnd, msg, wp, lp);
}

HWND EditOf(HWND popup) { return GetDlgItem(popup, kHelpEditId); }

void OnPopupCreate(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    HWND edit = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        kHelpMargin, kHelpMargin, rc.right - 2 * kHelpMargin, rc.bottom - 2 * kHelpMargin, hwnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kHelpEditId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)), nullptr);
    if (!edit) return;
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_fontUI.Get()), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, 0x7FFFFFF0, 0);
    SetWindowTextW(edit, g_helpText.c_str());
    SendMessageW(edit, EM_SETSEL, 0, 0);
    g_helpPopupEditOld = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelpPopupEditProc)));
    SetFocus(edit);
}

LRESULT CALLBACK HelpPopupProcWork(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnPopupCreate(hwnd); return 0;
        case WM_SIZE:
            if (HWND edit = EditOf(hwnd)) {
                MoveWindow(edit, kHelpMargin, kHelpMargin, LOWORD(lp) - 2 * kHelpMargin,
                           HIWORD(lp) - 2 * kHelpMargin, TRUE);
            }
            return 0;
        case WM_SETFOCUS:
            if (HWND edit = EditOf(hwnd)) SetFocus(edit);
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wp), kCardColour);
            return reinterpret_cast<LRESULT>(g_cardBrush.Get());
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_DESTROY:
            if (g_helpPopup == hwnd) g_helpPopup = nullptr;
            return 0;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK HelpPopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return zl::NoThrowWndProc<HelpPopupProcWork>(hwnd, msg, wp, lp);
}

void OpenHelpWindow() {
    if (g_helpPopup) {
        ShowWindow(g_helpPopup, SW_SHOWNORMAL);
        SetForegroundWindow(g_helpPopup);
        return;
    }
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kHelpWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHelpHeight) / 2;
    g_helpPopup = CreateWindowExW(WS_EX_DLGMODALFRAME, kHelpClass, L"泽仑五笔输入法 - 使用说明",
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, x, y, kHelpWidth, kHelpHeight, g_main,
                                  nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(g_main, GWLP_HINSTANCE)),
                                  nullptr);
    if (!g_helpPopup) return;
    ShowWindow(g_helpPopup, SW_SHOWNORMAL);
    UpdateWindow(g_helpPopup);
}

void SubclassMainHelp(HWND edit) {
    g_helpOldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelpEditProc)));
}

}  // namespace zldemo
