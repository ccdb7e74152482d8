// The Chinese/English state of one service: the shared block, the open/close compartment,
// foreground changes and config.ini reload, on the fakes with the tick seam.
#include <gtest/gtest.h>

#include "ConfigSync.h"
#include "KeyDriver.h"

using tskeys::FakeCompartment;
using tskeys::KeyDriver;

namespace {

LONG BlockState(KeyDriver& d) { return zl::ReadSharedState(d.S().sharedBlock); }
void SetBlockState(KeyDriver& d, LONG v) { InterlockedExchange(&d.S().sharedBlock->state, v); }

TEST(SharedState, SetterTickAndRepair) {
    KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    d.S()._SetChinese(false, L"test");
    EXPECT_EQ(BlockState(d), zl::kStateEnglish);
    d.S()._SetChinese(true, L"test");
    EXPECT_EQ(BlockState(d), zl::kStateChinese);

    // Another instance switching to English: adopted at the next tick, typed code erased.
    d.Type("gg");
    SetBlockState(d, zl::kStateEnglish);
    d.Tick();
    EXPECT_FALSE(d.Chinese());
    EXPECT_EQ(d.S().statusBar.info.chinese, 0);
    EXPECT_TRUE(d.S().engine.code.empty());
    EXPECT_TRUE(d.TakeInserted().empty());
    SetBlockState(d, zl::kStateChinese);
    d.Tick();
    EXPECT_TRUE(d.Chinese());

    // Unset or garbage states are repaired with this instance's own state.
    for (bool chinese : {true, false}) {
        d.S()._SetChinese(chinese, L"test");
        for (LONG bad : {0L, 3L, -1L, 0x7FFFFFFFL}) {
            SetBlockState(d, bad);
            d.Tick();
            EXPECT_EQ(d.Chinese(), chinese) << bad;
            EXPECT_EQ(BlockState(d), chinese ? zl::kStateChinese : zl::kStateEnglish) << bad;
        }
    }

    // Deactivation writes Chinese for everyone else and unmaps.
    d.S()._SetChinese(false, L"test");
    HANDLE m;
    zl::ChineseStateBlock* other;
    ASSERT_TRUE(zl::MapChineseStateBlock(&m, &other));
    d.S().Deactivate();
    EXPECT_EQ(d.S().sharedBlock, nullptr);
    EXPECT_EQ(zl::ReadSharedState(other), zl::kStateChinese);
    EXPECT_TRUE(d.Chinese());
    zl::UnmapChineseStateBlock(&m, &other);
}

// A compartment wired into the service by hand, as the sink installation would.
struct WithCompartment {
    KeyDriver d;
    FakeCompartment* comp;
    explicit WithCompartment(FakeCompartment::Echo echo, unsigned long os = 10) : d(os) {
        comp = new FakeCompartment(echo);
        comp->sink = &d.S();
        d.S().openCloseCompartment = comp;  // the service releases it at deactivation
        d.S().activateTick = d.now;
        d.S().chineseKnown = 1;
        d.S()._WriteKeyboardOpen(true);
    }
};

TEST(OpenClose, OwnWritesAreNotFollowed) {
    // The notification for the service's own write, before or after the value is stored,
    // never switches the mode back, even with every follow condition met.
    for (auto echo : {FakeCompartment::Echo::AfterStore, FakeCompartment::Echo::BeforeStore}) {
        WithCompartment w(echo);
        w.d.Advance(5000);
        w.d.held.insert(VK_CONTROL);
        w.d.S()._SetChinese(false, L"test");
        EXPECT_FALSE(w.d.Chinese());
        EXPECT_EQ(w.comp->Open(), 0);
        w.d.Advance(1000);
        w.d.S()._SetChinese(true, L"test");
        EXPECT_TRUE(w.d.Chinese());
        EXPECT_EQ(w.comp->Open(), 1);
        // An unchanged state is not written again.
        const int writes = w.comp->writes;
        w.d.S()._SetChinese(true, L"test");
        EXPECT_EQ(w.comp->writes, writes);
    }
}

TEST(OpenClose, OtherWritersAreFollowedAfterCtrl) {
    WithCompartment w(FakeCompartment::Echo::AfterStore);
    w.d.Advance(599);
    w.d.held.insert(VK_CONTROL);
    w.comp->External(0);  // the system closing the keyboard right after activation
    EXPECT_TRUE(w.d.Chinese());
    w.d.held.clear();
    w.d.Advance(1000);
    w.comp->External(0);  // no Ctrl anywhere near
    EXPECT_TRUE(w.d.Chinese());
    w.d.Tap(VK_CONTROL);  // the key test stamps the Ctrl press
    w.d.Advance(399);
    w.comp->External(0);
    EXPECT_FALSE(w.d.Chinese());
    w.d.Advance(299);  // too soon after the last follow
    w.d.Tap(VK_CONTROL);
    w.comp->External(1);
    EXPECT_FALSE(w.d.Chinese());
    w.d.Advance(1);
    w.comp->External(1);
    EXPECT_TRUE(w.d.Chinese());
}

TEST(Foreground, ReturnForcesChineseAndLeavingEndsIdleTempPinyin) {
    KeyDriver d;
    d.Type("z");
    ASSERT_TRUE(d.S().engine.tempPinyin);
    d.S().OnSetFocus(FALSE);
    EXPECT_FALSE(d.S().engine.tempPinyin);
    d.S()._SetChinese(false, L"test");
    d.S().OnSetFocus(TRUE);
    EXPECT_TRUE(d.Chinese());
    EXPECT_EQ(d.S().statusBar.lastActivityTick, d.now);
    // Temporary pinyin with letters typed stays.
    d.Type("zni");
    d.S().OnSetFocus(FALSE);
    EXPECT_TRUE(d.S().engine.tempPinyin);
    EXPECT_EQ(d.S().engine.code, "ni");
}

// config.ini written by someone else, with a file time no earlier save can share.
void WriteAsOther(const std::function<void(zl::Config&)>& change, int secondsAhead) {
    zl::Config c;
    c.Load();
    change(c);
    c.Save();
    HANDLE f = CreateFileW(c.Path().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    ULARGE_INTEGER u{{t.dwLowDateTime, t.dwHighDateTime}};
    u.QuadPart += static_cast<ULONGLONG>(secondsAhead) * 10000000ULL;
    t = {u.LowPart, u.HighPart};
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
}

TEST(Reload, AnotherWritersChangeArrivesAfterTheInterval) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.Tick();  // a poll now starts the interval
    WriteAsOther([](zl::Config& c) { c.pageSize = 7; }, 10);
    d.Advance(699);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 5);
    d.Advance(1);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 7);
    EXPECT_EQ(d.S().engine.config.pageSize, 7);

    // With the settings window in front the interval is 150 ms; a key-down polls too.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZlDemoMain";
    RegisterClassW(&wc);
    HWND demo = CreateWindowExW(0, L"ZlDemoMain", L"\u6CFD\u4ED1\u4E94\u7B14\u8F93\u5165\u6CD5 - \u8BBE\u7F6E",
                                WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(demo);
    d.foreground = demo;
    WriteAsOther([](zl::Config& c) { c.scheme = 1; }, 20);
    d.Advance(149);
    d.Type("g");
    EXPECT_EQ(d.S().engine.mode, zl::kModeWubi);
    d.Tap(VK_ESCAPE);
    d.Advance(1);
    d.Type("g");  // reloaded before the key is judged: the letter is pinyin now
    EXPECT_EQ(d.S().engine.mode, zl::kModePinyin);
    EXPECT_EQ(d.S().engine.code, "g");
    DestroyWindow(demo);
}

