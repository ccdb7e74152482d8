// Loading the engine's data.
#include "Engine.h"

#include <new>

namespace zl {

bool Engine::Init(const std::wstring& folder) {
    dataDir = folder;
    ForgetSearches();
    candidates.clear();  // their texts are read from the dictionary
    if (!dict.Load(dataDir + L"\\zlwb.dat")) return false;
    // The user's learning is read only with a dictionary to rank it against.
    std::shared_ptr<const std::string> userFile;
    LoadUser(&userFile);
    LoadPromote();
    StartShortLists(EffectiveMode(), std::move(userFile));
    try {
        ReserveScratch();
    } catch (const std::bad_alloc&) {
        // Each list grows its own room as it is built.
    }
    // A code typed before this load keeps its list, now read from this dictionary.
    Refresh();
    return true;
}

}  // namespace zl
