#include "Version.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace zl {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The comparable run: after optional blanks and one "v", the digits and dots that follow.
std::wstring_view ComparableRun(std::wstring_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) ++i;
    if (i < s.size() && (s[i] == L'v' || s[i] == L'V')) ++i;
    size_t end = i;
    while (end < s.size() && (IsDigit(s[end]) || s[end] == L'.')) ++end;
    return s.substr(i, end - i);
}

// The dot-separated parts of the comparable run, each without leading zeros.
std::vector<std::wstring> VersionParts(const std::wstring& s) {
    const std::wstring_view run = ComparableRun(s);
    std::vector<std::wstring> parts;
    std::wstring cur;
    for (wchar_t c : run) {
        if (c == L'.') {
            parts.push_back(cur);
            cur.clear();
        } else if (!(cur.empty() && c == L'0')) {
            cur += c;
        }
    }
    if (!run.empty()) parts.push_back(cur);
    return parts;
}

int CompareDigits(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return a.size() > b.size() ? 1 : -1;
    const int c = a.compare(b);
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

}  // namespace

int CompareVersion(const std::wstring& a, const std::wstring& b) {
    const std::vector<std::wstring> pa = VersionParts(a);
    const std::vector<std::wstring> pb = VersionParts(b);
    const size_t n = pa.size() > pb.size() ? pa.size() : pb.size();
    static const std::wstring kZero;
    for (size_t i = 0; i < n; ++i) {
        const int c = CompareDigits(i < pa.size() ? pa[i] : kZero, i < pb.size() ? pb[i] : kZero);
        if (c != 0) return c;
    }
    return 0;
}

std::wstring ComparableVersion(const std::wstring& s) {
    const std::wstring_view run = ComparableRun(s);
    if (run.empty()) return std::wstring();
    // Readers of installed.ver drop a leading dot, which would make ".5" read as 5.
    return (run.front() == L'.' ? L"0" : L"") + std::wstring(run);
}

bool IsBuildStamp(const std::wstring& s) {
    if (s.size() != 14) return false;
    for (wchar_t c : s) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

int CompareBuildStamp(const std::wstring& a, const std::wstring& b) {
    if (!IsBuildStamp(a) || !IsBuildStamp(b)) return 0;
    return CompareDigits(a, b);
}

bool IncUpdateWouldDowngrade(const std::wstring& installed, const std::wstring& server,
                             const std::wstring& inc, bool installedTrusted) {
    if (!installedTrusted || installed.empty()) return false;
    if (!server.empty() && CompareVersion(installed, server) > 0) return true;
    if (!inc.empty() && CompareVersion(installed, inc) > 0) return true;
    return false;
}

bool IncUpdateIsStaleBuild(const std::wstring& installedVer, const std::wstring& incVer,
                           const std::wstring& installedBuild, const std::wstring& incBuild,
                           bool verTrusted, bool buildTrusted) {
    if (!verTrusted || !buildTrusted || installedVer.empty() || incVer.empty()) return false;
    if (CompareVersion(installedVer, incVer) != 0) return false;
    return CompareBuildStamp(installedBuild, incBuild) > 0;
}

std::wstring StampFromUtcFileTime(const FILETIME& t) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&t, &local) || !FileTimeToSystemTime(&local, &st)) {
        return std::wstring();
    }
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", st.wYear, st.wMonth,
                                st.wDay, st.wHour, st.wMinute, st.wSecond);
    if (n != 14) return std::wstring();
    return std::wstring(buf, buf + n);
}

}  // namespace zl
