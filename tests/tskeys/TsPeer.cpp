// zltspeer: a text service in a second process sharing the Chinese/English block.
//   english      switch to English and leave without deactivating; exit code 0
//   deactivate   deactivate (which writes Chinese); exit code 0
//   tick         one status-bar tick; exit code 10 + the mode it then has (1 Chinese)
//   os           exit code: the OS major version the service works with
#include <windows.h>

#include <string>

#include "OsVersion.h"
#include "TextService.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
    const std::wstring cmd = args;
    if (cmd == L"os") return static_cast<int>(zl::RealOsMajorVersion());
    auto* service = new zl::CTextService();
    int code = service->_MapChineseBlock() ? 0 : 3;
    if (code == 0 && cmd == L"english") service->_SetChinese(false, L"peer");
    else if (code == 0 && cmd == L"deactivate") service->Deactivate();
    else if (code == 0 && cmd == L"tick") service->_OnStatusTick(), code = 10 + service->chinese;
    else if (code == 0) code = 2;
    service->Release();
    return code;
}
