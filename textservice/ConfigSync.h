// How settings reach a running text service: polling config.ini's last-write time, and
// load-modify-save of the single settings the service changes itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Config.h"

namespace zl {

constexpr uint32_t kReloadIntervalSettingsFront = 150;  // ms, settings window in front
constexpr uint32_t kReloadInterval = 700;               // ms otherwise

// True when a poll is due at `now`; stamps lastCheck then. Unsigned tick arithmetic.
bool ReloadDue(uint32_t now, bool settingsInFront, uint32_t* lastCheck);

// The file's last-write time; false when its attributes cannot be read.
bool ReadWriteTime(const wchar_t* path, FILETIME* out);
bool SameFileTime(const FILETIME& a, const FILETIME& b);

// What a reload changed that needs more than copying the record.
struct ConfigDelta {
    bool statusBar = false;
    bool position = false;  // 状态条X or 状态条Y
    bool ctrlSpaceTurnedOff = false;
};
ConfigDelta CompareConfig(const Config& before, const Config& after);

// Load-modify-save: a fresh record with the defaults, the file loaded over it, one field
// changed, all keys saved; the new write time goes to *writeTime when it can be read, so
// the saver's own poll does not take the save for another writer's change. When another
// writer changed the file since *writeTime, the time is left alone: the next poll then
// still picks that change up.
template <class Change>
void SaveOneField(Change change, FILETIME* writeTime) {
    Config fresh;
    const std::wstring path = fresh.Path();
    FILETIME t;
    const bool unseen = ReadWriteTime(path.c_str(), &t) && !SameFileTime(t, *writeTime);
    fresh.Load();
    change(fresh);
    fresh.Save();
    if (!unseen && ReadWriteTime(path.c_str(), &t)) *writeTime = t;
}

// The numbered single settings of the menu and the status bar (0..8); any other number
// saves the file unchanged.
void SaveOption(int option, const Config& from, FILETIME* writeTime);

}  // namespace zl
