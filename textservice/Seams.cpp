#include "Seams.h"

#include <shellapi.h>

#include <ctime>

#include "OsVersion.h"

namespace zl {

Seams Seams::Real() {
    Seams s;
    s.tickCount = [] { return GetTickCount(); };
    s.unixTime = [] { return static_cast<int64_t>(std::time(nullptr)); };
    s.keyState = [](int vk) { return GetKeyState(vk); };
    s.asyncKeyState = [](int vk) { return GetAsyncKeyState(vk); };
    s.keyboardState = [](BYTE* keys) { return GetKeyboardState(keys) != FALSE; };
    s.foregroundWindow = [] { return GetForegroundWindow(); };
    s.cursorPos = [](POINT* pt) { return GetCursorPos(pt) != FALSE; };
    s.osMajorVersion = [] { return RealOsMajorVersion(); };
    s.messageBox = [](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
        return MessageBoxW(owner, text, caption, type);
    };
    s.shellExecute = [](const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                        const wchar_t* dir, int show) {
        return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file, params, dir, show));
    };
    return s;
}

Seams& TheSeams() {
    static Seams seams = Seams::Real();
    return seams;
}

}  // namespace zl
