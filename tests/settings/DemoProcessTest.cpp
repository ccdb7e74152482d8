// zldemo.exe as a process on the test display: single settings instance, preview.pid,
// the dictionary failure, menu commands, typing into the box, the help window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "DemoProcess.h"
#include "Foreground.h"
#include "Pump.h"

namespace {

const wchar_t kMain[] = L"ZlDemoMain";
const wchar_t kSettingsTitle[] = L"泽仑五笔输入法 - 设置";
const wchar_t kDemoTitle[] = L"泽仑五笔输入法 - 演示与设置";

int Key(const zltest::UserFolder& user, const wchar_t* section, const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(section, key, -99, user.Dir().File(L"config.ini").c_str()));
}

}  // namespace

TEST(DemoProcess, SettingsModeIsSingleAndKeepsPreviewPidWhileOpen) {
    zltest::UserFolder user;
    zltest::DemoFolder folder;
    zltest::ForeignForegroundWindow front;
    ASSERT_TRUE(front.Start());
    const std::wstring pidFile = user.Dir().File(L"preview.pid");

    zltest::DemoProcess first;
    ASSERT_TRUE(first.Start(folder.Exe(), L"--settings"));
    HWND window = first.WaitWindow(kMain, kSettingsTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(zltest::FileText(pidFile), std::to_string(front.ProcessId()));

    zltest::DemoProcess second;
    ASSERT_TRUE(second.Start(folder.Exe(), L"x --settings"));
    EXPECT_EQ(second.WaitExit(), 0u);
    EXPECT_TRUE(second.Windows(kMain).empty());
    EXPECT_EQ(first.Windows(kMain, kSettingsTitle).size(), 1u);
    EXPECT_EQ(zltest::FileText(pidFile), std::to_string(front.ProcessId()));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(), 0u);
    EXPECT_EQ(zltest::FileText(pidFile), "<missing>");
}

TEST(DemoProcess, MissingDictionaryShowsItsMessageAndExitsWithOne) {
    zltest::UserFolder user;
    zltest::DemoFolder folder(zltest::DemoFolder::kNone);
    zltest::ForeignForegroundWindow front;
    ASSERT_TRUE(front.Start());
    for (const wchar_t* args : {L"", L"--settings"}) {
        zltest::DemoProcess demo;
        ASSERT_TRUE(demo.Start(folder.Exe(), args));
        HWND box = demo.WaitWindow(L"#32770", L"泽仑五笔");
        ASSERT_NE(box, nullptr) << args;
        const std::vector<std::wstring> texts = zltest::ChildTexts(box);
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"码表 data\\zlwb.dat 载入失败"), texts.end());
        EXPECT_TRUE(demo.Windows(kMain).empty());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(demo.WaitExit(), 1u) << args;
        // No window will ever take preview.pid away: it is not left behind.
        EXPECT_EQ(zltest::FileText(user.Dir().File(L"preview.pid")), "<missing>");
    }
}

TEST(DemoProcess, MenuCommandsWriteConfigFromAFreshLoad) {
    zltest::UserFolder user;
    zltest::DemoFolder folder;
    zltest::DemoProcess demo;
    ASSERT_TRUE(demo.Start(folder.Exe(), L""));
    HWND window = demo.WaitWindow(kMain, kDemoTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(demo.Windows(kMain, kSettingsTitle).empty());

    SendMessageW(window, WM_COMMAND, 206, 0);  // 竖排候选
    EXPECT_EQ(Key(user, L"界面", L"竖排"), 1);
    EXPECT_EQ(Key(user, L"输入", L"中文标点"), 1);

    // The input method changes the file meanwhile; opening a menu reloads it first.
    const std::wstring ini = user.Dir().File(L"config.ini");
    WritePrivateProfileStringW(L"输入", L"中文标点", L"0", ini.c_str());
    WritePrivateProfileStringW(L"界面", L"竖排", L"0", ini.c_str());
    SendMessageW(window, WM_INITMENUPOPUP, 0, 0);
    SendMessageW(window, WM_COMMAND, 206, 0);
    EXPECT_EQ(Key(user, L"界面", L"竖排"), 1);
    EXPECT_EQ(Key(user, L"输入", L"中文标点"), 0);

    SendMessageW(window, WM_COMMAND, 352, 0);  // 输入方案：五笔拼音混输
    EXPECT_EQ(Key(user, L"方案", L"默认"), 2);
    SendMessageW(window, WM_COMMAND, 103, 0);  // 恢复默认设置
    EXPECT_EQ(Key(user, L"界面", L"竖排"), 0);
    EXPECT_EQ(Key(user, L"输入", L"中文标点"), 1);
    EXPECT_EQ(Key(user, L"界面", L"状态条X"), -1);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}

TEST(DemoProcess, TypingIntoTheBoxCommitsAndTabSavesTheScheme) {
    zltest::UserFolder user;
    zltest::DemoFolder folder;
    zltest::DemoProcess demo;
    ASSERT_TRUE(demo.Start(folder.Exe(), L""));
    HWND window = demo.WaitWindow(kMain, kDemoTitle);
    ASSERT_NE(window, nullptr);
    HWND box = FindWindowExW(window, nullptr, L"ZlDemoInput", nullptr);
    ASSERT_NE(box, nullptr);
    for (UINT vk : {UINT('X'), UINT('C'), UINT('A'), UINT(VK_SPACE), UINT('G'), UINT('G')}) SendMessageW(box, WM_KEYDOWN, vk, 0);
    EXPECT_EQ(zltest::WindowText(box), L"经");
    HWND cand = demo.WaitWindow(L"ZelunWubiCandWnd");
    ASSERT_NE(cand, nullptr);
    EXPECT_TRUE(IsWindowVisible(cand));
    RECT boxRect, candRect;
    GetWindowRect(box, &boxRect);
    GetWindowRect(cand, &candRect);
    POINT origin{0, 0};
    ClientToScreen(box, &origin);
    EXPECT_EQ(candRect.left, origin.x + 20);
    EXPECT_EQ(candRect.top, origin.y + 48);

    SendMessageW(box, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(Key(user, L"方案", L"默认"), 1);
    EXPECT_FALSE(IsWindowVisible(cand));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}

TEST(DemoProcess, HelpWindowOpensOnceAndEscCloses) {
    zltest::UserFolder user;
    zltest::DemoFolder folder;
    zltest::DemoProcess demo;
    ASSERT_TRUE(demo.Start(folder.Exe(), L""));
    HWND window = demo.WaitWindow(kMain, kDemoTitle);
    ASSERT_NE(window, nullptr);
    SendMessageW(window, WM_COMMAND, 320, 0);
    SendMessageW(window, WM_COMMAND, 320, 0);
    const std::vector<HWND> help = demo.Windows(L"ZlHelpPopupWnd", L"泽仑五笔输入法 - 使用说明");
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(GetWindow(help[0], GW_OWNER), window);
    HWND text = GetDlgItem(help[0], 2001);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(zltest::WindowText(text).rfind(L"未能读取“使用说明.txt”。\r\n", 0), 0u);

    // Esc goes through the process's own message loop, as a typed key does.
    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(zltest::PumpUntil([&] { return !IsWindow(help[0]); }, 20000));
    EXPECT_TRUE(IsWindow(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}
