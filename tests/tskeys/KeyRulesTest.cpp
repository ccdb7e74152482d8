// Which key-downs are eaten, as one table, and the characters of the punctuation keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "KeyRules.h"

namespace {

// A row's state as letters: C ctrl, A alt, S shift, I input, E English, T temporary
// pinyin, 7 Windows 7/8; options off: s Ctrl空格, m 手动调频, t Shift切换中英,
// n 小键盘选词, e Shift英文.
zl::KeyState Make(const char* f) {
    auto has = [f](char c) { return std::strchr(f, c) != nullptr; };
    zl::KeyState s;
    s.ctrl = has('C'), s.alt = has('A'), s.shift = has('S'), s.composing = has('I');
    s.chinese = !has('E'), s.tempPinyin = has('T'), s.win10 = !has('7');
    s.ctrlSpace = !has('s'), s.manualFreq = !has('m'), s.shiftToggle = !has('t');
    s.numpadSelect = !has('n'), s.shiftEnglish = !has('e');
    return s;
}

TEST(KeyRules, TestEatenTable) {
    const struct {
        unsigned vk;
        const char* flags;
        bool eaten;
    } rows[] = {
        // 1 Ctrl+Space; 2 Ctrl+digit only with input and manual frequency; 3 other Ctrl/Alt.
        {VK_SPACE, "C", 1}, {VK_SPACE, "CIE", 1}, {VK_SPACE, "Cs", 0}, {VK_SPACE, "CA", 0},
        {'3', "CI", 1}, {'3', "C", 0}, {'3', "CIm", 0}, {'0', "CI", 0}, {'9', "CIS", 1},
        {'A', "CI", 0}, {'A', "A", 0}, {VK_BACK, "AI", 0}, {VK_SHIFT, "CI", 0},
        // 4 Shift: Windows 10 and later with the option, also in English or composing.
        {VK_SHIFT, "", 1}, {VK_SHIFT, "E", 1}, {VK_SHIFT, "I", 1}, {VK_SHIFT, "t", 0}, {VK_SHIFT, "7", 0},
        // 5 keys of the composition, Shift or not; 6 keypad digits; 7 the rest with input.
        {VK_BACK, "I", 1}, {VK_TAB, "I", 1}, {VK_RETURN, "I", 1}, {VK_ESCAPE, "I", 1}, {VK_SPACE, "I", 1},
        {VK_PRIOR, "I", 1}, {VK_NEXT, "I", 1}, {VK_LEFT, "I", 1}, {VK_UP, "I", 1}, {VK_RIGHT, "I", 1},
        {VK_DOWN, "I", 1}, {VK_OEM_PLUS, "I", 1}, {VK_OEM_COMMA, "I", 1}, {VK_OEM_MINUS, "I", 1},
        {VK_OEM_PERIOD, "I", 1}, {VK_OEM_4, "I", 1}, {VK_OEM_6, "I", 1}, {'0', "I", 1}, {'5', "IS", 1},
        {'A', "IS", 1}, {VK_NUMPAD5, "I", 1}, {VK_NUMPAD5, "In", 0}, {VK_NUMPAD0, "I", 1},
        {VK_OEM_1, "I", 0}, {VK_HOME, "I", 0}, {VK_DELETE, "I", 0},
        // 8 English idle; 9 temporary pinyin idle: Backspace, Enter, Escape only.
        {'A', "E", 0}, {VK_OEM_COMMA, "E", 0}, {'1', "ES", 0}, {VK_BACK, "T", 1}, {VK_RETURN, "T", 1},
        {VK_ESCAPE, "T", 1}, {VK_TAB, "T", 0}, {VK_CONTROL, "T", 0}, {VK_BACK, "", 0},
        // 10 letters (Shift英文 lets Shift+letter through); 11, 12 punctuation; 13 Shift+digit.
        {'A', "", 1}, {'A', "S", 0}, {'A', "Se", 1}, {VK_OEM_4, "", 1}, {VK_OEM_5, "", 1},
        {VK_OEM_7, "S", 1}, {VK_OEM_1, "", 1}, {VK_OEM_2, "", 1}, {VK_OEM_3, "", 1}, {0xC1, "", 0},
        {0xDF, "", 0}, {'1', "S", 1}, {'1', "", 0},
        // 14 the rest.
        {VK_SPACE, "", 0}, {VK_NUMPAD5, "", 0}, {VK_LEFT, "", 0}, {VK_RETURN, "", 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(zl::TestEaten(r.vk, Make(r.flags)), r.eaten) << std::hex << r.vk << ' ' << r.flags;
}

TEST(KeyRules, UsLayoutCharacters) {
    for (unsigned d = 0; d < 10; ++d)
        for (bool shift : {false, true}) EXPECT_EQ(zl::VkToChar('0' + d, shift), L")!@#$%^&*("[d]);
    const wchar_t* oem = L";:=+,<-_.>/?`~[{\\|]}'\"";
    const unsigned vks[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(zl::VkToChar(vks[i], false), oem[2 * i]);
        EXPECT_EQ(zl::VkToChar(vks[i], true), oem[2 * i + 1]);
    }
    for (unsigned vk : {0x41u, 0x20u, 0xC1u, 0xDFu, 0x61u}) EXPECT_EQ(zl::VkToChar(vk, true), 0) << vk;
}

}  // namespace
