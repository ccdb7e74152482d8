// The right-click menu read back item by item, and the commands of the menu and the
// status-bar buttons run on the service with message boxes and the shell recorded.
#include <algorithm>

#include "ConfigSync.h"
#include "Markers.h"
#include "MenuModel.h"
#include "PlainWindows.h"
#include "ScopedEnv.h"
#include "ServiceKit.h"

namespace zltest {
namespace {

// Each row as "id label", " v" added when ticked and " -" when greyed; a submenu's rows follow it.
void Rows(HMENU menu, std::vector<std::wstring>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 127;
        GetMenuItemInfoW(menu, i, TRUE, &mi);
        const std::wstring row = std::to_wstring(mi.hSubMenu ? 0 : mi.wID) + L" " + text +
                                 ((mi.fState & MFS_CHECKED) ? L" v" : L"") + ((mi.fState & MFS_GRAYED) ? L" -" : L"");
        out.push_back((mi.fType & MFT_SEPARATOR) ? L"-" : row);  // Wine reports separators as grey
        if (mi.hSubMenu) Rows(mi.hSubMenu, out);
    }
}

std::vector<std::wstring> Menu(const zl::MenuState& s) {
    std::vector<std::wstring> rows;
    if (HMENU menu = zl::BuildTextServiceMenu(s)) {
        Rows(menu, rows);
        DestroyMenu(menu);
    }
    return rows;
}

TEST(MenuModel, RowsWithTheirIdsTicksAndGreys) {
    zl::MenuState all;
    all.scheme = all.skin = 2;
    all.fullWidth = all.numpadSelect = all.vertical = all.symbolsOpen = all.shiftEnglish = all.shiftToggle = true;
    all.ctrlSpace = all.manualFreq = all.hasPromotions = all.touchKeyboardShown = all.statusBar = true;
    all.translucent = all.autoCheck = true;
    all.version = L"4.6.0";
    const std::vector<std::wstring> want = {
        L"1 五笔输入", L"2 拼音输入", L"18 五笔拼音混输 v", L"3 英文输入", L"-", L"4 全角输出 v",
        L"5 小键盘数字用于选词 v", L"24 竖排候选 v", L"13 图标输入（符号 / 颜文字） v",
        L"6 按住 Shift 直接输入英文 v", L"14 单击 Shift 切换中英文 v", L"10 Ctrl+空格 切换中英文 v",
        L"11 Ctrl+数字 手动调频（第N个调到首位） v", L"12 清除手动调频记录", L"20 手写输入（系统手写面板） v",
        L"-", L"7 设置…", L"8 显示状态条 v", L"19 状态条半透明（鼠标靠近恢复实体） v", L"0 状态条皮肤",
        L"21 默认皮肤（圆角 · 柔和阴影）", L"22 经典皮肤（直角 · 黑色细描边 · 无阴影）",
        L"23 彩框皮肤（胶囊 · 彩色线框 · 无阴影） v", L"-", L"16 自动检测新版本 v", L"15 检查更新…",
        L"9 关于 泽仑五笔 v4.6.0"};
    EXPECT_EQ(Menu(all), want);
    // Every option off, in English: no scheme ticked, the clearing greyed, an unknown skin as the default.
    zl::MenuState off;
    off.chinese = false;
    off.scheme = 1;
    off.skin = 7;
    off.version = L"1";
    const std::vector<std::wstring> rows = Menu(off);
    ASSERT_EQ(rows.size(), want.size());
    const auto ticked = [](const std::wstring& r) { return r.size() > 2 && r.compare(r.size() - 2, 2, L" v") == 0; };
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), ticked), 2);
    EXPECT_EQ(rows[1] + L"|" + rows[3] + L"|" + rows[13] + L"|" + rows[20],
              L"2 拼音输入|3 英文输入 v|12 清除手动调频记录 -|21 默认皮肤（圆角 · 柔和阴影） v");
}

using MenuCommand = ServiceFixture;

