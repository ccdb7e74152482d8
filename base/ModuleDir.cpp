#include "ModuleDir.h"

namespace zl {

std::wstring ModuleDir(HMODULE module) {
    wchar_t path[520] = {};
    const DWORD n = GetModuleFileNameW(module, path, 520);
    std::wstring dir(path, n < 520 ? n : 519);
    const size_t cut = dir.find_last_of(L"\\/");
    if (cut != std::wstring::npos) dir.resize(cut);
    return dir;
}

}  // namespace zl
