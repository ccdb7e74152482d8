#include "Hosts.h"

#include <windows.h>
#include <restartmanager.h>
#include <tlhelp32.h>

#include <cstdarg>
#include <cwchar>
#include <utility>

#include "HostSeams.h"
#include "UniqueHandle.h"

namespace zl {

namespace {

HostSeams g_seams;

// System processes that are never ended, whichever source reports them.
const wchar_t* const kSkip[] = {
    L"csrss.exe", L"winlogon.exe", L"services.exe", L"lsass.exe", L"svchost.exe", L"dwm.exe",
    L"sihost.exe", L"spoolsv.exe", L"smss.exe", L"wininit.exe", L"system", L"registry",
    L"memory compression.exe", L"explorer.exe", L"taskmgr.exe", L"searchhost.exe",
    L"textinputhost.exe", L"shellexperiencehost.exe", L"startmenuexperiencehost.exe",
    L"runtimebroker.exe", L"wudfhost.exe",
};

const wchar_t kUnknownName[] = L"(未知程序)";

// A process handle that keeps the process id from being reused while it is held, so
// that the close, the wait and the forced end all reach the process that was examined.
const DWORD kHostRights[] = {
    SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
    PROCESS_QUERY_LIMITED_INFORMATION,
};

struct Found {
    HostProc info;
    UniqueHandle process;  // empty only for a Restart Manager entry that could not be opened
};

struct ProcName {
    DWORD pid;
    std::wstring exe;
};

struct Context {
    DWORD ownPid = 0;
    bool ownSessionKnown = false;
    DWORD ownSession = 0;
    std::wstring dir;     // install folder without trailing separators
    std::wstring prefix;  // dir + "\", empty when there is no install folder
};

class Library {
public:
    explicit Library(HMODULE m) : m_(m) {}
    ~Library() {
        if (m_) FreeLibrary(m_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE Get() const { return m_; }

private:
    HMODULE m_;
};

std::wstring Format(const wchar_t* format, ...) {
    wchar_t buf[1024];
    va_list args;
    va_start(args, format);
    _vsnwprintf(buf, 1023, format, args);
    va_end(args);
    buf[1023] = 0;
    return buf;
}

void Log(const HostLog& log, const std::wstring& line) {
    if (log) log(line);
}

bool EqualNoCase(const wchar_t* a, int na, const wchar_t* b, int nb) {
    return CompareStringOrdinal(a, na, b, nb, TRUE) == CSTR_EQUAL;
}

bool StartsWithNoCase(const std::wstring& s, const std::wstring& prefix) {
    const int n = static_cast<int>(prefix.size());
    return !prefix.empty() && s.size() >= prefix.size() &&
           EqualNoCase(s.c_str(), n, prefix.c_str(), n);
}

bool ContainsNoCase(const std::wstring& s, const wchar_t* part) {
    const size_t n = wcslen(part);
    for (size_t i = 0; i + n <= s.size(); ++i)
        if (EqualNoCase(s.c_str() + i, static_cast<int>(n), part, static_cast<int>(n))) return true;
    return false;
}

bool IsSkipped(const std::wstring& exe) {
    for (const wchar_t* name : kSkip)
        if (EqualNoCase(exe.c_str(), static_cast<int>(exe.size()), name, -1)) return true;
    return false;
}

bool IsComponentName(const wchar_t* module) {
    return EqualNoCase(module, -1, L"zlwb64.dll", -1) || EqualNoCase(module, -1, L"zlwb32.dll", -1);
}

// Pid 0, this process, listed system processes and other sessions are never taken.
bool MayTake(const Context& ctx, DWORD pid, const std::wstring& exe, bool sessionKnown,
             DWORD session) {
    if (pid == 0 || pid == ctx.ownPid) return false;
    if (!sessionKnown || !ctx.ownSessionKnown || session != ctx.ownSession) return false;
    return !IsSkipped(exe);
}

HostProc MakeHost(DWORD pid, const wchar_t* name) {
    HostProc h{};
    h.pid = pid;
    if (!name || !*name) name = kUnknownName;
    const size_t len = wcsnlen(name, 259);
    wmemcpy(h.name, name, len);
    h.name[len] = 0;
    return h;
}

HANDLE OpenHost(DWORD pid) {
    for (DWORD rights : kHostRights)
        if (HANDLE h = OpenProcess(rights, FALSE, pid)) return h;
    return nullptr;
}

bool StillRunning(HANDLE process) {
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
}

std::wstring ImageNameOf(HANDLE process) {
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process, 0, path, &size)) return L"";
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

// Examines one process's modules; returns the log note ("" when there is nothing to say).
std::wstring ExamineModules(const Context& ctx, DWORD pid, bool* host) {
    *host = false;
    UniqueHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
    if (!modules) return L"";
    MODULEENTRY32W me{};
    me.dwSize = sizeof(me);
    if (!Module32FirstW(modules.Get(), &me)) return Format(L"(模块枚举失败 err=%lu)", GetLastError());
    std::wstring note;
    do {
        if (!IsComponentName(me.szModule)) continue;
        const std::wstring path = me.szExePath;
        // A sibling folder whose name merely starts like the install folder is no match.
        if (StartsWithNoCase(path, ctx.prefix) || ContainsNoCase(path, L".zlpend")) {
            *host = true;
            return L"";
        }
        if (note.empty()) note = L"(同名但不在安装目录) " + path;
    } while (Module32NextW(modules.Get(), &me));
    return note;
}

// The snapshot scan; false when no snapshot could be taken.
bool ScanProcesses(const Context& ctx, std::vector<Found>& hosts, std::vector<ProcName>& names,
                   const HostLog& log) {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL more = Process32FirstW(snapshot.Get(), &pe); more;
         more = Process32NextW(snapshot.Get(), &pe)) {
        const DWORD pid = pe.th32ProcessID;
        names.push_back({pid, pe.szExeFile});
        DWORD session = 0;
        const bool sessionKnown = ProcessIdToSessionId(pid, &session) != FALSE;
        if (!MayTake(ctx, pid, pe.szExeFile, sessionKnown, session)) continue;
        UniqueHandle process(OpenHost(pid));
        bool host = false;
        const std::wstring note = process ? ExamineModules(ctx, pid, &host)
                                          : Format(L"(无法打开进程 err=%lu)", GetLastError());
        if (host) {
            hosts.push_back({MakeHost(pid, pe.szExeFile), std::move(process)});
        } else if (!note.empty()) {
            Log(log, Format(L"[诊断] %ls (pid %lu) 也加载了同名模块：%ls", pe.szExeFile,
                            static_cast<unsigned long>(pid), note.c_str()));
        }
    }
    return true;
}

std::vector<std::wstring> FilesForRestartManager(const Context& ctx,
                                                 const std::vector<std::wstring>& oldMappedFiles) {
    std::vector<std::wstring> files = oldMappedFiles;
    if (ctx.dir.empty()) return files;
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileW((ctx.dir + L"\\*").c_str(), &fd));
    if (!find) return files;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = fd.cFileName;
        if (ContainsNoCase(name, L".old") || ContainsNoCase(name, L".zlpend"))
            files.push_back(ctx.prefix + name);
    } while (FindNextFileW(find.Get(), &fd));
    return files;
}

