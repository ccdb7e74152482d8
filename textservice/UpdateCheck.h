// The component's own update check: the 12-hour rule, the worker that fetches
// version.txt and offers the updater, and the starting of zlupd.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Manifest.h"
#include "ProductVersion.h"

namespace zl {

// The version this component was built as; also stands when installed.ver is missing.
constexpr const wchar_t* kBuiltinVersion = kProductVersion;
// Seconds between two automatic checks.
constexpr int64_t kAutoCheckInterval = 43200;

// Starts folder\zlupd.exe (no arguments, the folder as working directory); false when
// the folder is empty, the program is missing or the shell refuses it.
bool LaunchUpdaterIn(const std::wstring& folder);

// installed.ver of the folder, or the built-in version when it has none.
std::wstring DiskVersionIn(const std::wstring& folder);
// DiskVersionIn of the component's own folder.
std::wstring DiskVersion();

// An automatic check is due: never checked, or at least the interval since the last one
// (a last time in the future keeps it waiting).
bool AutoCheckDue(int64_t lastCheck, int64_t now);

// The Yes/No question that offers a newer version.
std::wstring UpdateOfferText(const UpdateInfo& info, const std::wstring& current);

// Handed to the worker, which owns and frees it.
struct UpdateRequest {
    std::wstring address;
    bool manual = false;
    std::wstring installDir;
};

// Runs one check on its own thread; frees the request.
DWORD WINAPI UpdateWorkerProc(LPVOID request);

// Starts a worker on the request (handle closed at once); frees it when no thread starts.
bool StartUpdateWorker(UpdateRequest* request);

}  // namespace zl
