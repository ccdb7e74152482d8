// Command ids of the main window's menus.
#pragma once

namespace zldemo {

enum MenuId : unsigned {
    kIdSaveSettings = 102,
    kIdResetDefaults = 103,
    kIdCheckUpdate = 110,
    kIdTheme = 111,
    kIdAccent = 112,
    kIdBase = 113,
    kIdOptionFirst = 200,  // 200..214: the option table
    kIdClearDemo = 301,
    kIdSelectHelp = 302,
    kIdCopyHelp = 303,
    kIdTopMost = 310,
    kIdMinimise = 311,
    kIdClose = 312,
    kIdShowHelp = 320,
    kIdShortcuts = 321,
    kIdVersion = 330,
    kIdAbout = 331,
    kIdHomePage = 332,
    kIdDownloadPage = 333,
    kIdSkinDefault = 340,
    kIdAccentDefault = 341,
    kIdBaseDefault = 342,
    kIdSkinClassic = 343,
    kIdSkinFrame = 344,
    kIdSchemeWubi = 350,
    kIdSchemePinyin = 351,
    kIdSchemeMixed = 352,
};

}  // namespace zldemo
