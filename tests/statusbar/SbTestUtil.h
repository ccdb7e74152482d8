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
// The primary monitor's work area.
RECT WorkArea();
// Resets the process-wide position cache as at load.
void ResetPositionCache();

}  // namespace sbtest
