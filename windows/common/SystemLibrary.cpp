#include "SystemLibrary.h"

#include <cwchar>

namespace zl {

namespace {

bool IsBareFileName(const wchar_t* name) {
    if (!name || !*name) return false;
    for (const wchar_t* p = name; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':') return false;
    }
    return wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0;
}

}  // namespace

SystemLibrary::SystemLibrary(const wchar_t* fileName) {
    if (!IsBareFileName(fileName)) return;
    // A full path works on every version; LOAD_LIBRARY_SEARCH_SYSTEM32 needs an update on Windows 7.
    wchar_t path[MAX_PATH];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    size_t nameLen = wcslen(fileName);
    if (n + 1 + nameLen >= MAX_PATH) return;
    path[n] = L'\\';
    wmemcpy(path + n + 1, fileName, nameLen + 1);
    module_ = LoadLibraryExW(path, nullptr, 0);
}

SystemLibrary::~SystemLibrary() {
    if (module_) FreeLibrary(module_);
}

bool IsCompositionAvailable() {
    using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
    using IsThemeActiveFn = BOOL(WINAPI*)();
    SystemLibrary dwm(L"dwmapi.dll");
    auto isComposed = dwm.Proc<DwmIsCompositionEnabledFn>("DwmIsCompositionEnabled");
    BOOL composed = FALSE;
    if (!isComposed || FAILED(isComposed(&composed)) || !composed) return false;
    SystemLibrary uxtheme(L"uxtheme.dll");
    auto isThemed = uxtheme.Proc<IsThemeActiveFn>("IsThemeActive");
    return isThemed && isThemed() != FALSE;
}

}  // namespace zl
