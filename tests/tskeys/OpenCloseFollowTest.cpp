// When another writer's change of the open/close compartment is followed.
#include <gtest/gtest.h>

#include "OpenCloseFollow.h"

namespace {

TEST(OpenCloseFollow, Table) {
    const struct {
        uint32_t sinceActivate, sinceFollow, sinceCtrl, sinceCtrlSpace;  // 0: long ago
        bool pre10, known, option, ctrlDown, follows;
    } rows[] = {
        // Windows 10: not within 600 ms of activation; then only right after Ctrl.
        {599, 0, 0, 0, 0, 1, 1, 1, 0}, {600, 0, 0, 0, 0, 1, 1, 1, 1}, {5000, 0, 0, 0, 0, 1, 1, 0, 0},
        {5000, 0, 399, 0, 0, 1, 1, 0, 1}, {5000, 0, 400, 0, 0, 1, 1, 0, 0}, {5000, 0, 0, 399, 0, 1, 1, 0, 1},
        {5000, 0, 0, 400, 0, 1, 1, 0, 0}, {5000, 0, 0, 0, 0, 0, 1, 1, 0}, {5000, 0, 0, 0, 0, 1, 0, 1, 0},
        {5000, 299, 0, 0, 0, 1, 1, 1, 0}, {5000, 300, 0, 0, 0, 1, 1, 1, 1},
        // Windows 7/8: 150 ms after activation, no key needed, the same 300 ms gap.
        {149, 0, 0, 0, 1, 1, 1, 0, 0}, {150, 0, 0, 0, 1, 0, 1, 0, 1}, {5000, 299, 0, 0, 1, 1, 1, 0, 0},
        {5000, 0, 0, 0, 1, 1, 0, 1, 0},
    };
    const uint32_t act = 0xFFFFFE00u;  // the tick counter wraps in between
    for (const auto& r : rows) {
        zl::OpenCloseInputs in;
        in.activateTick = act;
        in.now = act + r.sinceActivate;
        auto ago = [&](uint32_t ms) { return in.now - (ms ? ms : 100000); };
        in.lastFollowTick = ago(r.sinceFollow);
        in.lastCtrlTick = ago(r.sinceCtrl);
        in.lastCtrlSpaceTick = ago(r.sinceCtrlSpace);
        in.pre10 = r.pre10, in.chineseKnown = r.known, in.ctrlSpaceOption = r.option, in.ctrlDown = r.ctrlDown;
        EXPECT_EQ(zl::OpenCloseFollows(in), r.follows)
            << r.sinceActivate << ' ' << r.sinceFollow << ' ' << r.sinceCtrl << ' ' << r.sinceCtrlSpace;
    }
}

}  // namespace
