// Starts zlsbpeer with a command and waits for it to be ready or to finish.
#pragma once

#include <windows.h>

#include <string>

namespace sbtest {

class PeerProcess {
public:
    PeerProcess();
    ~PeerProcess();  // asks a running peer to quit, ends it when it does not
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // "bar"/"settings" modes: starts the peer and waits (pumping this thread) until it
    // reports ready. Options follow the two event names on its command line.
    bool StartReady(const std::wstring& mode, const std::wstring& options = L"");
    // Other modes: runs the peer to its end and returns its exit code (-1 on failure).
    static int Run(const std::wstring& args);

    DWORD Pid() const { return pid_; }
    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // The peer's bar window, null when it has none.
    HWND BarWindow() const;

private:
    HANDLE process_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
    DWORD pid_ = 0;
    std::wstring readyName_, quitName_;
};

}  // namespace sbtest
