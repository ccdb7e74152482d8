// Stand-in for the hosts library until it is built with the updater: finds nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zl {

struct HostProc {
    unsigned long pid;
    wchar_t name[260];
    bool askedToClose;
    bool killed;
};
using HostLog = std::function<void(const std::wstring& line)>;

std::vector<HostProc> FindHostsOfOldComponents(const std::wstring& installDir,
                                               const std::vector<std::wstring>& oldMappedFiles,
                                               const HostLog& log);
int TerminateHostsOfOldComponents(const std::wstring& installDir,
                                  const std::vector<std::wstring>& oldMappedFiles, const HostLog& log);

}  // namespace zl
