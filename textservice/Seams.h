// The few system calls whose answers depend on time, the keyboard or the user. They
// default to the real calls; tests replace them (ScopedSeams) to drive timing rules and
// dialogs without sleeping or waiting for a person.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace zl {

struct Seams {
    std::function<DWORD()> tickCount;                 // GetTickCount
    std::function<int64_t()> unixTime;                // seconds since 1970
    std::function<SHORT(int)> keyState;               // GetKeyState
    std::function<SHORT(int)> asyncKeyState;          // GetAsyncKeyState
    std::function<HWND()> foregroundWindow;           // GetForegroundWindow
    std::function<bool(POINT*)> cursorPos;            // GetCursorPos
    std::function<unsigned long()> osMajorVersion;    // RealOsMajorVersion
    std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)> messageBox;  // MessageBoxW
    // ShellExecuteW(nullptr, verb, file, params, dir, show); the shell's result code.
    std::function<INT_PTR(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int)>
        shellExecute;

    // The real calls.
    static Seams Real();
};

// The process's seams. Set only while no other thread uses them (tests, before any worker).
Seams& TheSeams();

// Replaces the process's seams for one scope and restores the old ones afterwards.
class ScopedSeams {
public:
    explicit ScopedSeams(const Seams& s) : saved_(TheSeams()) { TheSeams() = s; }
    ~ScopedSeams() { TheSeams() = saved_; }
    ScopedSeams(const ScopedSeams&) = delete;
    ScopedSeams& operator=(const ScopedSeams&) = delete;

private:
    Seams saved_;
};

// Shorthands for the call sites.
inline DWORD NowTick() { return TheSeams().tickCount(); }
inline bool KeyHeld(int vk) { return (TheSeams().keyState(vk) & 0x8000) != 0; }
inline bool AsyncKeyHeld(int vk) { return (TheSeams().asyncKeyState(vk) & 0x8000) != 0; }
// Windows 7 or 8: the Shift tap is polled and the open/close compartment followed freely.
inline bool Pre10() { return TheSeams().osMajorVersion() <= 9; }

}  // namespace zl
