// The settings record, stored in config.ini in the per-user folder.
#pragma once

#include <cstdint>
#include <string>

namespace zl {

// "http://" + the default update server + "/downloads/update/".
const std::wstring& DefaultUpdateUrl();
// The home page shown in the about boxes: the default update server's front page.
const std::wstring& HomePageUrl();

struct Config {
    int scheme = 0;  // zl::Mode
    int pageSize = 5;
    int fontSize = 20;
    int vertical = 0;
    int autoCommit4 = 1;
    int autoCommit5 = 1;
    int freqAdjust = 1;
    int newWindowChinese = 1;
    int chinesePunct = 1;
    int showCode = 1;
    int gbkOnly = 1;
    int fuzzyPinyin = 0;
    int showHint = 1;
    int statusBar = 1;
    int statusTheme = 0;
    int statusSkin = 0;
    int statusTranslucent = 1;
    int statusAccent = 0;  // COLORREF; 0 = the theme's own
    int statusBase = 0;    // COLORREF; 0 = the theme's own
    int fullWidth = 0;
    int numpadSelect = 1;
    int shiftEnglish = 1;
    int shiftToggle = 1;
    int ctrlSpace = 1;
    int manualFreq = 1;
    int handwriting = 0;
    int statusX = -1;
    int statusY = -1;
    std::wstring spareText = L"\u9ED8\u8BA4";  // kept in memory only
    std::wstring updateUrl = DefaultUpdateUrl();
    int autoCheck = 1;
    int64_t lastCheck = 0;

    // UserDir() + "\config.ini"; creates the user folder when missing.
    std::wstring Path() const;
    // Reads every key present; missing keys keep their current values. False, and every
    // value kept, when config.ini exists but cannot be read.
    bool Load();
    // Writes all 31 keys; nothing when config.ini exists but cannot be read, or could not
    // when this record last loaded: its values would replace the user's.
    void Save() const;

private:
    bool loadFailed_ = false;
};

// The built-in defaults of every key: what a fresh record holds, and what restoring the
// defaults puts back.
Config DefaultConfig();

}  // namespace zl
