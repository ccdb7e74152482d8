// The folder a module's file stands in.
#pragma once

#include <windows.h>

#include <string>

namespace zl {

// The full path of module (the program for null), read into 520 characters and cut
// before its last '\' or '/' (unchanged when it has neither).
std::wstring ModuleDir(HMODULE module);

}  // namespace zl
