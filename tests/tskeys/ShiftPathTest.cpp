// The Shift tap through the whole sink on both OS roads, with the tick seam.
#include <gtest/gtest.h>

#include "KeyDriver.h"

using tskeys::KeyDriver;

namespace {

// Shift pressed, `between` run while it is held, released `held` ms after the press.
void ShiftWith(KeyDriver& d, uint32_t held, const std::function<void()>& between = {}) {
    d.Down(VK_SHIFT);
    if (between) between();
    d.Advance(held);
    d.Up(VK_SHIFT);
}

TEST(ShiftPath, Win10QuickTapToggles) {
    KeyDriver d(10);
    ShiftWith(d, 120);
    EXPECT_FALSE(d.Chinese());
    EXPECT_EQ(d.S().statusBar.info.chinese, 0);
    d.Advance(500);
    ShiftWith(d, 799);
    EXPECT_TRUE(d.Chinese());
    // Auto-repeat while held under 800 ms does not spoil the tap either.
    ShiftWith(d, 300, [&] {
        d.Advance(250);
        d.Down(VK_SHIFT, true);
    });
    EXPECT_FALSE(d.Chinese());
}

TEST(ShiftPath, Win10NotATap) {
    struct Case {
        const char* name;
        std::function<void(KeyDriver&)> run;
    };
    const Case cases[] = {
        {"held 800 ms", [](KeyDriver& d) { ShiftWith(d, 800); }},
        {"auto-repeat past 800 ms",
         [](KeyDriver& d) {
             ShiftWith(d, 0, [&] {
                 for (int i = 0; i < 30; ++i) {
                     d.Advance(33);
                     d.Down(VK_SHIFT, true);
                 }
             });
         }},
        {"shift+1", [](KeyDriver& d) { ShiftWith(d, 100, [&] { d.Tap('1'); }); }},
        {"shift+A", [](KeyDriver& d) { ShiftWith(d, 100, [&] { d.Tap('A'); }); }},
        {"shift+right", [](KeyDriver& d) { ShiftWith(d, 100, [&] { d.Tap(VK_RIGHT); }); }},
        {"shift+A released after shift",
         [](KeyDriver& d) {
             d.Down(VK_SHIFT);
             d.Down('A');
             d.Up(VK_SHIFT);
             d.Up('A');
         }},
        {"while composing",
         [](KeyDriver& d) {
             d.Type("gg");
             ShiftWith(d, 100);
             EXPECT_EQ(d.S().engine.code, "gg");
         }},
        {"option off",
         [](KeyDriver& d) {
             d.S().config.shiftToggle = 0;
             ShiftWith(d, 100);
         }},
    };
    for (const Case& c : cases) {
        KeyDriver d(10);
        c.run(d);
        EXPECT_TRUE(d.Chinese()) << c.name;
        // The next clean tap still works.
        d.Advance(1000);
        d.Tap(VK_ESCAPE);
        ShiftWith(d, 100);
        EXPECT_EQ(d.Chinese(), d.S().config.shiftToggle == 0) << c.name;
    }
    // Shift+1 typed its punctuation on the way.
    KeyDriver d(10);
    ShiftWith(d, 100, [&] { d.Tap('1'); });
    EXPECT_EQ(d.TakeInserted(), d.S().engine.punct(L'!'));
}

TEST(ShiftPath, Win7PolledTap) {
    KeyDriver d(6);
    EXPECT_FALSE(d.Test(VK_SHIFT));  // the sink leaves Shift alone there
    // Seen down by one tick, up by the next.
    d.Down(VK_SHIFT);
    d.Tick();
    d.Advance(250);
    d.Up(VK_SHIFT);
    EXPECT_TRUE(d.Chinese());  // nothing before the poll
    d.Tick();
    EXPECT_FALSE(d.Chinese());
    // A second tap ending within 399 ms of that toggle is ignored, one at 400 is not.
    d.Advance(149);
    d.Down(VK_SHIFT);
    d.Tick();
    d.Advance(250);
    d.Up(VK_SHIFT);
    d.Tick();
    EXPECT_FALSE(d.Chinese());  // 399 ms since the toggle
    d.Advance(1);
    d.Down(VK_SHIFT);
    d.Tick();
    d.Up(VK_SHIFT);
    d.Tick();
    EXPECT_TRUE(d.Chinese());
}

TEST(ShiftPath, Win7NotATap) {
    for (unsigned vk : {unsigned('1'), unsigned('A'), unsigned(VK_RIGHT)}) {
        {
            KeyDriver d(6);  // the other key comes before the poll first sees Shift
            d.Down(VK_SHIFT);
            d.Tap(vk);
            d.Tick();
            d.Advance(250);
            d.Up(VK_SHIFT);
            d.Tick();
            EXPECT_TRUE(d.Chinese()) << vk;
            d.Advance(1000);  // a clean tap afterwards toggles
            d.Down(VK_SHIFT);
            d.Tick();
            d.Advance(250);
            d.Up(VK_SHIFT);
            d.Tick();
            EXPECT_FALSE(d.Chinese()) << vk;
        }
        {
            KeyDriver d(6);  // ... or after it
            d.Down(VK_SHIFT);
            d.Tick();
            d.Advance(100);
            d.Tap(vk);
            d.Advance(150);
            d.Up(VK_SHIFT);
            d.Tick();
            EXPECT_TRUE(d.Chinese()) << vk;
        }
    }
    {
        KeyDriver d(6);  // held 800 ms
        d.Down(VK_SHIFT);
        for (int i = 0; i < 4; ++i) {
            d.Tick();
            d.Advance(250);
        }
        d.Up(VK_SHIFT);
        d.Tick();
        EXPECT_TRUE(d.Chinese());
    }
    {
        KeyDriver d(6);  // no window of this process in front
        d.foreground = nullptr;
        d.Down(VK_SHIFT);
        d.Tick();
        d.Advance(250);
        d.Up(VK_SHIFT);
        d.Tick();
        EXPECT_TRUE(d.Chinese());
    }
}

}  // namespace
