#include "Window.h"

#include <process.h>

#include <cwchar>

#include "HostQuestion.h"
#include "UpdLog.h"
#include "UpdState.h"
#include "UpdText.h"

namespace zl {

namespace {

constexpr int kIdStart = 1001;
constexpr int kIdClose = 1002;

HWND g_tip = nullptr;
HWND g_list = nullptr;
HWND g_step = nullptr;
HWND g_btnStart = nullptr;
HWND g_btnClose = nullptr;
HFONT g_font = nullptr;
HFONT g_fontBold = nullptr;
HFONT g_fontTitle = nullptr;
// A close asked for during the write phase, carried out when the run ends.
bool g_closeWhenDone = false;

unsigned __stdcall WorkerProc(void* param) {
    try {
        if (param) {
            DoCheck();
        } else {
            DoUpdate();
        }
    } catch (...) {
        // Out of memory: the run ends as failed rather than taking the process down, and
        // says why instead of showing an earlier run's failure.
        try {
            FinishRun(2, param ? L"检查更新失败：内存不足" : L"更新失败：内存不足");
        } catch (...) {
            if (g_main) PostMessageW(g_main, kMsgDone, 2, 0);
        }
    }
    return 0;
}

HFONT MakeFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Microsoft YaHei");
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int w,
           int h, int id, HFONT font) {
    HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (c) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

void CreateControls(HWND hwnd) {
    g_font = MakeFont(-15, 400);
    g_fontBold = MakeFont(-16, 700);
    g_fontTitle = MakeFont(-24, 700);
    Child(hwnd, L"STATIC", L"增量更新", 0, 0, 24, 16, 300, 34, 0, g_fontTitle);
    g_tip = Child(hwnd, L"STATIC", L"正在检查更新…", 0, 0, 24, 58, 592, 84, 0, g_font);
    g_list = Child(hwnd, L"LISTBOX", L"", WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                   24, 150, 592, 150, 0, g_font);
    g_step = Child(hwnd, L"STATIC", L"", 0, 0, 24, 308, 592, 22, 0, g_fontBold);
    g_btnStart = Child(hwnd, L"BUTTON", L"开始更新", WS_DISABLED, 0, 358, 384, 120, 34, kIdStart, g_font);
    g_btnClose = Child(hwnd, L"BUTTON", L"关闭", 0, 0, 496, 384, 120, 34, kIdClose, g_font);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const int prog = Locked(g_prog);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH track = CreateSolidBrush(RGB(226, 230, 238));
    HBRUSH fill = CreateSolidBrush(RGB(40, 92, 206));
    HGDIOBJ oldBrush = SelectObject(dc, track);
    RoundRect(dc, 24, 338, 592, 358, 8, 8);
    if (prog > 5) {
        SelectObject(dc, fill);
        RoundRect(dc, 24, 338, 24 + prog * 568 / 1000, 358, 8, 8);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(track);
    DeleteObject(fill);
    wchar_t pct[16];
    const int len = _snwprintf(pct, 15, L"%d%%", prog / 10);
    HGDIOBJ oldFont = SelectObject(dc, g_font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(120, 128, 142));
    if (len > 0) TextOutW(dc, 600, 337, pct, len);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void SetStep(const std::wstring& text) { SetWindowTextW(g_step, text.c_str()); }

// The second and third steps of a close: the host question, then the window goes.
void FinishClose(HWND hwnd) {
    if (g_updated && !g_installDir.empty() && !g_auto) {
        const std::vector<std::wstring> hosts = HostNamesOfOldComponents();
        if (!hosts.empty()) {
            if (Box(HostQuestionText(hosts), L"泽仑五笔 更新", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd) ==
                IDYES) {
                if (EndHostsOfOldComponents() > 0) {
                    Box(L"已结束仍加载旧组件的程序。\n\n重新打开它们就会用上最新版本。", L"泽仑五笔",
                        MB_OK | MB_ICONINFORMATION, hwnd);
                }
            } else {
                LogFile(L"[%ls] 用户选择稍后重启，不结束占用程序", g_installDir.c_str());
            }
        }
    }
    DestroyWindow(hwnd);
}

void OnClose(HWND hwnd) {
    if (g_closeWhenDone) return;
    if (g_busy) {
        if (Box(L"更新还没结束，确定要退出吗？", L"泽仑五笔", MB_YESNO | MB_ICONQUESTION, hwnd) != IDYES) return;
        g_cancel.exchange(1);
        // The run may have ended while the question was open.
        if (g_busy) {
            if (!g_stage.TryAbandon()) {
                // Files are being replaced: ending now could leave one half done.
                g_closeWhenDone = true;
                SetStep(L"正在写入程序文件，写完后关闭…");
                return;
            }
        }
    }
    FinishClose(hwnd);
}

void OnCheckDone(HWND hwnd) {
    SendMessageW(g_list, LB_RESETCONTENT, 0, 0);
    for (const Change& c : g_changes) {
        SendMessageW(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileListRow(c.path, c.size).c_str()));
    }
    const int count = static_cast<int>(g_changes.size());
    wchar_t buf[512];
    std::wstring tip;
    if (!g_blockReason.empty()) {
        tip = g_blockReason;
    } else if (count > 0) {
        tip = L"当前版本 v" + g_curVer + L"  →  服务器版本 v" + g_newVer;
        if (!g_notes.empty()) tip += L"\u3000（" + g_notes + L"）";
        _snwprintf(buf, 511, L"\n只需下载 %d 个有变化的文件，共 %ls；未变化的文件不会重复下载。", count,
                   KBText(g_totalBytes).c_str());
        buf[511] = L'\0';
        tip += buf;
    } else {
        tip = L"当前版本 v" + g_curVer + L"，安装目录里的文件已全部是最新（与服务器一致）。";
    }
    SetWindowTextW(g_tip, tip.c_str());
    if (count > 0) {
        _snwprintf(buf, 511, L"准备就绪：%d 个文件待更新，共 %ls。", count, KBText(g_totalBytes).c_str());
        buf[511] = L'\0';
        SetStep(buf);
        SetWindowTextW(g_btnStart, L"开始更新");
        EnableWindow(g_btnStart, TRUE);
    } else {
        const bool blocked = !g_blockReason.empty();
        SetStep(blocked ? L"本地版本更新，已跳过增量更新（避免降级）。" : L"没有需要更新的文件。");
        SetWindowTextW(g_btnStart, blocked ? L"无需更新" : L"已是最新");
        EnableWindow(g_btnStart, FALSE);
    }
    EnableWindow(g_btnClose, TRUE);
}

void OnAutoDone(HWND hwnd, WPARAM result, const std::wstring& text) {
    if (result == 1) {
        LogFile(L"[成功] %ls", text.c_str());
        g_exitCode = 0;
    } else if (result == 2) {
        LogFile(L"[失败] %ls", text.c_str());
        g_exitCode = 2;
    } else if (!g_changes.empty()) {
        LogFile(L"[%ls] 需要更新 %d 个文件，共 %u KB", g_installDir.c_str(), static_cast<int>(g_changes.size()),
                static_cast<unsigned>((g_totalBytes + 1023) / 1024));
        StartWorker(false);
        return;
    } else if (!g_blockReason.empty()) {
        LogFile(L"[%ls] 跳过更新：%ls", g_installDir.c_str(), g_blockReason.c_str());
    } else {
        LogFile(L"[%ls] 已是最新版本 v%ls，无文件需要更新", g_installDir.c_str(), g_curVer.c_str());
    }
    DestroyWindow(hwnd);
}

void OnDone(HWND hwnd, WPARAM result) {
    g_busy = false;
    const std::wstring text = Locked(g_failText);
    if (g_auto) {
        OnAutoDone(hwnd, result, text);
        return;
    }
    if (g_closeWhenDone) {
        LogFile(L"[%ls] %ls", g_installDir.c_str(), text.c_str());
        FinishClose(hwnd);
        return;
    }
    if (result == 0) {
        OnCheckDone(hwnd);
    } else if (result == 1) {
        SetStep(L"更新完成。");
        {
            StateLock lock;
            g_prog = 1000;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        SetWindowTextW(g_btnStart, L"已完成");
        EnableWindow(g_btnStart, FALSE);
        Box(text, L"增量更新完成", MB_OK | MB_ICONINFORMATION, hwnd);
        EnableWindow(g_btnClose, TRUE);
    } else {
        SetStep(L"更新未完成。");
        Box(text, L"增量更新", MB_OK | MB_ICONWARNING, hwnd);
        EnableWindow(g_btnStart, !g_changes.empty());
        EnableWindow(g_btnClose, TRUE);
    }
}

}  // namespace

void StartWorker(bool check) {
    if (g_busy || (!check && !g_blockReason.empty())) return;
    g_busy = true;
    g_cancel.exchange(0);
    g_stage.Reset();
    EnableWindow(g_btnStart, FALSE);
    EnableWindow(g_btnClose, TRUE);
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, WorkerProc, reinterpret_cast<void*>(static_cast<uintptr_t>(check)), 0, nullptr);
    if (thread == 0) {
        g_busy = false;
        EnableWindow(g_btnStart, TRUE);
        return;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}

namespace {

LRESULT WndProcWork(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateControls(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdStart) {
            if (g_blockReason.empty() && !g_changes.empty()) StartWorker(false);
        } else if (LOWORD(wParam) == kIdClose) {
            OnClose(hwnd);
        }
        return 0;
    case WM_CLOSE:
        OnClose(hwnd);
        return 0;
    case kMsgStep: {
        const std::wstring text = Locked(g_stepText);
        if (!g_closeWhenDone) SetStep(text);
        return 0;
    }
    case kMsgProgress: {
        RECT r = {20, 302, 660, 364};
        InvalidateRect(hwnd, &r, FALSE);
        return 0;
    }
    case kMsgDone:
        OnDone(hwnd, wParam);
        return 0;
    case WM_DESTROY:
        DeleteObject(g_font);
        DeleteObject(g_fontBold);
        DeleteObject(g_fontTitle);
        g_font = g_fontBold = g_fontTitle = nullptr;
        PostQuitMessage(g_exitCode);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        return WndProcWork(hwnd, msg, wParam, lParam);
    } catch (...) {
        return 0;  // nothing thrown may unwind through the system's frames
    }
}

}  // namespace zl
