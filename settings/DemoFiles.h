// Where the program finds its files, and preview.pid.
#pragma once

#include <windows.h>

#include <string>

namespace zldemo {

// "--settings" anywhere in the command line, case-sensitive.
bool HasSettingsArg(const wchar_t* commandLine);

// folder\data when it holds zlwb.dat, else folder.
std::wstring DataFolderFor(const std::wstring& folder);

// The installed version of folder, or the built-in version when it has none.
std::wstring ShownVersionIn(const std::wstring& folder);

std::wstring PreviewPidPath();
// Writes pid as ASCII digits when it is a process other than `self`; false otherwise
// or when the file could not be written.
bool WritePreviewPid(DWORD pid, DWORD self);
void DeletePreviewPid();

}  // namespace zldemo
