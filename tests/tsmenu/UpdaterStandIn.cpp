// Stands in for zlupd.exe: leaves "started.txt" in its working folder, then sets the
// event named by ZLTEST_UPDATER_EVENT so the test knows it ran.
#include <windows.h>

int wmain() {
    HANDLE f = CreateFileW(L"started.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    wchar_t name[128];
    const DWORD n = GetEnvironmentVariableW(L"ZLTEST_UPDATER_EVENT", name, 128);
    if (n > 0 && n < 128) {
        if (HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
            SetEvent(e);
            CloseHandle(e);
        }
    }
    return 0;
}
