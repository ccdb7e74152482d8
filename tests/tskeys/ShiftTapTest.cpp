// The Shift tap's two roads with explicit tick counts.
#include <gtest/gtest.h>
#include <windows.h>

#include "ShiftTap.h"

namespace {

constexpr LPARAM kRepeat = LPARAM(1) << 30;
constexpr uint32_t t0 = 100000;

// The service's members that the tap works on.
struct Fields {
    uint8_t pending = 0, otherKey = 0;
    uint32_t downTick = 0, win7DownTick = 0;
    uint8_t win7OtherKey = 0;
};

struct Tap : Fields {
    zl::ShiftTap tap{pending, otherKey, downTick, win7DownTick, win7OtherKey};
};

// Windows 10 road, as a host drives it: test calls for every key, the key calls for the
// keys the tests ate (Shift's down always; Shift's up only when pending).
struct Win10Host : Tap {
    bool option = true;
    bool composing = false;

    void ShiftDown(uint32_t now, LPARAM lp = 1) {
        tap.TestKeyDown(VK_SHIFT, true);
        tap.ShiftDown(lp, now);
    }
    void OtherKey(unsigned vk) {  // pressed and released with Shift held, not eaten
        tap.TestKeyDown(vk, true);
        tap.TestKeyUp(vk, true);
    }
    bool ShiftUp(uint32_t now) {
        tap.TestKeyUp(VK_SHIFT, false);
        return tap.TestKeyUpEaten(VK_SHIFT, option) && tap.KeyUp(VK_SHIFT, now, option, composing);
    }
};

TEST(ShiftTap, Win10QuickTapToggles) {
    Win10Host h;
    h.ShiftDown(t0);
    EXPECT_TRUE(h.ShiftUp(t0 + 799));
    // A second tap after it toggles again.
    h.ShiftDown(t0 + 1000);
    EXPECT_TRUE(h.ShiftUp(t0 + 1100));
}

TEST(ShiftTap, Win10NoToggle) {
    {
        Win10Host h;  // held 800 ms
        h.ShiftDown(t0);
        EXPECT_FALSE(h.ShiftUp(t0 + 800));
    }
    {
        Win10Host h;  // auto-repeat does not restart the hold time
        h.ShiftDown(t0);
        for (uint32_t t = t0 + 500; t < t0 + 900; t += 33) h.ShiftDown(t, 1 | kRepeat);
        EXPECT_FALSE(h.ShiftUp(t0 + 950));
    }
    for (unsigned vk : {unsigned('1'), unsigned('A'), unsigned(VK_RIGHT), unsigned(VK_CONTROL)}) {
        Win10Host h;  // Shift+key: the host never calls the key sink for the other key
        h.ShiftDown(t0);
        h.OtherKey(vk);
        EXPECT_FALSE(h.ShiftUp(t0 + 100)) << vk;
        // A clean tap afterwards still works.
        h.ShiftDown(t0 + 1000);
        EXPECT_TRUE(h.ShiftUp(t0 + 1100)) << vk;
    }
    {
        Win10Host h;  // auto-repeat after Shift+key does not re-arm the tap
        h.ShiftDown(t0);
        h.OtherKey('A');
        h.ShiftDown(t0 + 500, 1 | kRepeat);
        EXPECT_FALSE(h.ShiftUp(t0 + 600));
    }
    {
        Win10Host h;  // letters being composed
        h.composing = true;
        h.ShiftDown(t0);
        EXPECT_FALSE(h.ShiftUp(t0 + 100));
    }
    {
        Win10Host h;  // option off
        h.ShiftDown(t0);
        h.option = false;
        EXPECT_FALSE(h.ShiftUp(t0 + 100));
    }
    {
        Tap f;  // a host calling OnKeyDown/OnKeyUp directly for everything
        zl::ShiftTap& tap = f.tap;
        tap.ShiftDown(1, t0);
        tap.LetterPassedThrough();
        EXPECT_FALSE(tap.KeyUp(VK_SHIFT, t0 + 100, true, false));
        tap.ShiftDown(1, t0 + 200);
        EXPECT_FALSE(tap.KeyUp('A', t0 + 250, true, false));
        EXPECT_FALSE(tap.KeyUp(VK_SHIFT, t0 + 300, true, false));
    }
}

// Windows 7/8 road: polls every 250 ms, test calls in between.
struct Win7Poller : Tap {
    uint32_t lastToggle = 0;
    bool Poll(bool shiftDown, uint32_t now, bool composing = false, bool fg = true) {
        return tap.Poll(fg, shiftDown, now, true, composing, &lastToggle);
    }
};

TEST(ShiftTap, Win7Poll) {
    {
        Win7Poller p;  // tap seen down by one poll, up by the next
        EXPECT_FALSE(p.Poll(true, t0));
        EXPECT_TRUE(p.Poll(false, t0 + 250));
        EXPECT_EQ(p.lastToggle, t0 + 250);
        // A second tap that ends within 399 ms of the toggle is ignored...
        EXPECT_FALSE(p.Poll(true, t0 + 500));
        EXPECT_FALSE(p.Poll(false, t0 + 649));
        // ...one that ends 400 ms after it is not.
        EXPECT_FALSE(p.Poll(true, t0 + 700));
        EXPECT_TRUE(p.Poll(false, t0 + 950));
    }
    {
        Win7Poller p;  // held 800 ms
        p.Poll(true, t0);
        p.Poll(true, t0 + 250);
        p.Poll(true, t0 + 500);
        p.Poll(true, t0 + 750);
        EXPECT_FALSE(p.Poll(false, t0 + 1000));
    }
    {
        Win7Poller p;  // Shift+1 after the poll saw Shift
        p.Poll(true, t0);
        p.tap.TestKeyDown('1', true);
        EXPECT_FALSE(p.Poll(false, t0 + 250));
    }
    for (unsigned vk : {unsigned('1'), unsigned('A'), unsigned(VK_RIGHT)}) {
        Win7Poller p;  // Shift+key before the poll first saw Shift
        p.tap.TestKeyDown(vk, true);
        p.tap.TestKeyUp(vk, true);
        p.Poll(true, t0);
        EXPECT_FALSE(p.Poll(false, t0 + 250)) << vk;
        // The next clean tap toggles.
        p.Poll(true, t0 + 500);
        EXPECT_TRUE(p.Poll(false, t0 + 750)) << vk;
    }
    {
        Win7Poller p;  // composing, then foreground leaving the process resets
        p.Poll(true, t0);
        EXPECT_FALSE(p.Poll(false, t0 + 250, true));
        p.Poll(true, t0 + 500);
        p.Poll(true, t0 + 750, false, false);
        EXPECT_FALSE(p.Poll(false, t0 + 1000));
    }
    {
        // Two instances of one process polling the same tap toggle once.
        Tap fa, fb;
        zl::ShiftTap &a = fa.tap, &b = fb.tap;
        uint32_t last = 0;
        a.Poll(true, true, t0, true, false, &last);
        b.Poll(true, true, t0 + 10, true, false, &last);
        EXPECT_TRUE(a.Poll(true, false, t0 + 250, true, false, &last));
        EXPECT_FALSE(b.Poll(true, false, t0 + 260, true, false, &last));
    }
}

}  // namespace
