// Recognition of the settings window by class and title, through up to seven owners.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "SettingsWindow.h"

namespace {

const wchar_t kSettingsTitle[] = L"泽仑五笔输入法 - 设置";

// Registers a window class for one test and destroys every window made with it.
class Windows {
public:
    explicit Windows(const wchar_t* cls) : cls_(cls) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = cls;
        RegisterClassW(&wc);
    }
    ~Windows() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) DestroyWindow(*it);
        UnregisterClassW(cls_, GetModuleHandleW(nullptr));
    }
    HWND Make(const wchar_t* title, HWND owner = nullptr) {
        HWND w = CreateWindowExW(0, cls_, title, WS_POPUP, 0, 0, 10, 10, owner, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        if (w) made_.push_back(w);
        return w;
    }
    // A chain of owned popups under top; returns the last one, `depth` owners below top.
    HWND Chain(HWND top, int depth) {
        HWND w = top;
        for (int i = 0; i < depth; ++i) w = Make(L"dialog", w);
        return w;
    }

private:
    const wchar_t* cls_;
    std::vector<HWND> made_;
};

}  // namespace

TEST(SettingsWindow, NullIsNotTheSettingsWindow) { EXPECT_FALSE(zl::IsSettingsWindowForeground(nullptr)); }

TEST(SettingsWindow, MatchesOnClassAndTitleIgnoringCase) {
    {
        Windows ws(L"ZlDemoMain");
        HWND settings = ws.Make(kSettingsTitle);
        ASSERT_TRUE(settings);
        EXPECT_TRUE(zl::IsSettingsWindowForeground(settings));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"泽仑五笔输入法 - 演示与设置")));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"泽仑五笔输入法 - 设置 ")));
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(L"")));
    }
    {
        Windows ws(L"ZLDEMOMAIN");
        EXPECT_TRUE(zl::IsSettingsWindowForeground(ws.Make(kSettingsTitle)));
    }
    {
        Windows ws(L"ZlDemoMainX");
        EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Make(kSettingsTitle)));
    }
}

TEST(SettingsWindow, SevenOwnersAreFollowedNotEight) {
    Windows ws(L"ZlDemoMain");
    HWND settings = ws.Make(kSettingsTitle);
    ASSERT_TRUE(settings);
    HWND seventh = ws.Chain(settings, 7);
    HWND eighth = ws.Make(L"dialog", seventh);
    ASSERT_TRUE(eighth);
    ASSERT_EQ(GetWindow(eighth, GW_OWNER), seventh);
    EXPECT_TRUE(zl::IsSettingsWindowForeground(ws.Chain(settings, 1)));
    EXPECT_TRUE(zl::IsSettingsWindowForeground(seventh));
    EXPECT_FALSE(zl::IsSettingsWindowForeground(eighth));

    // Owners other than the settings window do not count.
    HWND other = ws.Make(L"main");
    EXPECT_FALSE(zl::IsSettingsWindowForeground(ws.Chain(other, 3)));
}
