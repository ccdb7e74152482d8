// Recognition of the settings window by class and title, through up to seven owners.
#include <gtest/gtest.h>
#include <windows.h>

#include "PlainWindows.h"
#include "SettingsWindow.h"

namespace {

const wchar_t kSettingsTitle[] = L"泽仑五笔输入法 - 设置";

// A chain of owned popups under top; returns the last one, `depth` owners below top.
HWND Chain(zltest::PlainWindows& ws, HWND top, int depth) {
    HWND w = top;
    for (int i = 0; i < depth; ++i) w = ws.Make(L"dialog", w);
    return w;
}

}  // namespace

TEST(SettingsWindow, NullIsNotTheSettingsWindow) { EXPECT_FALSE(zl::IsSettingsWindowForeground(nullptr)); }

TEST(SettingsWindow, MatchesOnClassAndTitleIgnoringCase) {
    {
        zltest::PlainWindows ws(L"ZlDemoMain");
        HWND settings = ws.Make(kSettingsTitle);
        ASSERT_TRUE(settings);
        EXPECT_TRUE(zl::IsSettingsWindowForeground(settings));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"泽仑五笔输入法 - 演示与设置")));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"泽仑五笔输入法 - 设置 ")));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"")));
    }
    {
        zltest::PlainWindows ws(L"ZLDEMOMAIN");
        EXPECT_TRUE(zl::IsSettingsWindowForeground(ws.Make(kSettingsTitle)));
    }
    {
        zltest::PlainWindows ws(L"ZlDemoMainX");
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(kSettingsTitle)));
    }
}

TEST(SettingsWindow, SevenOwnersAreFollowedNotEight) {
    zltest::PlainWindows ws(L"ZlDemoMain");
    HWND settings = ws.Make(kSettingsTitle);
    ASSERT_TRUE(settings);
    HWND seventh = Chain(ws, settings, 7);
    HWND eighth = ws.Make(L"dialog", seventh);
    ASSERT_TRUE(eighth);
    ASSERT_EQ(GetWindow(eighth, GW_OWNER), seventh);
    EXPECT_TRUE(zl::IsSettingsWindowForeground(Chain(ws, settings, 1)));
    EXPECT_TRUE(zl::IsSettingsWindowForeground(seventh));
    EXPECT_FALSE(zl::IsSettingsWindowForeground(eighth));

    // Owners other than the settings window do not count.
    HWND other = ws.Make(L"main");
    EXPECT_FALSE(zl::IsSettingsWindowForeground(Chain(ws, other, 3)));
}
