// Version texts ("v4.5.3") and build stamps (14 digits, local YYYYMMDDhhmmss), and the
// two guards that keep the updater from installing older files.
#pragma once

#include <windows.h>

#include <string>

namespace zl {

// 1 when a is newer, -1 when b is newer, 0 when equal. Only the leading run of digits
// and dots (after blanks and one "v") counts; missing parts are 0. Parts of any length
// compare by value, so long numbers never wrap.
int CompareVersion(const std::wstring& a, const std::wstring& b);

// The part of a version text that CompareVersion looks at ("4.6.0" of "v4.6.0-rc1"),
// with a "0" put before a leading dot; empty when there is none.
std::wstring ComparableVersion(const std::wstring& s);

// Exactly 14 ASCII digits.
bool IsBuildStamp(const std::wstring& s);

// 1, -1 or 0; also 0 when either side is not a build stamp.
int CompareBuildStamp(const std::wstring& a, const std::wstring& b);

// True when a trusted installed version is newer than the server's or the incremental
// manifest's version (an empty one never counts as older).
bool IncUpdateWouldDowngrade(const std::wstring& installed, const std::wstring& server,
                             const std::wstring& inc, bool installedTrusted);

// True when both sides hold the same version and the installed build is strictly newer
// than the manifest's; needs both markers trusted.
bool IncUpdateIsStaleBuild(const std::wstring& installedVer, const std::wstring& incVer,
                           const std::wstring& installedBuild, const std::wstring& incBuild,
                           bool verTrusted, bool buildTrusted);

// The local-time build stamp of a UTC file time; empty when it cannot be converted.
std::wstring StampFromUtcFileTime(const FILETIME& t);

}  // namespace zl
