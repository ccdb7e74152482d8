#include "Replace.h"

#include <windows.h>

namespace zl {

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FreeName(const std::wstring& target, const wchar_t* suffix) {
    return FreeSuffixName(target, suffix, Exists);
}

// A file in use that cannot be deleted is renamed out of the way and deleted at restart.
bool DeleteOrPark(const std::wstring& path) {
    if (DeleteFileW(path.c_str()) || !Exists(path)) return true;
    const std::wstring parked = FreeName(path, L".old");
    if (!MoveFileExW(path.c_str(), parked.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    MoveFileExW(parked.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}

}  // namespace

std::wstring FreeSuffixName(const std::wstring& target, const std::wstring& suffix,
                            const std::function<bool(const std::wstring&)>& exists) {
    std::wstring name = target + suffix;
    for (int k = 1; k < 200 && exists(name); ++k) name = target + suffix + std::to_wstring(k);
    return name;
}

ReplaceOutcome ReplaceInstalledFile(const std::wstring& source, const std::wstring& target) {
    ReplaceOutcome out;
    const std::wstring staging = FreeName(target, L".new");
    if (!CopyFileW(source.c_str(), staging.c_str(), FALSE)) {
        DeleteFileW(staging.c_str());
        return out;
    }
    if (MoveFileExW(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        out.result = ReplaceResult::Direct;
        return out;
    }

    // A module that is loaded can still be renamed: move it aside and take its name.
    if (Exists(target)) {
        const std::wstring aside = FreeName(target, L".old");
        if (MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            if (MoveFileExW(staging.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
                MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
                out.result = ReplaceResult::MovedAside;
                out.oldName = aside;
                return out;
            }
            if (!MoveFileExW(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) && !Exists(target)) {
                CopyFileW(aside.c_str(), target.c_str(), TRUE);
            }
        }
    }

    const std::wstring pend = FreeName(target, L".zlpend");
    const bool havePend = MoveFileExW(staging.c_str(), pend.c_str(), MOVEFILE_REPLACE_EXISTING) ||
                          CopyFileW(source.c_str(), pend.c_str(), FALSE);
    if (havePend &&
        MoveFileExW(pend.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        out.result = ReplaceResult::Staged;
        return out;
    }
    DeleteFileW(pend.c_str());
    DeleteFileW(staging.c_str());
    return out;
}

bool EnsureParentFolders(const std::wstring& installDir, const std::wstring& target) {
    bool ok = true;
    for (size_t cut = target.find(L'\\', installDir.size() + 1); cut != std::wstring::npos;
         cut = target.find(L'\\', cut + 1)) {
        const std::wstring folder = target.substr(0, cut);
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) ok = false;
    }
    return ok;
}

bool RemoveStalePending(const std::wstring& target) {
    bool ok = DeleteOrPark(target + L".zlpend");
    for (int k = 1; k < 200; ++k) {
        const std::wstring name = target + L".zlpend" + std::to_wstring(k);
        if (Exists(name)) ok = DeleteOrPark(name) && ok;
    }
    return ok;
}

}  // namespace zl
