#include "ThemeOverride.h"

#include <cwchar>

namespace zltest {

namespace {

const wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

HKEY CreateVolatile(HKEY parent, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace

ThemeOverride::ThemeOverride() {
    _snwprintf(name_, 63, L"Software\\ZlWindowKit\\%lu_%lu", GetCurrentProcessId(), GetTickCount());
    root_ = CreateVolatile(HKEY_CURRENT_USER, name_);
    if (!root_) return;
    if (RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS) {
        RegCloseKey(root_);
        root_ = nullptr;
        RegDeleteTreeW(HKEY_CURRENT_USER, name_);
    }
}

ThemeOverride::~ThemeOverride() {
    if (!root_) return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, name_);
}

bool ThemeOverride::SetLightTheme(DWORD value) {
    if (!root_) return false;
    HKEY key = CreateVolatile(root_, kPersonalize);
    if (!key) return false;
    bool ok = RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof(value)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool ThemeOverride::SetLightThemeText(const wchar_t* text) {
    if (!root_) return false;
    HKEY key = CreateVolatile(root_, kPersonalize);
    if (!key) return false;
    bool ok = RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool ThemeOverride::RemoveLightTheme() {
    if (!root_) return false;
    HKEY key = CreateVolatile(root_, kPersonalize);
    if (!key) return false;
    LSTATUS rc = RegDeleteValueW(key, L"AppsUseLightTheme");
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace zltest
