#include "LearningKit.h"

#include <windows.h>

namespace zltest {

std::string LearningTest::Bytes(const std::wstring& path) const {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::wstring> LearningTest::TempFiles() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(dir.File(L"*.tmp").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileW(find, &fd));
    FindClose(find);
    return names;
}

std::wstring NumberedText(const std::wstring& prefix, int n) { return prefix + L"\x5B57" + std::to_wstring(n); }

}  // namespace zltest
