#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "MenuIds.h"
#include "Options.h"
#include "UserFolder.h"

// Each option item flips exactly its own config.ini key.
TEST(OptionTable, EachItemTogglesItsKey) {
    const wchar_t* const keys[zldemo::kOptionCount][2] = {
        {L"输入", L"四码唯一自动上屏"}, {L"输入", L"五码自动上屏"}, {L"输入", L"词频调整"},
        {L"输入", L"中文标点"},         {L"编码", L"仅GBK"},         {L"界面", L"显示编码"},
        {L"界面", L"竖排"},             {L"界面", L"状态条"},        {L"界面", L"小键盘选词"},
        {L"界面", L"Ctrl空格"},         {L"输入", L"手动调频"},      {L"界面", L"Shift切换中英"},
        {L"界面", L"Shift英文"},        {L"输入", L"新窗口默认中文"}, {L"界面", L"状态条半透明"},
    };
    zltest::UserFolder user;
    for (int i = 0; i < zldemo::kOptionCount; ++i) {
        zl::Config cfg;
        const int before = *zldemo::OptionSlot(cfg, i);
        ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + i));
        cfg.Save();
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(keys[i][0], keys[i][1], -1, cfg.Path().c_str())),
                  before ? 0 : 1)
            << zldemo::kChkNames[i];
    }
    zl::Config cfg;
    EXPECT_EQ(zldemo::OptionSlot(cfg, zldemo::kOptionCount), nullptr);
    EXPECT_FALSE(zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + zldemo::kOptionCount));
}

TEST(SkinBtnText, NamesPresetsAndHex) {
    const struct {
        int which;
        int value;
        const wchar_t* want;
    } cases[] = {
        {1, 0, L"状态条配色：默认"},           {1, 0xCE5C28, L"状态条配色：蓝"},
        {1, 0x123456, L"状态条配色：#563412"}, {1, 0xFCFAFA, L"状态条配色：#FAFAFC"},
        {2, 0, L"状态条底色：默认"},           {2, 0xF2EEEE, L"状态条底色：浅灰"},
        {2, 0x0000FF, L"状态条底色：#FF0000"},
    };
    zl::Config cfg;
    for (const auto& c : cases) {
        (c.which == 1 ? cfg.statusAccent : cfg.statusBase) = c.value;
        EXPECT_EQ(zldemo::SkinBtnText(cfg, c.which), c.want) << c.value;
    }
    // A theme out of range in config.ini shows as the first and steps on from there.
    for (int theme : {7, -5, INT_MAX}) {
        cfg.statusTheme = theme;
        EXPECT_EQ(zldemo::SkinBtnText(cfg, 0), L"状态条主题：跟随系统");
        zldemo::EditOptions(cfg, zldemo::kIdTheme);
        EXPECT_EQ(cfg.statusTheme, 1) << theme;
    }
    cfg.statusTheme = 0;
    const wchar_t* const cycle[] = {L"状态条主题：浅色", L"状态条主题：深色", L"状态条主题：跟随系统"};
    for (const wchar_t* want : cycle) {
        zldemo::EditOptions(cfg, zldemo::kIdTheme);
        EXPECT_EQ(zldemo::SkinBtnText(cfg, 0), want);
    }
}

// Restoring the defaults writes exactly what a fresh record writes, all 31 keys.
TEST(EditOptions, RestoreDefaultsWritesTheRecordsOwnDefaults) {
    zltest::UserFolder user;
    zl::Config().Save();
    std::vector<uint8_t> want;
    ASSERT_TRUE(zltest::ReadBytes(zl::Config().Path(), want));

    zl::Config cfg;
    for (int i = 0; i < zldemo::kOptionCount; ++i) zldemo::EditOptions(cfg, zldemo::kIdOptionFirst + i);
    for (int* field : {&cfg.scheme, &cfg.pageSize, &cfg.fontSize, &cfg.fuzzyPinyin, &cfg.showHint, &cfg.statusTheme,
                       &cfg.statusSkin, &cfg.statusAccent, &cfg.statusBase, &cfg.fullWidth, &cfg.handwriting,
                       &cfg.statusX, &cfg.statusY, &cfg.autoCheck})
        *field += 7;
    cfg.updateUrl = L"D:\\updates\\";
    cfg.lastCheck = 1234567890123;
    ASSERT_TRUE(zldemo::EditOptions(cfg, zldemo::kIdResetDefaults));
    cfg.Save();
    std::vector<uint8_t> got;
    ASSERT_TRUE(zltest::ReadBytes(cfg.Path(), got));
    EXPECT_EQ(got, want);
}
