// When another writer's change of the open/close compartment is followed.
#include <gtest/gtest.h>

#include "OpenCloseFollow.h"

namespace {

TEST(OpenCloseFollow, Table) {
    const uint32_t act = 0xFFFFFE00u;  // activation just before the tick counter wraps
    struct Row {
        uint32_t sinceActivate;
        uint32_t sinceFollow;  // 0 = never followed
        uint32_t sinceCtrl;    // 0 = no Ctrl press
        uint32_t sinceCtrlSpace;
        bool pre10, known, option, ctrlDown;
        bool follows;
    };
    const Row rows[] = {
        // Windows 10: nothing within 600 ms of activation, even with Ctrl held.
        {599, 0, 0, 0, false, true, true, true, false},
        {600, 0, 0, 0, false, true, true, true, true},
        // After that only with Ctrl held or pressed (alone or with Space) under 400 ms ago.
        {5000, 0, 0, 0, false, true, true, false, false},
        {5000, 0, 399, 0, false, true, true, false, true},
        {5000, 0, 400, 0, false, true, true, false, false},
        {5000, 0, 0, 399, false, true, true, false, true},
        {5000, 0, 0, 400, false, true, true, false, false},
        {5000, 0, 0, 0, false, false, true, true, false},   // state never settled
        {5000, 0, 0, 0, false, true, false, true, false},   // Ctrl空格 off
        {5000, 299, 0, 0, false, true, true, true, false},  // a follow under 300 ms ago
        {5000, 300, 0, 0, false, true, true, true, true},
        // Windows 7/8: 150 ms after activation, no key needed, still the 300 ms gap.
        {149, 0, 0, 0, true, true, true, false, false},
        {150, 0, 0, 0, true, false, true, false, true},
        {5000, 299, 0, 0, true, true, true, false, false},
        {5000, 0, 0, 0, true, true, false, true, false},
    };
    for (const Row& r : rows) {
        zl::OpenCloseInputs in;
        in.activateTick = act;
        in.now = act + r.sinceActivate;
        // "Never" is far enough back; ticks count from before activation.
        in.lastFollowTick = r.sinceFollow ? in.now - r.sinceFollow : in.now - 100000;
        in.lastCtrlTick = r.sinceCtrl ? in.now - r.sinceCtrl : in.now - 100000;
        in.lastCtrlSpaceTick = r.sinceCtrlSpace ? in.now - r.sinceCtrlSpace : in.now - 100000;
        in.pre10 = r.pre10;
        in.chineseKnown = r.known;
        in.ctrlSpaceOption = r.option;
        in.ctrlDown = r.ctrlDown;
        EXPECT_EQ(zl::OpenCloseFollows(in), r.follows)
            << r.sinceActivate << ' ' << r.sinceFollow << ' ' << r.sinceCtrl << ' '
            << r.sinceCtrlSpace << ' ' << r.pre10;
    }
}

}  // namespace
