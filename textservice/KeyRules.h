// Which key-downs the text service eats and what each eaten key does, as pure functions
// of the state the service gathers before each decision.
#pragma once

#include <cstdint>

namespace zl {

struct KeyState {
    bool ctrl = false;  // GetKeyState high bits at the time of the call
    bool alt = false;
    bool shift = false;
    bool composing = false;  // the engine holds typed letters
    bool chinese = true;
    bool tempPinyin = false;
    bool canTempPinyin = false;  // Engine::CanTempPinyin, read by the dispatch only
    bool win10 = true;           // OS major version 10 or later
    bool ctrlSpace = true;       // options, in config.ini order of their own
    bool manualFreq = true;
    bool shiftToggle = true;
    bool numpadSelect = true;
    bool shiftEnglish = true;
};

// Whether a key-down is eaten; the first rule that applies decides.
bool TestEaten(unsigned vk, const KeyState& s);

// The character of a punctuation key or Shift+digit on the US layout, 0 for others.
// Digits always give their shifted symbol.
wchar_t VkToChar(unsigned vk, bool shift);

enum class KeyOp : uint8_t {
    None,              // eaten, only the edit session runs
    CtrlSpace,         // toggle Chinese/English
    Space,
    Promote,           // arg: 1..9 on the page
    Digit,             // arg: 1..9
    Letter,            // arg: 'a'..'z'
    PrevPage,
    NextPage,
    Backspace,
    ToggleMode,
    Enter,
    Escape,
    BeginTempPinyin,
    CancelTempPinyin,
    Punct,             // arg: the character, 0 when the key has none
};

struct KeyAction {
    KeyOp op;
    int arg;
};

// The engine operation for a key that TestEaten ate (its dispatch table, first row wins).
KeyAction ChooseAction(unsigned vk, const KeyState& s);

}  // namespace zl
