#include "OsVersion.h"

namespace zl {

OSVERSIONINFOW QueryOsVersion() {
    OSVERSIONINFOW vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    // ntdll is mapped into every process, so looking it up needs no load.
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto fn = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (fn && fn(&vi) == 0) return vi;
    }
    vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExW(&vi)) {
        vi = {};
        vi.dwOSVersionInfoSize = sizeof vi;
    }
    return vi;
}

unsigned long RealOsMajorVersion() {
    static const unsigned long major = QueryOsVersion().dwMajorVersion;
    return major;
}

}  // namespace zl
