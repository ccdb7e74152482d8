// The Chinese/English state of one service: the shared block, the compartment and its own
// writes' echoes, and config.ini reload and saves, on the fakes with the tick seam.
#include <gtest/gtest.h>

#include <functional>

#include "ConfigSync.h"
#include "KeyDriver.h"
#include "MenuModel.h"

using tskeys::KeyDriver;

namespace {

TEST(State, SharedBlockAdoptRepairAndActivationEndsChinese) {
    KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    zl::ChineseStateBlock* b = d.S().sharedBlock;
    EXPECT_EQ(InterlockedCompareExchange(&b->magic, 0, 0), zl::kChineseBlockMagic);
    // Another instance left English and the keyboard closed: activation still ends Chinese.
    zl::WriteSharedState(b, false);
    d.Tm().SetOpenByOther(0);
    d.InstallCompartment();
    EXPECT_TRUE(d.Chinese() && d.Tm().Open() == 1 && zl::ReadSharedState(b) == zl::kStateChinese);
    // Another instance switching to English: adopted at the next tick, the typed code erased.
    d.Type("gg");
    zl::WriteSharedState(b, false);
    d.Tick();
    EXPECT_TRUE(!d.Chinese() && d.S().engine.code.empty() && d.Doc().text.empty());
    // Unset or garbage states are repaired with the instance's own state.
    for (LONG bad : {0L, 3L, -1L}) {
        InterlockedExchange(&b->state, bad);
        d.Tick();
        EXPECT_TRUE(!d.Chinese() && zl::ReadSharedState(b) == zl::kStateEnglish) << bad;
    }
    HANDLE m;
    ASSERT_TRUE(zl::MapChineseStateBlock(&m, &b));  // as another instance sees it
    d.S().Deactivate();                              // writes Chinese for the others
    EXPECT_EQ(zl::ReadSharedState(b), zl::kStateChinese);
    zl::UnmapChineseStateBlock(&m, &b);
}

TEST(State, OwnCompartmentWritesAreNotFollowedOthersAre) {
    for (bool before : {false, true}) {  // the echo comes before or after the value is stored
        KeyDriver d;
        d.Tm().echoBeforeStore = before;
        d.InstallCompartment();
        d.now += 5000;
        d.held.insert(VK_CONTROL);  // every follow condition met
        d.S()._SetChinese(false, L"test");
        EXPECT_TRUE(!d.Chinese() && d.Tm().Open() == 0) << before;
        d.now += 1000;
        d.Tm().SetOpenByOther(1);
        EXPECT_TRUE(d.Chinese()) << before;
        const int writes = d.Tm().openCloseWrites;
        d.S()._SetChinese(true, L"test");
        EXPECT_EQ(d.Tm().openCloseWrites, writes);  // an unchanged state is not written again
    }
}

// config.ini as another writer leaves it, with a write time no save of ours can share.
void WriteAsOther(const std::function<void(zl::Config&)>& change) {
    static int ahead = 0;
    zl::Config c;
    c.Load();
    change(c);
    c.Save();
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    ULARGE_INTEGER u{{t.dwLowDateTime, t.dwHighDateTime}};
    u.QuadPart += ++ahead * 100000000ULL;  // 10 s apart, ahead of any save of ours
    t = {u.LowPart, u.HighPart};
    HANDLE f = CreateFileW(c.Path().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(SetFileTime(f, nullptr, nullptr, &t));
    CloseHandle(f);
}

TEST(State, ReloadAfterTheIntervalNeverOfOwnSaves) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.InstallCompartment();
    d.S()._SyncPreservedKey();
    d.Tick();
    WriteAsOther([](zl::Config& c) { c.pageSize = 7, c.statusX = -1, c.statusY = 300, c.ctrlSpace = 0; });
    d.S().statusBar.SetPos(100, 200);
    d.Tm().SetOpenByOther(0);  // without Ctrl: not followed, but adopted once Ctrl+Space is off
    d.now += 699;
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 5);
    d.now += 1;
    d.Tick();
    EXPECT_EQ(d.S().engine.config.pageSize, 7);
    EXPECT_TRUE(d.S().statusBar.x == 100 && d.S().statusBar.y == 200);  // X of -1 moves nothing
    EXPECT_TRUE(d.Tm().preserved.empty() && !d.S().ctrlSpacePreserved && d.Tm().Open() == 1 && d.Chinese());
    // The settings window in front: 150 ms, and a key-down applies the change before it is judged.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"ZlDemoMain";
    RegisterClassW(&wc);
    d.foreground = CreateWindowExW(0, wc.lpszClassName, L"\u6CFD\u4ED1\u4E94\u7B14\u8F93\u5165\u6CD5 - \u8BBE\u7F6E",
                                   WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    WriteAsOther([](zl::Config& c) { c.scheme = 1; });
    d.now += 150;
    d.Type("g");
    EXPECT_TRUE(d.S().engine.mode == zl::kModePinyin && d.S().engine.code == "g");
    DestroyWindow(d.foreground);
    // Each own save keeps another writer's unseen change, which the next poll still picks up;
    // what is only in memory is not reloaded away.
    const std::function<void(zl::CTextService&)> saves[] = {
        [](zl::CTextService& s) { s.config.fullWidth = 1, s._SaveOption(0); },
        [](zl::CTextService& s) { s.engine.mode = zl::kModeMixed, s._SaveModeToDisk(); },
        [](zl::CTextService& s) { s._OnStatusMoved(50, 60); },
    };
    for (int font = 20; font < 23; ++font) {
        WriteAsOther([font](zl::Config& c) { c.fontSize = font; });
        saves[font - 20](d.S());
        d.S().config.pageSize = 9;
        d.now += 1000;
        d.Tick();
        const zl::Config& c = d.S().config;
        EXPECT_TRUE(c.fontSize == font && c.fullWidth == 1 && c.pageSize == 7) << font;
    }
    const zl::Config& c = d.S().config;
    EXPECT_TRUE(c.scheme == 2 && c.statusX == 50 && c.statusY == 60);
    d.S()._SaveOption(1);
    d.S().config.pageSize = 9;
    d.now += 1000;
    d.Tick();
    EXPECT_EQ(d.S().config.pageSize, 9);
}

TEST(State, ASchemeChangedElsewhereErasesTheTypedCode) {
    KeyDriver d;
    d.S()._LoadConfig();
    d.Type("gg");
    ASSERT_FALSE(d.Doc().text.empty());
    WriteAsOther([](zl::Config& c) { c.scheme = 1; });
    d.now += 700;
    d.Tick();
    EXPECT_TRUE(d.S().engine.mode == zl::kModePinyin && d.S().engine.code.empty());
    EXPECT_TRUE(d.Doc().text.empty());
    EXPECT_EQ(d.Doc().active, nullptr);
}

// Whatever changes the settings or the promotions between keys, the digit picks the
// candidate the window shows, and a change the list does not depend on keeps the page.
TEST(State, ADigitPicksWhatTheWindowShowsAfterChangesBetweenKeys) {
    const struct {
        const char* name;
        bool keepsPage;
        std::function<void(KeyDriver&)> change;
    } rows[] = {
        {"reload of another setting, then a key", true,
         [](KeyDriver& d) { WriteAsOther([](zl::Config& c) { c.fontSize = 24; }), d.now += 700; }},
        {"reload of another setting at a tick", true,
         [](KeyDriver& d) { WriteAsOther([](zl::Config& c) { c.fontSize = 25; }), d.now += 700, d.Tick(); }},
        {"reload of the page size at a tick", false,
         [](KeyDriver& d) { WriteAsOther([](zl::Config& c) { c.pageSize = 4; }), d.now += 700, d.Tick(); }},
        {"width toggled on the status bar", true, [](KeyDriver& d) { d.S()._OnStatusClick(2); }},
        {"promotions cleared from the menu", false,
         [](KeyDriver& d) { d.S()._RunMenuCommand(zl::kCmdClearPromotions); }},
    };
    for (const auto& r : rows) {
        KeyDriver d;
        zl::TheSeams().messageBox = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDYES; };
        d.S()._LoadConfig();
        ASSERT_TRUE(d.S().candWindow.Create(GetModuleHandleW(nullptr)));
        d.Type("g");
        ASSERT_TRUE(d.Press(tskeys::kCtrl | '4'));  // a promotion to clear
        ASSERT_TRUE(d.Press(VK_NEXT));
        r.change(d);
        const zl::CandWindow& w = d.S().candWindow;
        ASSERT_TRUE(w.visible && w.pageItems.size() > 1) << r.name;
        EXPECT_EQ(w.show.page, r.keepsPage ? 1u : 0u) << r.name;
        const std::wstring shown = w.pageItems[1].text;
        d.Press('2');
        EXPECT_EQ(d.Doc().text, shown) << r.name;
        d.S().candWindow.Destroy();
    }
}

TEST(State, AReloadThatCannotReadTheFileKeepsTheSettingsAndTriesAgain) {
    KeyDriver d;
    WriteAsOther([](zl::Config& c) { c.fontSize = 30; });
    d.S()._LoadConfig();
    WriteAsOther([](zl::Config& c) { c.pageSize = 7; });
    {
        zl::UniqueHandle held(
            CreateFileW(d.S().config.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        d.now += 700;
        d.Tick();
        EXPECT_TRUE(d.S().config.fontSize == 30 && d.S().config.pageSize == 5);
    }
    d.now += 700;
    d.Tick();
    EXPECT_TRUE(d.S().config.fontSize == 30 && d.S().config.pageSize == 7);
}

}  // namespace
