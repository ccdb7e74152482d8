// Downloading (or copying) one file of an incremental update, with progress and
// cancellation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace zl {

// (bytes done, bytes total); false asks to cancel. May be empty.
using ProgressCallback = std::function<bool(uint64_t, uint64_t)>;

// Upper bound of every download, whatever size the manifest gives.
constexpr uint64_t kMaxDownloadBytes = 512ull * 1024 * 1024;

// Downloads an address holding "://" (preconfigured proxy settings, then a direct
// connection unless the user cancelled) or copies a path to `dest`. The body is bounded
// by kMaxDownloadBytes and by `expectedSize` when given (0 = not given), and must match
// both the Content-Length and `expectedSize`. Data go to "<dest>.part" and are renamed to
// `dest` only on success, so a failed or cancelled download leaves no partial file under
// the target name.
bool DownloadFile(const std::wstring& src, const std::wstring& dest,
                  const ProgressCallback& progress, std::wstring* err = nullptr,
                  uint64_t expectedSize = 0);

// One HTTP attempt of DownloadFile with the given WinINet access type. `err` must not
// be null. *noRetry tells whether it ended because the callback asked to or the local
// file could not be written, where another connection cannot help.
bool DownloadHttp(const std::wstring& address, const std::wstring& dest,
                  const ProgressCallback& progress, DWORD accessType, std::wstring* err,
                  uint64_t expectedSize = 0, bool* noRetry = nullptr);

}  // namespace zl
