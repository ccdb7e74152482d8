// Stands in for the component: the host tests load it under the name zlwb64.dll or zlwb32.dll.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
