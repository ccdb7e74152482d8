#include "DemoFiles.h"

#include <string>

#include "Markers.h"
#include "ProductVersion.h"
#include "UserDir.h"
#include "WholeFile.h"

namespace zldemo {

bool HasSettingsArg(const wchar_t* commandLine) {
    return commandLine && std::wstring(commandLine).find(L"--settings") != std::wstring::npos;
}

std::wstring DataFolderFor(const std::wstring& folder) {
    const std::wstring data = folder + L"\\data";
    if (GetFileAttributesW((data + L"\\zlwb.dat").c_str()) != INVALID_FILE_ATTRIBUTES) return data;
    return folder;
}

std::wstring ShownVersionIn(const std::wstring& folder) {
    const std::wstring v = zl::InstalledVersionOnDisk(folder);
    return v.empty() ? std::wstring(zl::kProductVersion) : v;
}

std::wstring PreviewPidPath() { return zl::UserDir() + L"\\preview.pid"; }

bool WritePreviewPid(DWORD pid, DWORD self) {
    // Saved whole, so that a status bar reading it at that moment sees no empty file.
    return pid != 0 && pid != self && zl::SaveWholeFile(PreviewPidPath(), std::to_string(pid));
}

void DeletePreviewPid() { DeleteFileW(PreviewPidPath().c_str()); }

}  // namespace zldemo
