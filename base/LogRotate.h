// Size-bounded logs shared by several writers: a cross-process lock, and the current file
// moving aside once it grows past a limit.
#pragma once

#include <windows.h>

#include <string>

#include "UniqueHandle.h"

namespace zl {

// The named mutex of one log, waited for at most waitMs: a writer that stalls while holding
// it costs the others no more. One that did not get it may still append, never rotate.
class LogLock {
public:
    LogLock(const wchar_t* name, DWORD waitMs);
    ~LogLock();
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
    bool Owned() const { return owned_; }

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

// Moves log to old (replacing it) when log is larger than limit bytes and `held` is owned:
// two renames one after the other would lose a whole log. Errors are ignored.
void RotateLogIfLarger(const LogLock& held, const std::wstring& log, const std::wstring& old, DWORD limit);

// True when the open log takes no more lines: it holds four times its rotation limit, or
// its size cannot be read. A log that cannot move aside (its old file a folder, or held
// open without delete sharing, or no writer winning the lock) stops there instead of
// filling the disk.
bool LogFull(HANDLE log, DWORD limit);

}  // namespace zl
