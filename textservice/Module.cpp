#include "Module.h"

HINSTANCE g_hInst = nullptr;
volatile LONG g_cObj = 0;
volatile LONG g_cLock = 0;
