// A running zlhostpeer (see HostPeer.cpp) for the tests of the processes that hold a
// component; ended when the test is done with it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace zltest {

struct Peer {
    Peer(const std::wstring& exe, const std::wstring& dll, const wchar_t* mode = L"polite") {
        static int n = 0;
        const std::wstring ready = L"Local\\zlhostpeer-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(++n);
        HANDLE event = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
        std::wstring cmd = L"\"" + exe + L"\" \"" + dll + L"\" " + ready + L" " + mode;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        process = pi.hProcess;
        pid = pi.dwProcessId;
        HANDLE both[] = {event, process};
        EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 30000), WAIT_OBJECT_0) << "peer not ready";
        CloseHandle(pi.hThread);
        CloseHandle(event);
    }
    ~Peer() {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    bool Running() const { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = 1234;
        WaitForSingleObject(process, 30000);
        GetExitCodeProcess(process, &code);
        return code;
    }
    HANDLE process;
    DWORD pid;
};

}  // namespace zltest
