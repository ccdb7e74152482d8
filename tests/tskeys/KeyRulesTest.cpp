// The key rules as tables: which key-downs are eaten, what an eaten key does, and the
// characters of the punctuation keys.
#include <gtest/gtest.h>
#include <windows.h>

#include "KeyRules.h"

using zl::KeyOp;
using zl::KeyState;

namespace {

// Modifiers and states of one row, as letters: C ctrl, A alt, S shift, I input,
// E English, T temporary pinyin, 7 Windows 7/8; options switched off: s Ctrl空格,
// m 手动调频, t Shift切换中英, n 小键盘选词, e Shift英文.
KeyState Make(const char* flags) {
    KeyState s;
    for (const char* f = flags; *f; ++f) {
        switch (*f) {
        case 'C': s.ctrl = true; break;
        case 'A': s.alt = true; break;
        case 'S': s.shift = true; break;
        case 'I': s.composing = true; break;
        case 'E': s.chinese = false; break;
        case 'T': s.tempPinyin = true; break;
        case 'Z': s.canTempPinyin = true; break;
        case '7': s.win10 = false; break;
        case 's': s.ctrlSpace = false; break;
        case 'm': s.manualFreq = false; break;
        case 't': s.shiftToggle = false; break;
        case 'n': s.numpadSelect = false; break;
        case 'e': s.shiftEnglish = false; break;
        default: ADD_FAILURE() << "flag " << *f;
        }
    }
    return s;
}

struct EatRow {
    unsigned vk;
    const char* flags;
    bool eaten;
};

TEST(KeyRules, TestEatenTable) {
    const EatRow rows[] = {
        // 1: Ctrl+Space with the option, idle or composing, Chinese or English.
        {VK_SPACE, "C", true}, {VK_SPACE, "CIE", true}, {VK_SPACE, "CE", true},
        {VK_SPACE, "Cs", false}, {VK_SPACE, "CA", false},
        // 2: Ctrl+digit promotes only with input and manual frequency.
        {'3', "CI", true}, {'3', "C", false}, {'3', "CIm", false}, {'0', "CI", false},
        {'9', "CIS", true},
        // 3: every other Ctrl or Alt combination passes.
        {'A', "CI", false}, {'A', "A", false}, {VK_BACK, "AI", false}, {VK_OEM_1, "C", false},
        // 4: Shift, only on Windows 10 and later with the option; also in English and composing.
        {VK_SHIFT, "", true}, {VK_SHIFT, "E", true}, {VK_SHIFT, "I", true},
        {VK_SHIFT, "t", false}, {VK_SHIFT, "7", false}, {VK_SHIFT, "CI", false},
        // 5: composing keys, Shift held or not.
        {VK_BACK, "I", true}, {VK_TAB, "I", true}, {VK_RETURN, "I", true}, {VK_ESCAPE, "I", true},
        {VK_SPACE, "I", true}, {VK_PRIOR, "I", true}, {VK_NEXT, "I", true}, {VK_LEFT, "I", true},
        {VK_UP, "I", true}, {VK_RIGHT, "I", true}, {VK_DOWN, "I", true},
        {VK_OEM_PLUS, "I", true}, {VK_OEM_COMMA, "I", true}, {VK_OEM_MINUS, "I", true},
        {VK_OEM_PERIOD, "I", true}, {VK_OEM_4, "I", true}, {VK_OEM_6, "I", true},
        {'0', "I", true}, {'5', "IS", true}, {'A', "IS", true}, {'Z', "I", true},
        // 6: keypad digits with input follow the keypad option.
        {VK_NUMPAD5, "I", true}, {VK_NUMPAD5, "In", false}, {VK_NUMPAD0, "I", true},
        // 7: any other key with input.
        {VK_OEM_1, "I", false}, {VK_HOME, "I", false}, {VK_DELETE, "I", false}, {VK_ADD, "I", false},
        // 8: English without input.
        {'A', "E", false}, {VK_OEM_COMMA, "E", false}, {'1', "ES", false},
        // 9: temporary pinyin with no input.
        {VK_BACK, "T", true}, {VK_RETURN, "T", true}, {VK_ESCAPE, "T", true}, {VK_TAB, "T", false},
        {VK_CONTROL, "T", false}, {VK_BACK, "", false}, {VK_ESCAPE, "", false},
        // 10: letters; Shift英文 lets Shift+letter through.
        {'A', "", true}, {'A', "S", false}, {'A', "Se", true},
        // 11, 12: OEM punctuation.
        {VK_OEM_4, "", true}, {VK_OEM_5, "", true}, {VK_OEM_6, "", true}, {VK_OEM_7, "S", true},
        {VK_OEM_1, "", true}, {VK_OEM_PLUS, "", true}, {VK_OEM_COMMA, "", true},
        {VK_OEM_MINUS, "", true}, {VK_OEM_PERIOD, "", true}, {VK_OEM_2, "", true},
        {VK_OEM_3, "", true}, {0xC1, "", false}, {0xDF, "", false},
        // 13: digits only with Shift.
        {'1', "S", true}, {'1', "", false}, {'0', "S", true},
        // 14: everything else.
        {VK_SPACE, "", false}, {VK_NUMPAD5, "", false}, {VK_LEFT, "", false}, {VK_RETURN, "", false},
    };
    for (const EatRow& r : rows)
        EXPECT_EQ(zl::TestEaten(r.vk, Make(r.flags)), r.eaten)
            << "vk=0x" << std::hex << r.vk << " flags=" << r.flags;
}

struct ActionRow {
    unsigned vk;
    const char* flags;
    KeyOp op;
    int arg;
};

TEST(KeyRules, DispatchTable) {
    const ActionRow rows[] = {
        {VK_SPACE, "C", KeyOp::CtrlSpace, 0},  {VK_SPACE, "CI", KeyOp::CtrlSpace, 0},
        {VK_SPACE, "I", KeyOp::Space, 0},      {'3', "CI", KeyOp::Promote, 3},
        {'3', "I", KeyOp::Digit, 3},           {'9', "IS", KeyOp::Digit, 9},
        {'Q', "I", KeyOp::Letter, 'q'},        {'Q', "IS", KeyOp::Letter, 'q'},
        {VK_NUMPAD7, "I", KeyOp::Digit, 7},    {VK_OEM_MINUS, "I", KeyOp::PrevPage, 0},
        {VK_OEM_4, "I", KeyOp::PrevPage, 0},   {VK_PRIOR, "I", KeyOp::PrevPage, 0},
        {VK_LEFT, "I", KeyOp::PrevPage, 0},    {VK_UP, "I", KeyOp::PrevPage, 0},
        {VK_OEM_PLUS, "I", KeyOp::NextPage, 0}, {VK_OEM_6, "I", KeyOp::NextPage, 0},
        {VK_NEXT, "I", KeyOp::NextPage, 0},    {VK_RIGHT, "I", KeyOp::NextPage, 0},
        {VK_DOWN, "I", KeyOp::NextPage, 0},    {VK_BACK, "I", KeyOp::Backspace, 0},
        {VK_TAB, "I", KeyOp::ToggleMode, 0},   {VK_RETURN, "I", KeyOp::Enter, 0},
        {VK_ESCAPE, "I", KeyOp::Escape, 0},    {'0', "I", KeyOp::None, 0},
        {VK_NUMPAD0, "I", KeyOp::None, 0},     {VK_OEM_COMMA, "I", KeyOp::None, 0},
        {VK_OEM_PERIOD, "I", KeyOp::None, 0},  {'Z', "Z", KeyOp::BeginTempPinyin, 0},
        {'Z', "", KeyOp::Letter, 'z'},         {'A', "Se", KeyOp::Letter, 'a'},
        {VK_BACK, "T", KeyOp::CancelTempPinyin, 0}, {VK_ESCAPE, "T", KeyOp::CancelTempPinyin, 0},
        {'A', "T", KeyOp::Letter, 'a'},        {'1', "S", KeyOp::Punct, '!'},
        {VK_OEM_COMMA, "", KeyOp::Punct, ','}, {VK_OEM_COMMA, "S", KeyOp::Punct, '<'},
        {VK_OEM_5, "", KeyOp::Punct, '\\'},
    };
    for (const ActionRow& r : rows) {
        const zl::KeyAction a = zl::ChooseAction(r.vk, Make(r.flags));
        EXPECT_EQ(static_cast<int>(a.op), static_cast<int>(r.op))
            << "vk=0x" << std::hex << r.vk << " flags=" << r.flags;
        EXPECT_EQ(a.arg, r.arg) << "vk=0x" << std::hex << r.vk << " flags=" << r.flags;
    }
}

TEST(KeyRules, UsLayoutCharacters) {
    const wchar_t* digits = L")!@#$%^&*(";
    for (unsigned d = 0; d < 10; ++d) {
        EXPECT_EQ(zl::VkToChar('0' + d, false), digits[d]);
        EXPECT_EQ(zl::VkToChar('0' + d, true), digits[d]);
    }
    const struct { unsigned vk; const wchar_t* pair; } oem[] = {
        {0xBA, L";:"}, {0xBB, L"=+"}, {0xBC, L",<"}, {0xBD, L"-_"}, {0xBE, L".>"}, {0xBF, L"/?"},
        {0xC0, L"`~"}, {0xDB, L"[{"}, {0xDC, L"\\|"}, {0xDD, L"]}"}, {0xDE, L"'\""},
    };
    for (const auto& o : oem) {
        EXPECT_EQ(zl::VkToChar(o.vk, false), o.pair[0]);
        EXPECT_EQ(zl::VkToChar(o.vk, true), o.pair[1]);
    }
    for (unsigned vk : {unsigned('A'), unsigned(VK_SPACE), 0xC1u, 0xDFu, unsigned(VK_NUMPAD1)})
        EXPECT_EQ(zl::VkToChar(vk, true), 0) << vk;
}

}  // namespace
