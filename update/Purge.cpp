#include "Purge.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "UniqueHandle.h"

namespace zl {

namespace {

constexpr DWORD kRetryMs = 60;

const wchar_t* const kPatterns[] = {L"\\*.old*", L"\\*.new*", L"\\*.pending*"};
const wchar_t* const kMarks[] = {L".old", L".new", L".pending"};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The wildcards also match 8.3 short names, so the long name is tested again here.
bool IsLeftover(const wchar_t* name) {
    std::wstring test(name);
    for (wchar_t& c : test) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    for (const wchar_t* mark : kMarks) {
        if (test.find(mark) != std::wstring::npos) return true;
    }
    return false;
}

bool DeleteWithRetry(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return true;
    Sleep(kRetryMs);
    return DeleteFileW(path.c_str()) != 0;
}

// A name that matches several patterns is tried (and counted) once.
void PurgeFolder(const std::wstring& folder, std::vector<std::wstring>& stayed) {
    for (const wchar_t* pattern : kPatterns) {
        WIN32_FIND_DATAW fd;
        FindHandle find(FindFirstFileW((folder + pattern).c_str(), &fd));
        if (!find) continue;
        do {
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] == 0) continue;
            if (!IsLeftover(fd.cFileName)) continue;
            const std::wstring path = folder + L"\\" + fd.cFileName;
            if (std::find(stayed.begin(), stayed.end(), path) != stayed.end()) continue;
            if (!DeleteWithRetry(path)) stayed.push_back(path);
        } while (FindNextFileW(find.Get(), &fd));
    }
}

}  // namespace

bool IsInstallFolder(const std::wstring& folder) {
    if (folder.empty()) return false;
    return Exists(folder + L"\\zlwb64.dll") || Exists(folder + L"\\zlwb32.dll");
}

void PurgeBackupFiles(const std::wstring& folder, unsigned* left) {
    std::vector<std::wstring> stayed;
    if (IsInstallFolder(folder)) {
        PurgeFolder(folder, stayed);
        PurgeFolder(folder + L"\\data", stayed);
    }
    if (left) *left = static_cast<unsigned>(stayed.size());
}

}  // namespace zl
