// The update check and the component's background threads.
#include <cwchar>
#include <new>

#include "ConfigSync.h"
#include "Module.h"
#include "ModuleDir.h"
#include "Purge.h"
#include "Seams.h"
#include "TextService.h"
#include "UpdateCheck.h"

namespace zl {

namespace {

volatile LONG g_purgeOnce = 0;

}  // namespace

std::wstring DiskVersion() { return DiskVersionIn(ModuleDir(g_hInst)); }

bool CTextService::_LaunchUpdater() { return LaunchUpdaterIn(ModuleDir(g_hInst)); }

void CTextService::_CheckUpdate(bool manual) {
    if (manual && _LaunchUpdater()) return;
    if (config.updateUrl.empty()) {
        if (manual) {
            TheSeams().messageBox(statusBar.hwnd,
                                  L"未配置更新地址。\n\n请在 %APPDATA%\\ZelunWubi\\config.ini 的 [更新] 地址 里\n"
                                  L"填写 version.txt 的网址（或本地路径），再试一次。",
                                  L"检查更新", MB_ICONINFORMATION | MB_TOPMOST);
        }
        return;
    }
    const int64_t now = TheSeams().unixTime();
    if (!manual && (!AutoCheckDue(config.lastCheck, now) || !config.autoCheck)) return;

    // Recorded before the fetch: a failing address is not tried again for 12 hours.
    SaveOneField([now](Config& c) { c.lastCheck = now; }, &configWriteTime);
    config.lastCheck = now;
    engine.config.lastCheck = now;

    UpdateRequest* request = new (std::nothrow) UpdateRequest;
    if (!request) return;
    try {
        request->address = config.updateUrl;
        request->installDir = ModuleDir(g_hInst);
    } catch (...) {
        delete request;
        return;
    }
    request->manual = manual;
    StartUpdateWorker(request);
}

bool PurgeBackupsAsync(const std::wstring& folder) {
    if (InterlockedExchange(&g_purgeOnce, 1) != 0) return false;
    wchar_t* copy = new (std::nothrow) wchar_t[folder.size() + 1];
    if (!copy) return false;
    wmemcpy(copy, folder.c_str(), folder.size() + 1);
    HANDLE thread = CreateThread(nullptr, 0, PurgeProc, copy, 0, nullptr);
    if (!thread) {
        delete[] copy;
        return false;
    }
    CloseHandle(thread);
    return true;
}

DWORD WINAPI PurgeProc(LPVOID folderCopy) {
    wchar_t* folder = static_cast<wchar_t*>(folderCopy);
    if (!folder) return 0;
    try {
        PurgeBackupFiles(folder, nullptr);
    } catch (...) {
        // Nothing may leave the thread; the next process tries again.
    }
    delete[] folder;
    return 0;
}

}  // namespace zl
