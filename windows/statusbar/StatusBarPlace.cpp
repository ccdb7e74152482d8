// Where the bar stands, the position shared between processes, and which bar of the
// desktop is the visible one.
#include "StatusBar.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ZlTrace.h"
#include "SettingsWindow.h"
#include "UniqueHandle.h"
#include "UserDir.h"

namespace zl {

volatile LONG g_activeTid = 0;
std::atomic<int> StatusBar::s_posX_{-1};
std::atomic<int> StatusBar::s_posY_{-1};
std::atomic<uint8_t> StatusBar::s_posInit_{0};

namespace {

const wchar_t kClassName[] = L"ZelunWubiStatusWnd";
const LONG kMagicNew = 0x5A4C4E42;    // ZLNB
const LONG kMagicValid = 0x5A4C5350;  // ZLSP
// When the last "sb fg:" line was written; the bars of all threads share the once-a-second limit.
std::atomic<DWORD> s_lastFgLog{0};

bool IsBarWindow(HWND w) {
    wchar_t name[65] = {};
    int n = GetClassNameW(w, name, 65);
    return n > 0 && wcscmp(name, kClassName) == 0;
}

DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    if (w) GetWindowThreadProcessId(w, &pid);
    return pid;
}

LONG ActiveTid() { return InterlockedCompareExchange(&g_activeTid, 0, 0); }

bool OtherThreadActive() {
    LONG tid = ActiveTid();
    return tid != 0 && static_cast<DWORD>(tid) != GetCurrentThreadId();
}

bool OwnVisibleBarExists() {
    bool found = false;
    EnumWindows(FindVisibleProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The 12-byte block, mapped for one operation and closed again.
class PositionBlock {
public:
    PositionBlock() {
        SECURITY_DESCRIPTOR sd;
        if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION)) return;
        if (!SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE)) return;
        SECURITY_ATTRIBUTES sa{sizeof(sa), &sd, FALSE};
        mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, 12,
                                          L"Local\\ZelunWubiSBP_v1"));
        if (!mapping_.Valid()) return;
        void* p = MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 12);
        view_.Reset(p);
        words_ = static_cast<volatile LONG*>(p);
        if (words_) InterlockedCompareExchange(&words_[0], kMagicNew, 0);
    }
    volatile LONG* Words() const { return words_; }

private:
    UniqueHandle mapping_;
    UniqueView view_;  // declared after the mapping: unmapped first
    volatile LONG* words_ = nullptr;
};

bool ReadSharedPos(int& px, int& py) {
    PositionBlock block;
    volatile LONG* w = block.Words();
    if (!w || InterlockedCompareExchange(&w[0], 0, 0) != kMagicValid) return false;
    px = InterlockedCompareExchange(&w[1], -1, -1);
    py = InterlockedCompareExchange(&w[2], -1, -1);
    return true;
}

struct PreviewOwner {
    bool opened = false;
    DWORD pid = 0;
};

PreviewOwner ReadPreviewPid() {
    PreviewOwner r;
    std::wstring path = UserDir() + L"\\preview.pid";
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return r;
    char buf[32] = {};
    DWORD got = 0;
    if (!ReadFile(f.Get(), buf, 31, &got, nullptr)) return r;
    r.opened = true;
    unsigned long long v = strtoull(buf, nullptr, 10);
    // A value no process id can have counts as no number.
    r.pid = v > 0xFFFFFFFFull ? 0 : static_cast<DWORD>(v);
    return r;
}

}  // namespace

BOOL CALLBACK HideSiblingProc(HWND window, LPARAM ownWindow) {
    if (window == reinterpret_cast<HWND>(ownWindow) || !IsBarWindow(window)) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    // A bar of another thread is hidden without waiting: its thread may be hung.
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        ShowWindow(window, SW_HIDE);
    else
        ShowWindowAsync(window, SW_HIDE);
    return TRUE;
}

