// A second process under the same wineserver shares the Chinese/English state: of this
// build, and of the other bitness where this machine can start it.
#include <gtest/gtest.h>

#include "KeyDriver.h"

namespace {

constexpr int kCannotStart = -2;

// Runs zltspeer with one argument; its exit code, -1 when it hangs.
int RunPeer(const std::wstring& exe, const std::wstring& arg) {
    std::wstring cmd = L"\"" + exe + L"\" " + arg;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return kCannotStart;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &code))
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

void SharedAcrossProcesses(const std::wstring& peer) {
    tskeys::KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    d.S()._SetChinese(true, L"test");
    EXPECT_EQ(RunPeer(peer, L"english"), 0);
    d.Tick();
    EXPECT_FALSE(d.Chinese());
    EXPECT_EQ(RunPeer(peer, L"deactivate"), 0);
    d.Tick();
    EXPECT_TRUE(d.Chinese());
    d.S()._SetChinese(false, L"test");
    EXPECT_EQ(RunPeer(peer, L"tick"), 10);  // the peer adopts English at its tick
}

TEST(Processes, SameBuild) { SharedAcrossProcesses(ZL_TSPEER); }

TEST(Processes, OtherBitness) {
    if (RunPeer(ZL_TSPEER_OTHER, L"") == kCannotStart)
        GTEST_SKIP() << "the other bitness's peer cannot start on this machine (or is not built)";
    SharedAcrossProcesses(ZL_TSPEER_OTHER);
}

// Wine reports the Windows version set for the program; the service must see the true major
// version, which GetVersionEx hides from programs without a manifest.
TEST(Processes, OsMajorVersionAsConfigured) {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\zltspeer.exe";
    for (auto [version, major] : {std::pair{L"win7", 6}, {L"win81", 6}, {L"win10", 10}}) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Version", REG_SZ, version, 12), ERROR_SUCCESS);
        EXPECT_EQ(RunPeer(ZL_TSPEER, L"os"), major) << major;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

}  // namespace
