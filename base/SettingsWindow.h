// Recognises the settings program's settings window, also behind its own dialogs.
#pragma once

#include <windows.h>

namespace zl {

// The settings program's main window class, and its title in settings mode.
constexpr wchar_t kSettingsClass[] = L"ZlDemoMain";
constexpr wchar_t kSettingsTitle[] = L"泽仑五笔输入法 - 设置";

// True when window, or one of its first seven owners, has kSettingsClass and
// kSettingsTitle (both compared without regard to case). Null gives false.
bool IsSettingsWindowForeground(HWND window);

}  // namespace zl
