#include "KeyRules.h"

#include <windows.h>

namespace zl {

namespace {

bool IsLetter(unsigned vk) { return vk >= 'A' && vk <= 'Z'; }
bool IsDigit(unsigned vk) { return vk >= '0' && vk <= '9'; }
bool IsKeypadDigit(unsigned vk) { return vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9; }

// Keys the engine takes while it holds input, whatever Shift says.
bool IsComposeKey(unsigned vk) {
    switch (vk) {
    case VK_BACK: case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_SPACE:
    case VK_PRIOR: case VK_NEXT: case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_OEM_PLUS: case VK_OEM_COMMA: case VK_OEM_MINUS: case VK_OEM_PERIOD:
    case VK_OEM_4: case VK_OEM_6:
        return true;
    default:
        return IsDigit(vk) || IsLetter(vk);
    }
}

}  // namespace

bool TestEaten(unsigned vk, const KeyState& s) {
    const bool ctrlOnly = s.ctrl && !s.alt;
    if (ctrlOnly && vk == VK_SPACE && s.ctrlSpace) return true;
    if (ctrlOnly && vk >= '1' && vk <= '9' && s.manualFreq) return s.composing;
    if (s.ctrl || s.alt) return false;
    if (vk == VK_SHIFT) return s.win10 && s.shiftToggle;
    if (s.composing) {
        if (IsComposeKey(vk)) return true;
        if (IsKeypadDigit(vk)) return s.numpadSelect;
        return false;
    }
    if (!s.chinese) return false;
    if (s.tempPinyin && vk <= 0x1B) return vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE;
    if (IsLetter(vk)) return !s.shiftEnglish || !s.shift;
    if (vk >= VK_OEM_4 && vk <= VK_OEM_7) return true;
    if (vk >= VK_OEM_1 && vk <= VK_OEM_3) return true;
    if (IsDigit(vk)) return s.shift;
    return false;
}

wchar_t VkToChar(unsigned vk, bool shift) {
    static const wchar_t kShiftedDigits[] = L")!@#$%^&*(";
    if (IsDigit(vk)) return kShiftedDigits[vk - '0'];
    struct Oem {
        unsigned vk;
        wchar_t plain, shifted;
    };
    static const Oem kOem[] = {
        {VK_OEM_1, L';', L':'},      {VK_OEM_PLUS, L'=', L'+'}, {VK_OEM_COMMA, L',', L'<'},
        {VK_OEM_MINUS, L'-', L'_'},  {VK_OEM_PERIOD, L'.', L'>'}, {VK_OEM_2, L'/', L'?'},
        {VK_OEM_3, L'`', L'~'},      {VK_OEM_4, L'[', L'{'},    {VK_OEM_5, L'\\', L'|'},
        {VK_OEM_6, L']', L'}'},      {VK_OEM_7, L'\'', L'"'},
    };
    for (const Oem& o : kOem)
        if (o.vk == vk) return shift ? o.shifted : o.plain;
    return 0;
}

KeyAction ChooseAction(unsigned vk, const KeyState& s) {
    const bool in = s.composing;
    if (vk == VK_SPACE && s.ctrlSpace && s.ctrl) return {KeyOp::CtrlSpace, 0};
    if (in) {
        if (vk == VK_SPACE) return {KeyOp::Space, 0};
        if (vk >= '1' && vk <= '9') {
            if (s.ctrl && s.manualFreq) return {KeyOp::Promote, static_cast<int>(vk - '0')};
            return {KeyOp::Digit, static_cast<int>(vk - '0')};
        }
        if (IsLetter(vk)) return {KeyOp::Letter, static_cast<int>(vk - 'A' + 'a')};
        if (vk >= VK_NUMPAD1 && vk <= VK_NUMPAD9) return {KeyOp::Digit, static_cast<int>(vk - VK_NUMPAD0)};
        switch (vk) {
        case VK_OEM_MINUS: case VK_OEM_4: case VK_PRIOR: case VK_LEFT: case VK_UP:
            return {KeyOp::PrevPage, 0};
        case VK_OEM_PLUS: case VK_OEM_6: case VK_NEXT: case VK_RIGHT: case VK_DOWN:
            return {KeyOp::NextPage, 0};
        case VK_BACK: return {KeyOp::Backspace, 0};
        case VK_TAB: return {KeyOp::ToggleMode, 0};
        case VK_RETURN: return {KeyOp::Enter, 0};
        case VK_ESCAPE: return {KeyOp::Escape, 0};
        default: return {KeyOp::None, 0};  // '0', keypad 0, ',' and '.' are swallowed
        }
    }
    if (vk == 'Z' && s.canTempPinyin) return {KeyOp::BeginTempPinyin, 0};
    if (IsLetter(vk)) return {KeyOp::Letter, static_cast<int>(vk - 'A' + 'a')};
    if (s.tempPinyin && (vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE))
        return {KeyOp::CancelTempPinyin, 0};
    return {KeyOp::Punct, VkToChar(vk, s.shift)};
}

}  // namespace zl
