// The component's diagnostic log: trace.log in the user folder, one time-stamped line a call.
#pragma once

namespace zl {

// printf-style with the wide runtime conventions (%s takes a wide string). A message that
// formats to more than 500 characters, or to nothing, is dropped, as is every line while
// the log holds 1 MiB it could not move aside. Never fails its caller,
// nor throws: callers trace from their out-of-memory handlers.
void ZlTrace(const wchar_t* format, ...) noexcept;

// How long a line waits for the session's log lock (4 ms unless a test sets it).
void SetTraceLockWaitForTest(unsigned long ms);

}  // namespace zl
