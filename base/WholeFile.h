// Whole-file reads and writes for files that several processes rewrite at once.
#pragma once

#include <string>
#include <string_view>

namespace zl {

enum class FileRead {
    Read,     // out holds the whole file
    Missing,  // the folder holds no such file
    Failed,   // it exists, or its folder cannot be reached, and it could not be read: it
              // must not be overwritten
};

// Reads the whole file into out. Sharing and lock violations are retried for a short
// while; a file above kMaxWholeFile bytes counts as Failed.
FileRead ReadWholeFile(const std::wstring& path, std::string& out);

constexpr unsigned long long kMaxWholeFile = 64ull << 20;

// Writes bytes to a fresh file beside path and renames it over path, so readers and a
// save cut short at any point see either the old file or the new one, whole. False
// (path untouched, nothing left behind) when any step failed.
bool SaveWholeFile(const std::wstring& path, std::string_view bytes);

// Deletes the temporary files that saves of path left behind when their process ended
// mid-save. Only files a minute old go: a save in progress takes milliseconds.
void RemoveStaleSaves(const std::wstring& path);

}  // namespace zl
