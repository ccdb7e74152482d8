#include "ManifestPath.h"

#include <windows.h>

#include <cwctype>
#include <set>

namespace zl {

namespace {

bool IsDeviceName(std::wstring seg) {
    const size_t dot = seg.find(L'.');
    if (dot != std::wstring::npos) seg.resize(dot);
    while (!seg.empty() && seg.back() == L' ') seg.pop_back();
    for (wchar_t& c : seg) c = static_cast<wchar_t>(std::towupper(c));
    if (seg == L"CON" || seg == L"PRN" || seg == L"AUX" || seg == L"NUL") return true;
    if (seg.size() == 4 && (seg.compare(0, 3, L"COM") == 0 || seg.compare(0, 3, L"LPT") == 0)) {
        // Windows also treats the superscript digits as port numbers.
        const wchar_t d = seg[3];
        return (d >= L'1' && d <= L'9') || d == L'\u00B9' || d == L'\u00B2' || d == L'\u00B3';
    }
    return false;
}

bool IsSafeSegment(const std::wstring& seg) {
    if (seg.empty() || seg == L"." || seg == L"..") return false;
    if (seg.back() == L'.' || seg.back() == L' ') return false;
    return !IsDeviceName(seg);
}

}  // namespace

std::wstring NormalisedManifestPath(const std::wstring& path) {
    std::wstring p = path;
    for (wchar_t& c : p) {
        if (c == L'/') c = L'\\';
    }
    return p;
}

bool IsSafeManifestPath(const std::wstring& path) {
    const std::wstring p = NormalisedManifestPath(path);
    if (p.empty() || p[0] == L'\\') return false;
    for (wchar_t c : p) {
        if (c < 0x20 || c == 0x7F || c == L':' || c == L'<' || c == L'>' || c == L'"' ||
            c == L'|' || c == L'?' || c == L'*')
            return false;
    }
    size_t start = 0;
    bool first = true;
    for (;;) {
        const size_t cut = p.find(L'\\', start);
        const std::wstring seg = p.substr(start, cut == std::wstring::npos ? std::wstring::npos : cut - start);
        if (!IsSafeSegment(seg)) return false;
        if (first && CompareStringOrdinal(seg.c_str(), -1, L"update_tmp", -1, TRUE) == CSTR_EQUAL) return false;
        first = false;
        if (cut == std::wstring::npos) return true;
        start = cut + 1;
    }
}

const std::wstring* PathNeedingAFileAsFolder(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> folded;
    folded.reserve(paths.size());
    for (const std::wstring& p : paths) {
        std::wstring f = NormalisedManifestPath(p);
        if (!f.empty()) CharUpperBuffW(&f[0], static_cast<DWORD>(f.size()));
        folded.push_back(std::move(f));
    }
    const std::set<std::wstring> files(folded.begin(), folded.end());
    for (size_t i = 0; i < folded.size(); ++i) {
        for (size_t cut = folded[i].find(L'\\'); cut != std::wstring::npos; cut = folded[i].find(L'\\', cut + 1)) {
            if (files.count(folded[i].substr(0, cut))) return &paths[i];
        }
    }
    return nullptr;
}

std::wstring LocalPathOf(const std::wstring& installDir, const std::wstring& path) {
    return installDir + L"\\" + NormalisedManifestPath(path);
}

bool TargetIsUnsafeOnDisk(const std::wstring& installDir, const std::wstring& path) {
    const std::wstring full = LocalPathOf(installDir, path);
    size_t pos = installDir.size();
    for (;;) {
        const size_t cut = full.find(L'\\', pos + 1);
        const std::wstring prefix = full.substr(0, cut);
        const DWORD a = GetFileAttributesW(prefix.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return false;  // nothing further exists yet
        if (a & FILE_ATTRIBUTE_REPARSE_POINT) return true;
        if (cut == std::wstring::npos) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return true;  // a file where a folder must be
        pos = cut;
    }
}

}  // namespace zl
