// zldemo.exe copied into a fresh folder and run as a process of its own (the settings
// stay in the caller's UserFolder), and ways to find and read its windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "UserFolder.h"

namespace zltest {

// A copy of zldemo.exe beside data\zlwb.dat: a small dictionary, a copy of the file
// `dictionary` names, or none for L"".
class DemoFolder : public TempDir {
public:
    explicit DemoFolder(const wchar_t* dictionary = nullptr);
    std::wstring Exe() const { return File(L"zldemo.exe"); }
};

class DemoProcess {
public:
    DemoProcess(const DemoFolder& folder, const wchar_t* args);
    ~DemoProcess();  // ends the process when it is still running
    DemoProcess(const DemoProcess&) = delete;
    DemoProcess& operator=(const DemoProcess&) = delete;

    // The exit code, or STILL_ACTIVE when it did not end within 20 s.
    DWORD WaitExit();
    // Its visible top-level windows of this class (and title, when given).
    std::vector<HWND> Windows(const wchar_t* cls, const wchar_t* title = nullptr) const;
    // The first of them, waited for up to 20 s; null when none came.
    HWND WaitWindow(const wchar_t* cls, const wchar_t* title = nullptr) const;

private:
    PROCESS_INFORMATION pi_{};
};

// Asked of the window itself (WM_GETTEXT): for another process's window GetWindowText
// gives only the caption the system keeps, never a control's own text.
std::wstring WindowText(HWND w);
// The file's bytes; "<missing>" when it cannot be read.
std::string FileText(const std::wstring& path);

}  // namespace zltest