template <class Fn>
Fn ProcOf(HMODULE m, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

void TakeRestartManagerEntry(const Context& ctx, const RM_PROCESS_INFO& info,
                             const std::vector<ProcName>& names, std::vector<Found>& hosts) {
    const DWORD pid = info.Process.dwProcessId;
    if (pid == 0 || pid == ctx.ownPid) return;
    for (const Found& f : hosts)
        if (f.info.pid == pid) return;
    UniqueHandle process(OpenHost(pid));
    std::wstring exe;
    if (process) {
        // The id may have been given to another process since the Restart Manager looked.
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(process.Get(), &created, &exited, &kernel, &user) ||
            CompareFileTime(&created, &info.Process.ProcessStartTime) != 0)
            return;
        exe = ImageNameOf(process.Get());
    }
    if (exe.empty()) {
        for (const ProcName& n : names)
            if (n.pid == pid) exe = n.exe;
    }
    DWORD session = info.TSSessionId;
    const bool sessionKnown = session != static_cast<DWORD>(RM_INVALID_TS_SESSION) ||
                              ProcessIdToSessionId(pid, &session);
    if (!MayTake(ctx, pid, exe, sessionKnown, session)) return;
    hosts.push_back({MakeHost(pid, info.strAppName), std::move(process)});
}

void AskRestartManager(const Context& ctx, const std::vector<std::wstring>& files,
                       const std::vector<ProcName>& names, std::vector<Found>& hosts) {
    RestartManagerApi api{};
    const Library library(g_seams.restartManager ? nullptr : LoadLibraryW(L"rstrtmgr.dll"));
    if (g_seams.restartManager) {
        api = *g_seams.restartManager;
    } else {
        if (!library.Get()) return;
        api.start = ProcOf<decltype(api.start)>(library.Get(), "RmStartSession");
        api.registerResources = ProcOf<decltype(api.registerResources)>(library.Get(), "RmRegisterResources");
        api.getList = ProcOf<decltype(api.getList)>(library.Get(), "RmGetList");
        api.end = ProcOf<decltype(api.end)>(library.Get(), "RmEndSession");
    }
    if (!api.start || !api.registerResources || !api.getList || !api.end) return;

    DWORD session = 0;
    WCHAR key[64] = {};
    _snwprintf(key, 63, L"Zelun%lu", static_cast<unsigned long>(ctx.ownPid));
    if (api.start(&session, 0, key) != ERROR_SUCCESS) return;
    std::vector<LPCWSTR> paths;
    for (const std::wstring& f : files) paths.push_back(f.c_str());
    api.registerResources(session, static_cast<UINT>(paths.size()), paths.data(), 0, nullptr, 0,
                          nullptr);
    UINT needed = 0, count = 0;
    DWORD reasons = 0;
    if (api.getList(session, &needed, &count, nullptr, &reasons) == ERROR_MORE_DATA && needed > 0) {
        std::vector<RM_PROCESS_INFO> infos(needed);
        count = needed;
        if (api.getList(session, &needed, &count, infos.data(), &reasons) == ERROR_SUCCESS) {
            for (UINT i = 0; i < count && i < infos.size(); ++i)
                TakeRestartManagerEntry(ctx, infos[i], names, hosts);
        }
    }
    api.end(session);
}

