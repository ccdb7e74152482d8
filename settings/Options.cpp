#include "Options.h"

#include <cstdio>

#include "MenuIds.h"

namespace zldemo {

const wchar_t* const kChkNames[kOptionCount] = {
    L"四码唯一自动上屏",
    L"五码自动上屏首选",
    L"词频调整",
    L"中文标点",
    L"仅GBK字符集",
    L"候选显示编码",
    L"竖排候选",
    L"显示输入法状态条",
    L"小键盘数字选词",
    L"Ctrl+空格 切换中英文",
    L"Ctrl+数字 手动调频",
    L"单击 Shift 切换中英文",
    L"按住 Shift 直接输出英文",
    L"新窗口默认中文输入",
    L"状态条半透明（鼠标靠近恢复实体）",
};

int* OptionSlot(zl::Config& o, int index) {
    switch (index) {
        case 0: return &o.autoCommit4;
        case 1: return &o.autoCommit5;
        case 2: return &o.freqAdjust;
        case 3: return &o.chinesePunct;
        case 4: return &o.gbkOnly;
        case 5: return &o.showCode;
        case 6: return &o.vertical;
        case 7: return &o.statusBar;
        case 8: return &o.numpadSelect;
        case 9: return &o.ctrlSpace;
        case 10: return &o.manualFreq;
        case 11: return &o.shiftToggle;
        case 12: return &o.shiftEnglish;
        case 13: return &o.newWindowChinese;
        case 14: return &o.statusTranslucent;
        default: return nullptr;
    }
}

const wchar_t* const kThemeNames[3] = {L"跟随系统", L"浅色", L"深色"};

const wchar_t* const kAccentNames[kAccentCount] = {L"默认蓝", L"蓝", L"绿", L"紫",
                                                   L"橙",     L"粉", L"青", L"红"};
const uint32_t kAccentPresets[kAccentCount] = {0,        0xCE5C28, 0x5EA022, 0xDC5A8C,
                                               0x3282EB, 0x8C5AE1, 0xAA9614, 0x4646D2};
const wchar_t* const kCardNames[kCardCount] = {L"默认", L"白", L"米黄", L"浅绿", L"浅蓝", L"浅粉", L"浅灰"};
const uint32_t kCardPresets[kCardCount] = {0, 0xFCFAFA, 0xDEF0F7, 0xE6F4E8, 0xFAF0E6, 0xEEE8F8, 0xF2EEEE};

namespace {

// A theme out of range in config.ini shows, and steps on, as the first.
int ShownTheme(int theme) { return theme >= 0 && theme <= 2 ? theme : 0; }

}  // namespace

std::wstring SkinBtnText(const zl::Config& o, int which) {
    if (which != 1 && which != 2) return std::wstring(L"状态条主题：") + kThemeNames[ShownTheme(o.statusTheme)];
    const bool accent = which == 1;
    const std::wstring prefix = accent ? L"状态条配色：" : L"状态条底色：";
    const uint32_t value = static_cast<uint32_t>(accent ? o.statusAccent : o.statusBase);
    if (value == 0) return prefix + L"默认";
    const uint32_t* presets = accent ? kAccentPresets : kCardPresets;
    const wchar_t* const* names = accent ? kAccentNames : kCardNames;
    const int count = accent ? kAccentCount : kCardCount;
    for (int i = 1; i < count; ++i) {
        if (presets[i] == value) return prefix + names[i];
    }
    wchar_t hex[16];
    std::swprintf(hex, 16, L"#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    return prefix + hex;
}

const wchar_t* SchemeName(int scheme) {
    if (scheme == 1) return L"拼音";
    if (scheme == 2) return L"五笔拼音混输";
    return L"五笔 86";
}

int SchemeFromSetting(int scheme) { return scheme == 1 || scheme == 2 ? scheme : 0; }

bool EditOptions(zl::Config& o, unsigned id) {
    if (id >= kIdOptionFirst && id < kIdOptionFirst + kOptionCount) {
        int* slot = OptionSlot(o, static_cast<int>(id - kIdOptionFirst));
        *slot = *slot ? 0 : 1;
        return true;
    }
    switch (id) {
        case kIdTheme: o.statusTheme = (ShownTheme(o.statusTheme) + 1) % 3; return true;
        case kIdAccentDefault: o.statusAccent = 0; return true;
        case kIdBaseDefault: o.statusBase = 0; return true;
        case kIdSkinDefault: o.statusSkin = 0; return true;
        case kIdSkinClassic: o.statusSkin = 1; return true;
        case kIdSkinFrame: o.statusSkin = 2; return true;
        case kIdResetDefaults: o = zl::DefaultConfig(); return true;
        default: return false;
    }
}


std::wstring DownloadPageAddress() {
    std::wstring page = zl::DefaultUpdateUrl();
    if (!page.empty() && page.back() == L'/') page.pop_back();
    return page;
}

std::wstring AboutText(const std::wstring& version) {
    return L"泽仑五笔输入法  v" + version +
           L"\r\n\r\n五笔 86 / 拼音 / 五笔拼音混输，支持 GBK、Windows 7～11。\r\n官方主页：" +
           zl::HomePageUrl() + L"\r\n五笔输入法发布页面（下载）：" + DownloadPageAddress();
}

}  // namespace zldemo
