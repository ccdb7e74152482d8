#include <gtest/gtest.h>

#include <string>

#include "Manifest.h"
#include "TextDecode.h"

namespace {

std::string Utf16Le(const std::wstring& s) {
    std::string out("\xFF\xFE", 2);
    for (wchar_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

zl::UpdateInfo ParseInfo(const std::string& bytes, bool* ok) {
    zl::UpdateInfo info;
    *ok = zl::ParseUpdateManifest(bytes, &info);
    return info;
}

}  // namespace

TEST(DecodeText, EncodingsAndMarks) {
    EXPECT_EQ(zl::DecodeText(""), L"");
    EXPECT_EQ(zl::DecodeText("\xEF\xBB\xBF\xEF\xBB\xBF"), L"");
    EXPECT_EQ(zl::DecodeText("\xEF\xBB\xBF\xEF\xBB\xBF" "a=1"), L"a=1");
    EXPECT_EQ(zl::DecodeText("版本"), L"版本");
    EXPECT_EQ(zl::DecodeText(Utf16Le(L"版本=1")), L"版本=1");
    // An odd trailing byte of UTF-16 is dropped.
    EXPECT_EQ(zl::DecodeText(Utf16Le(L"ab") + "x"), L"ab");
    EXPECT_EQ(zl::DecodeText("\xB0\xE6\xB1\xBE"), L"版本");  // GBK
    // UTF-16 without its mark is not recognised.
    EXPECT_EQ(zl::DecodeText(std::string("v\0e\0r\0", 6)), std::wstring(L"v\0e\0r\0", 6));
}

TEST(TrimW, OnlyTheListedBlanks) {
    EXPECT_EQ(zl::TrimW(L"\t\r\n \uFEFFa b\uFEFF \r"), L"a b");
    EXPECT_EQ(zl::TrimW(L"\u3000a\u00A0\v"), L"\u3000a\u00A0\v");
    EXPECT_EQ(zl::TrimW(L" \t "), L"");
}

TEST(ParseUpdateManifest, KeysSeparatorsAndComments) {
    bool ok = false;
    for (const char* text : {" Version : 4.6.0 ", "VER=4.6.0", "最新版本：4.6.0", "版本=4.6.0",
                             "[update]\nversion=4.6.0", "\xEF\xBB\xBFversion=4.6.0\r\n"}) {
        EXPECT_EQ(ParseInfo(text, &ok).version, L"4.6.0") << text;
        EXPECT_TRUE(ok) << text;
    }
    for (const char* text : {"# version=4.6.0", "; version=4.6.0", "version 4.6.0", "",
                             "version=4.6.0\nversion=", "url=http://h/x"}) {
        ParseInfo(text, &ok);
        EXPECT_FALSE(ok) << text;
    }
    const zl::UpdateInfo all = ParseInfo(
        "version=4.6\n下载地址=http://h/setup.exe?a=b\n更新说明：修复\n增量清单=inc/manifest.txt\n"
        "unknown=x\n", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(all.url, L"http://h/setup.exe?a=b");
    EXPECT_EQ(all.notes, L"修复");
    EXPECT_EQ(all.incManifest, L"inc/manifest.txt");
    // "url:" splits at the first ':' as well, so the address stays whole.
    EXPECT_EQ(ParseInfo("version=1\nurl:http://h/a", &ok).url, L"http://h/a");
}

TEST(ParseUpdateManifest, ReplacesOnSuccessOnly) {
    zl::UpdateInfo info{L"old", L"u", L"n", L"i"};
    EXPECT_FALSE(zl::ParseUpdateManifest("url=x", &info));
    EXPECT_EQ(info.url, L"u");
    ASSERT_TRUE(zl::ParseUpdateManifest("version=4.6.0", &info));
    EXPECT_EQ(info.version, L"4.6.0");
    EXPECT_EQ(info.url, L"");
    EXPECT_EQ(info.notes, L"");
    EXPECT_EQ(info.incManifest, L"");
    EXPECT_FALSE(zl::ParseUpdateManifest("version=1", nullptr));
}

TEST(ParseUpdateManifest, OtherEncodingsAndLongLines) {
    bool ok = false;
    EXPECT_EQ(ParseInfo(Utf16Le(L"版本=4.6.0\r\n说明=好\r\n"), &ok).notes, L"好");
    EXPECT_TRUE(ok);
    // GBK: 最新版本=4.6.0, 说明=测试
    const zl::UpdateInfo gbk =
        ParseInfo("\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE=4.6.0\n\xCB\xB5\xC3\xF7=\xB2\xE2\xCA\xD4", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(gbk.version, L"4.6.0");
    EXPECT_EQ(gbk.notes, L"测试");
    const std::string longNotes(200000, 'n');
    EXPECT_EQ(ParseInfo("notes=" + longNotes + "\nversion=2", &ok).notes.size(), longNotes.size());
    EXPECT_TRUE(ok);
}

TEST(ParseIncManifest, FileLines) {
    zl::IncManifest man;
    ASSERT_TRUE(zl::ParseIncManifest(
        "version=4.6.0\n构建=20250101120000\nnotes=n\n"
        "file = bin\\a.dll | 1024 | 0x3c | files/a.dll | X64 \n"
        "file=a.dll\n"          // one field
        "file=|10\n"            // empty path
        "文件=b.dat|\n"         // empty size
        "file=c|12kb|xyz||AMD64|extra\n"
        "file=c|1||u|I386\n"
        "file=d|1|FFFFFFFF|u|arm64\n",
        &man));
    EXPECT_EQ(man.version, L"4.6.0");
    EXPECT_EQ(man.build, L"20250101120000");
    EXPECT_EQ(man.notes, L"n");
    ASSERT_EQ(man.files.size(), 5u);
    const zl::IncFile& a = man.files[0];
    EXPECT_EQ(a.path, L"bin\\a.dll");
    EXPECT_EQ(a.size, 1024u);
    EXPECT_EQ(a.crc, 0x3Cu);
    EXPECT_EQ(a.url, L"files/a.dll");
    EXPECT_EQ(a.arch, 64);
    const zl::IncFile& b = man.files[1];
    EXPECT_EQ(b.path, L"b.dat");
    EXPECT_EQ(b.size, 0u);
    EXPECT_EQ(b.crc, 0u);
    EXPECT_EQ(b.url, L"");
    EXPECT_EQ(b.arch, 0);
    EXPECT_EQ(man.files[2].size, 12u);
    EXPECT_EQ(man.files[2].crc, 0u);
    EXPECT_EQ(man.files[2].arch, 64);
    EXPECT_EQ(man.files[3].path, L"c");  // duplicates are kept in order
    EXPECT_EQ(man.files[3].arch, 32);
    EXPECT_EQ(man.files[4].crc, 0xFFFFFFFFu);
    EXPECT_EQ(man.files[4].arch, 0);
}

// One rule for numbers a field cannot hold: a size or CRC with a minus sign or beyond the
// field's range makes the file line unusable, so it is skipped like a line without a
// path. Nothing wraps into a plausible value.
TEST(ParseIncManifest, OutOfRangeNumbersSkipTheLine) {
    const char* bad[] = {
        "file=a|-1|10",
        "file=a|-0",
        "file=a|18446744073709551616",      // 2^64
        "file=a|1|100000000",               // nine hex digits
        "file=a|1|0x1FFFFFFFFFFFFFFFF",     // 17 hex digits
        "file=a|1|-3c",
    };
    for (const char* line : bad) {
        zl::IncManifest man;
        EXPECT_FALSE(zl::ParseIncManifest(line, &man)) << line;
        ASSERT_TRUE(zl::ParseIncManifest(std::string(line) + "\nfile=ok|1", &man)) << line;
        ASSERT_EQ(man.files.size(), 1u);
        EXPECT_EQ(man.files[0].path, L"ok");
    }
    zl::IncManifest man;
    ASSERT_TRUE(zl::ParseIncManifest("file=a|18446744073709551615|0x00000000FFFFFFFF", &man));
    EXPECT_EQ(man.files[0].size, UINT64_MAX);
    EXPECT_EQ(man.files[0].crc, 0xFFFFFFFFu);
}

TEST(ParseIncManifest, InvalidLeavesRecord) {
    zl::IncManifest man;
    man.version = L"keep";
    man.files.push_back(zl::IncFile{L"x", 1, 2, L"u", 0});
    EXPECT_FALSE(zl::ParseIncManifest("version=1\nbuild=20250101120000\nnotes=n", &man));
    EXPECT_FALSE(zl::ParseIncManifest("", &man));
    EXPECT_EQ(man.version, L"keep");
    ASSERT_EQ(man.files.size(), 1u);
    ASSERT_TRUE(zl::ParseIncManifest("file=y|3", &man));
    EXPECT_EQ(man.version, L"");
    ASSERT_EQ(man.files.size(), 1u);
    EXPECT_EQ(man.files[0].path, L"y");
    EXPECT_FALSE(zl::ParseIncManifest("file=y|3", nullptr));
}

TEST(ResolveDownloadUrl, Table) {
    const std::wstring base = L"http://h:8080/updates/version.txt";
    const std::wstring folder = L"http://h:8080/updates/";
    struct Case {
        std::wstring base, ref, want;
    } cases[] = {
        {base, L"files/a.dll", folder + L"files/a.dll"},
        {base, L"/files/a.dll", folder + L"files/a.dll"},
        {base, L"../a.dll", folder + L"../a.dll"},
        {base, L"/", folder},
        {base, L"", L""},
        {base, L"https://o/x", L"https://o/x"},
        {base, L"ftp://o/x", L"ftp://o/x"},
        {base, L"D:\\pkg\\a.dll", L"D:\\pkg\\a.dll"},
        {base, L"\\\\share\\pkg\\a.dll", L"\\\\share\\pkg\\a.dll"},
        {L"http://h/v.txt?x=a/b", L"a.dll", L"http://h/v.txt?x=a/a.dll"},
        {L"C:\\upd\\version.txt", L"a.dll", L"C:\\upd\\a.dll"},
        {L"version.txt", L"a.dll", L"a.dll"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zl::ResolveDownloadUrl(c.base, c.ref), c.want) << c.ref;
        EXPECT_EQ(zl::ResolveRelativeUrl(c.base, c.ref), c.want) << c.ref;
    }
}

TEST(IsWebAddress, SchemesAndLength) {
    EXPECT_TRUE(zl::IsWebAddress(L"http://h"));
    EXPECT_TRUE(zl::IsWebAddress(L"HTTPS://h/x"));
    EXPECT_FALSE(zl::IsWebAddress(L"http://"));
    EXPECT_FALSE(zl::IsWebAddress(L"https://"));
    EXPECT_FALSE(zl::IsWebAddress(L"file://h/x"));
    EXPECT_FALSE(zl::IsWebAddress(L"\\\\h\\x"));
}
