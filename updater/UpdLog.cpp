#include "UpdLog.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

#include "LogRotate.h"
#include "UniqueHandle.h"

namespace zl {

namespace {

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH, buf);
    return (n == 0 || n > MAX_PATH) ? std::wstring() : std::wstring(buf, n);
}

// The worker and the UI thread both log, and an elevated copy may log beside a second
// updater: the size check, rotation and append go under one lock.
constexpr wchar_t kLogLockName[] = L"Local\\ZelunWubiUpdaterLog";
constexpr DWORD kLogLockWaitMs = 200;

}  // namespace

std::wstring UpdLogPath() {
    const std::wstring dir = TempFolder();
    return dir.empty() ? std::wstring() : dir + L"zlupd.log";
}

void LogFile(const wchar_t* format, ...) {
    if (!format) return;
    wchar_t text[1025];
    va_list args;
    va_start(args, format);
    const int len = _vsnwprintf(text, 1024, format, args);
    va_end(args);
    if (len < 0 || len > 1024) return;
    char utf8[3 * 1024 + 2];  // three bytes a unit at most, then CR LF
    const int size = len == 0 ? 0 : WideCharToMultiByte(CP_UTF8, 0, text, len, utf8, sizeof utf8 - 2, nullptr, nullptr);
    if (len != 0 && size <= 0) return;
    utf8[size] = '\r';
    utf8[size + 1] = '\n';

    const std::wstring path = UpdLogPath();
    if (path.empty()) return;
    LogLock lock(kLogLockName, kLogLockWaitMs);
    RotateLogIfLarger(lock, path, path.substr(0, path.size() - 4) + L".old.log", kUpdLogRotateAbove);
    UniqueHandle f(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid() || LogFull(f.Get(), kUpdLogRotateAbove)) return;
    DWORD put = 0;
    WriteFile(f.Get(), utf8, static_cast<DWORD>(size + 2), &put, nullptr);
}

}  // namespace zl
