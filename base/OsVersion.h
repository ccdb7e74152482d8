// The real OS version, which GetVersionExW hides from programs without a manifest.
#pragma once

#include <windows.h>

namespace zl {

// RtlGetVersion when ntdll has it, else GetVersionExW; zeros when both fail.
OSVERSIONINFOW QueryOsVersion();

// The major version, worked out once per process; 9 or lower means Windows 7 or 8.
unsigned long RealOsMajorVersion();

}  // namespace zl
