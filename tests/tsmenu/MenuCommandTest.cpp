// Every command of the right-click menu and the status-bar buttons, on a service outside
// TSF, with message boxes and the shell recorded by the seams.
#include <gtest/gtest.h>

#include "MenuModel.h"
#include "ScopedEnv.h"
#include "ServiceKit.h"

namespace {

using zltest::BareService;

TEST(MenuCommand, SchemeRowsSwitchToChineseAndClearOnlyOnASchemeChange) {
    const struct {
        uint8_t chinese;
        zl::Mode mode;
        UINT cmd;
        zl::Mode after;
        bool cleared;
    } cases[] = {
        {0, zl::kModeWubi, zl::kCmdWubi, zl::kModeWubi, false},
        {1, zl::kModeWubi, zl::kCmdPinyin, zl::kModePinyin, true},
        {1, zl::kModePinyin, zl::kCmdMixed, zl::kModeMixed, true},
        {0, zl::kModeMixed, zl::kCmdMixed, zl::kModeMixed, false},
    };
    for (const auto& c : cases) {
        BareService f;
        f.S().chinese = c.chinese;
        f.S().engine.mode = c.mode;
        f.S().engine.code = "wq";
        f.S()._RunMenuCommand(c.cmd);
        EXPECT_EQ(f.S().chinese, 1);
        EXPECT_EQ(f.S().engine.mode, c.after);
        EXPECT_EQ(f.S().engine.code.empty(), c.cleared) << c.cmd;
        EXPECT_EQ(f.S().statusBar.info.scheme, static_cast<uint32_t>(c.after));
    }
    BareService f;
    f.S().engine.mode = zl::kModeMixed;
    f.S()._RunMenuCommand(zl::kCmdEnglish);
    EXPECT_EQ(f.S().chinese, 0);
    EXPECT_EQ(f.S().engine.mode, zl::kModeMixed);
}

TEST(MenuCommand, InlineTogglesSaveTheirKeyAndAdoptTheWriteTime) {
    const struct {
        UINT cmd;
        int zl::Config::*field;
    } cases[] = {
        {zl::kCmdShiftEnglish, &zl::Config::shiftEnglish},
        {zl::kCmdShiftToggle, &zl::Config::shiftToggle},
        {zl::kCmdCtrlSpace, &zl::Config::ctrlSpace},
        {zl::kCmdAutoCheck, &zl::Config::autoCheck},
    };
    const auto writeTime = [] {
        WIN32_FILE_ATTRIBUTE_DATA fad{};
        GetFileAttributesExW(zl::Config().Path().c_str(), GetFileExInfoStandard, &fad);
        return fad.ftLastWriteTime;
    };
    for (const auto& c : cases) {
        BareService f;
        const int before = f.S().config.*c.field;
        // Another process's change to another key, already seen, survives the save.
        zl::Config other;
        other.pageSize = 7;
        other.Save();
        f.S().configWriteTime = writeTime();
        f.S()._RunMenuCommand(c.cmd);
        EXPECT_EQ(f.S().config.*c.field, !before);
        const zl::Config saved = f.Saved();
        EXPECT_EQ(saved.*c.field, !before) << c.cmd;
        EXPECT_EQ(saved.pageSize, 7);
        const FILETIME now = writeTime();
        EXPECT_EQ(CompareFileTime(&now, &f.S().configWriteTime), 0);
        f.S()._RunMenuCommand(c.cmd);
        EXPECT_EQ(f.Saved().*c.field, before);
    }
}

TEST(MenuCommand, OptionsTheEngineReadsReachItsCopy) {
    const struct {
        UINT cmd;
        int zl::Config::*field;
    } cases[] = {
        {zl::kCmdManualFreq, &zl::Config::manualFreq},
        {zl::kCmdVertical, &zl::Config::vertical},
        {zl::kCmdFullWidth, &zl::Config::fullWidth},
    };
    for (const auto& c : cases) {
        BareService f;
        const int before = f.S().engine.config.*c.field;
        f.S()._RunMenuCommand(c.cmd);
        EXPECT_EQ(f.S().config.*c.field, !before) << c.cmd;
        EXPECT_EQ(f.S().engine.config.*c.field, !before) << c.cmd;
    }
}

TEST(MenuCommand, ClearingPromotionsAsksFirst) {
    BareService f;
    f.S()._RunMenuCommand(zl::kCmdClearPromotions);
    EXPECT_TRUE(f.rec.Boxes().empty());  // greyed: nothing to clear, nothing asked

    f.S().engine.promotions[L"g\x0001\x738B"] = 1;
    f.rec.boxAnswer = IDNO;
    f.S()._RunMenuCommand(zl::kCmdClearPromotions);
    EXPECT_EQ(f.S().engine.promotions.size(), 1u);
    f.rec.boxAnswer = IDYES;
    f.S()._RunMenuCommand(zl::kCmdClearPromotions);
    EXPECT_TRUE(f.S().engine.promotions.empty());

    const std::vector<zltest::BoxCall> boxes = f.rec.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, f.S().statusBar.hwnd);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
    EXPECT_EQ(boxes[2].text, L"手动调频记录已清除。");
}

