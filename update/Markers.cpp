#include "Markers.h"

#include <windows.h>

#include "UniqueHandle.h"
#include "Version.h"
#include "WholeFile.h"

namespace zl {

namespace {

// Up to 63 bytes from the start of the file, or false when it cannot be opened.
bool ReadHead(const std::wstring& path, std::string* out) {
    // Sharing delete lets a writer rename a new marker over it meanwhile.
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    char buf[63];
    DWORD got = 0;
    if (!ReadFile(f.Get(), buf, sizeof buf, &got, nullptr)) got = 0;
    out->assign(buf, got);
    return true;
}

// Through base's save (temporary file and rename), so a failed write never leaves a
// marker half written. A save cut short by a crash leaves its temporary file behind:
// the next write of that marker clears such leftovers.
bool SaveMarker(const std::wstring& path, const std::string& bytes) {
    RemoveStaleSaves(path);
    return SaveWholeFile(path, bytes);
}

}  // namespace

std::wstring InstalledVersionOnDisk(const std::wstring& dir) {
    std::string head;
    if (dir.empty() || !ReadHead(dir + L"\\installed.ver", &head)) return std::wstring();
    std::wstring v;
    for (char c : head) {
        if (c >= '0' && c <= '9') {
            v += static_cast<wchar_t>(c);
        } else if (c == '.') {
            if (!v.empty()) v += L'.';
        } else if (c == '\t' || c == '\n' || c == '\r' || c == ' ') {
            break;
        }
    }
    return v;
}

std::wstring InstalledBuildOnDisk(const std::wstring& dir) {
    std::string head;
    if (dir.empty() || !ReadHead(dir + L"\\installed.build", &head)) return std::wstring();
    size_t n = 0;
    while (n < head.size() && head[n] >= '0' && head[n] <= '9') ++n;
    if (n != 14) return std::wstring();
    return std::wstring(head.begin(), head.begin() + 14);
}

bool WriteInstalledBuild(const std::wstring& dir, const std::wstring& stamp) {
    if (dir.empty() || !IsBuildStamp(stamp)) return false;
    std::string bytes(stamp.begin(), stamp.end());
    bytes += "\r\n";
    return SaveMarker(dir + L"\\installed.build", bytes);
}

bool WriteInstalledVersion(const std::wstring& dir, const std::wstring& version) {
    const std::wstring comparable = ComparableVersion(version);
    if (dir.empty() || comparable.empty()) return false;
    std::string bytes(comparable.begin(), comparable.end());  // digits and dots only
    bytes += '\n';
    return SaveMarker(dir + L"\\installed.ver", bytes);
}

}  // namespace zl
