// Punctuation keys in Chinese-punctuation mode, and the full-width conversion.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <utility>

#include "Engine.h"

namespace {

class Punct : public ::testing::Test {
protected:
    zl::Engine engine;
    void SetMode(bool chinese, bool full) {
        engine.config.chinesePunct = chinese ? 1 : 0;
        engine.config.fullWidth = full ? 1 : 0;
    }
};

// The table's invariants over every printable key, and a few known entries: the ones
// that give two characters, share an output, or are easily confused.
TEST_F(Punct, EveryPrintableKeyWithChinesePunctuation) {
    const std::wstring keep = L" |";  // with the letters and digits: unchanged
    for (bool full : {false, true}) {
        SetMode(true, full);
        for (wchar_t c = 0x20; c <= 0x7E; ++c) {
            if (c == L'"' || c == L'\'') continue;
            const std::wstring out = engine.punct(c);
            const bool plain = iswalnum(c) || keep.find(c) != std::wstring::npos;
            if (plain) {
                // Digits, letters, | and the space stay half-width even in full-width mode.
                EXPECT_EQ(out, std::wstring(1, c)) << "key " << static_cast<int>(c) << " full " << full;
            } else {
                // Every other mark becomes one or two Chinese or full-width characters.
                EXPECT_TRUE(!out.empty() && out.size() <= 2 && out[0] >= 0x80)
                    << "key " << static_cast<int>(c) << " full " << full;
            }
        }
        const std::pair<wchar_t, const wchar_t*> known[] = {
            {L',', L"\xFF0C"}, {L'.', L"\x3002"}, {L'/', L"\x3001"}, {L'\\', L"\x3001"},
            {L'<', L"\x300A"}, {L'>', L"\x300B"}, {L'[', L"\x3010"}, {L']', L"\x3011"},
            {L'{', L"\x300E"}, {L'}', L"\x300F"}, {L'$', L"\xFFE5"}, {L'*', L"\x00D7"},
            {L'^', L"\x2026\x2026"}, {L'_', L"\x2014\x2014"}, {L'`', L"\x00B7"}, {L'~', L"\xFF5E"},
            {L'!', L"\xFF01"}, {L'@', L"\xFF20"},
        };
        for (const auto& k : known) EXPECT_EQ(engine.punct(k.first), k.second) << "key " << static_cast<char>(k.first);
        EXPECT_FALSE(engine.dquoteOpen);
        EXPECT_FALSE(engine.squoteOpen);
    }
}

TEST_F(Punct, OtherCharactersPassThrough) {
    SetMode(true, true);
    for (wchar_t c : {L'\0', L'\t', L'\x7F', L'\x00E9', L'\x3002', L'\xFF01', L'\x4E2D', L'\xD83D', L'\xFFFF'})
        EXPECT_EQ(engine.punct(c), std::wstring(1, c)) << static_cast<int>(c);
}

TEST_F(Punct, QuotesAlternateEachOnItsOwn) {
    SetMode(true, false);
    EXPECT_EQ(engine.punct(L'"'), L"\x201C");
    EXPECT_EQ(engine.punct(L'\''), L"\x2018");
    EXPECT_EQ(engine.punct(L'"'), L"\x201D");
    EXPECT_EQ(engine.punct(L'"'), L"\x201C");
    EXPECT_EQ(engine.punct(L'\''), L"\x2019");
    EXPECT_EQ(engine.punct(L'\''), L"\x2018");

    // Commit, clearing and the scheme leave the quotes as they are.
    engine.commit = L"x";
    engine.Clear();
    engine.mode = zl::kModePinyin;
    EXPECT_EQ(engine.punct(L'"'), L"\x201D");
}

TEST_F(Punct, EnterWhileComposingClosesBothQuotes) {
    SetMode(true, false);
    engine.punct(L'"');
    engine.punct(L'\'');
    EXPECT_FALSE(engine.OnEnter());  // idle: nothing happens
    EXPECT_EQ(engine.punct(L'"'), L"\x201D");
    engine.punct(L'"');

    engine.code = "a";
    engine.shownCode = L"a";
    EXPECT_TRUE(engine.OnEnter());
    EXPECT_EQ(engine.punct(L'"'), L"\x201C");
    EXPECT_EQ(engine.punct(L'\''), L"\x2018");
}

TEST_F(Punct, FullWidthWithoutChinesePunctuation) {
    SetMode(false, true);
    EXPECT_EQ(engine.punct(L' '), L"\x3000");
    for (wchar_t c = 0x21; c <= 0x7E; ++c)
        EXPECT_EQ(engine.punct(c), std::wstring(1, static_cast<wchar_t>(c + 0xFEE0))) << static_cast<int>(c);
    EXPECT_EQ(engine.punct(L'!'), L"\xFF01");
    EXPECT_EQ(engine.punct(L'~'), L"\xFF5E");
    EXPECT_EQ(engine.punct(L'a'), L"\xFF41");
    for (wchar_t c : {L'\0', L'\x1F', L'\x7F', L'\x00E9', L'\xFF01', L'\x4E2D', L'\xDC00'})
        EXPECT_EQ(engine.punct(c), std::wstring(1, c)) << static_cast<int>(c);
    // Quotes are converted, not paired.
    EXPECT_FALSE(engine.dquoteOpen);
    EXPECT_FALSE(engine.squoteOpen);

    EXPECT_EQ(engine.ToWidth(L""), L"");
    EXPECT_EQ(engine.ToWidth(L"a b\x4E2D!\xD83D\xDE00"), L"\xFF41\x3000\xFF42\x4E2D\xFF01\xD83D\xDE00");
}

TEST_F(Punct, HalfWidthWithoutChinesePunctuationChangesNothing) {
    SetMode(false, false);
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const wchar_t c = static_cast<wchar_t>(u);
        ASSERT_EQ(engine.punct(c), std::wstring(1, c)) << u;
    }
    EXPECT_EQ(engine.ToWidth(L"a b!"), L"a b!");
    EXPECT_EQ(engine.ToWidth(L""), L"");
    EXPECT_FALSE(engine.dquoteOpen);
}

}  // namespace
