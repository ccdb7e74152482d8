#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateCheck.h"

namespace {

// Records what the check did through each of its seams.
struct FakeWorld {
    bool updaterPresent = false;
    bool fetchOk = true;
    zl::UpdateInfo info;
    std::wstring fetchError = L"无法连接更新服务器（请检查网络或地址）";
    int answer = IDYES;

    int fetches = 0;
    std::vector<std::wstring> messages;
    std::vector<UINT> flags;
    std::vector<std::wstring> opened;

    zldemo::UpdateCheckEnv Env(const std::wstring& address) {
        zldemo::UpdateCheckEnv env;
        env.address = address;
        env.version = L"4.5.3";
        env.startUpdater = [this] { return updaterPresent; };
        env.fetch = [this](const std::wstring&, zl::UpdateInfo* out, std::wstring* err) {
            ++fetches;
            if (!fetchOk) {
                *err = fetchError;
                return false;
            }
            *out = info;
            return true;
        };
        env.message = [this](const std::wstring& text, const wchar_t*, UINT f) {
            messages.push_back(text);
            flags.push_back(f);
            return answer;
        };
        env.open = [this](const std::wstring& a) { opened.push_back(a); };
        return env;
    }
};

const wchar_t kWeb[] = L"http://updates.test/downloads/update/";

}  // namespace

TEST(UpdateCheck, UpdaterBesideTheProgramDoesEverything) {
    FakeWorld w;
    w.updaterPresent = true;
    zldemo::RunUpdateCheck(w.Env(kWeb));
    EXPECT_EQ(w.fetches, 0);
    EXPECT_TRUE(w.messages.empty());
}

TEST(UpdateCheck, NoAddressShowsTheTextLiterally) {
    FakeWorld w;
    zldemo::RunUpdateCheck(w.Env(L""));
    EXPECT_EQ(w.fetches, 0);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0], zldemo::kNoAddressText);
    EXPECT_NE(w.messages[0].find(L"%APPDATA%\\ZelunWubi\\config.ini 的\n[更新] 地址"), std::wstring::npos);
    EXPECT_NE(std::wstring(zldemo::kSavedText).find(L"%APPDATA%\\ZelunWubi\\config.ini"), std::wstring::npos);
}

TEST(UpdateCheck, FailedFetchStopsThere) {
    FakeWorld w;
    w.fetchOk = false;
    zldemo::RunUpdateCheck(w.Env(kWeb));
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0], L"检查更新失败：\n" + w.fetchError);
    EXPECT_EQ(w.flags[0], static_cast<UINT>(MB_ICONWARNING));
    EXPECT_TRUE(w.opened.empty());
}

TEST(UpdateCheck, VersionsAndTheQuestion) {
    const struct {
        const wchar_t* version;
        const wchar_t* notes;
        int answer;
        const wchar_t* want;  // the one message
        bool opens;
    } cases[] = {
        {L"4.5.3", L"", IDYES, L"当前已是最新版本（v4.5.3）。", false},
        {L"v4.5", L"", IDYES, L"当前已是最新版本（v4.5.3）。", false},
        {L"4.6", L"", IDNO, L"发现新版本 v4.6（当前 v4.5.3）\n\n是否现在下载？下载后双击安装包即可覆盖安装。", false},
        {L"4.6", L"修正", IDYES,
         L"发现新版本 v4.6（当前 v4.5.3）\n\n修正\n\n是否现在下载？下载后双击安装包即可覆盖安装。", true},
    };
    for (const auto& c : cases) {
        FakeWorld w;
        w.info.version = c.version;
        w.info.notes = c.notes;
        w.info.url = L"https://updates.test/zlwb-setup.exe";
        w.answer = c.answer;
        zldemo::RunUpdateCheck(w.Env(kWeb));
        ASSERT_EQ(w.messages.size(), 1u);
        EXPECT_EQ(w.messages[0], c.want);
        EXPECT_EQ(w.opened.size(), c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_EQ(w.opened[0], w.info.url);
        }
    }
}

// A manifest from the network may only send the browser to a web address.
TEST(UpdateCheck, DownloadAddressFromTheManifest) {
    const struct {
        const wchar_t* configured;
        const wchar_t* url;
        const wchar_t* want;
    } cases[] = {
        {kWeb, L"https://updates.test/setup.exe", L"https://updates.test/setup.exe"},
        {kWeb, L"", kWeb},
        {kWeb, L"\\\\evil\\share\\setup.exe", kWeb},
        {kWeb, L"C:\\Windows\\System32\\cmd.exe", kWeb},
        {kWeb, L"file:///C:/setup.exe", kWeb},
        {L"D:\\updates\\", L"D:\\updates\\setup.exe", L"D:\\updates\\setup.exe"},
        {L"D:\\updates\\", L"https://updates.test/setup.exe", L"https://updates.test/setup.exe"},
    };
    for (const auto& c : cases) {
        FakeWorld w;
        w.info.version = L"9.0";
        w.info.url = c.url;
        zldemo::RunUpdateCheck(w.Env(c.configured));
        ASSERT_EQ(w.opened.size(), 1u) << c.url;
        EXPECT_EQ(w.opened[0], c.want) << c.url;
    }
}
