// Keys through the whole sink as TSF sends them: each eaten key does one engine operation,
// judged by comparing with an engine driven directly.
#include <gtest/gtest.h>

#include <functional>

#include "Guids.h"
#include "KeyDriver.h"

using tskeys::KeyDriver;

namespace {

// The engine alone, fed the operations a row expects, with its commits collected.
struct Reference {
    zl::Engine engine;
    std::wstring committed;
    Reference() { engine.Init(tskeys::TestDataDir()); }
    void Letters(const char* s) {
        for (; *s; ++s) Then([&](zl::Engine& e) { e.OnLetter(*s); });
    }
    void Then(const std::function<void(zl::Engine&)>& op) {
        op(engine);
        std::wstring out;
        if (engine.TakeCommit(out)) committed += out;
    }
};

void ExpectSame(KeyDriver& d, Reference& r, const char* row) {
    const zl::Engine& e = d.S().engine;
    EXPECT_EQ(e.code, r.engine.code) << row;
    EXPECT_EQ(e.shownCode, r.engine.shownCode) << row;
    EXPECT_EQ(e.page, r.engine.page) << row;
    EXPECT_EQ(e.candidates.size(), r.engine.candidates.size()) << row;
    EXPECT_EQ(e.tempPinyin, r.engine.tempPinyin) << row;
    EXPECT_EQ(d.TakeInserted(), r.committed) << row;
    r.committed.clear();
}

struct DispatchRow {
    const char* name;
    std::function<void(KeyDriver&)> keys;
    std::function<void(Reference&)> ops;
};

TEST(KeyPath, EachEatenKeyIsOneEngineOperation) {
    const DispatchRow rows[] = {
        {"space commits", [](KeyDriver& d) { d.Type("ggll "); },
         [](Reference& r) {
             r.Letters("ggll");
             r.Then([](zl::Engine& e) { e.OnSpace(); });
             EXPECT_FALSE(r.committed.empty());
         }},
        {"digit selects", [](KeyDriver& d) { d.Type("g3"); },
         [](Reference& r) {
             r.Letters("g");
             r.Then([](zl::Engine& e) { e.OnDigit(3); });
             EXPECT_FALSE(r.committed.empty());
         }},
        {"next page keys",
         [](KeyDriver& d) {
             d.Type("g");
             for (unsigned vk : {VK_NEXT, VK_OEM_PLUS, VK_OEM_6, VK_RIGHT, VK_DOWN}) d.Tap(vk);
         },
         [](Reference& r) {
             r.Letters("g");
             for (int i = 0; i < 5; ++i) r.Then([](zl::Engine& e) { e.OnPageKey(true); });
             EXPECT_EQ(r.engine.page, 5u);
         }},
        {"previous page keys",
         [](KeyDriver& d) {
             d.Type("g");
             for (int i = 0; i < 6; ++i) d.Tap(VK_NEXT);
             for (unsigned vk : {VK_PRIOR, VK_OEM_MINUS, VK_OEM_4, VK_LEFT, VK_UP}) d.Tap(vk);
         },
         [](Reference& r) {
             r.Letters("g");
             for (int i = 0; i < 6; ++i) r.Then([](zl::Engine& e) { e.OnPageKey(true); });
             for (int i = 0; i < 5; ++i) r.Then([](zl::Engine& e) { e.OnPageKey(false); });
         }},
        {"keypad digit selects", [](KeyDriver& d) { d.Type("g"); d.Tap(VK_NUMPAD5); },
         [](Reference& r) { r.Letters("g"); r.Then([](zl::Engine& e) { e.OnDigit(5); }); }},
        {"backspace", [](KeyDriver& d) { d.Type("ggl"); d.Tap(VK_BACK); },
         [](Reference& r) { r.Letters("ggl"); r.Then([](zl::Engine& e) { e.OnBackspace(); }); }},
        {"escape drops the code", [](KeyDriver& d) { d.Type("ggl"); d.Tap(VK_ESCAPE); },
         [](Reference& r) { r.Letters("ggl"); r.Then([](zl::Engine& e) { e.OnEscape(); }); }},
        {"enter discards the typed code", [](KeyDriver& d) { d.Type("ggl"); d.Tap(VK_RETURN); },
         [](Reference& r) { r.Letters("ggl"); r.Then([](zl::Engine& e) { e.OnEnter(); }); }},
        {"0 , . are swallowed",
         [](KeyDriver& d) {
             d.Type("g");
             for (unsigned vk : {unsigned('0'), unsigned(VK_NUMPAD0), unsigned(VK_OEM_COMMA),
                                 unsigned(VK_OEM_PERIOD)})
                 EXPECT_TRUE(d.Down(vk)) << vk;
         },
         [](Reference& r) { r.Letters("g"); }},
        {"shift+letter with input is a code letter",
         [](KeyDriver& d) {
             d.Type("g");
             d.Down(VK_SHIFT);
             d.Tap('G');
             d.Up(VK_SHIFT);
         },
         [](Reference& r) { r.Letters("gg"); }},
        {"shift+1 without input is punctuation",
         [](KeyDriver& d) {
             d.Down(VK_SHIFT);
             d.Tap('1');
             d.Up(VK_SHIFT);
             d.Tap(VK_OEM_COMMA);
             d.Tap(VK_OEM_5);
         },
         [](Reference& r) {
             r.committed = r.engine.punct(L'!');
             r.committed += r.engine.punct(L',');
             r.committed += r.engine.punct(L'\\');
         }},
        {"z leads temporary pinyin, escape leaves it",
         [](KeyDriver& d) {
             d.Type("z");
             EXPECT_TRUE(d.S().engine.tempPinyin);
             EXPECT_EQ(d.S().statusBar.info.scheme, 1u);
             d.Tap(VK_ESCAPE);
         },
         [](Reference&) {}},
        {"ctrl+digit promotes",
         [](KeyDriver& d) {
             d.Type("g");
             d.Down(VK_CONTROL);
             d.Tap('3');
             d.Up(VK_CONTROL);
         },
         [](Reference& r) { r.Letters("g"); r.Then([](zl::Engine& e) { e.PromoteOnPage(2); }); }},
    };
    for (const DispatchRow& row : rows) {
        KeyDriver d;
        Reference r;
        row.keys(d);
        row.ops(r);
        ExpectSame(d, r, row.name);
    }
}

TEST(KeyPath, KeysThatReachTheApplication) {
    KeyDriver d;
    // Without input: plain digits, space, navigation; letters with Shift (Shift英文 on).
    for (unsigned vk : {unsigned('1'), unsigned(VK_SPACE), unsigned(VK_LEFT), unsigned(VK_RETURN),
                        unsigned(VK_NUMPAD5)})
        EXPECT_FALSE(d.Down(vk)) << vk;
    d.Down(VK_SHIFT);
    EXPECT_FALSE(d.Down('A'));
    d.Up(VK_SHIFT);
    // A host calling OnKeyDown without the test call: the letter still passes through.
    d.held.insert(VK_SHIFT);
    BOOL eaten = TRUE;
    d.S().OnKeyDown(&d.Doc(), 'A', 1, &eaten);
    EXPECT_FALSE(eaten);
    d.held.erase(VK_SHIFT);
    // With input: keypad digits follow the option, Ctrl+digit follows manual frequency.
    d.S().config.numpadSelect = 0;
    d.S().config.manualFreq = 0;
    d.Type("g");
    EXPECT_FALSE(d.Down(VK_NUMPAD5));
    d.Down(VK_CONTROL);
    EXPECT_FALSE(d.Down('3'));
    d.Up(VK_CONTROL);
    EXPECT_EQ(d.S().engine.code, "g");
    EXPECT_TRUE(d.TakeInserted().empty());
    // English: letters and punctuation pass.
    d.Tap(VK_ESCAPE);
    d.S()._SetChinese(false, L"test");
    EXPECT_FALSE(d.Down('A'));
    EXPECT_FALSE(d.Down(VK_OEM_COMMA));
    // Null arguments.
    EXPECT_EQ(d.S().OnTestKeyDown(&d.Doc(), 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(d.S().OnKeyDown(&d.Doc(), 'A', 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(d.S().OnKeyUp(&d.Doc(), 'A', 1, nullptr), S_OK);
    EXPECT_EQ(d.S().OnTestKeyUp(&d.Doc(), 'A', 1, nullptr), S_OK);
    d.S()._SetChinese(true, L"test");
    eaten = TRUE;
    EXPECT_EQ(d.S().OnKeyDown(nullptr, 'A', 1, &eaten), S_OK);
    EXPECT_FALSE(eaten);
    EXPECT_TRUE(d.S().engine.code.empty());
}

TEST(KeyPath, CtrlSpaceByKeyAndByPreservedKey) {
    KeyDriver d;
    d.Type("gg");
    d.Down(VK_CONTROL);
    EXPECT_TRUE(d.Down(VK_SPACE));
    d.Up(VK_SPACE);
    d.Up(VK_CONTROL);
    EXPECT_FALSE(d.Chinese());
    EXPECT_TRUE(d.S().engine.code.empty());  // the half-typed code is dropped, not committed
    EXPECT_TRUE(d.TakeInserted().empty());
    EXPECT_EQ(d.S().lastCtrlSpaceTick, d.now);

    BOOL eaten = FALSE;
    EXPECT_EQ(d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten), S_OK);
    EXPECT_TRUE(eaten);
    EXPECT_TRUE(d.Chinese());
    EXPECT_EQ(d.S().OnPreservedKey(nullptr, zl::GUID_ZLKeyCtrlSpace, nullptr), S_OK);
    EXPECT_FALSE(d.Chinese());
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLProfileWubi, &eaten);
    EXPECT_FALSE(eaten);
    EXPECT_FALSE(d.Chinese());

    d.S().config.ctrlSpace = 0;
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten);
    EXPECT_FALSE(eaten);
    d.Down(VK_CONTROL);
    EXPECT_FALSE(d.Down(VK_SPACE));
    d.Up(VK_SPACE);
    d.Up(VK_CONTROL);
    EXPECT_FALSE(d.Chinese());
}

}  // namespace
