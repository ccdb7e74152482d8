#include "OpenCloseFollow.h"

namespace zl {

bool CtrlKeyRecent(const OpenCloseInputs& in) {
    return in.now - in.lastCtrlTick < 400 || in.now - in.lastCtrlSpaceTick < 400;
}

bool OpenCloseFollows(const OpenCloseInputs& in) {
    if (!in.ctrlSpaceOption || in.now - in.lastFollowTick <= 299) return false;
    if (in.pre10) return in.now - in.activateTick >= 150;
    return in.now - in.activateTick >= 600 && in.chineseKnown && (in.ctrlDown || CtrlKeyRecent(in));
}

}  // namespace zl
