// A system DLL loaded from the system folder only, never through the search path of
// the host process (whose program or current folder may hold a planted copy).
#pragma once

#include <windows.h>

namespace zl {

class SystemLibrary {
public:
    // fileName is a bare file name such as L"dwmapi.dll"; anything with a path is refused.
    explicit SystemLibrary(const wchar_t* fileName);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    HMODULE Get() const { return module_; }

    // Null when the library is not loaded or has no such export.
    template <class F>
    F Proc(const char* name) const {
        return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                       : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

// True when the desktop composes windows and a visual style is active (both DLLs
// present, both functions found, both reporting on); the layered bar is translucent only then.
bool IsCompositionAvailable();

}  // namespace zl
