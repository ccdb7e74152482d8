// Fetching the two manifests over HTTP(S) or from a local or shared folder, and handing
// addresses to the shell. Failures come back as false with a message for the user.
#pragma once

#include <windows.h>

#include <string>

#include "Manifest.h"

namespace zl {

// Fetches version.txt from the update address: a folder address (ending in '/' or '\')
// or a web address naming no file gets "version.txt"; url and incManifest come back
// absolute. Addresses in a manifest fetched from the network must be http(s) URLs.
// A null `info` gives false without a message; on failure `info` is left as it was.
bool FetchUpdateInfo(const std::wstring& address, UpdateInfo* info, std::wstring* err = nullptr);

// Fetches the incremental manifest (over the network when the address holds "://") and
// resolves the file URLs against it; a manifest from the network may only name http(s)
// URLs. `stamp` receives the publication time as a build stamp (empty when unknown).
bool FetchIncManifest(const std::wstring& address, IncManifest* man, std::wstring* err = nullptr,
                      std::wstring* stamp = nullptr);

// What the user is told when no update address is configured. Shown as it stands, never
// used as a format string: it holds a literal %APPDATA%.
extern const wchar_t kNoAddressText[];

// Opens a non-empty address with the shell.
void OpenUrl(const std::wstring& address);

// What to open for a newer version: the manifest's download address, or the configured
// address when it has none. A manifest fetched over the network may only send the
// browser to an http(s) address; anything else falls back to the configured address.
std::wstring DownloadAddress(const UpdateInfo& info, const std::wstring& configured);

// Library-internal steps, exposed for tests. `err` must not be null.

// At most the first 65536 bytes of a file; `stamp` (optional) gets its write time.
bool ReadLocal(const std::wstring& path, std::string* out, std::wstring* err,
               std::wstring* stamp);
// One GET with the given WinINet access type; stops after the block that takes the
// body past 65535 bytes. `stamp` (optional) is set only from a Last-Modified header.
bool HttpGetWith(const std::wstring& address, DWORD accessType, std::string* out,
                 std::wstring* err, std::wstring* stamp);
// The preconfigured proxy settings first, then a direct connection.
bool HttpGet(const std::wstring& address, std::string* out, std::wstring* err,
             std::wstring* stamp);

}  // namespace zl
