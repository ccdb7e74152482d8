#include "HostQuestion.h"

#include "Hosts.h"
#include "UpdLog.h"
#include "UpdState.h"

namespace zl {

namespace {

void LogLine(const std::wstring& line) { LogFile(L"%ls", line.c_str()); }

}  // namespace

std::vector<std::wstring> HostNamesOfOldComponents() {
    std::vector<std::wstring> names;
    for (const HostProc& h : FindHostsOfOldComponents(g_installDir, g_oldMappedFiles, LogLine)) {
        names.emplace_back(h.name);
    }
    return names;
}

int EndHostsOfOldComponents() { return TerminateHostsOfOldComponents(g_installDir, g_oldMappedFiles, LogLine); }

std::vector<std::wstring> HostListLines() {
    std::vector<std::wstring> lines;
    for (const HostProc& h : FindHostsOfOldComponents(g_installDir, g_oldMappedFiles, LogLine)) {
        lines.push_back(std::wstring(h.name) + L" (pid " + std::to_wstring(h.pid) + L")");
    }
    return lines;
}

}  // namespace zl
