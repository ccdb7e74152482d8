#include "MenuModel.h"

#include "Config.h"
#include "UpdateCheck.h"
#include "Version.h"

namespace zl {

namespace {

void AddItem(HMENU menu, UINT id, const wchar_t* label, bool checked, bool grayed = false) {
    UINT flags = MF_STRING;
    if (checked) flags |= MF_CHECKED;
    if (grayed) flags |= MF_GRAYED;
    AppendMenuW(menu, flags, id, label);
}

}  // namespace

HMENU BuildTextServiceMenu(const MenuState& s) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AddItem(menu, kCmdWubi, L"五笔输入", s.chinese && s.scheme == 0);
    AddItem(menu, kCmdPinyin, L"拼音输入", s.chinese && s.scheme == 1);
    AddItem(menu, kCmdMixed, L"五笔拼音混输", s.chinese && s.scheme == 2);
    AddItem(menu, kCmdEnglish, L"英文输入", !s.chinese);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCmdFullWidth, L"全角输出", s.fullWidth);
    AddItem(menu, kCmdNumpad, L"小键盘数字用于选词", s.numpadSelect);
    AddItem(menu, kCmdVertical, L"竖排候选", s.vertical);
    AddItem(menu, kCmdSymbols, L"图标输入（符号 / 颜文字）", s.symbolsOpen);
    AddItem(menu, kCmdShiftEnglish, L"按住 Shift 直接输入英文", s.shiftEnglish);
    AddItem(menu, kCmdShiftToggle, L"单击 Shift 切换中英文", s.shiftToggle);
    AddItem(menu, kCmdCtrlSpace, L"Ctrl+空格 切换中英文", s.ctrlSpace);
    AddItem(menu, kCmdManualFreq, L"Ctrl+数字 手动调频（第N个调到首位）", s.manualFreq);
    AddItem(menu, kCmdClearPromotions, L"清除手动调频记录", false, !s.hasPromotions);
    AddItem(menu, kCmdHandwriting, L"手写输入（系统手写面板）", s.touchKeyboardShown);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCmdSettings, L"设置…", false);
    AddItem(menu, kCmdStatusBar, L"显示状态条", s.statusBar);
    AddItem(menu, kCmdTranslucent, L"状态条半透明（鼠标靠近恢复实体）", s.translucent);
    if (HMENU skins = CreatePopupMenu()) {
        AddItem(skins, kCmdSkinDefault, L"默认皮肤（圆角 · 柔和阴影）", s.skin != 1 && s.skin != 2);
        AddItem(skins, kCmdSkinClassic, L"经典皮肤（直角 · 黑色细描边 · 无阴影）", s.skin == 1);
        AddItem(skins, kCmdSkinFrame, L"彩框皮肤（胶囊 · 彩色线框 · 无阴影）", s.skin == 2);
        // The menu owns the submenu once appended; otherwise it is ours to free.
        if (!AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(skins), L"状态条皮肤")) {
            DestroyMenu(skins);
        }
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kCmdAutoCheck, L"自动检测新版本", s.autoCheck);
    AddItem(menu, kCmdCheckUpdate, L"检查更新…", false);
    const std::wstring about = L"关于 泽仑五笔 v" + s.version;
    AddItem(menu, kCmdAbout, about.c_str(), false);
    return menu;
}

bool TouchKeyboardShown() {
    HWND tip = FindWindowW(L"IPTip_Main_Window", nullptr);
    return tip && IsWindowVisible(tip);
}

std::wstring AboutText(const std::wstring& diskVersion, const std::wstring& installed) {
    std::wstring text = L"泽仑五笔输入法 v" + diskVersion;
    text +=
        L"\n\n三个方案：五笔输入 / 拼音输入 / 五笔拼音混输（右键菜单里选）\nGBK 字符集全量支持\n\n"
        L"状态条：点左侧切中/英，点「五/拼/混」切方案，点「全/半」切全角，点笑脸图标打开图标输入（符号 / "
        L"颜文字面板），点齿轮打开设置\n"
        L"按住 Shift 可直接输入英文，单击 Shift 切中/英，Ctrl+空格 同样切换中/英（三项均可在设置里关闭）\n"
        L"五笔拼音混输是独立方案：忘了五笔码直接打拼音，五笔输入、拼音输入两个方案本身不受影响\n"
        L"临时拼音：五笔状态下按 z 进入临时拼音，接着打全拼，上屏 / 回车 / Esc 后自动回到五笔（z 开头音节再按一次 z）\n\n"
        L"新版本检测：右键菜单「检查更新…」打开增量更新程序，只下载有变化的文件（通常几百 KB），不会自动下载或安装\n\n"
        L"官方主页：";
    text += HomePageUrl();
    std::wstring downloads = DefaultUpdateUrl();
    while (!downloads.empty() && downloads.back() == L'/') downloads.pop_back();
    text += L"\n五笔输入法发布页面（下载）：" + downloads;
    if (!installed.empty() && CompareVersion(installed, kBuiltinVersion) > 0) {
        text += L"\n\n（当前会话仍运行旧版组件 v";
        text += kBuiltinVersion;
        text += L"，重启电脑或重开正在使用的程序后完全生效）";
    }
    return text;
}

}  // namespace zl
