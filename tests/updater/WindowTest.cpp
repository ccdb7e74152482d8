// The interactive updater driven from outside as a user would: texts read with
// WM_GETTEXT, buttons pressed with BM_CLICK.
#include <gtest/gtest.h>

#include <windows.h>

#include "Pump.h"
#include "UpdaterKit.h"

using zltest::PubFile;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

struct Found {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* title;
    HWND hwnd;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    Found* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {}, title[128] = {};
    GetClassNameW(hwnd, cls, 63);
    GetWindowTextW(hwnd, title, 127);
    if (pid == f->pid && wcscmp(cls, f->cls) == 0 && (!f->title || wcscmp(title, f->title) == 0)) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(HANDLE process, const wchar_t* cls, const wchar_t* title = nullptr) {
    // Idle once the main window and its controls exist and the message loop runs.
    WaitForInputIdle(process, 30000);
    Found f = {GetProcessId(process), cls, title, nullptr};
    zltest::PumpUntil(
        [&f] {
            EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
            return f.hwnd != nullptr;
        },
        30000);
    return f.hwnd;
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
    void SetUp() override {
        UpdaterCase::SetUp();
        Install(L"installed.ver", "4.5.0\n");
    }
    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 99);
            CloseHandle(process_);
        }
    }
    HANDLE process_ = nullptr;
};

}  // namespace

TEST_F(UpdaterWindow, ChecksUpdatesAndClosesOnlyOnce) {
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}, {L"data/zlwb.dat", "same", 0}});
    Install(L"data/zlwb.dat", "same");
    process_ = Start(L"");
    ASSERT_NE(process_, nullptr);
    const HWND main = WaitForWindow(process_, L"ZlUpdMain");
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
    const HWND done = WaitForWindow(process_, L"#32770", L"增量更新完成");
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

TEST_F(UpdaterWindow, ABlockedUpdateCannotBeStarted) {
    Install(L"installed.ver", "5.0.0\n");
    Publish("4.6.0", "20260101120000", {{L"zlwb64.dll", "dll v2", 64}});
    process_ = Start(L"");
    ASSERT_NE(process_, nullptr);
    const HWND main = WaitForWindow(process_, L"ZlUpdMain");
    ASSERT_NE(main, nullptr);
    const HWND start = GetDlgItem(main, 1001);
    ASSERT_TRUE(zltest::PumpUntil([start] { return Text(start) == L"无需更新"; }, 60000))
        << Text(Control(main, 1)) << L" / " << Text(Control(main, 3)) << L" / " << Text(start);
    EXPECT_FALSE(IsWindowEnabled(start));
    EXPECT_EQ(Text(Control(main, 3)), L"本地版本更新，已跳过增量更新（避免降级）。");
    EXPECT_EQ(Text(Control(main, 1)).find(L"本地版本 v5.0.0 比服务器 v4.6.0 更新"), 0u);
    SendMessageW(start, BM_CLICK, 0, 0);  // disabled: ignored
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v1");
}

TEST_F(UpdaterWindow, ClosingDuringTheDownloadEndsWithoutWritingAnything) {
    // The server sends this body in 5 s: the close comes long before its end.
    const size_t n = 4194304;
    std::string body(n, '\0');
    for (size_t i = 0; i < n; ++i) body[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    PubFile slow{L"zlwb64.dll", body, 64};
    slow.upload = false;
    slow.url = Narrow(httpServer_) + "/slow/" + std::to_string(n);
    Publish("4.6.0", "20260101120000", {slow});
    process_ = Start(L"");
    ASSERT_NE(process_, nullptr);
    const HWND main = WaitForWindow(process_, L"ZlUpdMain");
    ASSERT_NE(main, nullptr);
    const HWND start = GetDlgItem(main, 1001);
    ASSERT_TRUE(zltest::PumpUntil([start] { return IsWindowEnabled(start) != FALSE; }, 60000));
    SendMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(zltest::PumpUntil([main] { return Text(Control(main, 3)).rfind(L"正在下载 1/1：", 0) == 0; }, 30000));

    PostMessageW(main, WM_CLOSE, 0, 0);
    const HWND ask = WaitForWindow(process_, L"#32770", L"泽仑五笔");
    ASSERT_NE(ask, nullptr);
    PostMessageW(ask, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadInstalled(L"zlwb64.dll"), "dll v1");
    EXPECT_EQ(ReadInstalled(L"installed.ver"), "4.5.0\n");
}
