#include "ZlTrace.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cwchar>
#include <string>

#include "LogRotate.h"
#include "OsVersion.h"
#include "ProductVersion.h"
#include "UniqueHandle.h"
#include "UserDir.h"

namespace zl {

namespace {

constexpr int kMaxMessage = 500;
constexpr DWORD kRotateAbove = 0x40000;  // 256 KiB

#ifdef _WIN64
constexpr wchar_t kArch[] = L"x64";
#else
constexpr wchar_t kArch[] = L"x86";
#endif

std::atomic<bool> s_sessionLogged{false};
std::atomic<DWORD> s_lockWaitMs{4};

std::wstring HostFileName() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0) return std::wstring();
    std::wstring full(path, n < MAX_PATH ? n : MAX_PATH);
    const size_t cut = full.rfind(L'\\');
    return cut == std::wstring::npos ? full : full.substr(cut + 1);
}

// Serialises the size check, rotation and append of every writer in the session. Windows
// appends atomically by itself, but not every implementation of the platform does.
// Callers run on host applications' UI threads, so the wait is a few milliseconds.
constexpr wchar_t kTraceLockName[] = L"Local\\ZelunWubiTraceLock";

// One append-only write per call. Opening fails at once on a file locked by another program
// or an unwritable folder; the line is then dropped without a retry, as it is at the cap.
void Append(const std::wstring& log, const std::string& bytes) {
    UniqueHandle f(CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return;
    if (LogFull(f.Get(), kRotateAbove)) return;
    DWORD written = 0;
    WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The line with the session banner before the first one, appended under the session's lock.
void WriteLine(const wchar_t* prefix, int prefixLen, const wchar_t* message, int len) {
    std::wstring text;
    if (!s_sessionLogged.exchange(true)) {
        const OSVERSIONINFOW os = QueryOsVersion();
        const std::wstring host = HostFileName();
        wchar_t banner[640];
        const int bannerLen =
            _snwprintf(banner, 639, L"%ls=== zlwb %ls %ls host=%ls os=%lu.%lu.%lu ===\r\n", prefix, kProductVersion, kArch,
                       host.c_str(), static_cast<unsigned long>(os.dwMajorVersion),
                       static_cast<unsigned long>(os.dwMinorVersion), static_cast<unsigned long>(os.dwBuildNumber));
        if (bannerLen > 0 && bannerLen <= 639) text.assign(banner, bannerLen);
    }
    text.append(prefix, prefixLen).append(message, len).append(L"\r\n");

    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return;
    std::string utf8(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr,
                            nullptr) != size)
        return;
    const std::wstring dir = UserDir();
    const std::wstring log = dir + L"\\trace.log";
    LogLock lock(kTraceLockName, s_lockWaitMs.load());
    RotateLogIfLarger(lock, log, dir + L"\\trace.old.log", kRotateAbove);
    Append(log, utf8);
}

}  // namespace

void ZlTrace(const wchar_t* format, ...) noexcept {
    if (!format) return;
    wchar_t message[kMaxMessage + 1];
    va_list args;
    va_start(args, format);
    const int len = _vsnwprintf(message, kMaxMessage, format, args);
    va_end(args);
    // Counted formatting reports -1 (or the full length) when the text does not fit.
    if (len <= 0 || len > kMaxMessage) return;
    message[len] = L'\0';

    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t prefix[96];
    const int prefixLen = _snwprintf(prefix, 95, L"[%04d-%02d-%02d %02d:%02d:%02d.%03d pid=%lu] ", t.wYear, t.wMonth,
                                     t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                                     static_cast<unsigned long>(GetCurrentProcessId()));
    if (prefixLen <= 0 || prefixLen > 95) return;
    prefix[prefixLen] = L'\0';

    try {
        WriteLine(prefix, prefixLen, message, len);
    } catch (...) {
        // Out of memory: the line is dropped.
    }
}

void SetTraceLockWaitForTest(unsigned long ms) { s_lockWaitMs.store(ms); }

}  // namespace zl
