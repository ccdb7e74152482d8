#include "DemoFiles.h"

#include <string>

#include "Markers.h"
#include "UniqueHandle.h"
#include "UserDir.h"

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
    return v.empty() ? L"4.5.3" : v;
}

std::wstring PreviewPidPath() { return zl::UserDir() + L"\\preview.pid"; }

bool WritePreviewPid(DWORD pid, DWORD self) {
    if (pid == 0 || pid == self) return false;
    zl::UniqueHandle f(CreateFileW(PreviewPidPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    const std::string digits = std::to_string(pid);
    DWORD written = 0;
    return WriteFile(f.Get(), digits.data(), static_cast<DWORD>(digits.size()), &written, nullptr) &&
           written == digits.size();
}

void DeletePreviewPid() { DeleteFileW(PreviewPidPath().c_str()); }

}  // namespace zldemo
