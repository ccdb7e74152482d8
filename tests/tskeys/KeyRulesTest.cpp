// The window-free rules as tables: which key-downs are eaten, and when another writer's
// change of the open/close compartment is followed; the Shift-tap claim across threads.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "KeyRules.h"
#include "OpenCloseFollow.h"
#include "ShiftTap.h"

namespace {

// Flags: C ctrl, A alt, S shift, I input, E English, T temporary pinyin, 7 Windows 7/8;
// options off: s Ctrl空格, m 手动调频, t Shift切换中英, n 小键盘选词, e Shift英文.
TEST(KeyRules, TestEatenFirstRuleDecides) {
    const struct {
        unsigned vk;
        const char* f;
        bool eaten;
    } rows[] = {
        {VK_SPACE, "C", 1}, {VK_SPACE, "CIE", 1}, {VK_SPACE, "Cs", 0}, {VK_SPACE, "CA", 0},       // 1
        {'3', "CI", 1}, {'3', "C", 0}, {'3', "CIm", 0}, {'0', "CI", 0},                           // 2
        {'A', "CI", 0}, {'A', "A", 0}, {VK_BACK, "AI", 0}, {VK_SHIFT, "CI", 0},                   // 3
        {VK_SHIFT, "E", 1}, {VK_SHIFT, "I", 1}, {VK_SHIFT, "t", 0}, {VK_SHIFT, "7", 0},           // 4
        {VK_TAB, "I", 1}, {VK_UP, "I", 1}, {VK_OEM_6, "I", 1}, {'0', "I", 1}, {'A', "IS", 1},     // 5
        {VK_NUMPAD5, "I", 1}, {VK_NUMPAD5, "In", 0},                                              // 6
        {VK_OEM_1, "I", 0}, {VK_HOME, "I", 0},                                                    // 7
        {'A', "E", 0}, {'1', "ES", 0},                                                            // 8
        {VK_BACK, "T", 1}, {VK_ESCAPE, "T", 1}, {VK_TAB, "T", 0}, {VK_BACK, "", 0},               // 9
        {'A', "", 1}, {'A', "S", 0}, {'A', "Se", 1},                                              // 10
        {VK_OEM_5, "", 1}, {VK_OEM_7, "S", 1}, {0xDF, "", 0},                                     // 11
        {VK_OEM_1, "", 1}, {VK_OEM_3, "", 1}, {0xC1, "", 0},                                      // 12
        {'1', "S", 1}, {'1', "", 0},                                                              // 13
        {VK_SPACE, "", 0}, {VK_NUMPAD5, "", 0}, {VK_RETURN, "", 0},                               // 14
    };
    for (const auto& r : rows) {
        auto has = [&](char c) { return std::strchr(r.f, c) != nullptr; };
        zl::KeyState s;
        s.ctrl = has('C'), s.alt = has('A'), s.shift = has('S'), s.composing = has('I');
        s.chinese = !has('E'), s.tempPinyin = has('T'), s.win10 = !has('7');
        s.ctrlSpace = !has('s'), s.manualFreq = !has('m'), s.shiftToggle = !has('t');
        s.numpadSelect = !has('n'), s.shiftEnglish = !has('e');
        EXPECT_EQ(zl::TestEaten(r.vk, s), r.eaten) << std::hex << r.vk << ' ' << r.f;
    }
}

TEST(OpenCloseFollow, QuietAfterActivationThenOnlyAfterCtrlAndSpaced) {
    const struct {
        uint32_t sinceActivate, sinceFollow, sinceCtrl;  // 0: long ago
        bool pre10, known, option, ctrlDown, follows;
    } rows[] = {
        {599, 0, 0, 0, 1, 1, 1, 0}, {600, 0, 0, 0, 1, 1, 1, 1}, {5000, 0, 0, 0, 1, 1, 0, 0},
        {5000, 0, 399, 0, 1, 1, 0, 1}, {5000, 0, 400, 0, 1, 1, 0, 0}, {5000, 0, 0, 0, 0, 1, 1, 0},
        {5000, 0, 0, 0, 1, 0, 1, 0}, {5000, 299, 0, 0, 1, 1, 1, 0}, {5000, 300, 0, 0, 1, 1, 1, 1},
        {149, 0, 0, 1, 1, 1, 0, 0}, {150, 0, 0, 1, 0, 1, 0, 1}, {5000, 299, 0, 1, 1, 1, 0, 0},
        {5000, 0, 0, 1, 1, 0, 1, 0},
    };
    for (const auto& r : rows) {
        for (bool space : {false, true}) {  // Ctrl alone or Ctrl+Space counts alike
            zl::OpenCloseInputs in;
            in.activateTick = 0xFFFFFE00u;  // the tick counter wraps in between
            in.now = in.activateTick + r.sinceActivate;
            auto ago = [&](uint32_t ms) { return in.now - (ms ? ms : 100000); };
            in.lastFollowTick = ago(r.sinceFollow);
            (space ? in.lastCtrlSpaceTick : in.lastCtrlTick) = ago(r.sinceCtrl);
            (space ? in.lastCtrlTick : in.lastCtrlSpaceTick) = ago(0);
            in.pre10 = r.pre10, in.chineseKnown = r.known, in.ctrlSpaceOption = r.option, in.ctrlDown = r.ctrlDown;
            EXPECT_EQ(zl::OpenCloseFollows(in), r.follows) << r.sinceActivate << ' ' << r.sinceFollow << ' '
                                                            << r.sinceCtrl << ' ' << space;
        }
    }
}

// Every instance on its own UI thread polls the same tap: one of them toggles.
TEST(ShiftTap, PollersOnSeveralThreadsClaimEachTapOnce) {
    constexpr int kThreads = 4, kTaps = 2000;
    volatile LONG last = 0;
    std::atomic<int> arrived{0}, claims{0};
    auto poller = [&] {
        for (int tap = 1; tap <= kTaps; ++tap) {
            ++arrived;  // all pollers see the tap end together
            while (arrived.load() < tap * kThreads) std::this_thread::yield();
            if (zl::ClaimShiftToggle(&last, static_cast<uint32_t>(tap) * (zl::kWin7ShiftToggleGapMs + 1))) ++claims;
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(poller);
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(claims.load(), kTaps);
}

}  // namespace
