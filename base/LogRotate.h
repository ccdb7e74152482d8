// Size-bounded logs: the current file moves aside once it grows past a limit.
#pragma once

#include <windows.h>

#include <string>

namespace zl {

// Moves log to old (replacing it) when log is larger than limit bytes; errors are ignored.
// Callers hold their log's lock: two renames one after the other would lose a whole log.
void RotateLogIfLarger(const std::wstring& log, const std::wstring& old, DWORD limit);

}  // namespace zl
