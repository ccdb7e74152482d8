#include "Foreground.h"

#include <string>

#include "Pump.h"

namespace zltest {

DWORD ForegroundProcessId() {
    HWND fg = GetForegroundWindow();
    DWORD pid = 0;
    if (fg) GetWindowThreadProcessId(fg, &pid);
    return pid;
}

OwnForegroundWindow::OwnForegroundWindow() : windows_(L"ZlWindowKitOwnFront") {
    WindowLook look;
    look.style = WS_OVERLAPPEDWINDOW;
    look.rect = RECT{40, 40, 340, 240};
    look.show = SW_SHOW;
    hwnd_ = windows_.Make(L"test front", nullptr, look);
    if (hwnd_) Activate();
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
