// zltspeer: a text service in a second process sharing the Chinese/English block.
//   english READY QUIT   switch to English, set event READY, deactivate once QUIT is set
//   tick                 one status-bar tick; exit code 10 + the mode it then has (1 Chinese)
//   os                   exit code: the OS major version the service works with
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "OsVersion.h"
#include "TextService.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    const std::wstring cmd = argv[1];
    if (cmd == L"os") {
        LocalFree(argv);
        return static_cast<int>(zl::RealOsMajorVersion());
    }
    auto* service = new zl::CTextService();
    int code = service->_MapChineseBlock() ? 2 : 3;
    if (code == 2 && cmd == L"english" && argc >= 4) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
        HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
        if (ready && quit) {
            service->_SetChinese(false, L"peer");
            SetEvent(ready);
            code = WaitForSingleObject(quit, 60000) == WAIT_OBJECT_0 ? 0 : 4;
        }
        if (ready) CloseHandle(ready);
        if (quit) CloseHandle(quit);
    } else if (code == 2 && cmd == L"tick") {
        service->_OnStatusTick();
        code = 10 + service->chinese;
    }
    service->Deactivate();
    service->Release();
    LocalFree(argv);
    return code;
}
