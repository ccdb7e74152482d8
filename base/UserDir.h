// The per-user folder that holds config.ini, the learning files and the trace log.
#pragma once

#include <string>

namespace zl {

// ZLWB_USERDIR when it holds 1 to 519 characters (used exactly as it stands), else
// %APPDATA%\ZelunWubi, else the running program's folder. Creates the folder when
// missing (one level, failures ignored) and is worked out afresh on every call.
std::wstring UserDir();

}  // namespace zl
