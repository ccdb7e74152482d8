#include "LogRotate.h"

namespace zl {

void RotateLogIfLarger(const std::wstring& log, const std::wstring& old, DWORD limit) {
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExW(log.c_str(), GetFileExInfoStandard, &fad)) return;
    if (fad.nFileSizeHigh == 0 && fad.nFileSizeLow <= limit) return;
    MoveFileExW(log.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace zl
