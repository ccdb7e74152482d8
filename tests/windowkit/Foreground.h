// Windows that take the foreground: one of this process (so that windows which hide
// when another process is in front stay up), and one of a separate helper process.
#pragma once

#include <windows.h>

#include "PlainWindows.h"

namespace zltest {

// A plain visible window of this process, brought to the front.
class OwnForegroundWindow {
public:
    OwnForegroundWindow();
    OwnForegroundWindow(const OwnForegroundWindow&) = delete;
    OwnForegroundWindow& operator=(const OwnForegroundWindow&) = delete;

    HWND Get() const { return hwnd_; }
    // Brings it to the front again and waits until it is there.
    bool Activate(DWORD timeoutMs = 3000);

private:
    PlainWindows windows_;
    HWND hwnd_ = nullptr;
};

// The helper program zlfgapp: a window of another process that takes the foreground.
class ForeignForegroundWindow {
public:
    ForeignForegroundWindow() = default;
    ~ForeignForegroundWindow();
    ForeignForegroundWindow(const ForeignForegroundWindow&) = delete;
    ForeignForegroundWindow& operator=(const ForeignForegroundWindow&) = delete;

    // Starts the helper and pumps this thread's messages until its window is in front.
    bool Start(DWORD timeoutMs = 10000);
    DWORD ProcessId() const { return pid_; }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The process of the foreground window, 0 when there is none.
DWORD ForegroundProcessId();

}  // namespace zltest
