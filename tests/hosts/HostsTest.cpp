// Finding, closing and ending helper processes that hold a stand-in component of a test
// installation. Wine's Restart Manager reports nothing, so a fake one plays it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "HostPeerProcess.h"
#include "HostSeams.h"
#include "Hosts.h"
#include "TempDir.h"

using zltest::Peer;

namespace {

const wchar_t* const kOwnDll = sizeof(void*) == 8 ? L"zlwb64.dll" : L"zlwb32.dll";

class HostsTest : public ::testing::Test {
protected:
    void TearDown() override { zl::SetHostSeamsForTest({}); }
    // Copies `source` to dir\name (making dir) and returns the copy's path.
    std::wstring Place(const std::wstring& dir, const std::wstring& name,
                       const std::wstring& source = ZL_HOSTDLL) {
        CreateDirectoryW(dir.c_str(), nullptr);
        EXPECT_TRUE(CopyFileW(source.c_str(), (dir + L"\\" + name).c_str(), FALSE));
        return dir + L"\\" + name;
    }
    zl::HostLog Logger() {
        return [this](const std::wstring& line) { log.push_back(line); };
    }
    bool Logged(const std::wstring& text) const {
        return std::any_of(log.begin(), log.end(),
                           [&](const std::wstring& l) { return l.find(text) != std::wstring::npos; });
    }
    static std::wstring Pid(DWORD pid) { return L"(pid " + std::to_wstring(pid) + L")"; }

