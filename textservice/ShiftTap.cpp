#include "ShiftTap.h"

namespace zl {

void ShiftTap::TestKeyDown(unsigned vk, bool shiftHeldAsync) {
    if (vk == VK_SHIFT) return;
    pending = 0;
    if (shiftHeldAsync) win7OtherKey = 1;
}

void ShiftTap::TestKeyUp(unsigned vk, bool shiftHeldAsync) { TestKeyDown(vk, shiftHeldAsync); }

void ShiftTap::ShiftDown(LPARAM lParam, uint32_t now) {
    if (lParam & (1 << 30)) return;  // auto-repeat of a held Shift
    pending = 1;
    otherKey = 0;
    downTick = now;
}

bool ShiftTap::KeyUp(unsigned vk, uint32_t now, bool option, bool composing) {
    bool toggle = false;
    if (vk != VK_SHIFT) {
        pending = 0;
    } else if (pending) {
        pending = 0;
        toggle = option && now - downTick < kShiftTapMaxMs && !composing && !otherKey;
    }
    otherKey = 0;
    return toggle;
}

bool ShiftTap::Poll(bool ownForeground, bool shiftDown, uint32_t now, bool option,
                    bool composing, volatile LONG* lastToggle) {
    if (!ownForeground) {
        win7DownTick = 0;
        win7OtherKey = 0;
        return false;
    }
    if (shiftDown) {
        // A key tested before this first sight of Shift already belongs to this hold.
        if (win7DownTick == 0) win7DownTick = now;
        return false;
    }
    bool toggle = false;
    if (win7DownTick != 0) {
        const uint32_t held = now - win7DownTick;
        win7DownTick = 0;
        toggle = option && held < kShiftTapMaxMs && !win7OtherKey && !composing &&
                 ClaimShiftToggle(lastToggle, now);
    }
    win7OtherKey = 0;
    return toggle;
}

bool ClaimShiftToggle(volatile LONG* lastToggle, uint32_t now) {
    const LONG seen = InterlockedCompareExchange(lastToggle, 0, 0);
    return now - static_cast<uint32_t>(seen) > kWin7ShiftToggleGapMs &&
           InterlockedCompareExchange(lastToggle, static_cast<LONG>(now), seen) == seen;
}

}  // namespace zl
