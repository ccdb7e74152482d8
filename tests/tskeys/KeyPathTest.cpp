// Keys through the whole sink as TSF sends them: each eaten key is one engine operation,
// judged against an engine driven directly; Ctrl+Space both ways; Shift taps on both roads.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>

#include "Guids.h"
#include "KeyDriver.h"

using tskeys::kCtrl;
using tskeys::KeyDriver;
using tskeys::kShift;

namespace {

TEST(KeyPath, EachEatenKeyIsOneEngineOperation) {
    auto pages = [](std::vector<bool> next) { return [next](zl::Engine& e) { for (bool n : next) e.OnPageKey(n); }; };
    const struct {
        const char* typed;
        std::vector<unsigned> keys;
        std::function<void(zl::Engine&)> op;
    } rows[] = {
        {"ggl", {VK_SPACE}, [](zl::Engine& e) { e.OnSpace(); }},
        {"g", {'3'}, [](zl::Engine& e) { e.OnDigit(3); }},
        {"g", {VK_NUMPAD5}, [](zl::Engine& e) { e.OnDigit(5); }},
        {"g", {VK_NEXT, VK_OEM_PLUS, VK_OEM_6, VK_DOWN, VK_RIGHT}, pages({1, 1, 1, 1, 1})},
        {"g", {VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_PRIOR, VK_OEM_MINUS, VK_OEM_4, VK_LEFT},
         pages({1, 1, 1, 1, 1, 0, 0, 0, 0})},
        {"ggl", {VK_BACK}, [](zl::Engine& e) { e.OnBackspace(); }},
        {"ggl", {VK_ESCAPE}, [](zl::Engine& e) { e.OnEscape(); }},
        {"ggl", {VK_RETURN}, [](zl::Engine& e) { e.OnEnter(); }},  // the code is dropped
        {"g", {'0', VK_NUMPAD0, VK_OEM_COMMA, VK_OEM_PERIOD}, [](zl::Engine&) {}},
        {"g", {kShift | 'G'}, [](zl::Engine& e) { e.OnLetter('g'); }},
        {"g", {kCtrl | '3'}, [](zl::Engine& e) { e.PromoteOnPage(2); }},
        {"", {kShift | '1', VK_OEM_COMMA, VK_OEM_5},
         [](zl::Engine& e) { e.commit = e.punct(L'!') + e.punct(L',') + e.punct(L'\\'); }},
        {"", {'Z'}, [](zl::Engine& e) { e.BeginTempPinyin(); }},
        {"", {'Z', VK_ESCAPE}, [](zl::Engine& e) { e.BeginTempPinyin(), e.CancelTempPinyin(); }},
    };
    int row = 0;
    for (const auto& r : rows) {
        KeyDriver d;
        zl::Engine ref;
        ref.Init(KeyDriver::Dir(ZL_TEST_DICT));
        std::wstring committed, out;
        for (const char* c = r.typed; *c; ++c)
            if (ref.OnLetter(*c) && ref.TakeCommit(out)) committed += out;
        r.op(ref);
        if (ref.TakeCommit(out)) committed += out;
        d.Type(r.typed);
        for (unsigned k : r.keys) EXPECT_TRUE(d.Press(k)) << row;
        const zl::Engine& e = d.S().engine;
        EXPECT_TRUE(e.code == ref.code && e.page == ref.page && e.tempPinyin == ref.tempPinyin) << row;
        EXPECT_EQ(e.candidates.size(), ref.candidates.size()) << row << " page " << e.page;
        EXPECT_EQ(d.Doc().text, committed + e.shownCode) << row++;  // the composition at the caret
    }
}

TEST(KeyPath, CtrlSpaceByKeyAndByPreservedKey) {
    KeyDriver d;
    d.Type("gg");
    EXPECT_TRUE(d.Press(kCtrl | VK_SPACE));
    EXPECT_TRUE(!d.Chinese() && d.S().engine.code.empty() && d.Doc().text.empty());  // erased, not committed
    BOOL eaten = FALSE;
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten);
    EXPECT_TRUE(eaten && d.Chinese());
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLProfileWubi, &eaten);
    EXPECT_FALSE(eaten);
    d.S().config.ctrlSpace = 0;
    d.S().OnPreservedKey(&d.Doc(), zl::GUID_ZLKeyCtrlSpace, &eaten);
    EXPECT_FALSE(eaten || d.Press(kCtrl | VK_SPACE) || !d.Chinese());
}

