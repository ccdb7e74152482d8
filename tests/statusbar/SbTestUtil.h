// Shared bits of the status-bar tests: a private user folder with its trace log,
// environment scoping and synthetic mouse messages.
#pragma once

#include <windows.h>

#include <string>

#include "StatusBar.h"
#include "UserFolder.h"

namespace sbtest {

using zltest::UserFolder;

bool WritePreviewPid(const UserFolder& folder, const std::string& content);

LPARAM ClientPoint(int x, int y);
void Send(zl::StatusBar& bar, UINT msg, int x, int y);
// A left press at (60, 20) of window w, then a release at (upX, 20); with dragX set,
// a move to (dragX, 20) in between.
void LeftGesture(HWND w, int upX, int dragX = -1);
// The primary monitor's work area.
RECT WorkArea();
// Resets the process-wide position cache as at load.
void ResetPositionCache();

}  // namespace sbtest
