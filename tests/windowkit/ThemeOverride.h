// Gives this process its own current-user registry root for a test, so that the theme
// value can be set, removed or garbled without touching the prefix or tests running
// beside it.
#pragma once

#include <windows.h>

namespace zltest {

class ThemeOverride {
public:
    ThemeOverride();   // maps HKEY_CURRENT_USER to an empty private key
    ~ThemeOverride();  // restores the real root and deletes the private key
    ThemeOverride(const ThemeOverride&) = delete;
    ThemeOverride& operator=(const ThemeOverride&) = delete;

    bool Valid() const { return root_ != nullptr; }
    bool SetLightTheme(DWORD value);
    // A value of the wrong type (a string).
    bool SetLightThemeText(const wchar_t* text);
    // The key exists but holds no value.
    bool RemoveLightTheme();

private:
    HKEY root_ = nullptr;
    wchar_t name_[64] = {};
};

}  // namespace zltest
