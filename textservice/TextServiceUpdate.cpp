// The update check and the component's background threads.
#include "TextService.h"

namespace zl {

bool CTextService::_LaunchUpdater() { return false; }

void CTextService::_CheckUpdate(bool) {}

void PurgeBackupsAsync(const std::wstring&) {}

}  // namespace zl
