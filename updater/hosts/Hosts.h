// Processes that still hold an old component after an update: found by a scan of every
// process's modules and by asking the Restart Manager about the moved-aside files, then
// closed politely and, when they stay, ended.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zl {

struct HostProc {
    unsigned long pid;
    wchar_t name[260];  // executable name, the Restart Manager's application name, or "(未知程序)"
    bool askedToClose;
    bool killed;
};

using HostLog = std::function<void(const std::wstring& line)>;

// Processes of this session (listed system processes excepted) that map zlwb64.dll or
// zlwb32.dll from installDir or from a staged ".zlpend" place, then those the Restart
// Manager reports for oldMappedFiles and the ".old"/".zlpend" files of installDir.
// Never fails: what cannot be examined is left out, and logged where that helps.
std::vector<HostProc> FindHostsOfOldComponents(const std::wstring& installDir,
                                               const std::vector<std::wstring>& oldMappedFiles,
                                               const HostLog& log);

// Searches afresh, closes the hosts' top-level windows, waits about 1.2 s, then ends the
// ones still running. Returns how many hosts the search found (0: none).
int TerminateHostsOfOldComponents(const std::wstring& installDir,
                                  const std::vector<std::wstring>& oldMappedFiles,
                                  const HostLog& log);

}  // namespace zl
