#include "Module.h"

#include "ModuleDir.h"

HINSTANCE g_hInst = nullptr;
volatile LONG g_cObj = 0;
volatile LONG g_cLock = 0;

namespace zl {

std::wstring ModuleDirOf(HMODULE module) { return ModuleDir(module); }

}  // namespace zl
