#include "Foreground.h"

#include <string>

#include "Pump.h"

namespace zltest {

namespace {

const wchar_t kOwnClass[] = L"ZlWindowKitOwnFront";

LRESULT CALLBACK OwnProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

}  // namespace

DWORD ForegroundProcessId() {
    HWND fg = GetForegroundWindow();
    DWORD pid = 0;
    if (fg) GetWindowThreadProcessId(fg, &pid);
    return pid;
}

OwnForegroundWindow::OwnForegroundWindow() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOwnClass;
    RegisterClassExW(&wc);
    hwnd_ = CreateWindowExW(0, kOwnClass, L"test front", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr,
                            nullptr, wc.hInstance, nullptr);
    if (hwnd_) {
        ShowWindow(hwnd_, SW_SHOW);
        Activate();
    }
}

OwnForegroundWindow::~OwnForegroundWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    PumpPending();
}

bool OwnForegroundWindow::Activate(DWORD timeoutMs) {
    if (!hwnd_) return false;
    SetForegroundWindow(hwnd_);
    return PumpUntil([&] { return GetForegroundWindow() == hwnd_; }, timeoutMs);
}

ForeignForegroundWindow::~ForeignForegroundWindow() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
}

bool ForeignForegroundWindow::Start(DWORD timeoutMs) {
    if (process_) return false;
    std::wstring cmd = L"\"";
    cmd += ZLTEST_FGAPP;
    cmd += L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    AllowSetForegroundWindow(pid_);
    return PumpUntil([&] { return ForegroundProcessId() == pid_; }, timeoutMs);
}

}  // namespace zltest