std::vector<Found> Search(const std::wstring& installDir,
                          const std::vector<std::wstring>& oldMappedFiles, const HostLog& log) {
    Context ctx;
    ctx.ownPid = GetCurrentProcessId();
    ctx.ownSessionKnown = ProcessIdToSessionId(ctx.ownPid, &ctx.ownSession) != FALSE;
    ctx.dir = installDir;
    while (!ctx.dir.empty() && (ctx.dir.back() == L'\\' || ctx.dir.back() == L'/')) ctx.dir.pop_back();
    if (!ctx.dir.empty()) ctx.prefix = ctx.dir + L"\\";

    std::vector<Found> hosts;
    std::vector<ProcName> names;
    if (!ScanProcesses(ctx, hosts, names, log)) return hosts;
    const std::vector<std::wstring> files = FilesForRestartManager(ctx, oldMappedFiles);
    if (!files.empty()) AskRestartManager(ctx, files, names, hosts);
    return hosts;
}

BOOL CALLBACK CloseWindowsProc(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(pid)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void WaitForClose(const std::vector<HANDLE>& asked) {
    if (asked.empty()) return;
    for (int round = 0; round < 12; ++round) {
        Sleep(100);
        bool running = false;
        for (HANDLE h : asked) running = running || StillRunning(h);
        if (!running) return;
    }
}

// Lets the ended processes go before the caller touches their files, 300 ms at most.
void WaitEnded(const std::vector<HANDLE>& killed) {
    const DWORD start = GetTickCount();
    for (HANDLE h : killed) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= 300) return;
        WaitForSingleObject(h, 300 - spent);
    }
}

}  // namespace

void SetHostSeamsForTest(HostSeams seams) { g_seams = std::move(seams); }

std::vector<HostProc> FindHostsOfOldComponents(const std::wstring& installDir,
                                               const std::vector<std::wstring>& oldMappedFiles,
                                               const HostLog& log) {
    std::vector<HostProc> result;
    try {
        for (const Found& f : Search(installDir, oldMappedFiles, log)) result.push_back(f.info);
    } catch (...) {
    }
    return result;
}

int TerminateHostsOfOldComponents(const std::wstring& installDir,
                                  const std::vector<std::wstring>& oldMappedFiles,
                                  const HostLog& log) {
    try {
        std::vector<Found> hosts = Search(installDir, oldMappedFiles, log);
        if (hosts.empty()) return 0;
        Log(log, Format(L"[%ls] 关闭后结束 %u 个仍加载旧组件的程序", installDir.c_str(),
                        static_cast<unsigned>(hosts.size())));

        // Only a process held open since the search is asked: its id cannot name another.
        std::vector<HANDLE> asked;
        for (Found& h : hosts) {
            if (!h.process) continue;
            EnumWindows(CloseWindowsProc, static_cast<LPARAM>(h.info.pid));
            h.info.askedToClose = true;
            asked.push_back(h.process.Get());
        }
        if (g_seams.waitForClose)
            g_seams.waitForClose(asked);
        else
            WaitForClose(asked);

        std::vector<HANDLE> killed;
        std::vector<const Found*> survivors;
        for (Found& h : hosts) {
            if (!h.process) {
                survivors.push_back(&h);
                continue;
            }
            if (!StillRunning(h.process.Get())) continue;
            const bool ended = g_seams.terminate ? g_seams.terminate(h.process.Get())
                                                 : TerminateProcess(h.process.Get(), 0) != FALSE;
            if (!ended) {
                survivors.push_back(&h);
                continue;
            }
            h.info.killed = true;
            killed.push_back(h.process.Get());
            Log(log, Format(L"[%ls]   强制结束 %ls (pid %lu)", installDir.c_str(), h.info.name,
                            h.info.pid));
        }
        WaitEnded(killed);
        for (const Found* h : survivors)
            Log(log, Format(L"[%ls]   未能结束 %ls (pid %lu)", installDir.c_str(), h->info.name,
                            h->info.pid));
        return static_cast<int>(hosts.size());
    } catch (...) {
        return 0;
    }
}

}  // namespace zl
