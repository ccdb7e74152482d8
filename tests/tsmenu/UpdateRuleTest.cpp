// The update check's rules: when an automatic check is due, what is opened without the
// updater, and the question that offers a newer version.
#include <gtest/gtest.h>

#include "UpdateCheck.h"

namespace {

TEST(UpdateRule, AutomaticCheckEveryTwelveHours) {
    const int64_t now = 1700000000;
    const struct {
        int64_t last;
        bool due;
    } cases[] = {
        {0, true},              {-5, true},           {now - 43199, false}, {now - 43200, true},
        {now - 90000, true},    {now, false},         {now + 3600, false},  // clock set back
    };
    for (const auto& c : cases) EXPECT_EQ(zl::AutoCheckDue(c.last, now), c.due) << c.last;
    // A future time waits until 43200 s after it.
    EXPECT_FALSE(zl::AutoCheckDue(now + 3600, now + 3600 + 43199));
    EXPECT_TRUE(zl::AutoCheckDue(now + 3600, now + 3600 + 43200));
}

TEST(UpdateRule, PageAddressFromANetworkManifestMustBeWeb) {
    const std::wstring web = L"https://up.example.com/downloads/update/";
    const std::wstring local = L"C:\\updates\\";
    const struct {
        std::wstring configured, manifestUrl, opened;
    } cases[] = {
        {web, L"https://up.example.com/setup.exe", L"https://up.example.com/setup.exe"},
        {web, L"HTTP://up.example.com/s.exe", L"HTTP://up.example.com/s.exe"},
        {web, L"", web},
        {web, L"\\\\evil\\share\\setup.exe", web},
        {web, L"file:///C:/Windows/system32/calc.exe", web},
        {web, L"C:\\Windows\\notepad.exe", web},
        {L"  " + web, L"C:\\x.exe", L"  " + web},
        {local, L"C:\\updates\\setup.exe", L"C:\\updates\\setup.exe"},
        {local, L"", local},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zl::UpdatePageAddress(c.configured, c.manifestUrl), c.opened) << c.manifestUrl;
    }
}

TEST(UpdateRule, OfferLeavesNoBlankBlockForEmptyNotes) {
    zl::UpdateInfo info;
    info.version = L"4.6.0";
    const std::wstring tail =
        L"是否现在更新？\n增量更新只下载有变化的文件（通常几百 KB），不需要再下完整安装包；\n设置、词频、自造词都会保留。";
    EXPECT_EQ(zl::UpdateOfferText(info, L"4.5.3"), L"发现新版本 v4.6.0（当前 v4.5.3）\n\n" + tail);
    info.notes = L"修复若干问题";
    EXPECT_EQ(zl::UpdateOfferText(info, L"4.5.3"), L"发现新版本 v4.6.0（当前 v4.5.3）\n\n修复若干问题\n\n" + tail);
}

}  // namespace
