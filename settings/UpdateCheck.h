// The menu's update check, run on the UI thread. What it touches outside (the updater
// program, the network, message boxes, the browser) goes through UpdateCheckEnv so that
// tests can stand in for each.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Fetch.h"
#include "Manifest.h"

namespace zldemo {

using zl::kNoAddressText;

struct UpdateCheckEnv {
    std::wstring address;  // the configured update address
    std::wstring version;  // the shown version
    // Starts zlupd.exe from the program's folder; false when it is not there.
    std::function<bool()> startUpdater;
    std::function<bool(const std::wstring& address, zl::UpdateInfo* info, std::wstring* err)> fetch;
    // A message box; returns its answer (IDYES, IDNO, IDOK).
    std::function<int(const std::wstring& text, const wchar_t* caption, UINT flags)> message;
    std::function<void(const std::wstring& address)> open;
};

void RunUpdateCheck(const UpdateCheckEnv& env);

// Starts folder\zlupd.exe with "open", no arguments, in that folder. False when the
// program is not there; a failure to start it counts as started.
bool StartUpdaterIn(const std::wstring& folder);

}  // namespace zldemo
