// Running this thread's message loop for a while inside a test.
#pragma once

#include <windows.h>

#include <functional>

namespace zltest {

// Dispatches every message already queued.
void PumpPending();
// Dispatches messages for `ms` milliseconds.
void PumpFor(DWORD ms);
// Dispatches messages until `done` returns true (true) or `timeoutMs` passes (false).
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace zltest
