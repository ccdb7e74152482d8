// The component's module: its handle and the COM server's object counts.
#pragma once

#include <windows.h>

// Set at process attach (DllMain); tests set it to their own module.
extern HINSTANCE g_hInst;
// Text-service objects made by the class factory (never decremented when one is destroyed).
extern volatile LONG g_cObj;
// Live class factories plus outstanding LockServer(TRUE) calls.
extern volatile LONG g_cLock;