TEST(MenuCommand, HandwritingStartsTheTouchKeyboardOnlyByItsFullPath) {
    zltest::TempDir programs;
    const std::wstring ink = programs.Path() + L"\\Microsoft Shared";
    ASSERT_TRUE(CreateDirectoryW(ink.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((ink + L"\\ink").c_str(), nullptr));
    zltest::ScopedEnv w6432(L"ProgramW6432", nullptr);
    zltest::ScopedEnv common(L"CommonProgramFiles", programs.Path().c_str());
    {
        BareService f;
        f.S()._RunMenuCommand(zl::kCmdHandwriting);
        EXPECT_EQ(f.S().config.handwriting, 1);
        EXPECT_TRUE(f.rec.Shells().empty());
        ASSERT_EQ(f.rec.Boxes().size(), 1u);
        EXPECT_EQ(f.rec.Boxes()[0].text.rfind(L"未能启动系统手写面板。", 0), 0u);
    }
    const std::wstring tabtip = ink + L"\\ink\\TabTip.exe";
    ASSERT_TRUE(zltest::WriteBytes(tabtip, std::string("MZ")));
    BareService f;
    f.S()._RunMenuCommand(zl::kCmdHandwriting);
    ASSERT_EQ(f.rec.Shells().size(), 1u);
    EXPECT_EQ(f.rec.Shells()[0].file, tabtip);
    EXPECT_TRUE(f.rec.Boxes().empty());
}

TEST(MenuCommand, PanelMadeOnFirstUseIsWiredLikeOneMadeAtActivation) {
    zltest::CharSink app;
    ASSERT_TRUE(app.Front());
    BareService f;
    f.rec.foreground = app.Get();
    ASSERT_EQ(f.S().symbolPanel.hwnd, nullptr);  // creation at activation failed
    f.S()._RunMenuCommand(zl::kCmdSymbols);
    ASSERT_NE(f.S().symbolPanel.hwnd, nullptr);
    EXPECT_EQ(f.S().symbolPanel.owner, f.S().statusBar.hwnd);
    EXPECT_TRUE(f.S().symbolPanel.visible);
    EXPECT_EQ(f.S().statusBar.info.symbolsOpen, 1);  // the visibility callback ran
    EXPECT_EQ(f.S().symbolTarget, app.Get());
    // A pick is typed into the application once.
    ASSERT_TRUE(f.S().symbolPanel.onInsert);
    f.S().symbolPanel.onInsert(L"\u2605");
    EXPECT_TRUE(app.WaitTyped(1));
    EXPECT_EQ(app.typed, L"\u2605");
}

}  // namespace
