#include "UserDir.h"

#include <windows.h>
#include <shlobj.h>

#include "ModuleDir.h"

namespace zl {

namespace {

constexpr DWORD kEnvCapacity = 520;

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
    return ModuleDir(nullptr);
}

}  // namespace zl
