// The Chinese/English state of one service: the shared block, its own compartment writes,
// foreground changes and config.ini reload, on the fakes with the tick seam.
#include <gtest/gtest.h>

#include "ConfigSync.h"
#include "KeyDriver.h"

using tskeys::KeyDriver;

namespace {

TEST(SharedState, SetAdoptRepairDeactivate) {
    KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    zl::ChineseStateBlock* b = d.S().sharedBlock;
    EXPECT_EQ(InterlockedCompareExchange(&b->magic, 0, 0), zl::kChineseBlockMagic);
    d.S()._SetChinese(false, L"test");
    EXPECT_EQ(zl::ReadSharedState(b), zl::kStateEnglish);
    d.S()._SetChinese(true, L"test");
    // Another instance switching to English: adopted at the next tick, typed code erased.
    d.Type("gg");
    InterlockedExchange(&b->state, zl::kStateEnglish);
    d.Tick();
    EXPECT_FALSE(d.Chinese());
    EXPECT_EQ(d.S().statusBar.info.chinese, 0);
    EXPECT_TRUE(d.S().engine.code.empty() && d.Doc().text.empty());
    InterlockedExchange(&b->state, zl::kStateChinese);
    d.Tick();
    EXPECT_TRUE(d.Chinese());
    // Unset or garbage states are repaired with the instance's own state.
    for (bool chinese : {true, false}) {
        d.S()._SetChinese(chinese, L"test");
        for (LONG bad : {0L, 3L, -1L}) {
            InterlockedExchange(&b->state, bad);
            d.Tick();
            EXPECT_EQ(d.Chinese(), chinese) << bad;
            EXPECT_EQ(zl::ReadSharedState(b), chinese ? zl::kStateChinese : zl::kStateEnglish) << bad;
        }
    }
    // Deactivation writes Chinese for the others.
    HANDLE m;
    zl::ChineseStateBlock* other;
    ASSERT_TRUE(zl::MapChineseStateBlock(&m, &other));
    d.S().Deactivate();
    EXPECT_EQ(zl::ReadSharedState(other), zl::kStateChinese);
    zl::UnmapChineseStateBlock(&m, &other);
}

TEST(OpenClose, OwnWritesAreNotFollowedOthersAre) {
    // The notification of the service's own write, sent before or after the value is
    // stored, never switches back, even with every follow condition met.
    for (bool before : {false, true}) {
        KeyDriver d;
        d.Tm().echoBeforeStore = before;
        d.InstallCompartment();
        EXPECT_TRUE(d.Chinese() && d.Tm().Open() == 1) << before;
        d.Advance(5000);
        d.held.insert(VK_CONTROL);
        d.S()._SetChinese(false, L"test");
        EXPECT_TRUE(!d.Chinese() && d.Tm().Open() == 0) << before;
        d.Advance(1000);
        d.S()._SetChinese(true, L"test");
        EXPECT_TRUE(d.Chinese() && d.Tm().Open() == 1) << before;
        const int writes = d.Tm().openCloseWrites;
        d.S()._SetChinese(true, L"test");
        EXPECT_EQ(d.Tm().openCloseWrites, writes);  // an unchanged state is not written again
        d.Advance(1000);
        d.Tm().SetOpenByOther(0);  // someone else's change, Ctrl held: followed
        EXPECT_FALSE(d.Chinese()) << before;
    }
}

TEST(Foreground, ReturnForcesChineseLeavingEndsIdleTempPinyin) {
    KeyDriver d;
    d.Type("z");
    d.S().OnSetFocus(FALSE);
    EXPECT_FALSE(d.S().engine.tempPinyin);
    d.S()._SetChinese(false, L"test");
    d.S().OnSetFocus(TRUE);
    EXPECT_TRUE(d.Chinese());
    EXPECT_EQ(d.S().statusBar.lastActivityTick, d.now);
    d.Type("zni");
    d.S().OnSetFocus(FALSE);
    EXPECT_TRUE(d.S().engine.tempPinyin);  // with letters typed it stays
}

// config.ini as another writer leaves it, with a write time no save of ours can share.
void WriteAsOther(const std::function<void(zl::Config&)>& change, int secondsAhead) {
    zl::Config c;
    c.Load();
    change(c);
    c.Save();
    HANDLE f = CreateFileW(c.Path().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    ULARGE_INTEGER u{{t.dwLowDateTime, t.dwHighDateTime}};
    u.QuadPart += secondsAhead * 10000000ULL;
    t = {u.LowPart, u.HighPart};
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
}

TEST(Reload, OtherWritersAfterTheIntervalOwnSavesNever) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.Tick();
    WriteAsOther([](zl::Config& c) { c.pageSize = 7; }, 10);
    d.Advance(699);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 5);
    d.Advance(1);
    d.Tick();
    EXPECT_EQ(d.S().engine.config.pageSize, 7);
    // The settings window in front: 150 ms, and a key-down applies it before it is judged.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"ZlDemoMain";
    RegisterClassW(&wc);
    HWND demo = CreateWindowExW(0, L"ZlDemoMain", L"\u6CFD\u4ED1\u4E94\u7B14\u8F93\u5165\u6CD5 - \u8BBE\u7F6E",
                                WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    d.foreground = demo;
    WriteAsOther([](zl::Config& c) { c.scheme = 1; }, 20);
    d.Advance(149);
    d.Type("g");
    EXPECT_EQ(d.S().engine.mode, zl::kModeWubi);
    d.Press(VK_ESCAPE);
    d.Advance(1);
    d.Type("g");
    EXPECT_EQ(d.S().engine.mode, zl::kModePinyin);
    EXPECT_EQ(d.S().engine.code, "g");
    DestroyWindow(demo);
    // Own saves are not reloaded: what is only in memory stays.
    d.S().config.fullWidth = 1;
    d.S()._SaveOption(0);
    d.S()._SaveModeToDisk();
    d.S().config.pageSize = 9;
    d.Advance(1000);
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 9);
}