    zltest::TempDir tmp;
    const std::wstring inst = tmp.File(L"inst");
    std::vector<std::wstring> log;
};

TEST_F(HostsTest, ScanTakesOnlyComponentsOfTheInstallFolder) {
    const std::wstring dll = Place(inst, kOwnDll), siblingDll = Place(inst + L"2", kOwnDll);
    std::wstring capitals = Place(inst + L"\\data", kOwnDll);
    CharUpperW(&capitals[0]);  // the loader gets the whole path in capitals
    Peer host(ZL_HOSTPEER, dll), upper(ZL_HOSTPEER, capitals), sibling(ZL_HOSTPEER, siblingDll);
    Peer staged(ZL_HOSTPEER, Place(tmp.File(L"new.zlpend"), kOwnDll));
    Peer shell(Place(tmp.File(L"sys"), L"explorer.exe", ZL_HOSTPEER), dll);
    for (const std::wstring& dir : {inst, inst + L"\\"}) {
        log.clear();
        std::set<DWORD> found;
        for (const zl::HostProc& h : zl::FindHostsOfOldComponents(dir, {}, Logger())) {
            found.insert(h.pid);
            EXPECT_STREQ(h.name, L"zlhostpeer.exe");
        }
        EXPECT_EQ(found, (std::set<DWORD>{host.pid, upper.pid, staged.pid}));
        EXPECT_TRUE(Logged(L"[诊断] zlhostpeer.exe " + Pid(sibling.pid) +
                           L" 也加载了同名模块：(同名但不在安装目录) " + siblingDll));
        EXPECT_FALSE(Logged(Pid(shell.pid)));
    }
}

TEST_F(HostsTest, PoliteHostsCloseStubbornOnesAreEndedThenNoneAreLeft) {
    const std::wstring dll = Place(inst, kOwnDll);
    Peer polite(ZL_HOSTPEER, dll), polite2(ZL_HOSTPEER, dll), stubborn(ZL_HOSTPEER, dll, L"stubborn");
    Peer sibling(ZL_HOSTPEER, Place(inst + L"2", kOwnDll), L"stubborn");
    // Waits through the handles the search opened: the polite hosts end on their own.
    std::set<DWORD> asked;
    zl::HostSeams seams;
    seams.waitForClose = [&](const std::vector<HANDLE>& handles) {
        for (HANDLE h : handles) {
            asked.insert(GetProcessId(h));
            if (GetProcessId(h) != stubborn.pid) {
                EXPECT_EQ(WaitForSingleObject(h, 30000), WAIT_OBJECT_0);
            }
        }
    };
    zl::SetHostSeamsForTest(seams);
    EXPECT_EQ(zl::TerminateHostsOfOldComponents(inst, {}, Logger()), 3);
    EXPECT_EQ(asked, (std::set<DWORD>{polite.pid, polite2.pid, stubborn.pid}));
    EXPECT_TRUE(Logged(L"[" + inst + L"] 关闭后结束 3 个仍加载旧组件的程序"));
    EXPECT_EQ(polite.ExitCode(), 7u);
    EXPECT_EQ(polite2.ExitCode(), 7u);
    EXPECT_EQ(stubborn.ExitCode(), 0u);
    EXPECT_TRUE(Logged(L"[" + inst + L"]   强制结束 zlhostpeer.exe " + Pid(stubborn.pid)));
    EXPECT_FALSE(Logged(Pid(polite.pid)) || Logged(Pid(polite2.pid)) || Logged(L"未能结束"));

    log.clear();
    EXPECT_EQ(zl::TerminateHostsOfOldComponents(inst, {}, Logger()), 0);
    EXPECT_FALSE(Logged(L"关闭后结束"));
    EXPECT_TRUE(sibling.Running());
}

TEST_F(HostsTest, AHostThatCannotBeEndedIsLogged) {
    Peer stubborn(ZL_HOSTPEER, Place(inst, kOwnDll), L"stubborn");
    zl::HostSeams seams;
    seams.waitForClose = [](const std::vector<HANDLE>&) {};
    seams.terminate = [](HANDLE) { return false; };
    zl::SetHostSeamsForTest(seams);
    EXPECT_EQ(zl::TerminateHostsOfOldComponents(inst, {}, Logger()), 1);
    EXPECT_TRUE(Logged(L"[" + inst + L"]   未能结束 zlhostpeer.exe " + Pid(stubborn.pid)));
    EXPECT_TRUE(stubborn.Running());
}

struct FakeRm {
    std::vector<std::wstring> files;
    std::vector<RM_PROCESS_INFO> list;
    int sessions = 0;
} g_rm;

DWORD WINAPI RmStart(DWORD* session, DWORD, WCHAR[]) {
    *session = static_cast<DWORD>(++g_rm.sessions);
    return ERROR_SUCCESS;
}
DWORD WINAPI RmRegister(DWORD, UINT n, LPCWSTR files[], UINT, RM_UNIQUE_PROCESS[], UINT, LPCWSTR[]) {
    g_rm.files.assign(files, files + n);
    return ERROR_SUCCESS;
}
DWORD WINAPI RmList(DWORD, UINT* needed, UINT* count, RM_PROCESS_INFO infos[], LPDWORD) {
    *needed = static_cast<UINT>(g_rm.list.size());
    if (*count < *needed) return ERROR_MORE_DATA;
    std::copy(g_rm.list.begin(), g_rm.list.end(), infos);
    *count = *needed;
    return ERROR_SUCCESS;
}
DWORD WINAPI RmEnd(DWORD) { return ERROR_SUCCESS; }
const zl::RestartManagerApi kFakeRm{RmStart, RmRegister, RmList, RmEnd};

// What the Restart Manager reports for pid, optionally from another session or start time.
RM_PROCESS_INFO Entry(DWORD pid, const wchar_t* name, DWORD otherSession = 0, DWORD otherStart = 0) {
    RM_PROCESS_INFO e{};
    e.Process.dwProcessId = pid;
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    FILETIME unused[3];
    EXPECT_TRUE(GetProcessTimes(p, &e.Process.ProcessStartTime, &unused[0], &unused[1], &unused[2]));
    CloseHandle(p);
    e.Process.ProcessStartTime.dwLowDateTime += otherStart;
    wcscpy(e.strAppName, name);
    ProcessIdToSessionId(GetCurrentProcessId(), &e.TSSessionId);
    e.TSSessionId += otherSession;
    return e;
}

TEST_F(HostsTest, RestartManagerEntriesPassTheSameChecks) {
    Peer host(ZL_HOSTPEER, Place(inst, kOwnDll)), unnamed(ZL_HOSTPEER, L"-"), editor(ZL_HOSTPEER, L"-");
    Peer foreign(ZL_HOSTPEER, L"-"), reused(ZL_HOSTPEER, L"-");
    Peer shell(Place(tmp.File(L"sys"), L"explorer.exe", ZL_HOSTPEER), L"-");
    Place(inst, L"Zlwb32.DLL.ZLPEND");
    Place(inst + L"\\data", L"zlwb64.dll.old");  // only the folder itself is looked at
    g_rm.list = {Entry(host.pid, L"A"),          Entry(unnamed.pid, L""),    Entry(shell.pid, L"S"),
                 Entry(foreign.pid, L"F", 1),    Entry(reused.pid, L"R", 0, 1),
                 Entry(editor.pid, L"Editor"),   Entry(editor.pid, L"Editor")};
    zl::HostSeams seams;
    seams.restartManager = &kFakeRm;
    zl::SetHostSeamsForTest(seams);
    std::vector<std::pair<DWORD, std::wstring>> got;
    for (const zl::HostProc& h : zl::FindHostsOfOldComponents(inst, {L"D:\\x.old1"}, Logger()))
        got.emplace_back(h.pid, h.name);
    EXPECT_EQ(got, (decltype(got){{host.pid, L"zlhostpeer.exe"}, {unnamed.pid, L"(未知程序)"},
                                  {editor.pid, L"Editor"}}));
    EXPECT_EQ(g_rm.files, (std::vector<std::wstring>{L"D:\\x.old1", inst + L"\\Zlwb32.DLL.ZLPEND"}));

    g_rm.sessions = 0;  // nothing moved aside: no Restart Manager session
    zl::FindHostsOfOldComponents(tmp.File(L"empty"), {}, Logger());
    EXPECT_EQ(g_rm.sessions, 0);
}

}  // namespace
