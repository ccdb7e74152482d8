// Texts the updater builds from its results: sizes, build stamps, file names, list rows
// and the question about programs that still hold the old component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zl {

// "%u KB" below 1 MiB (rounded up), else "%u.%u MB" in tenths rounded half up.
std::wstring KBText(uint64_t bytes);

// "YYYY-MM-DD hh:mm" of a 14-character stamp, "未知" for an empty one, else unchanged.
std::wstring BuildStampText(const std::wstring& stamp);

// The text after the last '\' or '/'.
std::wstring BaseName(const std::wstring& path);

// One row of the file list: the path padded to 22 characters, three spaces, the size.
std::wstring FileListRow(const std::wstring& path, uint64_t size);

// The close question for `names` (in list order): at most six names, then "…".
std::wstring HostQuestionText(const std::vector<std::wstring>& names);

// The name of the mutex that keeps two updaters of one install folder apart.
std::wstring UpdaterMutexName(const std::wstring& installDir);

}  // namespace zl
