// Keys through the whole sink as TSF sends them: each eaten key does one engine operation,
// judged against an engine driven directly; the keys that reach the application.
#include <gtest/gtest.h>

#include "Guids.h"
#include "KeyDriver.h"

using tskeys::KeyDriver;
using tskeys::kCtrl;
using tskeys::kShift;

namespace {

TEST(KeyPath, EachEatenKeyIsOneEngineOperation) {
    using Op = std::function<void(zl::Engine&)>;
    const struct {
        const char* name;
        const char* typed;
        std::vector<unsigned> keys;
        Op op;
    } rows[] = {
        {"space", "ggll", {VK_SPACE}, [](zl::Engine& e) { e.OnSpace(); }},
        {"digit", "g", {'3'}, [](zl::Engine& e) { e.OnDigit(3); }},
        {"keypad digit", "g", {VK_NUMPAD5}, [](zl::Engine& e) { e.OnDigit(5); }},
        {"next page", "g", {VK_NEXT, VK_OEM_PLUS, VK_OEM_6, VK_RIGHT, VK_DOWN},
         [](zl::Engine& e) { for (int i = 0; i < 5; ++i) e.OnPageKey(true); }},
        {"previous page", "g", {VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_PRIOR, VK_OEM_MINUS, VK_OEM_4,
                                VK_LEFT, VK_UP},
         [](zl::Engine& e) { for (int i = 0; i < 11; ++i) e.OnPageKey(i < 6); }},
        {"backspace", "ggl", {VK_BACK}, [](zl::Engine& e) { e.OnBackspace(); }},
        {"escape", "ggl", {VK_ESCAPE}, [](zl::Engine& e) { e.OnEscape(); }},
        {"enter discards the code", "ggl", {VK_RETURN}, [](zl::Engine& e) { e.OnEnter(); }},
        {"0 , . swallowed", "g", {'0', VK_NUMPAD0, VK_OEM_COMMA, VK_OEM_PERIOD}, [](zl::Engine&) {}},
        {"shift+letter is a code letter", "g", {kShift | 'G'}, [](zl::Engine& e) { e.OnLetter('g'); }},
        {"ctrl+digit promotes", "g", {kCtrl | '3'}, [](zl::Engine& e) { e.PromoteOnPage(2); }},
        {"punctuation", "", {kShift | '1', VK_OEM_COMMA, VK_OEM_5},
         [](zl::Engine& e) { e.commit = e.punct(L'!') + e.punct(L',') + e.punct(L'\\'); }},
        {"z leads temporary pinyin", "", {'Z'}, [](zl::Engine& e) { e.BeginTempPinyin(); }},
        {"escape leaves it", "", {'Z', VK_ESCAPE}, [](zl::Engine& e) { e.BeginTempPinyin(); e.CancelTempPinyin(); }},
    };
    for (const auto& row : rows) {
        KeyDriver d;
        zl::Engine ref;
        ref.Init(tskeys::TestDataDir());
        std::wstring refCommit, out;
        for (const char* c = row.typed; *c; ++c)
            if (ref.OnLetter(*c) && ref.TakeCommit(out)) refCommit += out;
        row.op(ref);
        if (ref.TakeCommit(out)) refCommit += out;
        d.Type(row.typed);
        for (unsigned k : row.keys) d.Press(k);
        const zl::Engine& e = d.S().engine;
        EXPECT_EQ(e.code, ref.code) << row.name;
        EXPECT_EQ(e.shownCode, ref.shownCode) << row.name;
        EXPECT_EQ(e.page, ref.page) << row.name;
        EXPECT_EQ(e.candidates.size(), ref.candidates.size()) << row.name;
        EXPECT_EQ(e.tempPinyin, ref.tempPinyin) << row.name;
        EXPECT_EQ(d.Committed(), refCommit) << row.name;
        EXPECT_EQ(d.Doc().CompositionText(), e.shownCode) << row.name;
    }
}

TEST(KeyPath, WhatIsEatenAndWhatReachesTheApplication) {
    KeyDriver d;
    for (unsigned k : {unsigned('1'), unsigned(VK_SPACE), unsigned(VK_LEFT), unsigned(VK_NUMPAD5), kShift | 'A'})
        EXPECT_FALSE(d.Press(k)) << k;
    d.Type("g");
    for (unsigned k : {unsigned('0'), unsigned(VK_OEM_COMMA), kShift | 'A'}) EXPECT_TRUE(d.Press(k)) << k;
    d.S().config.numpadSelect = 0;
    d.S().config.manualFreq = 0;
    EXPECT_FALSE(d.Press(VK_NUMPAD5));
    EXPECT_FALSE(d.Press(kCtrl | '3'));
    EXPECT_EQ(d.S().engine.code, "ga");
    // A host calling OnKeyDown directly: Shift+letter still passes when idle.
    d.Press(VK_ESCAPE);
    d.held.insert(VK_SHIFT);
    BOOL eaten = TRUE;
    d.S().OnKeyDown(&d.Doc(), 'A', 1, &eaten);
    EXPECT_FALSE(eaten);
    d.held.clear();
    EXPECT_EQ(d.S().OnTestKeyDown(&d.Doc(), 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(d.S().OnKeyDown(&d.Doc(), 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(d.S().OnKeyDown(nullptr, 'A', 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    // English: letters and punctuation pass.
    d.S()._SetChinese(false, L"test");
    EXPECT_FALSE(d.Press('A'));
    EXPECT_FALSE(d.Press(VK_OEM_COMMA));
}

TEST(KeyPath, CtrlSpaceByKeyAndByPreservedKey) {
    KeyDriver d;
    d.Type("gg");
    EXPECT_TRUE(d.Press(kCtrl | VK_SPACE));
    EXPECT_FALSE(d.Chinese());
    EXPECT_TRUE(d.S().engine.code.empty());  // the half-typed code is erased, not committed
    EXPECT_TRUE(d.Doc().text.empty());
    BOOL eaten = FALSE;
    EXPECT_EQ(d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten), S_OK);
    EXPECT_TRUE(eaten && d.Chinese());
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLProfileWubi, &eaten);
    EXPECT_FALSE(eaten);
    d.S().config.ctrlSpace = 0;
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten);
    EXPECT_FALSE(eaten);
    EXPECT_FALSE(d.Press(kCtrl | VK_SPACE));
    EXPECT_TRUE(d.Chinese());
}

}  // namespace
