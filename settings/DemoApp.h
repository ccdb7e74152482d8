// The settings program's state and its windows. One UI thread owns all of it.
#pragma once

#include <windows.h>

#include <string>

#include "CandWindow.h"
#include "Config.h"
#include "Engine.h"
#include "SettingsWindow.h"
#include "UniqueHandle.h"

namespace zldemo {

// The main window's class and settings-mode title are the ones the text service looks for.
using zl::kSettingsClass;
using zl::kSettingsTitle;
constexpr wchar_t kInputClass[] = L"ZlDemoInput";
constexpr wchar_t kHelpClass[] = L"ZlHelpPopupWnd";
constexpr wchar_t kDemoTitle[] = L"泽仑五笔输入法 - 演示与设置";
constexpr wchar_t kAppCaption[] = L"泽仑五笔";

constexpr int kMainWidth = 675;
constexpr int kMainHeight = 720;
// The help text's background, in the main window's card and in the help window.
constexpr COLORREF kCardColour = 0xFDFFFF;

extern bool g_settingsOnly;
extern std::wstring g_folder;  // the program's own folder
extern zl::Config g_cfg;       // what the menus show
extern zl::Engine g_engine;    // the demonstration engine
extern zl::CandWindow g_cand;
extern HWND g_main;
extern HWND g_input;      // demonstration mode only
extern HWND g_helpPopup;  // the help window while it is open
extern std::wstring g_text;
extern std::wstring g_helpText;
extern zl::FontHandle g_font;
extern zl::FontHandle g_fontUI;
extern zl::BrushHandle g_cardBrush;  // kCardColour, for the main window's life

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK HelpPopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// WM_PAINT of a window that draws all of its client area: draw(dc, client) paints into a
// bitmap, which then goes to the screen in one piece.
void PaintBuffered(HWND hwnd, void (*draw)(HWND hwnd, HDC dc, const RECT& client));

// Help window and the main window's help control.
void OpenHelpWindow();
void SubclassMainHelp(HWND edit);

// The system colour dialog; true when the user confirmed a colour.
bool PickColor(HWND owner, COLORREF initial, COLORREF* result);

}  // namespace zldemo
