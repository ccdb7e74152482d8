// The interactive updater driven from outside as a user would: texts read with
// WM_GETTEXT, buttons pressed with BM_CLICK.
#include <gtest/gtest.h>

#include <windows.h>

#include "Pump.h"
#include "UpdaterKit.h"

namespace {

// The newest top-level window of that class and title; one updater runs at a time here.
HWND WaitForWindow(const wchar_t* cls, const wchar_t* title = nullptr) {
    HWND found = nullptr;
    zltest::PumpUntil([&] { return (found = FindWindowW(cls, title)) != nullptr; }, 30000);
    return found;
}

std::wstring Text(HWND hwnd) {
    wchar_t buf[1024] = {};
    SendMessageW(hwnd, WM_GETTEXT, 1023, reinterpret_cast<LPARAM>(buf));
    return buf;
}

// The controls in the order the window creates them: title, tip, list, step, buttons.
HWND Control(HWND main, int index) {
    HWND c = GetWindow(main, GW_CHILD);
    for (int i = 0; c && i < index; ++i) c = GetWindow(c, GW_HWNDNEXT);
    return c;
}

class UpdaterWindow : public zltest::UpdaterCase {
protected:
    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 99);
            CloseHandle(process_);
        }
    }
    HANDLE process_ = nullptr;
};

}  // namespace

TEST_F(UpdaterWindow, ShowsTheCheckRunsTheUpdateAndCloses) {
    Install(L"installed.ver", "4.5.0\n");
    Install(L"data/zlwb.dat", "same");
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}, {L"data/zlwb.dat", "same", 0}});
    process_ = Start(L"");
    ASSERT_NE(process_, nullptr);
    WaitForInputIdle(process_, 30000);  // the window and its controls exist
    const HWND main = WaitForWindow(L"ZlUpdMain");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main), L"泽仑五笔输入法 - 增量更新");
    const HWND start = GetDlgItem(main, 1001);
    ASSERT_TRUE(zltest::PumpUntil([start] { return IsWindowEnabled(start) != FALSE; }, 60000));

    EXPECT_EQ(Text(Control(main, 1)), L"当前版本 v4.5.0  →  服务器版本 v4.6.0\u3000（pub notes）\n只需下载 1 "
                                      L"个有变化的文件，共 1 KB；未变化的文件不会重复下载。");
    EXPECT_EQ(Text(Control(main, 3)), L"准备就绪：1 个文件待更新，共 1 KB。");
    EXPECT_EQ(Text(start), L"开始更新");
    EXPECT_EQ(SendMessageW(Control(main, 2), LB_GETCOUNT, 0, 0), 1);

    // A second start only brings this window to the front.
    EXPECT_EQ(Run(L""), 0);

    SendMessageW(start, BM_CLICK, 0, 0);
    const HWND done = WaitForWindow(L"#32770", L"增量更新完成");
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v2");
    PostMessageW(done, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(zltest::PumpUntil([start] { return Text(start) == L"已完成"; }, 30000));
    EXPECT_FALSE(IsWindowEnabled(start));
    EXPECT_EQ(Text(Control(main, 3)), L"更新完成。");

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadInstalled(L"installed.ver"), "4.6.0\n");
}
