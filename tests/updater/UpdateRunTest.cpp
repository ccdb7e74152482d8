// zlupd.exe --auto end to end: a test installation brought up to date, and every way
// the update must refuse or leave the installed files alone.
#include <gtest/gtest.h>

#include <windows.h>

#include "UniqueHandle.h"
#include "UpdText.h"
#include "UpdaterKit.h"

using zltest::PubFile;

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZelunWubi";

class UpdateRun : public zltest::UpdaterCase {
protected:
    void SetUp() override {
        UpdaterCase::SetUp();
        Install(L"installed.ver", "4.5.0\n");
        Install(L"installed.build", "20250101000000\r\n");
    }
    // What a refused or failed run must leave as it was.
    void ExpectUnchanged() {
        EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v1");
        EXPECT_EQ(ReadInstalled(L"installed.ver"), "4.5.0\n");
        EXPECT_EQ(ReadInstalled(L"installed.build"), "20250101000000\r\n");
        EXPECT_FALSE(InstalledExists(L"new/sub/file.dat"));
    }
};

}  // namespace

TEST_F(UpdateRun, NothingChangedIsUpToDate) {
    Publish("4.5.0", "20250101000000", {{L"zlwb64.dll", "dll v1", 64}});
    EXPECT_EQ(Run(L"--auto"), 0);
    EXPECT_TRUE(LogHas("已是最新版本 v4.5.0，无文件需要更新")) << Log();
    EXPECT_FALSE(InstalledExists(L"update_tmp"));

    // A missing build marker is made from the version marker's time before any switch.
    ASSERT_TRUE(DeleteFileW(Installed(L"installed.build").c_str()));
    EXPECT_EQ(Run(L"--list-hosts"), 0);
    EXPECT_EQ(ReadInstalled(L"installed.build").find_first_not_of("0123456789"), 14u);
    EXPECT_TRUE(LogHas("仍加载旧组件的程序：0 个")) << Log();
    EXPECT_EQ(Run(L"--kill-hosts"), 3);
}

TEST_F(UpdateRun, ChangesAreAppliedFromTheServerAndFromAFolder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    RegCloseKey(key);
    Install(L"keep.txt", "same");
    for (const char* version : {"4.6.0", "4.6.1"}) {
        SCOPED_TRACE(version);
        Install(L"data/hw_tpl.dat", "obsolete");
        Publish(version, "20260101120000",
                {{L"zlwb64.dll", std::string("dll ") + version, 64},
                 {L"zlwb32.dll", "32-bit only", 32},
                 {L"keep.txt", "same", 0},
                 {L"new/sub/file.dat", "in a new folder", 0}},
                version[4] == '0');
        EXPECT_EQ(Run(L"--auto"), 0) << Log();
        EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), std::string("dll ") + version);
        EXPECT_EQ(ReadInstalled(L"new/sub/file.dat"), "in a new folder");
        EXPECT_FALSE(InstalledExists(L"zlwb32.dll"));
        EXPECT_FALSE(InstalledExists(L"data/hw_tpl.dat"));
        EXPECT_FALSE(InstalledExists(L"update_tmp"));
        EXPECT_EQ(ReadInstalled(L"installed.ver"), std::string(version) + "\n");
        EXPECT_EQ(ReadInstalled(L"installed.build"), "20260101120000\r\n");
        wchar_t shown[16] = {};
        DWORD bytes = sizeof shown;
        RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", RRF_RT_REG_SZ, nullptr, shown, &bytes);
        EXPECT_EQ(std::wstring(shown), std::wstring(version, version + 5));
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    EXPECT_TRUE(LogHas("需要更新 2 个文件")) << Log();  // keep.txt is the same
    EXPECT_TRUE(LogHas("已清除遗留文件 data\\hw_tpl.dat")) << Log();
}

TEST_F(UpdateRun, BadDownloadsChangeNothing) {
    const std::pair<PubFile, const char*> cases[] = {
        {{L"new/sub/file.dat", "payload", 0, "", "12345678"}, "文件校验失败（可能下载不完整）：file.dat"},
        {{L"new/sub/file.dat", "payload", 0, "100"}, "下载失败：file.dat"},  // shorter than listed
        {{L"new/sub/file.dat", "payload", 0, "3"}, "下载失败：file.dat"},    // longer than listed
        {{L"new/sub/file.dat", "payload", 0, "", "", false}, "HTTP 404"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        // The good file comes first: it is downloaded but must not be installed alone.
        Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}, c.first});
        EXPECT_EQ(Run(L"--auto"), 2);
        EXPECT_TRUE(LogHas(c.second)) << Log();
        ExpectUnchanged();
    }
}

