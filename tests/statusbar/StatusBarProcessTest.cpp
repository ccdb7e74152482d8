// Bars of several processes and threads: the shared position and the one visible bar.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Foreground.h"
#include "PeerProcess.h"
#include "Pump.h"
#include "SbTestUtil.h"
#include "StatusBar.h"
#include "UniqueHandle.h"

namespace {

using sbtest::PeerProcess;

// Keeps the position block alive for a test, as another process holding it would.
class HeldBlock {
public:
    HeldBlock()
        : mapping_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 12,
                                      L"Local\\ZelunWubiSBP_v1")) {
        if (mapping_.Valid()) {
            void* p = MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 12);
            view_.Reset(p);
            words_ = static_cast<volatile LONG*>(p);
        }
    }
    volatile LONG* Words() const { return words_; }
    void Set(LONG magic, LONG x, LONG y) {
        words_[1] = x;
        words_[2] = y;
        words_[0] = magic;
    }

private:
    zl::UniqueHandle mapping_;
    zl::UniqueView view_;
    volatile LONG* words_ = nullptr;
};

const LONG kNew = 0x5A4C4E42;
const LONG kValid = 0x5A4C5350;

struct Bar : zl::StatusBar {
    explicit Bar(bool resetCache = true) {
        if (resetCache) sbtest::ResetPositionCache();
        EXPECT_TRUE(Create(GetModuleHandleW(nullptr)));
    }
};

TEST(StatusBarShared, PositionPassesBetweenProcesses) {
    HeldBlock block;
    ASSERT_NE(block.Words(), nullptr);
    ASSERT_EQ(PeerProcess::Run(L"publish 321 234"), 0);
    EXPECT_EQ(block.Words()[0], kValid);
    EXPECT_EQ(block.Words()[1], 321);
    EXPECT_EQ(block.Words()[2], 234);

    Bar bar;
    bar.Show();
    EXPECT_EQ(bar.x, 321);
    EXPECT_EQ(bar.y, 234);
    EXPECT_EQ(zl::StatusBar::s_posInit_.load(), 1);
    // Read once per process: a later change of the block is not seen.
    block.Set(kValid, 50, 60);
    Bar second(false);
    second.Show();
    EXPECT_EQ(second.x, 321);

    zl::StatusBar::SetSharedPos(150, 160);
    EXPECT_EQ(block.Words()[1], 150);
    zltest::TempDir dir;
    ASSERT_EQ(PeerProcess::Run(L"place " + dir.File(L"pos.txt")), 0);
    std::vector<uint8_t> text;
    ASSERT_TRUE(zltest::ReadBytes(dir.File(L"pos.txt"), text));
    EXPECT_EQ(std::string(text.begin(), text.end()), "150 160");
}

TEST(StatusBarShared, BlockWithoutAUsablePositionGivesTheCorner) {
    HeldBlock block;
    ASSERT_NE(block.Words(), nullptr);
    const RECT work = sbtest::WorkArea();
    for (LONG magic : {kNew, kValid}) {
        block.Set(magic, magic == kNew ? 100 : -20, 40);
        Bar bar;
        bar.Show();
        EXPECT_EQ(bar.x, work.right - 204) << std::hex << magic;
        EXPECT_EQ(zl::StatusBar::s_posInit_.load(), 0);  // read again at the next placement
    }
    block.Set(kValid, 70, 80);
    Bar bar;
    bar.Show();
    EXPECT_EQ(bar.x, 70);
}

