// The update check and the component's background threads.
#include "TextService.h"

namespace zl {

bool CTextService::_LaunchUpdater() { return false; }

void CTextService::_CheckUpdate(bool) {}

bool PurgeBackupsAsync(const std::wstring&) { return false; }

DWORD WINAPI PurgeProc(LPVOID) { return 0; }

}  // namespace zl
