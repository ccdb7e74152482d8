#include "PeerProcess.h"

#include <vector>

#include "Pump.h"

namespace sbtest {

namespace {

HANDLE Launch(const std::wstring& args, DWORD* pid) {
    std::wstring cmd = L"\"" ZL_SBPEER L"\" " + args;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    if (pid) *pid = pi.dwProcessId;
    return pi.hProcess;
}

struct BarSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBar(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BarSearch*>(p);
    wchar_t cls[65] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && GetClassNameW(w, cls, 65) && wcscmp(cls, L"ZelunWubiStatusWnd") == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

PeerProcess::PeerProcess() {
    static LONG counter = 0;
    wchar_t name[96];
    LONG n = InterlockedIncrement(&counter);
    wsprintfW(name, L"Local\\zlsbpeer-%lu-%ld-ready", GetCurrentProcessId(), n);
    readyName_ = name;
    wsprintfW(name, L"Local\\zlsbpeer-%lu-%ld-quit", GetCurrentProcessId(), n);
    quitName_ = name;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName_.c_str());
    quit_ = CreateEventW(nullptr, TRUE, FALSE, quitName_.c_str());
}

PeerProcess::~PeerProcess() {
    if (process_) {
        SetEvent(quit_);
        // Pump meanwhile: the peer may be waiting for this thread to take a message.
        zltest::PumpUntil([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, 12000);
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    if (ready_) CloseHandle(ready_);
    if (quit_) CloseHandle(quit_);
    zltest::PumpPending();
}

bool PeerProcess::StartReady(const std::wstring& mode, const std::wstring& options) {
    if (process_ || !ready_ || !quit_) return false;
    process_ = Launch(mode + L" " + readyName_ + L" " + quitName_ + L" " + options, &pid_);
    if (!process_) return false;
    return zltest::PumpUntil(
        [&] {
            return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0 ||
                   WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        20000) &&
           WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0;
}

int PeerProcess::Run(const std::wstring& args) {
    HANDLE p = Launch(args, nullptr);
    if (!p) return -1;
    zltest::PumpUntil([&] { return WaitForSingleObject(p, 0) == WAIT_OBJECT_0; }, 20000);
    DWORD code = 0;
    bool done = WaitForSingleObject(p, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(p, &code);
    if (!done) TerminateProcess(p, 1);
    CloseHandle(p);
    return done ? static_cast<int>(code) : -1;
}

HWND PeerProcess::BarWindow() const {
    BarSearch s{pid_, nullptr};
    EnumWindows(FindBar, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace sbtest