TEST_F(UpdateRun, GuardsRefuseDowngradesAndOlderBuilds) {
    Install(L"installed.ver", "5.0.0\n");
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "older", 64}});
    EXPECT_EQ(Run(L"--auto"), 0);
    EXPECT_TRUE(LogHas("防降级：本地 v5.0.0 > 服务器 v4.6.0，跳过全部 1 个清单条目")) << Log();
    EXPECT_TRUE(LogHas("跳过更新：本地版本 v5.0.0 比服务器 v4.6.0 更新")) << Log();

    Install(L"installed.ver", "4.6.0\n");
    Install(L"installed.build", "20260102000000\r\n");
    EXPECT_EQ(Run(L"--auto"), 0);
    EXPECT_TRUE(LogHas("防构建倒退：本地 v4.6.0 build=20260102000000 > 清单 build=20260101120000")) << Log();
    EXPECT_TRUE(LogHas("2026-01-02 00:00 的构建，服务器增量清单还是 2026-01-01 12:00（构建）")) << Log();
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v1");
}

TEST_F(UpdateRun, EveryUnsafeManifestPathFailsTheWholeCheck) {
    ASSERT_TRUE(CreateDirectoryW(Installed(L"data").c_str(), nullptr));
    for (const wchar_t* path :
         {L"\\zlwb64.dll", L"C:/Windows/evil.dll", L"a:b", L"a<b", L"a>b", L"a?b", L"a*b", L"a\"b", L"a\tb", L"a\x01z",
          L"a//b", L"./x", L"../evil.dll", L"sub/../../evil.dll", L"x.dll.", L"sub./x", L"sub /x", L"CON", L"nul.txt",
          L"Aux", L"PRN.dat", L"com1.dll", L"LPT9", L"data/COM3", L"update_tmp/0.tmp", L"data"}) {
        SCOPED_TRACE(std::string(path, path + wcslen(path)));
        // The safe lines come first: nothing at all may be downloaded or replaced.
        Publish("4.6.0", "20260101120000",
                {{L"zlwb64.dll", "dll v2", 64}, {path, "evil", 0, "", "", false}, {L"new/sub/file.dat", "x", 0}});
        DeleteFileW(std::wstring(temp_ + L"\\zlupd.log").c_str());
        EXPECT_EQ(Run(L"--auto"), 2);
        EXPECT_TRUE(LogHas("[失败] 读取增量清单失败：\n增量清单格式不正确")) << Log();
        EXPECT_TRUE(LogHas("路径不安全")) << Log();
        EXPECT_FALSE(InstalledExists(L"update_tmp"));
        ExpectUnchanged();
    }
}

TEST_F(UpdateRun, AnEntryThatIsTheFolderOfAnotherFailsTheWholeCheck) {
    // Neither exists before the run: only the manifest itself says they cannot both be.
    const std::vector<PubFile> clashes[] = {
        {{L"new/sub/file.dat", "in a folder", 0}, {L"new/sub", "a file", 0, "", "", true, L"f"}},
        {{L"New/Sub", "a file", 0, "", "", true, L"f"}, {L"new/sub/file.dat", "in a folder", 0}},
    };
    for (const auto& files : clashes) {
        std::vector<PubFile> all = {{L"zlwb64.dll", "dll v2", 64}};
        all.insert(all.end(), files.begin(), files.end());
        Publish("4.6.0", "20260101120000", all);
        DeleteFileW(std::wstring(temp_ + L"\\zlupd.log").c_str());
        EXPECT_EQ(Run(L"--auto"), 2) << Log();
        EXPECT_TRUE(LogHas("路径不安全")) << Log();
        ExpectUnchanged();
        EXPECT_FALSE(InstalledExists(L"new"));
    }
}

TEST_F(UpdateRun, ASecondUpdaterOfTheFolderLeavesItAlone) {
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}});
    // Stands in for a running updater of this folder.
    zl::UniqueHandle mutex(CreateMutexW(nullptr, TRUE, zl::UpdaterMutexName(install_).c_str()));
    ASSERT_TRUE(mutex.Valid());
    EXPECT_EQ(Run(L"--auto"), 0);
    EXPECT_TRUE(LogHas("另一个更新程序正在运行")) << Log();
    EXPECT_FALSE(InstalledExists(L"update_tmp"));
    ExpectUnchanged();
    ReleaseMutex(mutex.Get());
    EXPECT_EQ(Run(L"--auto"), 0);
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v2");
}

TEST_F(UpdateRun, NoInstallFolderEndsWithoutAQuestion) {
    ASSERT_TRUE(DeleteFileW(Installed(L"zlwb64.dll").c_str()));
    EXPECT_EQ(Run(L"--auto"), 1);  // a message box would never let it end
    EXPECT_TRUE(LogHas("没有找到泽仑五笔输入法的安装目录")) << Log();
}
