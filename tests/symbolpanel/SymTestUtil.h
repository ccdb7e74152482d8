// Shared bits of the symbol-panel tests: a private user folder for the trace log, an
// owner window standing in for the status bar, and real mouse presses through SendInput.
#pragma once

#include <windows.h>

#include <string>

#include "SymbolPanel.h"
#include "UserFolder.h"

namespace symtest {

using zltest::UserFolder;

// A visible, inactive popup of this process where the status bar would be.
class OwnerWindow {
public:
    explicit OwnerWindow(RECT r);
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// The primary monitor's work area.
RECT WorkArea();
// An anchor that leaves the panel above it, clear of the top-left corner.
POINT MidAnchor();
// Moves the cursor to p and presses and releases `button` (MOUSEEVENTF_LEFTDOWN, ...) there.
bool Press(POINT p, DWORD downFlag, DWORD upFlag, DWORD data = 0);
bool LeftClick(POINT p);
// Calls the hook procedure directly with one event.
void FeedHook(UINT message, POINT p);
LPARAM ClientPoint(int x, int y);
// The centre of item k of the panel's current category, in client coordinates.
POINT ItemCentre(const zl::SymbolPanel& panel, int k);
POINT TabCentre(int tab);
// True when the hook handle is no longer installed (removing it again fails).
bool HookGone(HHOOK h);

}  // namespace symtest
