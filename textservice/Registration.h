// The registry side of DllRegisterServer and DllUnregisterServer, with the roots as
// arguments so that tests can run it against keys of their own.
#pragma once

#include <windows.h>

#include <string>

namespace zl {

// Deletes subkey of root with everything below it. Refuses (false, nothing deleted) any
// key that is not one of the component's own, named by its class or profile identifier.
// Stops at the first child that cannot be deleted; false when anything stayed.
bool DeleteKeyTree(HKEY root, const std::wstring& subkey);

// Writes the class, TIP and profile keys under machine and, when that fails, under user;
// then the user's input-list value under user. S_OK only when the machine keys were
// written: TSF lists no per-user registration, so keys that went to user alone are
// reported as SELFREG_E_CLASS.
HRESULT RegisterKeys(HKEY machine, HKEY user, const std::wstring& modulePath);

// Removes every key and value RegisterKeys writes, under both roots.
void UnregisterKeys(HKEY machine, HKEY user);

}  // namespace zl