TEST(Reload, OwnSaveIsNotReloadedAndMinusOneMovesNothing) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.S().config.fullWidth = 1;
    d.S()._SaveOption(0);
    d.S().config.pageSize = 9;  // only in memory: a reload would drop it
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 9);
    d.S()._SaveModeToDisk();
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 9);

    d.S().config.statusX = 100;
    d.S().config.statusY = 200;
    d.S().statusBar.SetPos(100, 200);
    WriteAsOther([](zl::Config& c) { c.statusX = -1; c.statusY = 300; }, 10);
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().config.statusX, -1);
    EXPECT_EQ(d.S().statusBar.x, 100);
    EXPECT_EQ(d.S().statusBar.y, 200);
    WriteAsOther([](zl::Config& c) { c.statusX = 120; c.statusY = 300; }, 20);
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().statusBar.x, 120);
    EXPECT_EQ(d.S().statusBar.y, 300);
}

TEST(Reload, OtherWritersKeySurvivesOwnSaveAndIsStillPickedUp) {
    KeyDriver d;
    d.S()._LoadConfig();
    WriteAsOther([](zl::Config& c) { c.fontSize = 30; }, 10);
    d.S().config.fullWidth = 1;
    d.S()._SaveOption(0);  // before this instance polled the other change
    zl::Config file;
    file.Load();
    EXPECT_EQ(file.fontSize, 30);
    EXPECT_EQ(file.fullWidth, 1);
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().config.fontSize, 30);
    EXPECT_EQ(d.S().config.fullWidth, 1);
}

}  // namespace
