#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "HelpText.h"
#include "TempDir.h"

namespace {

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

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
        {"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(zldemo::DecodeHelpBytes(c.bytes), c.want) << c.bytes;
}

TEST(LoadHelpFile, FirstNonEmptyCandidateWins) {
    zltest::TempDir root;
    const std::wstring prog = root.File(L"prog");
    ASSERT_TRUE(CreateDirectoryW(prog.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((prog + L"\\dist").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(root.File(L"dist").c_str(), nullptr));
    EXPECT_EQ(zldemo::LoadHelpFile(prog), L"");

    ASSERT_TRUE(zltest::WriteBytes(root.File(L"dist\\使用说明.txt"), std::string("third\n")));
    EXPECT_EQ(zldemo::LoadHelpFile(prog), L"third\r\n");
    ASSERT_TRUE(zltest::WriteBytes(prog + L"\\dist\\使用说明.txt", std::string("second")));
    EXPECT_EQ(zldemo::LoadHelpFile(prog + L"\\"), L"second");
    ASSERT_TRUE(zltest::WriteBytes(prog + L"\\使用说明.txt", std::string("\xEF\xBB\xBF")));
    EXPECT_EQ(zldemo::LoadHelpFile(prog), L"second");  // a mark alone counts as empty
    ASSERT_TRUE(zltest::WriteBytes(prog + L"\\使用说明.txt", std::string("\xEF\xBB\xBF" "first")));
    EXPECT_EQ(zldemo::LoadHelpFile(prog), L"first");
}

TEST(BuiltInHelpText, LinesJoinedWithCrLf) {
    const std::wstring help = zldemo::BuiltInHelpText();
    EXPECT_EQ(help.rfind(L"未能读取“使用说明.txt”。\r\n\r\n常用操作：\r\n", 0), 0u);
    EXPECT_TRUE(EndsWith(help, L"\r\n\r\n状态条：中/英 · 五/拼 · 全/半 · 小键盘 · 设置"));
    const std::wstring keys = zldemo::ShortcutListText();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), L'\n'), 5);
    EXPECT_TRUE(EndsWith(keys, L"\r\nCtrl+数字 = 手动调频（把第 N 个候选调到首位）"));
}
