#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "MenuIds.h"
#include "Options.h"
#include "UserFolder.h"

namespace {

int ReadKey(const zl::Config& cfg, const wchar_t* section, const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(section, key, -99, cfg.Path().c_str()));
}

}  // namespace

// Each option item flips exactly its own config.ini key.
TEST(OptionTable, EachItemTogglesItsKey) {
    const struct {
        const wchar_t* section;
        const wchar_t* key;
    } keys[zldemo::kOptionCount] = {
        {L"输入", L"四码唯一自动上屏"}, {L"输入", L"五码自动上屏"}, {L"输入", L"词频调整"},
        {L"输入", L"中文标点"},         {L"编码", L"仅GBK"},         {L"界面", L"显示编码"},
        {L"界面", L"竖排"},             {L"界面", L"状态条"},        {L"界面", L"小键盘选词"},
        {L"界面", L"Ctrl空格"},         {L"输入", L"手动调频"},      {L"界面", L"Shift切换中英"},
        {L"界面", L"Shift英文"},        {L"输入", L"新窗口默认中文"}, {L"界面", L"状态条半透明"},
    };
    zltest::UserFolder user;
    for (int i = 0; i < zldemo::kOptionCount; ++i) {
        zl::Config cfg;
        cfg.Save();
        const int before = ReadKey(cfg, keys[i].section, keys[i].key);
        ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + i));
        cfg.Save();
        EXPECT_EQ(ReadKey(cfg, keys[i].section, keys[i].key), before ? 0 : 1) << zldemo::kChkNames[i];
        // Nothing else moved.
        zl::Config back;
        back.Load();
        *zldemo::OptionSlot(back, i) = before;
        zl::Config fresh;
        for (int j = 0; j < zldemo::kOptionCount; ++j)
            EXPECT_EQ(*zldemo::OptionSlot(back, j), *zldemo::OptionSlot(fresh, j)) << i << "/" << j;
    }
    zl::Config cfg;
    EXPECT_EQ(zldemo::OptionSlot(cfg, -1), nullptr);
    EXPECT_EQ(zldemo::OptionSlot(cfg, zldemo::kOptionCount), nullptr);
    EXPECT_FALSE(zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + zldemo::kOptionCount));
}

TEST(SkinBtnText, NamesPresetsAndHex) {
    zl::Config cfg;
    const struct {
        int which;
        int value;
        const wchar_t* want;
    } cases[] = {
        {1, 0, L"状态条配色：默认"},
        {1, 0xCE5C28, L"状态条配色：蓝"},
        {1, 0x4646D2, L"状态条配色：红"},
        {1, 0x123456, L"状态条配色：#563412"},
        {1, 0xFCFAFA, L"状态条配色：#FAFAFC"},  // a background preset is no accent
        {2, 0, L"状态条底色：默认"},
        {2, 0xFCFAFA, L"状态条底色：白"},
        {2, 0xF2EEEE, L"状态条底色：浅灰"},
        {2, 0x0000FF, L"状态条底色：#FF0000"},
    };
    for (const auto& c : cases) {
        (c.which == 1 ? cfg.statusAccent : cfg.statusBase) = c.value;
        EXPECT_EQ(zldemo::SkinBtnText(cfg, c.which), c.want) << c.value;
    }
    cfg.statusTheme = 7;
    EXPECT_EQ(zldemo::SkinBtnText(cfg, 0), L"状态条主题：跟随系统");
}

TEST(EditOptions, ThemeCyclesAndLookResets) {
    zl::Config cfg;
    const wchar_t* seen[3];
    for (const wchar_t*& name : seen) {
        ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdTheme));
        name = zldemo::kThemeNames[cfg.statusTheme];
    }
    EXPECT_STREQ(seen[0], L"浅色");
    EXPECT_STREQ(seen[1], L"深色");
    EXPECT_STREQ(seen[2], L"跟随系统");

    cfg.statusAccent = 0x123456;
    cfg.statusBase = 0x654321;
    ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdAccentDefault));
    ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdBaseDefault));
    EXPECT_EQ(cfg.statusAccent, 0);
    EXPECT_EQ(cfg.statusBase, 0);
    const std::pair<unsigned, int> skins[] = {
        {zldemo::kIdSkinClassic, 1}, {zldemo::kIdSkinFrame, 2}, {zldemo::kIdSkinDefault, 0}};
    for (const auto& s : skins) {
        ASSERT_TRUE(zldemo::EditOptions(cfg, s.first));
        EXPECT_EQ(cfg.statusSkin, s.second);
    }
}

// Restoring the defaults writes exactly what a fresh record writes, all 31 keys.
TEST(EditOptions, RestoreDefaultsWritesTheRecordsOwnDefaults) {
    zltest::UserFolder user;
    zl::Config fresh;
    fresh.Save();
    std::vector<uint8_t> want;
    ASSERT_TRUE(zltest::ReadBytes(fresh.Path(), want));
    DeleteFileW(fresh.Path().c_str());

    zl::Config cfg;
    for (int i = 0; i < zldemo::kOptionCount; ++i) zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + i);
    cfg.scheme = 2;
    cfg.pageSize = 9;
    cfg.fontSize = 40;
    cfg.fuzzyPinyin = 1;
    cfg.showHint = 0;
    cfg.statusTheme = 2;
    cfg.statusSkin = 1;
    cfg.statusAccent = 0x123456;
    cfg.statusBase = 0x654321;
    cfg.fullWidth = 1;
    cfg.handwriting = 1;
    cfg.statusX = 10;
    cfg.statusY = 20;
    cfg.updateUrl = L"D:\\updates\\";
    cfg.autoCheck = 0;
    cfg.lastCheck = 1234567890123;
    ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdResetDefaults));
    cfg.Save();
    std::vector<uint8_t> got;
    ASSERT_TRUE(zltest::ReadBytes(cfg.Path(), got));
    EXPECT_EQ(got, want);
    EXPECT_EQ(cfg.statusX, -1);
    EXPECT_EQ(cfg.updateUrl, zl::DefaultUpdateUrl());
}

TEST(AboutText, NamesVersionAndPages) {
    const std::wstring about = zldemo::AboutText(L"4.5.3");
    EXPECT_EQ(about.rfind(L"泽仑五笔输入法  v4.5.3\r\n\r\n", 0), 0u);
    EXPECT_NE(about.find(L"官方主页：" + zldemo::HomePageAddress() + L"\r\n"), std::wstring::npos);
    EXPECT_NE(about.find(L"（下载）：" + zldemo::DownloadPageAddress()), std::wstring::npos);
    EXPECT_EQ(zldemo::DownloadPageAddress() + L"/", zl::DefaultUpdateUrl());
}
