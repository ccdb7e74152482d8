// Reading a learning file whole. Other processes replace these files by renaming, and
// older writers or scanners may hold them open without sharing for a moment: such a
// refusal is waited out briefly instead of being taken for an empty file.
#include <windows.h>

#include "UniqueHandle.h"
#include "WholeFile.h"

namespace zl {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kRetryMs = 10;
constexpr DWORD kBlock = 64 * 1024;

bool Transient(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

FileRead ReadWholeFile(const std::wstring& path, std::string& out) {
    out.clear();
    UniqueHandle file;
    for (int attempt = 0;; ++attempt) {
        file.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file.Valid()) break;
        const DWORD error = GetLastError();
        // Only a folder that answers can say the file is not there; a missing folder may be
        // a drive or share not reachable yet, whose file a later save would replace unread.
        if (error == ERROR_FILE_NOT_FOUND) return FileRead::Missing;
        if (!Transient(error) || attempt + 1 >= kOpenAttempts) return FileRead::Failed;
        Sleep(kRetryMs);
    }

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > kMaxWholeFile)
        return FileRead::Failed;
    out.reserve(static_cast<size_t>(size.QuadPart));

    // Read to the end rather than to the size seen at open, in case a writer that
    // works in place is still appending; the cap holds either way.
    char block[kBlock];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), block, kBlock, &got, nullptr)) {
            out.clear();
            return FileRead::Failed;
        }
        if (got == 0) break;
        if (out.size() + got > kMaxWholeFile) {
            out.clear();
            return FileRead::Failed;
        }
        out.append(block, got);
    }
    return FileRead::Read;
}

}  // namespace zl
