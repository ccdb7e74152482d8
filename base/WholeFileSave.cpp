// Saving a learning file by writing a fresh file beside it and renaming it over the
// old one: a rename within one folder replaces the directory entry in one step, so a
// process killed mid-save, a full disk or a failed write never leaves a cut file.
#include <windows.h>

#include <string>

#include "UniqueHandle.h"
#include "WholeFile.h"

namespace zl {

namespace {

constexpr int kRenameAttempts = 10;
constexpr DWORD kRetryMs = 10;
constexpr DWORD kMaxWrite = 1u << 20;
constexpr ULONGLONG kStaleAfter = 60ull * 10000000;  // FILETIME units

LONG g_saveSerial = 0;

// Unique among the processes and threads saving into the folder at the same time.
std::wstring TempNameFor(const std::wstring& path) {
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&g_saveSerial)) + L".tmp";
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD want = bytes.size() < kMaxWrite ? static_cast<DWORD>(bytes.size()) : kMaxWrite;
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data(), want, &wrote, nullptr) || wrote != want) return false;
        bytes.remove_prefix(want);
    }
    return true;
}

bool WriteTemp(const std::wstring& temp, std::string_view bytes) {
    UniqueHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    const bool written = WriteAll(file.Get(), bytes);
    // Some file systems report a failed write only when the handle is closed.
    return CloseHandle(file.Release()) && written;
}

// A read-only file or a folder under the target name refuses every rename; waiting for it
// would only stall the caller, which may be a host's UI thread.
bool LastingRefusal(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool RenameOver(const std::wstring& temp, const std::wstring& path) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        // A reader or another saver may have the old file open for a moment.
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt + 1 >= kRenameAttempts)
            return false;
        if (error == ERROR_ACCESS_DENIED && LastingRefusal(path)) return false;
        Sleep(kRetryMs);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

}  // namespace

bool SaveWholeFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring temp = TempNameFor(path);
    if (WriteTemp(temp, bytes) && RenameOver(temp, path)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

void RemoveStaleSaves(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((path + L".*.tmp").c_str(), &found));
    if (!find) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::wstring folder = FolderOf(path);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const ULONGLONG written = Ticks(found.ftLastWriteTime);
        if (written > Ticks(now) || Ticks(now) - written < kStaleAfter) continue;
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &found));
}

}  // namespace zl
