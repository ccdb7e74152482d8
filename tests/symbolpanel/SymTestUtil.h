// Shared bits of the symbol-panel tests: a private user folder for the trace log, and
// mouse presses, real ones through SendInput and ones fed to the hook directly.
#pragma once

#include <windows.h>

#include <string>

#include "SymbolPanel.h"
#include "UserFolder.h"

namespace symtest {

using zltest::UserFolder;

// A low-level mouse hook of the test. Installed before a panel's hook, it is called after
// it: once it has seen a press, the panel's hook has handled that press, and a hide it
// posted is in the queue. While one exists, Press waits for it.
class PressWatch {
public:
    PressWatch();
    ~PressWatch();
    PressWatch(const PressWatch&) = delete;
    PressWatch& operator=(const PressWatch&) = delete;
    bool Valid() const { return hook_ != nullptr; }

private:
    HHOOK hook_ = nullptr;
};

// Time stamps for presses, a second apart: no press is ever taken for the second one of a
// double press unless a test stamps it so.
DWORD NextPressTime();

// The primary monitor's work area.
RECT WorkArea();
// An anchor that leaves the panel above it, clear of the top-left corner.
POINT MidAnchor();
// Moves the cursor to p and presses and releases `button` (MOUSEEVENTF_LEFTDOWN, ...) there,
// stamped with NextPressTime(). With a PressWatch and `wait`, returns once the hooks have
// handled it and what they posted has been dispatched. Not with hooks of other threads in
// the chain: Wine does not hand a press from another thread's hook on to the watch.
bool Press(POINT p, DWORD downFlag, DWORD upFlag, DWORD data = 0, bool wait = true);
bool LeftClick(POINT p, bool wait = true);
// Calls the hook procedure directly with one event stamped `time`.
void FeedHook(UINT message, POINT p, DWORD time = NextPressTime());
LPARAM ClientPoint(int x, int y);
// The centre of item k of the panel's current category, in client coordinates.
POINT ItemCentre(const zl::SymbolPanel& panel, int k);
POINT TabCentre(int tab);
// True when the hook handle is no longer installed (removing it again fails).
bool HookGone(HHOOK h);

}  // namespace symtest