TEST(StatusBarArbitration, ShowHidesAnotherProcessesBar) {
    PeerProcess peer;
    ASSERT_TRUE(peer.StartReady(L"bar"));
    HWND theirs = peer.BarWindow();
    ASSERT_TRUE(theirs && IsWindowVisible(theirs));
    Bar bar;
    bar.Show();
    EXPECT_TRUE(zltest::PumpUntil([&] { return !IsWindowVisible(theirs); }, 3000));
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

TEST(StatusBarArbitration, HungPeerDoesNotBlockShow) {
    PeerProcess peer;
    ASSERT_TRUE(peer.StartReady(L"bar", L"--hang"));
    Bar bar;
    bar.Show();
    // The peer takes no message until it is told to quit: had Show waited for it, the
    // peer would have run out its minute and ended by now.
    EXPECT_TRUE(peer.Running());
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

TEST(StatusBarArbitration, ForegroundProcessWithItsOwnBarTakesOver) {
    sbtest::UserFolder folder;
    PeerProcess peer;
    ASSERT_TRUE(peer.StartReady(L"bar", L"--window"));
    HWND front = FindWindowW(L"ZlSbPeerFront", nullptr);
    ASSERT_NE(front, nullptr);
    Bar bar;
    bar.enabled = 1;
    bar.Show();
    bar.foregroundWindowProvider = [&] { return front; };
    bar.focusPidProvider = [] { return GetCurrentProcessId(); };  // focus alone does not keep it
    bar.CheckForeground();
    EXPECT_FALSE(IsWindowVisible(bar.hwnd));
    EXPECT_EQ(bar.visible, 0);
    EXPECT_TRUE(folder.TraceHas("sb hide (foreground changed)"));
    EXPECT_TRUE(folder.TraceHas("takeover=1"));
}

TEST(StatusBarArbitration, ForeignForegroundWithoutBar) {
    zltest::ForeignForegroundWindow foreign;
    ASSERT_TRUE(foreign.Start());
    Bar bar;
    bar.enabled = 1;
    bar.Show();
    // The real foreground: another process's window with the focus, no bar of its own.
    ASSERT_EQ(zltest::ForegroundProcessId(), foreign.ProcessId());
    bar.CheckForeground();
    EXPECT_FALSE(IsWindowVisible(bar.hwnd));
    // No focus window anywhere: recent activity of this service keeps the bar.
    bar.focusPidProvider = [] { return DWORD{0}; };
    bar.lastActivityTick = GetTickCount();
    bar.CheckForeground();
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
    bar.lastActivityTick = GetTickCount() - 2500;
    bar.CheckForeground();
    EXPECT_FALSE(IsWindowVisible(bar.hwnd));
    // Focus in this process (an embedded window): shown again.
    bar.focusPidProvider = [] { return GetCurrentProcessId(); };
    bar.CheckForeground();
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

TEST(StatusBarArbitration, OwnForegroundWhileAnotherThreadShowsTheBar) {
    zltest::OwnForegroundWindow own;
    ASSERT_NE(own.Get(), nullptr);
    HANDLE shown = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        zl::StatusBar bar;
        bar.Create(GetModuleHandleW(nullptr));
        bar.Show();
        SetEvent(shown);
        while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            zltest::PumpPending();
    });
    WaitForSingleObject(shown, 10000);
    {
        Bar bar(false);
        bar.enabled = 1;
        bar.foregroundWindowProvider = [&] { return own.Get(); };
        bar.CheckForeground();
        EXPECT_FALSE(IsWindowVisible(bar.hwnd));
        EXPECT_NE(static_cast<DWORD>(zl::g_activeTid), GetCurrentThreadId());
    }
    SetEvent(done);
    other.join();
    CloseHandle(shown);
    CloseHandle(done);
    // The other thread's bar went without hiding: a bar of this thread may show again.
    Bar bar(false);
    bar.enabled = 1;
    bar.foregroundWindowProvider = [&] { return own.Get(); };
    bar.CheckForeground();
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

TEST(StatusBarArbitration, ABarHiddenByTheCheckAndThenDestroyedLeavesNoActiveThread) {
    zltest::ForeignForegroundWindow foreign;
    ASSERT_TRUE(foreign.Start());
    std::thread other([] {
        zl::StatusBar bar;
        bar.Create(GetModuleHandleW(nullptr));
        bar.enabled = 1;
        bar.Show();
        bar.CheckForeground();  // another process in front, focus there: hidden by the check
        EXPECT_EQ(bar.visible, 0);
        bar.Hide();  // what deactivation does: nothing, the bar is no longer marked visible
        bar.Destroy();
    });
    other.join();
    // Focus in this process under a foreign foreground window: the bar of this thread shows.
    Bar bar(false);
    bar.enabled = 1;
    bar.focusPidProvider = [] { return GetCurrentProcessId(); };
    bar.CheckForeground();
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

// The settings window (of a third process) is in front.
class SettingsFront : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(settings.StartReady(L"settings"));
        front = FindWindowW(L"ZlDemoMain", nullptr);
        ASSERT_NE(front, nullptr);
    }
    sbtest::UserFolder folder;  // before the peers: they inherit ZLWB_USERDIR
    PeerProcess settings;
    HWND front = nullptr;
};

TEST_F(SettingsFront, OnlyThePreviewOwnerKeepsItsBar) {
    PeerProcess peer;
    ASSERT_TRUE(peer.StartReady(L"bar"));
    Bar bar;
    bar.enabled = 1;
    bar.foregroundWindowProvider = [&] { return front; };
    bar.Show();
    ASSERT_TRUE(sbtest::WritePreviewPid(folder, std::to_string(peer.Pid())));
    bar.CheckForeground();
    EXPECT_FALSE(IsWindowVisible(bar.hwnd));
    EXPECT_TRUE(folder.TraceHas("sb hide (settings owner elsewhere)"));
    // Named as the owner, this process shows its bar although another one is visible.
    ASSERT_TRUE(sbtest::WritePreviewPid(folder, std::to_string(GetCurrentProcessId())));
    bar.CheckForeground();
    EXPECT_TRUE(IsWindowVisible(bar.hwnd));
}

// With no owner named, the bars of two processes must settle instead of hiding each
// other on every tick.
TEST_F(SettingsFront, WithoutAnOwnerTheBarsDoNotFight) {
    for (const char* content : {"", "0", "abc"}) {
        if (*content) {
            ASSERT_TRUE(sbtest::WritePreviewPid(folder, content));
        }
        PeerProcess peer;
        ASSERT_TRUE(peer.StartReady(L"bar", L"--arbitrate"));
        HWND theirs = peer.BarWindow();
        ASSERT_NE(theirs, nullptr);
        Bar bar;
        bar.enabled = 1;
        bar.foregroundWindowProvider = [&] { return front; };
        // Ticks of both bars in turn, sent rather than waited for (a sent tick returns once
        // the peer has run its check); this bar is looked at after each one.
        int changes = 0;
        bool last = IsWindowVisible(bar.hwnd) != FALSE;
        auto look = [&] {
            zltest::PumpPending();  // a hide the other bar's check sent here
            const bool now = IsWindowVisible(bar.hwnd) != FALSE;
            if (now != last) ++changes;
            last = now;
        };
        for (int round = 0; round < 8; ++round) {
            SendMessageW(bar.hwnd, WM_TIMER, 1, 0);
            look();
            SendMessageW(theirs, WM_TIMER, 1, 0);
            look();
        }
        EXPECT_LE(changes, 1) << "preview.pid: \"" << content << "\"";
        EXPECT_NE(IsWindowVisible(bar.hwnd) != FALSE, IsWindowVisible(theirs) != FALSE) << content;
    }
}

}  // namespace
