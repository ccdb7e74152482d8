#include "Download.h"

#include <wininet.h>

#include <vector>

#include "HttpRequest.h"
#include "UniqueHandle.h"

namespace zl {

namespace {

constexpr DWORD kBlock = 65536;

const wchar_t kCancelled[] = L"已取消";
const wchar_t kTooLarge[] = L"下载的文件超过允许的大小";
const wchar_t kReadFailed[] = L"下载中断（网络读取失败）";

std::wstring SizeMismatch(uint64_t got, uint64_t want) {
    return L"下载的文件大小不正确（收到 " + std::to_wstring(got) + L" 字节，应为 " +
           std::to_wstring(want) + L" 字节）";
}

std::wstring PartName(const std::wstring& dest) { return dest + L".part"; }

// Puts a finished ".part" file in place, or removes it.
bool Commit(const std::wstring& part, const std::wstring& dest, bool ok, std::wstring* err) {
    if (ok && MoveFileExW(part.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (ok) *err = L"无法写入临时文件：" + dest;
    DeleteFileW(part.c_str());
    return false;
}

bool CopyLocal(const std::wstring& src, const std::wstring& dest,
               const ProgressCallback& progress, std::wstring* err, uint64_t expectedSize) {
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExW(src.c_str(), GetFileExInfoStandard, &fa) ||
        (fa.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *err = L"复制失败：" + src;
        return false;
    }
    const uint64_t size = (static_cast<uint64_t>(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow;
    if (expectedSize != 0 && size != expectedSize) {
        *err = SizeMismatch(size, expectedSize);
        return false;
    }
    if (size > kMaxDownloadBytes) {
        *err = kTooLarge;
        return false;
    }
    // Whichever step fails, the copy failed: the user is told which file it was, not
    // the name of a temporary file.
    // CopyFileW carries the source's attributes over; a read-only copy could be neither
    // replaced by the next run nor deleted after this one.
    const std::wstring part = PartName(dest);
    if (!CopyFileW(src.c_str(), part.c_str(), FALSE) ||
        !SetFileAttributesW(part.c_str(), FILE_ATTRIBUTE_NORMAL) ||
        !MoveFileExW(part.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(part.c_str());
        *err = L"复制失败：" + src;
        return false;
    }
    if (progress) progress(1, 1);  // a copy cannot be cancelled halfway
    return true;
}

}  // namespace

bool DownloadHttp(const std::wstring& address, const std::wstring& dest,
                  const ProgressCallback& progress, DWORD accessType, std::wstring* err,
                  uint64_t expectedSize, bool* noRetry) {
    if (noRetry) *noRetry = false;
    if (address.empty()) {
        *err = L"下载地址为空";
        return false;
    }
    // A manifest may not lift the bound: a size it claims beyond it could fill the disk.
    if (expectedSize > kMaxDownloadBytes) {
        *err = kTooLarge;
        if (noRetry) *noRetry = true;
        return false;
    }
    HttpRequest req;
    if (!req.Init(accessType, 8000, 0, 20000, err)) return false;
    if (!req.Open(address, L"无法连接更新服务器", err)) return false;
    if (!req.CheckStatus(err)) return false;

    uint64_t declared = 0;
    const int hasLength = req.ContentLength(&declared);
    const uint64_t limit = expectedSize != 0 ? expectedSize : kMaxDownloadBytes;
    if (hasLength < 0 || (hasLength == 1 && declared > limit)) {
        *err = expectedSize != 0 && hasLength == 1 ? SizeMismatch(declared, expectedSize)
                                                   : std::wstring(kTooLarge);
        return false;
    }
    if (hasLength == 1 && expectedSize != 0 && declared != expectedSize) {
        *err = SizeMismatch(declared, expectedSize);
        return false;
    }
    const uint64_t total = hasLength == 1 ? declared : 0;

    const std::wstring part = PartName(dest);
    UniqueHandle file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        *err = L"无法写入临时文件：" + dest;
        if (noRetry) *noRetry = true;
        return false;
    }
    std::vector<char> buf(kBlock);  // per call, so that two threads may download at once
    uint64_t done = 0;
    bool ok = false;
    for (;;) {
        DWORD got = 0;
        if (!req.Read(buf.data(), kBlock, &got)) {
            *err = kReadFailed;
            break;
        }
        if (got == 0) {
            // The end of the data: a body shorter than announced is a broken transfer.
            const uint64_t want = total != 0 ? total : expectedSize;
            if ((hasLength == 1 || expectedSize != 0) && done != want) {
                *err = SizeMismatch(done, want);
                break;
            }
            ok = true;
            break;
        }
        if (got > limit - done) {
            *err = expectedSize != 0 ? SizeMismatch(done + got, expectedSize)
                                     : std::wstring(kTooLarge);
            break;
        }
        DWORD put = 0;
        if (!WriteFile(file.Get(), buf.data(), got, &put, nullptr) || put != got) {
            *err = L"写入磁盘失败（空间不足或被安全软件拦截）";
            if (noRetry) *noRetry = true;
            break;
        }
        done += got;
        if (progress && !progress(done, total != 0 ? total : done)) {
            *err = kCancelled;
            if (noRetry) *noRetry = true;
            break;
        }
    }
    req.Close();
    file.Reset();
    if (Commit(part, dest, ok, err)) return true;
    if (ok && noRetry) *noRetry = true;  // the data arrived; only the rename failed
    return false;
}

bool DownloadFile(const std::wstring& src, const std::wstring& dest,
                  const ProgressCallback& progress, std::wstring* err, uint64_t expectedSize) {
    std::wstring first;
    if (src.find(L"://") == std::wstring::npos) {
        const bool ok = CopyLocal(src, dest, progress, &first, expectedSize);
        if (!ok && err) *err = first;
        return ok;
    }
    bool noRetry = false;
    if (DownloadHttp(src, dest, progress, INTERNET_OPEN_TYPE_PRECONFIG, &first, expectedSize,
                     &noRetry)) {
        return true;
    }
    // After a cancel a second connection would only ask the user's callback again, and
    // after a local write failure it would fail the same way.
    if (!noRetry) {
        std::wstring second;
        if (DownloadHttp(src, dest, progress, INTERNET_OPEN_TYPE_DIRECT, &second, expectedSize)) {
            return true;
        }
        if (first.empty()) first = second;
    }
    if (err) *err = first;
    return false;
}

}  // namespace zl
