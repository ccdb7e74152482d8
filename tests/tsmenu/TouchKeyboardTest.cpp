// The touch keyboard's program is only ever taken by its full path.
#include <gtest/gtest.h>

#include <windows.h>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "TouchKeyboard.h"

namespace {

// Creates every missing folder of an absolute path below an existing root.
bool MakeDirs(const std::wstring& root, const std::wstring& rest) {
    std::wstring path = root;
    size_t start = 1;
    while (start <= rest.size()) {
        const size_t next = rest.find(L'\\', start);
        path = root + rest.substr(0, next);
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (next == std::wstring::npos) break;
        start = next + 1;
    }
    return true;
}

TEST(TouchKeyboard, ProgramOnlyByFullPath) {
    zltest::TempDir a, b;
    ASSERT_TRUE(MakeDirs(a.Path(), L"\\Common Files\\Microsoft Shared\\ink"));
    ASSERT_TRUE(MakeDirs(b.Path(), L"\\Microsoft Shared\\ink"));
    const std::wstring inA = a.Path() + L"\\Common Files\\Microsoft Shared\\ink";
    const std::wstring inB = b.Path() + L"\\Microsoft Shared\\ink";
    const std::wstring tipA = inA + L"\\TabTip.exe";
    const std::wstring tipB = inB + L"\\TabTip.exe";
    const std::wstring tooLong(520, L'x');
    // A TabTip.exe in the current folder must never be chosen.
    wchar_t oldCwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, oldCwd);
    ASSERT_TRUE(zltest::WriteBytes(a.File(L"TabTip.exe"), std::string("MZ")));
    SetCurrentDirectoryW(a.Path().c_str());

    const struct {
        bool fileA, fileB;
        const wchar_t* w6432;
        const wchar_t* common;
        std::wstring want;
    } cases[] = {
        {true, true, a.Path().c_str(), b.Path().c_str(), tipA},
        {false, true, a.Path().c_str(), b.Path().c_str(), tipB},
        {true, true, tooLong.c_str(), b.Path().c_str(), tipB},
        {true, true, nullptr, b.Path().c_str(), tipB},
        {false, false, a.Path().c_str(), b.Path().c_str(), L""},
        {true, false, nullptr, nullptr, L""},
    };
    for (const auto& c : cases) {
        DeleteFileW(tipA.c_str());
        DeleteFileW(tipB.c_str());
        if (c.fileA) {
            ASSERT_TRUE(zltest::WriteBytes(tipA, std::string("MZ")));
        }
        if (c.fileB) {
            ASSERT_TRUE(zltest::WriteBytes(tipB, std::string("MZ")));
        }
        zltest::ScopedEnv w(L"ProgramW6432", c.w6432);
        zltest::ScopedEnv m(L"CommonProgramFiles", c.common);
        EXPECT_EQ(zl::TouchKeyboardProgram(), c.want);
    }
    SetCurrentDirectoryW(oldCwd);
}

}  // namespace