TEST_F(MenuCommand, SchemeRowsSwitchToChineseAndClearOnlyOnASchemeChange) {
    using zl::kModeMixed, zl::kModePinyin, zl::kModeWubi;
    const struct {
        uint8_t chinese;
        zl::Mode mode;
        UINT cmd;
        zl::Mode after;
    } cases[] = {{0, kModeWubi, zl::kCmdWubi, kModeWubi},
                 {1, kModeWubi, zl::kCmdPinyin, kModePinyin},
                 {1, kModePinyin, zl::kCmdMixed, kModeMixed},
                 {0, kModeMixed, zl::kCmdMixed, kModeMixed}};
    for (const auto& c : cases) {
        svc->chinese = c.chinese;
        svc->engine.mode = c.mode;
        svc->engine.code = "wq";
        svc->_RunMenuCommand(c.cmd);
        EXPECT_EQ(svc->chinese, 1);
        EXPECT_EQ(svc->engine.mode, c.after);
        EXPECT_EQ(svc->engine.code.empty(), c.mode != c.after) << c.cmd;
        EXPECT_EQ(svc->statusBar.info.scheme, static_cast<uint32_t>(c.after));
    }
    svc->_RunMenuCommand(zl::kCmdEnglish);
    EXPECT_EQ(svc->chinese, 0);
    EXPECT_EQ(svc->engine.mode, kModeMixed);
}

FILETIME ConfigWriteTime() {
    FILETIME t{};
    zl::ReadWriteTime(zl::Config().Path().c_str(), &t);
    return t;
}

TEST_F(MenuCommand, OptionRowsFlipTheirSettingWhereItIsReadAndSaveIt) {
    const struct {
        UINT cmd;
        int zl::Config::*field;
        bool engineReads;
    } cases[] = {
        {zl::kCmdFullWidth, &zl::Config::fullWidth, true},
        {zl::kCmdVertical, &zl::Config::vertical, true},
        {zl::kCmdManualFreq, &zl::Config::manualFreq, true},
        {zl::kCmdNumpad, &zl::Config::numpadSelect, false},
        {zl::kCmdShiftEnglish, &zl::Config::shiftEnglish, false},
        {zl::kCmdShiftToggle, &zl::Config::shiftToggle, false},
        {zl::kCmdCtrlSpace, &zl::Config::ctrlSpace, false},
        {zl::kCmdAutoCheck, &zl::Config::autoCheck, false},
    };
    for (const auto& c : cases) {
        zl::Config other;  // another process's change, already seen, survives the save
        other.pageSize = 7;
        other.Save();
        svc->configWriteTime = ConfigWriteTime();
        const int before = svc->config.*c.field;
        svc->_RunMenuCommand(c.cmd);
        EXPECT_EQ(svc->config.*c.field, !before) << c.cmd;
        if (c.engineReads) {
            EXPECT_EQ(svc->engine.config.*c.field, !before) << c.cmd;
        }
        EXPECT_EQ(Saved().*c.field, !before) << c.cmd;
        EXPECT_EQ(Saved().pageSize, 7);
        const FILETIME written = ConfigWriteTime();
        EXPECT_EQ(CompareFileTime(&written, &svc->configWriteTime), 0) << c.cmd;
        svc->_RunMenuCommand(c.cmd);
        EXPECT_EQ(svc->config.*c.field, before) << c.cmd;
    }
}

TEST_F(MenuCommand, ButtonsAndBarRows) {
    constexpr zl::Mode W = zl::kModeWubi, P = zl::kModePinyin, M = zl::kModeMixed;
    svc->statusBar.Show();
    const struct {
        int region;
        uint8_t chinese;
        zl::Mode mode;
        int fullWidth;
        bool panel;  // only the symbol button leaves it open
    } steps[] = {{3, 1, W, 0, true}, {0, 0, W, 0, false}, {3, 0, W, 0, true},  {1, 0, P, 0, false},
                 {1, 0, M, 0, false}, {3, 0, M, 0, true},  {2, 0, M, 1, false}, {1, 0, W, 1, false},
                 {3, 0, W, 1, true},  {3, 0, W, 1, false}, {0, 1, W, 1, false}};
    for (const auto& s : steps) {
        svc->_OnStatusClick(s.region);
        EXPECT_EQ(svc->chinese, s.chinese);
        EXPECT_EQ(svc->engine.mode, s.mode);
        EXPECT_EQ(svc->config.fullWidth, s.fullWidth);
        EXPECT_EQ(svc->symbolPanel.visible != 0, s.panel) << s.region;
    }
    svc->engine.tempPinyin = true;  // the scheme button only leaves temporary pinyin
    svc->engine.code = "ni";
    svc->_OnStatusClick(1);
    EXPECT_FALSE(svc->engine.tempPinyin);
    EXPECT_EQ(svc->engine.mode, zl::kModeWubi);

    svc->_RunMenuCommand(zl::kCmdSkinClassic);
    svc->_RunMenuCommand(zl::kCmdTranslucent);
    EXPECT_EQ(svc->statusBar.skin.skin, 1u);
    EXPECT_EQ(svc->statusBar.skin.translucent, static_cast<uint32_t>(svc->config.statusTranslucent));
    svc->_OnStatusClick(3);
    svc->_RunMenuCommand(zl::kCmdStatusBar);  // off hides the panel with it
    EXPECT_FALSE(svc->statusBar.visible || svc->statusBar.enabled || svc->symbolPanel.visible);
    svc->_RunMenuCommand(zl::kCmdStatusBar);
    EXPECT_TRUE(svc->statusBar.visible && svc->statusBar.enabled);
}

