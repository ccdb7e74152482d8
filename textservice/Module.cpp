#include "Module.h"

HINSTANCE g_hInst = nullptr;
volatile LONG g_cObj = 0;
volatile LONG g_cLock = 0;

namespace zl {

std::wstring ModuleDirOf(HMODULE module) {
    wchar_t path[520] = {};
    const DWORD n = GetModuleFileNameW(module, path, 520);
    std::wstring full(path, n < 520 ? n : 519);
    const size_t cut = full.find_last_of(L"\\/");
    return cut == std::wstring::npos ? full : full.substr(0, cut);
}

}  // namespace zl