TEST(KeyPath, AnExceptionStopsAtTheKeySinkAndTheTimer) {
    KeyDriver d;
    auto& front = zl::TheSeams().foregroundWindow;
    const auto real = front;
    front = []() -> HWND { throw std::bad_alloc(); };  // the config poll asks first
    EXPECT_NO_THROW(d.Tick());
    EXPECT_NO_THROW(d.Press('A'));
    front = real;
}

// A quote whose text never reaches a document does not turn the next quote around, and
// text left for a queued session is not written after the focus moved away and back.
TEST(KeyPath, ADroppedQuoteLeavesTheNextOneOpening) {
    const struct {
        const char* name;
        std::function<void(KeyDriver&)> lose;  // types a quote that never arrives
    } rows[] = {
        {"session refused",
         [](KeyDriver& d) { d.Doc().refuseAll = true, d.Press(kShift | VK_OEM_7), d.Doc().refuseAll = false; }},
        {"insert failed",
         [](KeyDriver& d) { d.Doc().failInsert = true, d.Press(kShift | VK_OEM_7), d.Doc().failInsert = false; }},
        {"focus moved before the queued session",
         [](KeyDriver& d) {
             d.Doc().refuseSync = true;
             d.Press(kShift | VK_OEM_7);
             tsfkit::FakeContext* other = nullptr;
             d.S().OnSetFocus(d.Tm().NewFocusedDocument(&other), nullptr);
             d.Doc().RunQueued();
             d.Doc().refuseSync = false;
             d.S().OnSetFocus(d.Doc().doc, nullptr);
         }},
    };
    for (const auto& r : rows) {
        KeyDriver d;
        d.Press(kShift | VK_OEM_7);  // opening, written
        r.lose(d);
        EXPECT_EQ(d.Doc().text, L"\x201C") << r.name;
        d.Press(kShift | VK_OEM_7);
        d.Press(kShift | VK_OEM_7);
        EXPECT_EQ(d.Doc().text, L"\x201C\x201D\x201C") << r.name;
    }
}

// Steps: D, U Shift down and up; R Shift auto-repeat; T a status-bar tick; +N N ms pass;
// !1 !A !> press 1, A or Right under Shift; gg types; O option off; F another process in front.
bool ChineseAfter(unsigned long os, const std::string& script) {
    KeyDriver d(os);
    std::istringstream in(script);
    for (std::string t; in >> t;) {
        if (t == "D" || t == "R") d.Down(VK_SHIFT, t == "R");
        else if (t == "U") d.Up(VK_SHIFT);
        else if (t == "T") d.Tick();
        else if (t == "O") d.S().config.shiftToggle = 0;
        else if (t == "F") d.foreground = nullptr;
        else if (t[0] == '+') d.now += std::stoul(t.substr(1));
        else if (t[0] == '!') d.Press(t[1] == '>' ? VK_RIGHT : static_cast<unsigned>(t[1]));
        else d.Type(t.c_str());
    }
    return d.Chinese();
}

TEST(KeyPath, ShiftTapOnBothRoads) {
    const struct {
        unsigned long os;
        const char* script;
        bool chinese;
    } rows[] = {
        {10, "D +799 U", 0}, {10, "D +120 U +500 D +120 U", 1}, {10, "D +800 U", 1},
        {10, "D +300 R +200 U", 0}, {10, "D +500 R +300 R +100 U", 1},  // repeat does not restart
        {10, "D !1 +100 U", 1}, {10, "D !A +100 U", 1}, {10, "D !> +100 U", 1}, {10, "D !A R U", 1},
        {10, "D !1 U +1000 D U", 0}, {10, "gg D U", 1}, {10, "O D U", 1},
        {6, "D T +250 U", 1}, {6, "D T +250 U T", 0}, {6, "D T +250 T +250 T +250 T +250 U T", 1},
        {6, "D !1 T +250 U T", 1}, {6, "D T +100 !A +150 U T", 1},  // key before or after the poll saw Shift
        {6, "D !> T U T +1000 D T U T", 0}, {6, "gg D T U T", 1}, {6, "F D T U T", 1},
        {6, "D T U T +149 D T +250 U T", 0}, {6, "D T U T +400 D T U T", 1},  // 400 ms after a toggle
    };
    for (const auto& r : rows) EXPECT_EQ(ChineseAfter(r.os, r.script), r.chinese) << r.os << ' ' << r.script;
    KeyDriver d(6);
    EXPECT_FALSE(d.Down(VK_SHIFT));  // the sink leaves Shift to the poll there
}

}  // namespace
