// The demonstration box's typing: key-downs over its own engine, the text they leave
// and where the candidate window goes. No window is needed to call these.
#pragma once

#include <windows.h>

#include <string>

#include "CandWindow.h"
#include "Config.h"
#include "Engine.h"

namespace zldemo {

// The ASCII character of one of the eleven punctuation keys of a US layout, or 0.
wchar_t PunctKeyChar(UINT vk, bool shift);

// Sets the engine's scheme (clearing the engine when it changes) and stores it in cfg.
// Saving is the caller's.
void SelectScheme(zl::Engine& engine, zl::Config& cfg, int scheme);

// Copies the settings into the engine and recomputes what is being typed.
void ApplyOptions(zl::Engine& engine, const zl::Config& cfg);

// One key-down in the box: feeds the engine or edits `text`, then appends every pending
// commit to `text`. Tab cycles the scheme and saves it into a fresh load of config.ini
// (which cfg and the engine then hold). True when the box must
// be repainted (the key was used, or Tab).
bool InputKeyDown(zl::Engine& engine, zl::Config& cfg, std::wstring& text, UINT vk, bool shift);

// True when the candidate window is to be shown after a key.
bool WantsCandidates(const zl::Engine& engine);

// The candidate window's request for the box whose client top-left is at `box` on screen.
zl::CandShow CandShowFor(const zl::Engine& engine, const zl::Config& cfg, POINT box);

// The status line under the box.
std::wstring StatusLine(const zl::Engine& engine);

}  // namespace zldemo
