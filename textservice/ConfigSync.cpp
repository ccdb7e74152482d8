#include "ConfigSync.h"

namespace zl {

bool ReloadDue(uint32_t now, bool settingsInFront, uint32_t* lastCheck) {
    const uint32_t interval = settingsInFront ? kReloadIntervalSettingsFront : kReloadInterval;
    if (now - *lastCheck < interval) return false;
    *lastCheck = now;
    return true;
}

bool ReadWriteTime(const wchar_t* path, FILETIME* out) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    *out = data.ftLastWriteTime;
    return true;
}

bool SameFileTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

ConfigDelta CompareConfig(const Config& before, const Config& after) {
    ConfigDelta d;
    d.statusBar = before.statusBar != after.statusBar;
    d.position = before.statusX != after.statusX || before.statusY != after.statusY;
    d.ctrlSpaceTurnedOff = before.ctrlSpace != 0 && after.ctrlSpace == 0;
    return d;
}

void SaveOption(int option, const Config& from, FILETIME* writeTime) {
    static int Config::*const kFields[] = {
        &Config::fullWidth,         &Config::numpadSelect, &Config::statusBar,
        &Config::scheme,            &Config::manualFreq,   &Config::statusTranslucent,
        &Config::handwriting,       &Config::statusSkin,   &Config::vertical,
    };
    int Config::*field = nullptr;
    if (option >= 0 && option < static_cast<int>(sizeof kFields / sizeof kFields[0]))
        field = kFields[option];
    SaveOneField(
        [&](Config& c) {
            if (field) c.*field = from.*field;
        },
        writeTime);
}

}  // namespace zl
