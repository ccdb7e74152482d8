// The right-click menu of the status bar: its command ids, and its rows built from a
// snapshot of the service's state, so that building and running can be tried apart.
#pragma once

#include <windows.h>

#include <string>

namespace zl {

enum MenuCommand : UINT {
    kCmdWubi = 1,
    kCmdPinyin = 2,
    kCmdEnglish = 3,
    kCmdFullWidth = 4,
    kCmdNumpad = 5,
    kCmdShiftEnglish = 6,
    kCmdSettings = 7,
    kCmdStatusBar = 8,
    kCmdAbout = 9,
    kCmdCtrlSpace = 10,
    kCmdManualFreq = 11,
    kCmdClearPromotions = 12,
    kCmdSymbols = 13,
    kCmdShiftToggle = 14,
    kCmdCheckUpdate = 15,
    kCmdAutoCheck = 16,
    kCmdMixed = 18,  // 17 is never used
    kCmdTranslucent = 19,
    kCmdHandwriting = 20,
    kCmdSkinDefault = 21,
    kCmdSkinClassic = 22,
    kCmdSkinFrame = 23,
    kCmdVertical = 24,
};

// What the menu shows ticked or greyed.
struct MenuState {
    bool chinese = true;
    int scheme = 0;
    bool fullWidth = false;
    bool numpadSelect = false;
    bool vertical = false;
    bool symbolsOpen = false;
    bool shiftEnglish = false;
    bool shiftToggle = false;
    bool ctrlSpace = false;
    bool manualFreq = false;
    bool hasPromotions = false;
    bool touchKeyboardShown = false;
    bool statusBar = false;
    bool translucent = false;
    int skin = 0;
    bool autoCheck = false;
    std::wstring version;  // shown after "关于 泽仑五笔 v"
};

// The popup menu with its 21 rows; null when it cannot be made. The caller destroys it.
HMENU BuildTextServiceMenu(const MenuState& state);

// The system touch keyboard's window exists and is visible.
bool TouchKeyboardShown();

// The about box's text. `installed` is the version in installed.ver (may be empty);
// a version above the built-in one means this process still runs an older component.
std::wstring AboutText(const std::wstring& diskVersion, const std::wstring& installed);

}  // namespace zl
