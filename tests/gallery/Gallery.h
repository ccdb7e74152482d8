// The gallery: every window in every theme and state, written as PNG files for a
// person to look at. Each window adds its pages from its own source file, declared
// in Pages.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Canvas.h"

namespace zlgallery {

class Gallery {
public:
    explicit Gallery(std::wstring folder) : folder_(std::move(folder)) {}

    HINSTANCE Instance() const { return GetModuleHandleW(nullptr); }
    // Writes <folder>\<name>.png.
    void Save(const std::wstring& name, const zltest::Canvas& canvas);
    // Copies `picture` onto a grey margin, clipped to `region` (in picture coordinates;
    // may be null, taken over), so rounded windows show their real outline.
    void SaveFramed(const std::wstring& name, const zltest::Canvas& picture, HRGN region);
    // A page that could not be drawn at all.
    void Fail(const std::wstring& name, const char* why);

    const std::vector<std::wstring>& Written() const { return written_; }
    int Failures() const { return failures_; }

private:
    std::wstring folder_;
    std::vector<std::wstring> written_;
    int failures_ = 0;
};

}  // namespace zlgallery
