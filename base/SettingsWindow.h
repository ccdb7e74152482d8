// Recognises the settings program's settings window, also behind its own dialogs.
#pragma once

#include <windows.h>

namespace zl {

// True when window, or one of its first seven owners, has the class "ZlDemoMain" and
// the settings-mode title (both compared without regard to case). Null gives false.
bool IsSettingsWindowForeground(HWND window);

}  // namespace zl
