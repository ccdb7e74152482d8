// zldemo.exe copied into a fresh install folder and run as a process of its own, with
// the settings in a private user folder, and ways to find and read its windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "UserFolder.h"

namespace zltest {

// The copy's folder. Its data\zlwb.dat is a small dictionary, a copy of `dictionary`
// when one is named, or missing.
class DemoFolder {
public:
    enum Dictionary { kSmall, kNone };
    explicit DemoFolder(Dictionary kind = kSmall);
    explicit DemoFolder(const std::wstring& dictionary);
    const std::wstring& Exe() const { return exe_; }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    std::wstring exe_;
};

class DemoProcess {
public:
    DemoProcess() = default;
    ~DemoProcess();  // ends the process when it is still running
    DemoProcess(const DemoProcess&) = delete;
    DemoProcess& operator=(const DemoProcess&) = delete;

    bool Start(const std::wstring& exe, const wchar_t* args);
    DWORD Pid() const { return pid_; }
    // Waits for the exit; the exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitExit(DWORD timeoutMs = 20000);
    // The first visible top-level window of the process with this class (and title, when
    // given), waited for; null when none came.
    HWND WaitWindow(const wchar_t* cls, const wchar_t* title = nullptr, DWORD timeoutMs = 20000) const;
    std::vector<HWND> Windows(const wchar_t* cls, const wchar_t* title = nullptr) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The texts of a window's children, and of one window (WM_GETTEXT).
std::vector<std::wstring> ChildTexts(HWND parent);
std::wstring WindowText(HWND w);
// The whole file as bytes in a string; "<missing>" when it cannot be read.
std::string FileText(const std::wstring& path);

}  // namespace zltest
