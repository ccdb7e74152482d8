// The real OS version, which GetVersionExW hides from programs without a manifest.
#pragma once

#include <windows.h>

namespace zl {

// RtlGetVersion when ntdll has it, else GetVersionExW; zeros when both fail.
OSVERSIONINFOW QueryOsVersion();

}  // namespace zl
