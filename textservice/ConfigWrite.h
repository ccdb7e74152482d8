// Load-modify-save of one setting, adopting the file's new write time so that the
// saver's own config.ini poll does not reload its own save.
#pragma once

#include <windows.h>

#include "Config.h"

namespace zl {

template <class Change>
void SaveOneSetting(Change change, FILETIME* writeTime) {
    Config fresh;
    fresh.Load();
    change(fresh);
    fresh.Save();
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (GetFileAttributesExW(fresh.Path().c_str(), GetFileExInfoStandard, &fad)) {
        *writeTime = fad.ftLastWriteTime;
    }
}

}  // namespace zl
