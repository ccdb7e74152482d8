// How a picked symbol reaches the application: the hosts that drop synthetic Unicode
// keystrokes (they get it through an edit session), the switches that force or test
// that road, and the keystroke road itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zl {

// The window's program is one of the hosts that ignore synthetic Unicode keystrokes.
bool IsStrictTsfHost(HWND window);
// The same test on a full image path or a bare file name (case does not matter).
bool IsStrictTsfImage(const std::wstring& imagePath);

// The environment variable holds fewer than 8 characters, the first being '1'.
bool EnvSwitchOn(const wchar_t* name);
// ZL_FORCE_TSF_SYMBOL, read at every call.
bool ForceTsfSymbol();
// ZL_SYMBOL_SIM_DROP, read once per process.
bool SymbolSimDrop();

// Key down and key up of every UTF-16 unit of the text, as Unicode keystrokes.
std::vector<INPUT> UnicodeKeystrokes(const std::wstring& text);
// Sends them, one SendInput call per unit; returns the number of calls made.
size_t SendUnicodeText(const std::wstring& text);

}  // namespace zl
