// zlupd.exe --list-hosts and --kill-hosts with helper processes that hold the installed
// component.
#include <gtest/gtest.h>

#include <windows.h>

#include "HostPeerProcess.h"
#include "UpdaterKit.h"

using HostSwitches = zltest::UpdaterCase;

TEST_F(HostSwitches, ListAndEndTheHoldersOfTheInstalledComponent) {
    ASSERT_TRUE(CopyFileW(ZL_HOSTDLL, Installed(L"zlwb64.dll").c_str(), FALSE));
    zltest::Peer polite(ZL_HOSTPEER, Installed(L"zlwb64.dll"));
    zltest::Peer stubborn(ZL_HOSTPEER, Installed(L"zlwb64.dll"), L"stubborn");
    const std::string stubbornLine = "zlhostpeer.exe (pid " + std::to_string(stubborn.pid) + ")";

    EXPECT_EQ(Run(L"--list-hosts"), 0);
    EXPECT_TRUE(LogHas("仍加载旧组件的程序：2 个")) << Log();
    EXPECT_TRUE(LogHas("   zlhostpeer.exe (pid " + std::to_string(polite.pid) + ")")) << Log();
    EXPECT_TRUE(LogHas("   " + stubbornLine)) << Log();

    EXPECT_EQ(Run(L"--kill-hosts"), 0);
    EXPECT_TRUE(LogHas("--kill-hosts：结束 2 个仍加载旧组件的程序")) << Log();
    EXPECT_TRUE(LogHas("强制结束 " + stubbornLine)) << Log();
    EXPECT_EQ(stubborn.ExitCode(), 0u);
    const DWORD politeCode = polite.ExitCode();  // 7 when it closed within the grace time
    EXPECT_TRUE(politeCode == 7 || politeCode == 0) << politeCode;
    EXPECT_EQ(Run(L"--kill-hosts"), 3);
}
