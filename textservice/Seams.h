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
    std::function<bool(BYTE*)> keyboardState;         // GetKeyboardState, 256 bytes
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

// Ctrl, Alt and Shift as GetKeyState sees them, in one read: under Wine every read is a
// round trip to the server, and a key-down needs all three.
struct Modifiers {
    bool ctrl = false, alt = false, shift = false;
};
inline Modifiers ReadModifiers() {
    BYTE k[256];
    if (!TheSeams().keyboardState(k)) return {KeyHeld(VK_CONTROL), KeyHeld(VK_MENU), KeyHeld(VK_SHIFT)};
    return {(k[VK_CONTROL] & 0x80) != 0, (k[VK_MENU] & 0x80) != 0, (k[VK_SHIFT] & 0x80) != 0};
}

}  // namespace zl