TEST_F(MenuCommand, ProgramsOfTheInstallFolder) {
    svc->config.updateUrl.clear();
    svc->_OnStatusClick(4);
    svc->_RunMenuCommand(zl::kCmdCheckUpdate);
    ASSERT_EQ(boxes.size(), 2u);  // neither program beside the module, and no update address
    EXPECT_EQ(boxes[0].text, L"未找到 zldemo.exe，请重新安装泽仑五笔输入法。");
    EXPECT_EQ(boxes[1].caption, L"检查更新");
    EXPECT_EQ(boxes[1].owner, svc->statusBar.hwnd);

    ModuleIn install;
    const std::wstring dir = install.dir.Path();
    ASSERT_TRUE(WriteBytes(dir + L"\\zldemo.exe", std::string("MZ")) && WriteBytes(dir + L"\\zlupd.exe", "MZ"));
    svc->_OnStatusClick(4);
    svc->_RunMenuCommand(zl::kCmdCheckUpdate);
    const std::vector<std::wstring> started = {dir + L"\\zldemo.exe|--settings|" + dir, dir + L"\\zlupd.exe||" + dir};
    EXPECT_EQ(shells, started);
    EXPECT_EQ(GetFileAttributesW(zl::Config().Path().c_str()), INVALID_FILE_ATTRIBUTES);  // no check time
    {
        PlainWindows demo(L"ZlDemoMain");  // an open settings window is closed instead
        HWND settings = demo.Make(L"泽仑五笔输入法 - 设置");
        svc->_OnStatusClick(9);
        PumpPending();
        EXPECT_FALSE(IsWindow(settings));
    }
    // The about box notes a stale component only below the installed version.
    for (const auto& [installed, stale] : {std::make_pair(L"4.5.3.0", false), std::make_pair(L"4.6", true)}) {
        ASSERT_TRUE(zl::WriteInstalledVersion(dir, installed));
        svc->_RunMenuCommand(zl::kCmdAbout);
        EXPECT_EQ(boxes.back().text.rfind(L"泽仑五笔输入法 v" + std::wstring(installed) + L"\n\n三个方案", 0), 0u);
        EXPECT_EQ(boxes.back().text.find(L"（当前会话仍运行旧版组件 v4.5.3，") != std::wstring::npos, stale);
    }
    EXPECT_EQ(shells.size(), 2u);
    EXPECT_EQ(boxes.size(), 4u);
}

TEST_F(MenuCommand, ClearingPromotionsAsksFirst) {
    svc->_RunMenuCommand(zl::kCmdClearPromotions);  // greyed: nothing to clear, nothing asked
    svc->engine.promotions[L"g\x0001\x738B"] = 1;
    svc->_RunMenuCommand(zl::kCmdClearPromotions);
    EXPECT_EQ(svc->engine.promotions.size(), 1u);
    answer = IDYES;
    svc->_RunMenuCommand(zl::kCmdClearPromotions);
    EXPECT_TRUE(svc->engine.promotions.empty());
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
    EXPECT_EQ(boxes[2].text, L"手动调频记录已清除。");
}

TEST_F(MenuCommand, HandwritingStartsTheTouchKeyboardOnlyByItsFullPath) {
    TempDir programs;
    ASSERT_TRUE(CreateDirectoryW(programs.File(L"Microsoft Shared").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(programs.File(L"Microsoft Shared\\ink").c_str(), nullptr));
    ScopedEnv w6432(L"ProgramW6432", nullptr);
    ScopedEnv common(L"CommonProgramFiles", programs.Path().c_str());
    svc->_RunMenuCommand(zl::kCmdHandwriting);  // no program there, and none looked up by name
    EXPECT_EQ(svc->config.handwriting, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(L"未能启动系统手写面板。", 0), 0u);
    const std::wstring tabtip = programs.File(L"Microsoft Shared\\ink\\TabTip.exe");
    ASSERT_TRUE(WriteBytes(tabtip, std::string("MZ")));
    svc->_RunMenuCommand(zl::kCmdHandwriting);
    EXPECT_EQ(shells, std::vector<std::wstring>{tabtip + L"||"});
    EXPECT_EQ(boxes.size(), 1u);
}

}  // namespace
}  // namespace zltest
