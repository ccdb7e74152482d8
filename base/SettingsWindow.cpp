#include "SettingsWindow.h"

namespace zl {

namespace {

constexpr int kMaxWindows = 8;  // the window itself and up to seven owners

bool SameText(const wchar_t* a, int aLen, const wchar_t* b) {
    return aLen > 0 && CompareStringOrdinal(a, aLen, b, -1, TRUE) == CSTR_EQUAL;
}

bool IsSettingsWindow(HWND w) {
    wchar_t cls[64];
    const int clsLen = GetClassNameW(w, cls, 64);
    if (!SameText(cls, clsLen, kSettingsClass)) return false;
    // InternalGetWindowText never sends a message, so a hung window cannot stall the caller.
    wchar_t title[128];
    const int titleLen = InternalGetWindowText(w, title, 128);
    return SameText(title, titleLen, kSettingsTitle);
}

}  // namespace

bool IsSettingsWindowForeground(HWND window) {
    HWND w = window;
    for (int i = 0; i < kMaxWindows && w; ++i) {
        if (IsSettingsWindow(w)) return true;
        w = GetWindow(w, GW_OWNER);
    }
    return false;
}

}  // namespace zl
