// Loading the engine's data.
#include "Engine.h"

namespace zl {

bool Engine::Init(const std::wstring& folder) {
    dataDir = folder;
    ForgetSearches();
    if (!dict.Load(dataDir + L"\\zlwb.dat")) return false;
    // The user's learning is read only with a dictionary to rank it against.
    LoadUser();
    LoadPromote();
    return true;
}

}  // namespace zl
