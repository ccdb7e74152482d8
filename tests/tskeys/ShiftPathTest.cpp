// The Shift tap through the whole sink on both OS roads, with the tick seam.
#include <gtest/gtest.h>

#include <sstream>

#include "KeyDriver.h"

using tskeys::KeyDriver;

namespace {

// Runs a script of space-separated steps: D, U Shift down and up; R Shift auto-repeat;
// T a status-bar tick; +N N ms pass; !1 !A !> press 1, A or Right (Shift as it is);
// a lower-case letter types it; O turns the option off; F puts no window of ours in front.
bool ChineseAfter(unsigned long os, const std::string& script) {
    KeyDriver d(os);
    std::istringstream in(script);
    std::string t;
    while (in >> t) {
        if (t == "D") d.Down(VK_SHIFT);
        else if (t == "U") d.Up(VK_SHIFT);
        else if (t == "R") d.Down(VK_SHIFT, true);
        else if (t == "T") d.Tick();
        else if (t == "O") d.S().config.shiftToggle = 0;
        else if (t == "F") d.foreground = nullptr;
        else if (t[0] == '+') d.Advance(static_cast<uint32_t>(std::stoul(t.substr(1))));
        else if (t[0] == '!') d.Press(t[1] == '>' ? VK_RIGHT : static_cast<unsigned>(t[1]));
        else d.Type(t.c_str());
    }
    return d.Chinese();
}

TEST(ShiftPath, Win10) {
    const struct {
        const char* script;
        bool chinese;
    } cases[] = {
        {"D +120 U", false},
        {"D +799 U", false},
        {"D +120 U +500 D +120 U", true},
        {"D +800 U", true},
        {"D +300 R +200 U", false},               // repeat inside 800 ms: still a tap
        {"D +500 R +300 R +100 U", true},         // repeat does not restart the hold
        {"D !1 +100 U", true},                    // Shift+1, Shift+A, Shift+Right
        {"D !A +100 U", true},
        {"D !> +100 U", true},
        {"D !A R +100 U", true},                  // repeat after Shift+A does not re-arm
        {"D !1 +100 U +1000 D +100 U", false},    // the next clean tap toggles
        {"gg D +100 U", true},                    // letters being composed
        {"O D +100 U", true},
    };
    for (const auto& c : cases) EXPECT_EQ(ChineseAfter(10, c.script), c.chinese) << c.script;
}

TEST(ShiftPath, Win7Poll) {
    const struct {
        const char* script;
        bool chinese;
    } cases[] = {
        {"D T +250 U", true},                     // nothing before the poll
        {"D T +250 U T", false},
        {"D T +250 T +250 T +250 T +250 U T", true},         // held 800 ms
        {"D !1 T +250 U T", true},                           // key before the poll saw Shift
        {"D !> T +250 U T +1000 D T +250 U T", false},       // the next clean tap toggles
        {"D T +100 !A +150 U T", true},                      // key after the poll saw Shift
        {"gg D T +250 U T", true},
        {"F D T +250 U T", true},
        {"D T +250 U T +149 D T +250 U T", false},           // 399 ms after the toggle: ignored
        {"D T +250 U T +149 D T +250 U T +1 D T U T", true}, // 400 ms after it: toggles
    };
    for (const auto& c : cases) EXPECT_EQ(ChineseAfter(6, c.script), c.chinese) << c.script;
    KeyDriver d(6);
    BOOL eaten = TRUE;
    d.S().OnTestKeyDown(&d.Doc(), VK_SHIFT, 1, &eaten);
    EXPECT_FALSE(eaten);  // the sink leaves Shift to the poll there
}

}  // namespace