BOOL CALLBACK FindVisibleProc(HWND window, LPARAM flag) {
    if (IsBarWindow(window) && IsWindowVisible(window) &&
        ProcessOf(window) == GetCurrentProcessId()) {
        *reinterpret_cast<bool*>(flag) = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindStatusInPid(HWND window, LPARAM pidAndFound) {
    auto* s = reinterpret_cast<PidSearch*>(pidAndFound);
    if (IsBarWindow(window) && ProcessOf(window) == s->pid) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindChildPid(HWND child, LPARAM pidAndFound) {
    auto* s = reinterpret_cast<PidSearch*>(pidAndFound);
    if (ProcessOf(child) == s->pid) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

namespace {

struct OtherVisible {
    HWND own;
    bool found;
};

BOOL CALLBACK FindOtherVisibleProc(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<OtherVisible*>(param);
    if (window != s->own && IsBarWindow(window) && IsWindowVisible(window)) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void RedrawDesktopUnder(const RECT& r) {
    HWND desktop = GetDesktopWindow();
    if (!desktop) return;
    RECT big = r;
    InflateRect(&big, 2, 2);
    // Invalidated only: each window under the rectangle repaints on its own thread, so
    // a hung program below the bar cannot stall this one.
    RedrawWindow(desktop, &big, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool StatusBar::AnyOtherBarVisible() const {
    OtherVisible s{hwnd, false};
    EnumWindows(FindOtherVisibleProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void StatusBar::Place() {
    if (!hwnd) return;
    const int w = L(192), h = L(56);
    RECT work{};
    POINT probe{std::max(x, 0), std::max(y, 0)};
    HMONITOR mon = MonitorFromPoint(probe, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (mon && GetMonitorInfoW(mon, &mi))
        work = mi.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);

    int px = x, py = y;
    if (px < 0 || py < 0) {
        if (!s_posInit_) {
            int bx = -1, by = -1;
            if (ReadSharedPos(bx, by) && bx >= 0 && by >= 0) {
                s_posX_ = bx;
                s_posY_ = by;
                s_posInit_ = 1;
            }
        }
        px = s_posX_;
        py = s_posY_;
    }
    if (px < 0 || py < 0) {
        px = work.right - w - 12;
        py = work.bottom - h - 12;
    }
    x = std::min<int>(work.right - w, std::max<int>(px, work.left));
    y = std::min<int>(work.bottom - h, std::max<int>(py, work.top));

    RECT old{};
    GetWindowRect(hwnd, &old);
    SetWindowPos(hwnd, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE);
    if (old.left != x || old.top != y) RedrawDesktopUnder(old);
    dirty = 1;
}

void StatusBar::SetPos(int nx, int ny) {
    x = nx;
    y = ny;
    if (visible && hwnd) Place();
}

void StatusBar::SetSharedPos(int nx, int ny) {
    s_posInit_ = 1;
    s_posX_ = nx;
    s_posY_ = ny;
    PositionBlock block;
    volatile LONG* w = block.Words();
    if (!w) return;
    InterlockedExchange(&w[1], nx);
    InterlockedExchange(&w[2], ny);
    InterlockedExchange(&w[0], kMagicValid);
}

void StatusBar::Show() {
    if (!hwnd) return;
    EnumWindows(HideSiblingProc, reinterpret_cast<LPARAM>(hwnd));
    InterlockedExchange(&g_activeTid, static_cast<LONG>(GetCurrentThreadId()));
    ResolveDark();
    Place();
    dirty = 1;
    ZlTrace(L"sb show");
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    InvalidateRect(hwnd, nullptr, FALSE);
    visible = 1;
}

void StatusBar::Hide() {
    if (!hwnd || !visible) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    ZlTrace(L"sb hide");
    ShowWindow(hwnd, SW_HIDE);
    visible = 0;
    InterlockedCompareExchange(&g_activeTid, 0, static_cast<LONG>(GetCurrentThreadId()));
    RedrawDesktopUnder(r);
}

void StatusBar::HideInline(const wchar_t* trace) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    ZlTrace(trace);  // fixed texts without conversions
    ShowWindow(hwnd, SW_HIDE);
    visible = 0;
    RedrawDesktopUnder(r);
}

void StatusBar::SetEnabled(bool on) {
    enabled = on ? 1 : 0;
    if (!on) Hide();
}

void StatusBar::CheckForeground() {
    if (!hwnd || !enabled) return;
    HWND fg = foregroundWindowProvider ? foregroundWindowProvider() : GetForegroundWindow();
    if (!fg) return;
    const DWORD self = GetCurrentProcessId();
    const DWORD fgPid = ProcessOf(fg);
    const bool vis = IsWindowVisible(hwnd) != FALSE;

    if (fgPid == self) {
        if (vis) {
            visible = 1;
            InterlockedExchange(&g_activeTid, static_cast<LONG>(GetCurrentThreadId()));
        } else if (!(OtherThreadActive() && OwnVisibleBarExists())) {
            Show();
        }
        return;
    }

    if (IsSettingsWindowForeground(fg)) {
        PreviewOwner owner = ReadPreviewPid();
        const bool other = OtherThreadActive();
        if (owner.opened && owner.pid != 0 && owner.pid != self) {
            if (vis) HideInline(L"sb hide (settings owner elsewhere)");
        } else if (other) {
            if (vis) Hide();
        } else if (owner.opened && owner.pid == self) {
            if (!vis) Show();
            visible = 1;
        } else if (vis) {
            visible = 1;
        } else if (!AnyOtherBarVisible()) {
            // No owner named: the first bar to show stays, instead of every process
            // taking the bar from the others on each tick.
            Show();
        }
        return;
    }

    const DWORD now = GetTickCount();
    DWORD focusPid = 0;
    if (focusPidProvider) {
        focusPid = focusPidProvider();
    } else if (foregroundWindowProvider) {
        focusPid = fgPid;
    } else {
        GUITHREADINFO gti{};
        gti.cbSize = sizeof(gti);
        if (GetGUIThreadInfo(0, &gti)) {
            HWND f = gti.hwndFocus ? gti.hwndFocus : gti.hwndActive;
            focusPid = ProcessOf(f);
        }
    }
    PidSearch barSearch{fgPid, false};
    if (fgPid != 0) EnumWindows(FindStatusInPid, reinterpret_cast<LPARAM>(&barSearch));
    const bool takeover = barSearch.found;
    const bool active = lastActivityTick != 0 && now - lastActivityTick < 2000;
    if (!foregroundWindowProvider && (fg != lastForeground || now - lastScanTick > 1000)) {
        lastForeground = fg;
        lastScanTick = now;
        PidSearch child{self, false};
        EnumChildWindows(fg, FindChildPid, reinterpret_cast<LPARAM>(&child));
        proxy = child.found ? 1 : 0;
    }
    const bool keep = !takeover && (focusPid == self || (proxy && !foregroundWindowProvider) ||
                                    (focusPid == 0 && active));
    DWORD lastLog = s_lastFgLog.load();
    if (now - lastLog > 1000 && s_lastFgLog.compare_exchange_strong(lastLog, now)) {
        ZlTrace(L"sb fg: pid=%lu focus=%lu takeover=%d active=%d keep=%d", fgPid, focusPid,
                takeover ? 1 : 0, active ? 1 : 0, keep ? 1 : 0);
    }
    if (keep) {
        if (vis) {
            visible = 1;
        } else if (!OwnVisibleBarExists() && !OtherThreadActive()) {
            ZlTrace(L"sb restore (proxy fg pid=%lu)", fgPid);
            Show();
        }
    } else if (vis) {
        HideInline(L"sb hide (foreground changed)");
    }
}

}  // namespace zl
