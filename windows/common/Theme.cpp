#include "Theme.h"

namespace zl {

DWORD ReadAppsUseLightTheme(DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                              L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return rc == ERROR_SUCCESS ? value : fallback;
}

}  // namespace zl
