#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateCheck.h"

namespace {

const wchar_t kWeb[] = L"http://updates.test/downloads/update/";
const wchar_t kOffer[] = L"发现新版本 v4.6（当前 v4.5.3）\n\n";
const wchar_t kAsk[] = L"是否现在下载？下载后双击安装包即可覆盖安装。";

}  // namespace

// The updater, the network, the message boxes and the browser are stood in for.
TEST(UpdateCheck, StepsAndTheirMessages) {
    const struct {
        bool updater;
        const wchar_t* address;
        bool fetchOk;
        const wchar_t* version;
        const wchar_t* notes;
        int answer;
        std::wstring message;  // empty: none shown
        int fetches;
        const wchar_t* opens;  // what the browser is sent to, if anything
    } cases[] = {
        {true, kWeb, true, L"9", L"", IDYES, L"", 0, nullptr},
        {false, L"", true, L"9", L"", IDYES, zldemo::kNoAddressText, 0, nullptr},
        {false, kWeb, false, L"9", L"", IDYES, L"检查更新失败：\n无法连接更新服务器", 1, nullptr},
        {false, kWeb, true, L"v4.5", L"", IDYES, L"当前已是最新版本（v4.5.3）。", 1, nullptr},
        {false, kWeb, true, L"4.6", L"", IDNO, std::wstring(kOffer) + kAsk, 1, nullptr},
        {false, kWeb, true, L"4.6", L"修正", IDYES, std::wstring(kOffer) + L"修正\n\n" + kAsk, 1, L"https://updates.test/setup.exe"},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> messages;
        std::vector<std::wstring> opened;
        int fetches = 0;
        zldemo::RunUpdateCheck({c.address, L"4.5.3", [&] { return c.updater; },
                                [&](const std::wstring&, zl::UpdateInfo* out, std::wstring* err) {
                                    ++fetches;
                                    *out = {c.version, L"https://updates.test/setup.exe", c.notes, L""};
                                    if (!c.fetchOk) *err = L"无法连接更新服务器";
                                    return c.fetchOk;
                                },
                                [&](const std::wstring& text, const wchar_t*, UINT) {
                                    messages.push_back(text);
                                    return c.answer;
                                },
                                [&](const std::wstring& a) { opened.push_back(a); }});
        EXPECT_EQ(messages, c.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message});
        EXPECT_EQ(fetches, c.fetches) << c.message;
        EXPECT_EQ(opened, c.opens ? std::vector<std::wstring>{c.opens} : std::vector<std::wstring>{}) << c.message;
    }
    // The text the second row saw holds a literal %APPDATA%.
    EXPECT_NE(std::wstring(zldemo::kNoAddressText).find(L"请在 %APPDATA%\\ZelunWubi\\config.ini 的\n[更新] 地址"),
              std::wstring::npos);
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
        zl::UpdateInfo info{L"9.0", c.url, L"", L""};
        EXPECT_EQ(zldemo::DownloadAddress(info, c.configured), c.want) << c.url;
    }
}
