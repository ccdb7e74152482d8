#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "HelpText.h"
#include "TempDir.h"

TEST(DecodeHelpBytes, ByteOrderMarkAndLineEnds) {
    const struct {
        std::string bytes;
        const wchar_t* want;
    } cases[] = {
        {"\xEF\xBB\xBF" "a\nb\n", L"a\r\nb\r\n"},
        {"a\r\nb\r\n", L"a\r\nb\r\n"},
        {"a\rb", L"ab"},  // carriage returns alone are dropped
        {"\xE4\xBD\xA0\xE5\xA5\xBD", L"你好"},
        {"a\xFF" "b", L"a\xFFFD" "b"},
        {"\xEF\xBB\xBF", L""},
        {"\xEF\xBB", L"\xFFFD"},  // too short to be a mark
    };
    for (const auto& c : cases) EXPECT_EQ(zldemo::DecodeHelpBytes(c.bytes), c.want) << c.bytes;
}

TEST(LoadHelpFile, FirstNonEmptyCandidateWins) {
    zltest::TempDir root;
    const std::wstring prog = root.File(L"prog");
    for (const std::wstring& dir : {prog, prog + L"\\dist", root.File(L"dist")})
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    EXPECT_EQ(zldemo::LoadHelpFile(prog), L"");
    const struct {
        std::wstring file;
        std::string bytes;
        const wchar_t* want;
    } steps[] = {
        {root.File(L"dist\\使用说明.txt"), "third\n", L"third\r\n"},
        {prog + L"\\dist\\使用说明.txt", "second", L"second"},
        {prog + L"\\使用说明.txt", "\xEF\xBB\xBF", L"second"},  // a mark alone counts as empty
        {prog + L"\\使用说明.txt", "\xEF\xBB\xBF" "first", L"first"},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(zltest::WriteBytes(s.file, s.bytes));
        EXPECT_EQ(zldemo::LoadHelpFile(prog), s.want);
    }
    EXPECT_EQ(zldemo::LoadHelpFile(prog + L"\\"), L"first");
}
