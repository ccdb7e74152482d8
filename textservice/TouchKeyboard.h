// The system touch keyboard, which holds the handwriting panel.
#pragma once

#include <string>

namespace zl {

// Toggles it through its COM interface; true exactly when the object was created.
bool TipToggleViaCom();

// Full path of its program under ProgramW6432 or CommonProgramFiles, when the file is
// there; empty otherwise (a bare name would be looked up in the host's folders).
std::wstring TouchKeyboardProgram();

// Turns the handwriting button of the touch keyboard on (best effort).
void EnableTouchKeyboardHandwriting();

}  // namespace zl
