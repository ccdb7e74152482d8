// When a change of the keyboard open/close compartment made by someone else switches the
// service's mode. Windows 10 and later write the compartment on their own around
// activation and focus changes, so there it is followed only right after the user's Ctrl
// or Ctrl+Space; Windows 7/8 change it only on the user's behalf.
#pragma once

#include <cstdint>

namespace zl {

struct OpenCloseInputs {
    uint32_t now = 0;
    uint32_t activateTick = 0;
    uint32_t lastFollowTick = 0;
    uint32_t lastCtrlTick = 0;
    uint32_t lastCtrlSpaceTick = 0;
    bool pre10 = false;
    bool chineseKnown = false;
    bool ctrlSpaceOption = true;
    bool ctrlDown = false;
};

// Ctrl or Ctrl+Space was pressed less than 400 ms before.
bool CtrlKeyRecent(const OpenCloseInputs& in);
bool OpenCloseFollows(const OpenCloseInputs& in);

}  // namespace zl
