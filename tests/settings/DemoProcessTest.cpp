// zldemo.exe as a process on the test display.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DemoProcess.h"
#include "Foreground.h"
#include "Pump.h"

namespace {

const wchar_t kMain[] = L"ZlDemoMain";
const wchar_t kSettingsTitle[] = L"泽仑五笔输入法 - 设置";

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
    const std::string frontPid = std::to_string(front.ProcessId());

    zltest::DemoProcess first(folder, L"--settings");
    HWND window = first.WaitWindow(kMain, kSettingsTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(zltest::FileText(pidFile), frontPid);

    zltest::DemoProcess second(folder, L"x --settings");
    EXPECT_EQ(second.WaitExit(), 0u);
    EXPECT_EQ(first.Windows(kMain).size(), 1u);
    EXPECT_EQ(zltest::FileText(pidFile), frontPid);  // untouched by the second start

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(), 0u);
    EXPECT_EQ(zltest::FileText(pidFile), "<missing>");
}

TEST(DemoProcess, MissingDictionaryShowsItsMessageAndExitsWithOne) {
    zltest::UserFolder user;
    zltest::DemoFolder folder(L"");
    zltest::ForeignForegroundWindow front;
    ASSERT_TRUE(front.Start());
    for (const wchar_t* args : {L"", L"--settings"}) {
        zltest::DemoProcess demo(folder, args);
        HWND box = demo.WaitWindow(L"#32770", L"泽仑五笔");
        ASSERT_NE(box, nullptr) << args;
        EXPECT_EQ(zltest::WindowText(GetDlgItem(box, 0xFFFF)), L"码表 data\\zlwb.dat 载入失败");  // the text's id
        EXPECT_TRUE(demo.Windows(kMain).empty());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(demo.WaitExit(), 1u) << args;
        // No window will ever take preview.pid away: it is not left behind.
        EXPECT_EQ(zltest::FileText(user.Dir().File(L"preview.pid")), "<missing>");
    }
}

// A demonstration program started with no arguments, its main window up.
class DemoMain : public ::testing::Test {
protected:
    void SetUp() override {
        window = demo.WaitWindow(kMain, L"泽仑五笔输入法 - 演示与设置");
        ASSERT_NE(window, nullptr);
    }
    zltest::UserFolder user;  // first: the program reads its folder when it starts
    zltest::DemoFolder folder;
    zltest::DemoProcess demo{folder, L""};
    HWND window = nullptr;
};

TEST_F(DemoMain, MenuCommandsWorkOnAFreshLoadOfConfig) {

    SendMessageW(window, WM_COMMAND, 206, 0);  // 竖排候选
    EXPECT_EQ(Key(user, L"界面", L"竖排"), 1);
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
    EXPECT_EQ(Key(user, L"方案", L"默认"), 0);
    EXPECT_EQ(Key(user, L"输入", L"中文标点"), 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}

TEST_F(DemoMain, HelpWindowOpensOnceAndEscCloses) {
    SendMessageW(window, WM_COMMAND, 320, 0);
    SendMessageW(window, WM_COMMAND, 320, 0);
    const std::vector<HWND> help = demo.Windows(L"ZlHelpPopupWnd", L"泽仑五笔输入法 - 使用说明");
    ASSERT_EQ(help.size(), 1u);
    HWND text = GetDlgItem(help[0], 2001);
    EXPECT_EQ(zltest::WindowText(text).rfind(L"未能读取“使用说明.txt”。\r\n", 0), 0u);

    // Posted, so that it passes the process's message loop as a typed key does.
    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(zltest::PumpUntil([&] { return !IsWindow(help[0]); }, 20000));
    EXPECT_TRUE(IsWindow(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}

TEST_F(DemoMain, ColourPickedAfterTheInputMethodSavedKeepsItsChange) {
    const std::wstring ini = user.Dir().File(L"config.ini");
    SendMessageW(window, WM_COMMAND, 206, 0);  // 竖排候选: the file exists, in Unicode
    for (UINT command : {112u, 113u}) {  // 状态条配色, 状态条底色
        const int vertical = Key(user, L"界面", L"竖排") == 1 ? 0 : 1;
        PostMessageW(window, WM_COMMAND, command, 0);  // the dialog runs inside the command
        HWND dialog = nullptr;
        ASSERT_TRUE(zltest::PumpUntil(
            [&] {
                for (HWND d : demo.Windows(L"#32770")) {
                    if (GetWindow(d, GW_OWNER) == window) dialog = d;
                }
                return dialog != nullptr;
            },
            20000))
            << command;
        // While the dialog is open the input method saves a change of its own.
        WritePrivateProfileStringW(L"界面", L"竖排", vertical ? L"1" : L"0", ini.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        // OK takes the colour the dialog started from: the theme's own one.
        const wchar_t* key = command == 112u ? L"状态条强调色" : L"状态条底色";
        const int picked = command == 112u ? 0xCE5C28 : 0xFCFAFA;
        EXPECT_TRUE(zltest::PumpUntil([&] { return Key(user, L"界面", key) == picked; }, 20000)) << command;
        EXPECT_EQ(Key(user, L"界面", L"竖排"), vertical) << command;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.WaitExit(), 0u);
}
