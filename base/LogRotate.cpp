#include "LogRotate.h"

namespace zl {

LogLock::LogLock(const wchar_t* name, DWORD waitMs) : mutex_(CreateMutexW(nullptr, FALSE, name)) {
    if (!mutex_.Valid()) return;
    const DWORD r = WaitForSingleObject(mutex_.Get(), waitMs);
    owned_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

LogLock::~LogLock() {
    if (owned_) ReleaseMutex(mutex_.Get());
}

void RotateLogIfLarger(const LogLock& held, const std::wstring& log, const std::wstring& old, DWORD limit) {
    if (!held.Owned()) return;
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExW(log.c_str(), GetFileExInfoStandard, &fad)) return;
    if (fad.nFileSizeHigh == 0 && fad.nFileSizeLow <= limit) return;
    MoveFileExW(log.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool LogFull(HANDLE log, DWORD limit) {
    LARGE_INTEGER size;
    return !GetFileSizeEx(log, &size) || size.QuadPart >= 4 * static_cast<LONGLONG>(limit);
}

}  // namespace zl
