// zlgallery <folder> [--status-only]: renders the gallery into <folder> (created when
// missing) and fails when any picture could not be made. --status-only draws only the
// status bar, the one window whose size follows the screen's dpi.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Gallery.h"
#include "Pages.h"

namespace zlgallery {

void Gallery::Save(const std::wstring& name, const zltest::Canvas& canvas) {
    const std::wstring path = folder_ + L"\\" + name + L".png";
    if (zltest::SavePng(canvas, path)) {
        written_.push_back(path);
    } else {
        ++failures_;
        std::fprintf(stderr, "could not write %ls\n", path.c_str());
    }
}

void Gallery::SaveFramed(const std::wstring& name, const zltest::Canvas& picture, HRGN region) {
    constexpr int kMargin = 12;
    zltest::Canvas framed(picture.Width() + 2 * kMargin, picture.Height() + 2 * kMargin, 0x808080);
    if (region) {
        OffsetRgn(region, kMargin, kMargin);
        SelectClipRgn(framed.Dc(), region);
        DeleteObject(region);
    }
    BitBlt(framed.Dc(), kMargin, kMargin, picture.Width(), picture.Height(), picture.Dc(), 0, 0, SRCCOPY);
    SelectClipRgn(framed.Dc(), nullptr);
    Save(name, framed);
}

void Gallery::Fail(const std::wstring& name, const char* why) {
    ++failures_;
    std::fprintf(stderr, "%ls: %s\n", name.c_str(), why);
}

}  // namespace zlgallery

int wmain(int argc, wchar_t** argv) {
    const bool statusOnly = argc == 3 && std::wstring(argv[2]) == L"--status-only";
    if (argc != 2 && !statusOnly) {
        std::fprintf(stderr, "usage: zlgallery <folder> [--status-only]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "cannot create %ls\n", folder.c_str());
        return 2;
    }
    zlgallery::Gallery g(folder);
    if (!statusOnly) zlgallery::AddCandidatePages(g);
    zlgallery::AddStatusBarPages(g);
    if (!statusOnly) zlgallery::AddSymbolPages(g);
    if (!statusOnly) zlgallery::AddDemoPages(g);
    for (const std::wstring& p : g.Written()) std::printf("%ls\n", p.c_str());
    std::printf("%u pictures, %d failures\n", static_cast<unsigned>(g.Written().size()), g.Failures());
    return g.Failures() == 0 && !g.Written().empty() ? 0 : 1;
}
