// A single tap of Shift switches between Chinese and English. Two roads: on Windows 10
// and later the key sink sees Shift; on Windows 7/8 the status bar's 250 ms timer polls it.
// Times are tick counts passed in by the caller (unsigned 32-bit arithmetic).
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

constexpr uint32_t kShiftTapMaxMs = 800;         // a longer hold is not a tap
constexpr uint32_t kWin7ShiftToggleGapMs = 399;  // two polling instances toggle once

// The service's Shift-tap members, by reference.
struct ShiftTap {
    // Windows 10 road.
    uint8_t& pending;   // Shift went down through the sink, no other key since
    uint8_t& otherKey;  // a letter passed through as English while Shift was held
    uint32_t& downTick;
    // Windows 7/8 road.
    uint32_t& win7DownTick;  // when the poll first saw Shift held; 0 = not held
    uint8_t& win7OtherKey;   // another key was tested while Shift was held

    // The test calls see every key, eaten or not; OnKeyDown/OnKeyUp come only for eaten
    // ones. So Shift+1, Shift+A or Shift+Arrow spoil the tap here, on both roads, also
    // before the poll first saw Shift.
    void TestKeyDown(unsigned vk, bool shiftHeldAsync);
    void TestKeyUp(unsigned vk, bool shiftHeldAsync);
    bool TestKeyUpEaten(unsigned vk, bool option) const {
        return option && vk == VK_SHIFT && pending;
    }

    // Shift's OnKeyDown: a fresh press starts a tap; auto-repeat (lParam bit 30) does not
    // restart the hold time.
    void ShiftDown(LPARAM lParam, uint32_t now);
    void LetterPassedThrough() { otherKey = 1; }
    // OnKeyUp of any key; true when it ends a tap that toggles.
    bool KeyUp(unsigned vk, uint32_t now, bool option, bool composing);

    // One timer poll on Windows 7/8; true when a tap just ended that toggles. lastToggle is
    // the process-wide tick of the last toggle by any instance's poll.
    bool Poll(bool ownForeground, bool shiftDown, uint32_t now, bool option, bool composing,
              volatile LONG* lastToggle);
};

// Claims the toggle of a tap ending at now for one poller: false when another claimed one
// within the gap. Instances on several UI threads poll the same tap, so it is one
// compare-exchange.
bool ClaimShiftToggle(volatile LONG* lastToggle, uint32_t now);

}  // namespace zl
