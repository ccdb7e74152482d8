#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateCheck.h"

namespace {

const wchar_t kWeb[] = L"http://updates.test/downloads/update/";

// Stands in for the updater, the network, the message boxes and the browser.
struct FakeWorld {
    bool updaterPresent = false;
    bool fetchOk = true;
    zl::UpdateInfo info;
    int answer = IDYES;
    int fetches = 0;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> opened;

    void Run(const std::wstring& address) {
        zldemo::RunUpdateCheck({
            address, L"4.5.3", [this] { return updaterPresent; },
            [this](const std::wstring&, zl::UpdateInfo* out, std::wstring* err) {
                ++fetches;
                if (!fetchOk) {
                    *err = L"无法连接更新服务器";
                    return false;
                }
                *out = info;
                return true;
            },
            [this](const std::wstring& text, const wchar_t*, UINT) {
                messages.push_back(text);
                return answer;
            },
            [this](const std::wstring& a) { opened.push_back(a); }});
    }
};

}  // namespace

TEST(UpdateCheck, UpdaterMissingAddressAndFailedFetchStopEarly) {
    FakeWorld updater;
    updater.updaterPresent = true;
    updater.Run(kWeb);
    EXPECT_EQ(updater.fetches, 0);
    EXPECT_TRUE(updater.messages.empty());

    FakeWorld none;  // the text holds a literal %APPDATA% and is shown as it stands
    none.Run(L"");
    EXPECT_EQ(none.fetches, 0);
    EXPECT_EQ(none.messages, std::vector<std::wstring>{zldemo::kNoAddressText});
    EXPECT_NE(none.messages[0].find(L"请在 %APPDATA%\\ZelunWubi\\config.ini 的\n[更新] 地址"), std::wstring::npos);

    FakeWorld failed;
    failed.fetchOk = false;
    failed.Run(kWeb);
    EXPECT_EQ(failed.messages, std::vector<std::wstring>{L"检查更新失败：\n无法连接更新服务器"});
    EXPECT_TRUE(failed.opened.empty());
}

TEST(UpdateCheck, VersionsAndTheQuestion) {
    const struct {
        const wchar_t* version;
        const wchar_t* notes;
        int answer;
        const wchar_t* want;
        bool opens;
    } cases[] = {
        {L"v4.5", L"", IDYES, L"当前已是最新版本（v4.5.3）。", false},
        {L"4.6", L"", IDNO, L"发现新版本 v4.6（当前 v4.5.3）\n\n是否现在下载？下载后双击安装包即可覆盖安装。", false},
        {L"4.6", L"修正", IDYES,
         L"发现新版本 v4.6（当前 v4.5.3）\n\n修正\n\n是否现在下载？下载后双击安装包即可覆盖安装。", true},
    };
    for (const auto& c : cases) {
        FakeWorld w;
        w.info = {c.version, L"https://updates.test/setup.exe", c.notes, L""};
        w.answer = c.answer;
        w.Run(kWeb);
        EXPECT_EQ(w.messages, std::vector<std::wstring>{c.want});
        EXPECT_EQ(w.opened.size(), c.opens ? 1u : 0u);
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
        {kWeb, L"file:///C:/setup.exe", kWeb},
        {L"D:\\updates\\", L"D:\\updates\\setup.exe", L"D:\\updates\\setup.exe"},
    };
    for (const auto& c : cases) {
        FakeWorld w;
        w.info = {L"9.0", c.url, L"", L""};
        w.Run(c.configured);
        EXPECT_EQ(w.opened, std::vector<std::wstring>{c.want}) << c.url;
    }
}
