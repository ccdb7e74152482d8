// The two update manifests: version.txt (newest version, installer address, notes,
// incremental manifest address) and the incremental manifest (one line per file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zl {

struct UpdateInfo {
    std::wstring version;      // never empty in a parsed record
    std::wstring url;          // full installer or its page; may be empty
    std::wstring notes;
    std::wstring incManifest;  // empty when the manifest names none
};

struct IncFile {
    std::wstring path;  // relative to the install folder, separators as written
    uint64_t size = 0;  // 0 = not given
    uint32_t crc = 0;
    std::wstring url;   // may be empty
    int32_t arch = 0;   // 64, 32, or 0 for any
};

struct IncManifest {
    std::wstring version;
    std::wstring build;  // build stamp as written; may be empty or malformed
    std::wstring notes;
    std::vector<IncFile> files;  // never empty in a parsed record
};

// True when the manifest holds a version. On false `info` is left as it was.
bool ParseUpdateManifest(const std::string& bytes, UpdateInfo* info);

// True when at least one file line was accepted. On false `man` is left as it was.
// A size or CRC written with a minus sign or beyond its field's range (64 bits for the
// size, 32 bits for the CRC) makes the file line unusable: it is skipped.
bool ParseIncManifest(const std::string& bytes, IncManifest* man);

// A reference written in a manifest, made absolute against the manifest's own address:
// absolute URLs, drive paths and paths starting with '\' stay; anything else is put
// after the base's last '/' or '\' with its own leading separators removed.
std::wstring ResolveRelativeUrl(const std::wstring& base, const std::wstring& ref);
std::wstring ResolveDownloadUrl(const std::wstring& base, const std::wstring& ref);

// Strips TAB, LF, CR, space and U+FEFF from both ends.
std::wstring TrimW(const std::wstring& s);

// "http://" or "https://" (any case) followed by at least one character.
bool IsWebAddress(const std::wstring& s);

}  // namespace zl
