// Choosing the road of a picked symbol, and the keystroke road typing into a window.
#include <gtest/gtest.h>

#include <string>

#include "ScopedEnv.h"
#include "SymbolRoad.h"

namespace {

TEST(SymbolRoad, StrictHostsByImageName) {
    const struct {
        const wchar_t* image;
        bool strict;
    } cases[] = {
        {L"C:\\Program Files\\Office\\WINWORD.EXE", true},
        {L"winword.exe", true},
        {L"D:\\x\\Excel.Exe", true},
        {L"C:\\WPS\\wpssoft.exe", true},
        {L"C:\\Windows\\notepad.exe", false},
        {L"C:\\WINWORD.EXE\\other.exe", false},
        {L"C:\\tools\\WINWORD.EXE.bak", false},
        {L"C:\\dir\\", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(zl::IsStrictTsfImage(c.image), c.strict) << c.image;
    EXPECT_FALSE(zl::IsStrictTsfHost(nullptr));
    EXPECT_FALSE(zl::IsStrictTsfHost(GetDesktopWindow()));
}

TEST(SymbolRoad, EnvironmentSwitchesCountOnlyALeadingOneThatFits) {
    const struct {
        const wchar_t* value;  // null: unset
        bool on;
    } cases[] = {
        {nullptr, false}, {L"", false},       {L"0", false},        {L"1", true},
        {L"10", true},    {L"1234567", true}, {L"12345678", false}, {L" 1", false},
    };
    for (const auto& c : cases) {
        zltest::ScopedEnv env(L"ZL_FORCE_TSF_SYMBOL", c.value);
        EXPECT_EQ(zl::ForceTsfSymbol(), c.on) << (c.value ? c.value : L"(unset)");
    }
    // The drop switch is read once per process: a later change does not count.
    bool first;
    {
        zltest::ScopedEnv env(L"ZL_SYMBOL_SIM_DROP", nullptr);
        first = zl::SymbolSimDrop();
    }
    EXPECT_FALSE(first);
    zltest::ScopedEnv env(L"ZL_SYMBOL_SIM_DROP", L"1");
    EXPECT_FALSE(zl::SymbolSimDrop());
}

}  // namespace
