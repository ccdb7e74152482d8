// A file held open by another process is staged and moved in at the next restart
// (wineboot -r); a copy staged by an earlier run never beats a newer file written since.
#include <gtest/gtest.h>

#include <windows.h>

#include "UniqueHandle.h"
#include "UpdaterKit.h"

namespace {

// Wine's restart carries out the renames registered for the next boot.
bool Restart() {
    wchar_t cmd[] = L"wineboot.exe -r";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    const bool ended = WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
}

class HeldFile : public zltest::UpdaterCase {
protected:
    // Runs the update while the component is open without sharing, as a program using it.
    void RunHeld() {
        zl::UniqueHandle held(
            CreateFileW(Installed(L"zlwb64.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        EXPECT_EQ(Run(L"--auto"), 0) << Log();
    }
};

}  // namespace

TEST_F(HeldFile, IsStagedAndTheRestartPutsItInPlace) {
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}, {L"data/zlwb.dat", "dict v2", 0}});
    RunHeld();
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v1");
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll.zlpend"), "dll v2");
    EXPECT_EQ(ReadInstalled(L"data/zlwb.dat"), "dict v2");
    EXPECT_EQ(ReadInstalled(L"installed.ver"), "4.6.0\n");
    EXPECT_TRUE(LogHas("其中 1 个文件正被占用，已安排在重启后自动替换。")) << Log();
    ASSERT_TRUE(Restart());
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v2");
    EXPECT_FALSE(InstalledExists(L"zlwb64.dll.zlpend"));
}

TEST_F(HeldFile, AStaleStagedCopyNeverBeatsANewerFile) {
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}});
    RunHeld();
    ASSERT_EQ(ReadInstalled(L"zlwb64.dll.zlpend"), "dll v2");
    // The program has ended; the next version goes in directly before any restart.
    Publish("4.7.0", "20260201120000", {{L"zlwb64.dll", "dll v3", 64}});
    EXPECT_EQ(Run(L"--auto"), 0) << Log();
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v3");
    EXPECT_FALSE(InstalledExists(L"zlwb64.dll.zlpend"));
    ASSERT_TRUE(Restart());
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v3");
}