TEST(Reload, MinusOneMovesNothingAndUnseenChangesSurviveOwnSave) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.S().statusBar.SetPos(100, 200);
    WriteAsOther([](zl::Config& c) { c.statusX = -1, c.statusY = 300; }, 10);
    d.Advance(1000);
    d.Tick();
    EXPECT_TRUE(d.S().config.statusX == -1 && d.S().statusBar.x == 100 && d.S().statusBar.y == 200);
    WriteAsOther([](zl::Config& c) { c.statusX = 120, c.statusY = 300; }, 20);
    d.Advance(1000);
    d.Tick();
    EXPECT_TRUE(d.S().statusBar.x == 120 && d.S().statusBar.y == 300);
    // Another writer's key saved before this instance polled: each of the service's own
    // saves keeps it in the file, and the next poll still picks it up.
    const struct {
        const char* saver;
        std::function<void(zl::CTextService&)> save;
        std::function<bool(const zl::Config&)> saved;
    } savers[] = {
        {"option", [](zl::CTextService& s) { s.config.fullWidth = 1, s._SaveOption(0); },
         [](const zl::Config& c) { return c.fullWidth == 1; }},
        {"scheme", [](zl::CTextService& s) { s.engine.mode = zl::kModeMixed, s._SaveModeToDisk(); },
         [](const zl::Config& c) { return c.scheme == 2; }},
        {"drag", [](zl::CTextService& s) { s._OnStatusMoved(50, 60); },
         [](const zl::Config& c) { return c.statusX == 50 && c.statusY == 60; }},
    };
    int seconds = 30, fontSize = 20;
    for (const auto& row : savers) {
        WriteAsOther([&](zl::Config& c) { c.fontSize = fontSize; }, seconds += 10);
        row.save(d.S());
        zl::Config file;
        file.Load();
        EXPECT_TRUE(file.fontSize == fontSize && row.saved(file)) << row.saver;
        d.Advance(1000);
        d.Tick();
        EXPECT_TRUE(d.S().config.fontSize == fontSize && row.saved(d.S().config)) << row.saver;
        ++fontSize;
    }
}

TEST(Reload, CtrlSpaceOptionMovesThePreservedKeyAndReadopts) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.InstallCompartment();
    d.S()._SyncPreservedKey();
    EXPECT_EQ(d.Tm().preserved.size(), 1u);
    d.Advance(5000);
    d.Tm().SetOpenByOther(0);  // without Ctrl: not followed
    EXPECT_TRUE(d.Chinese());
    WriteAsOther([](zl::Config& c) { c.ctrlSpace = 0; }, 10);
    d.Advance(1000);
    d.Tick();
    EXPECT_TRUE(d.Tm().preserved.empty() && !d.S().ctrlSpacePreserved);
    EXPECT_TRUE(d.Chinese() && d.Tm().Open() == 1);  // adopted again: new windows start in Chinese
    WriteAsOther([](zl::Config& c) { c.ctrlSpace = 1; }, 20);
    d.Advance(1000);
    d.Tick();
    EXPECT_TRUE(d.Tm().preserved.size() == 1 && d.S().ctrlSpacePreserved);
}

}  // namespace
