// The installation markers in the install folder: installed.ver (version text, one LF)
// and installed.build (14-digit build stamp, CR LF). Writers replace a marker through a
// temporary file and a rename, so a failed write never leaves it half written.
#pragma once

#include <string>

namespace zl {

// The digits and dots of the first 63 bytes of installed.ver; empty when unreadable.
std::wstring InstalledVersionOnDisk(const std::wstring& dir);

// The stamp at the start of installed.build, or empty unless exactly 14 digits lead.
std::wstring InstalledBuildOnDisk(const std::wstring& dir);

// False for an empty folder or a stamp that is not 14 digits (nothing is touched), and
// when the file could not be written and put in place.
bool WriteInstalledBuild(const std::wstring& dir, const std::wstring& stamp);

// Writes the comparable part of the version (ComparableVersion) followed by LF: the
// reader skips letters but keeps later digits, so "4.6.0-rc1" written whole would come
// back as 4.6.01 and outrank 4.6.0 and 4.6.1. False for an empty folder, a version
// without a comparable part (nothing is touched), and when the write failed.
bool WriteInstalledVersion(const std::wstring& dir, const std::wstring& version);

}  // namespace zl
