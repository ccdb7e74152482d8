// The user folder: which source wins, the length limit, creation, and no caching.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "UserDir.h"

using zltest::ScopedEnv;
using zltest::TempDir;

namespace {

std::wstring AppDataFolder() {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) return std::wstring();
    return std::wstring(buf) + L"\\ZelunWubi";
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(UserDir, EnvironmentValueIsUsedExactlyAndCreated) {
    TempDir tmp;
    const std::wstring dir = tmp.File(L"user");
    ScopedEnv env(L"ZLWB_USERDIR", dir.c_str());
    EXPECT_EQ(zl::UserDir(), dir);
    EXPECT_TRUE(IsFolder(dir));
    EXPECT_EQ(zl::UserDir(), dir);  // an existing folder is fine too
}

TEST(UserDir, TrailingSeparatorIsKept) {
    TempDir tmp;
    const std::wstring dir = tmp.Path() + L"\\";
    ScopedEnv env(L"ZLWB_USERDIR", dir.c_str());
    EXPECT_EQ(zl::UserDir(), dir);
}

TEST(UserDir, WorkedOutAfreshOnEveryCall) {
    TempDir a, b;
    {
        ScopedEnv env(L"ZLWB_USERDIR", a.Path().c_str());
        EXPECT_EQ(zl::UserDir(), a.Path());
    }
    {
        ScopedEnv env(L"ZLWB_USERDIR", b.Path().c_str());
        EXPECT_EQ(zl::UserDir(), b.Path());
    }
    ScopedEnv env(L"ZLWB_USERDIR", nullptr);
    EXPECT_EQ(zl::UserDir(), AppDataFolder());
}

TEST(UserDir, ValuesOf519CharactersAreUsedLongerOnesIgnored) {
    const std::wstring appData = AppDataFolder();
    ASSERT_FALSE(appData.empty());
    const std::wstring v519 = L"C:\\" + std::wstring(516, L'a');
    ASSERT_EQ(v519.size(), 519u);
    {
        ScopedEnv env(L"ZLWB_USERDIR", v519.c_str());
        EXPECT_EQ(zl::UserDir(), v519);
    }
    for (size_t len : {520u, 521u, 2000u}) {
        const std::wstring v = L"C:\\" + std::wstring(len - 3, L'b');
        ScopedEnv env(L"ZLWB_USERDIR", v.c_str());
        EXPECT_EQ(zl::UserDir(), appData) << len;
    }
    ScopedEnv empty(L"ZLWB_USERDIR", L"");
    EXPECT_EQ(zl::UserDir(), appData);
}

TEST(UserDir, ApplicationDataFolderIsCreatedOnDemand) {
    const std::wstring appData = AppDataFolder();
    ASSERT_FALSE(appData.empty());
    ScopedEnv env(L"ZLWB_USERDIR", nullptr);
    RemoveDirectoryW(appData.c_str());  // fails harmlessly when something is stored there
    EXPECT_EQ(zl::UserDir(), appData);
    EXPECT_TRUE(IsFolder(appData));
}
