// A fresh folder under %TEMP% for one test, removed with its files afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zltest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool ReadBytes(const std::wstring& path, std::vector<uint8_t>& bytes);

}  // namespace zltest
