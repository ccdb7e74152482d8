// The updater's log: zlupd.log in the user's temporary folder, one UTF-8 line per call.
#pragma once

#include <string>

namespace zl {

// Above this size the log is renamed to zlupd.old.log before the next line.
constexpr unsigned long kUpdLogRotateAbove = 0x40000;  // 256 KiB

std::wstring UpdLogPath();

// printf-style with the wide runtime conventions (%ls for wide strings); at most 1024
// characters after formatting, else the line is dropped. Failures are silent.
void LogFile(const wchar_t* format, ...);

}  // namespace zl
