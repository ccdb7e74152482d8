#include "UserDir.h"

#include <windows.h>
#include <shlobj.h>

namespace zl {

namespace {

constexpr DWORD kEnvCapacity = 520;

std::wstring ProgramDir() {
    wchar_t path[520] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, 520);
    std::wstring dir(path, n < 520 ? n : 519);
    const size_t cut = dir.find_last_of(L"\\/");
    if (cut != std::wstring::npos) dir.resize(cut);
    return dir;
}

}  // namespace

std::wstring UserDir() {
    wchar_t env[kEnvCapacity];
    // A value of 520 or more characters does not fit and reports the size it needs.
    const DWORD n = GetEnvironmentVariableW(L"ZLWB_USERDIR", env, kEnvCapacity);
    if (n >= 1 && n < kEnvCapacity) {
        CreateDirectoryW(env, nullptr);
        return std::wstring(env, n);
    }

    wchar_t appData[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) && appData[0]) {
        std::wstring dir = std::wstring(appData) + L"\\ZelunWubi";
        CreateDirectoryW(dir.c_str(), nullptr);
        return dir;
    }
    return ProgramDir();
}

}  // namespace zl
