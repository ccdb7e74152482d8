// The current user's app theme (light or dark), as the windows read it.
#pragma once

#include <windows.h>

namespace zl {

// The DWORD value "AppsUseLightTheme" of the current user's personalisation key, or
// `fallback` when the key or a DWORD value of that name cannot be read. Each window
// decides itself what a missing value means.
DWORD ReadAppsUseLightTheme(DWORD fallback);

}  // namespace zl
