// The settings the menus show and change: the option table, the status bar's look
// tables and the texts built from them. Plain functions over a zl::Config.
#pragma once

#include <cstdint>
#include <string>

#include "Config.h"

namespace zldemo {

constexpr int kOptionCount = 15;
extern const wchar_t* const kChkNames[kOptionCount];

// The field behind option `index` (menu id 200 + index), or null for any other index.
int* OptionSlot(zl::Config& options, int index);

extern const wchar_t* const kThemeNames[3];
constexpr int kAccentCount = 8;
extern const wchar_t* const kAccentNames[kAccentCount];
extern const uint32_t kAccentPresets[kAccentCount];
constexpr int kCardCount = 7;
extern const wchar_t* const kCardNames[kCardCount];
extern const uint32_t kCardPresets[kCardCount];

// What the colour dialog starts from when a colour is 0 (the theme's own).
constexpr uint32_t kAccentFallback = 0xCE5C28;
constexpr uint32_t kCardFallback = 0xFCFAFA;

// which 0: "状态条主题：" + theme name; 1: accent; 2: background colour.
std::wstring SkinBtnText(const zl::Config& options, int which);

// 1 拼音, 2 五笔拼音混输, anything else 五笔 86.
const wchar_t* SchemeName(int scheme);

// A configured scheme as the engine takes it: 1 and 2 stay, anything else is Wubi.
int SchemeFromSetting(int scheme);

// Changes `options` for the commands that only edit settings (options, theme, colour
// resets, skins, restore defaults). False for every other id, options untouched.
bool EditOptions(zl::Config& options, unsigned id);

// The about box and the two web pages of the About menu.
std::wstring AboutText(const std::wstring& version);
std::wstring DownloadPageAddress();

}  // namespace zldemo
