// config.ini through the real profile functions: file layout, round trips, clamps, garbage.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "Config.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "UniqueHandle.h"

using zltest::ReadBytes;
using zltest::ScopedEnv;
using zltest::TempDir;
using zltest::WriteBytes;

namespace {

// Every stored field, in one comparable text.
std::wstring Dump(const zl::Config& c) {
    std::wostringstream s;
    s << c.scheme << ' ' << c.pageSize << ' ' << c.fontSize << ' ' << c.vertical << ' ' << c.autoCommit4 << ' '
      << c.autoCommit5 << ' ' << c.freqAdjust << ' ' << c.newWindowChinese << ' ' << c.chinesePunct << ' '
      << c.showCode << ' ' << c.gbkOnly << ' ' << c.fuzzyPinyin << ' ' << c.showHint << ' ' << c.statusBar << ' '
      << c.statusTheme << ' ' << c.statusSkin << ' ' << c.statusTranslucent << ' ' << c.statusAccent << ' '
      << c.statusBase << ' ' << c.fullWidth << ' ' << c.numpadSelect << ' ' << c.shiftEnglish << ' '
      << c.shiftToggle << ' ' << c.ctrlSpace << ' ' << c.manualFreq << ' ' << c.handwriting << ' ' << c.statusX
      << ' ' << c.statusY << " [" << c.spareText << "] [" << c.updateUrl << "] " << c.autoCheck << ' '
      << c.lastCheck;
    return s.str();
}

std::vector<uint8_t> Utf16File(const std::wstring& text) {
    std::vector<uint8_t> b = {0xFF, 0xFE};
    for (wchar_t ch : text) {
        b.push_back(static_cast<uint8_t>(ch & 0xFF));
        b.push_back(static_cast<uint8_t>(ch >> 8));
    }
    return b;
}

// The file as text; empty when it does not start with a UTF-16LE byte-order mark.
std::wstring ReadUtf16(const std::wstring& path) {
    std::vector<uint8_t> b;
    if (!ReadBytes(path, b) || b.size() < 2 || b[0] != 0xFF || b[1] != 0xFE) return std::wstring();
    std::wstring s;
    for (size_t i = 2; i + 1 < b.size(); i += 2) s.push_back(static_cast<wchar_t>(b[i] | (b[i + 1] << 8)));
    return s;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> out;
    std::wistringstream s(text);
    std::wstring line;
    while (std::getline(s, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

class ConfigFile : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv env{L"ZLWB_USERDIR", dir.Path().c_str()};
    std::wstring file = dir.File(L"config.ini");

    zl::Config LoadFrom(const std::wstring& text) {
        EXPECT_TRUE(WriteBytes(file, Utf16File(text)));
        zl::Config c;
        c.Load();
        return c;
    }
};

}  // namespace

// Wine takes the ANSI code page from the locale it was started in; ctest runs this
// program once with 1252 and once with 936, and says which through ZL_TEST_ACP.
TEST(ConfigLocale, RunsUnderTheIntendedCodePage) {
    wchar_t want[16];
    const DWORD n = GetEnvironmentVariableW(L"ZL_TEST_ACP", want, 16);
    if (n == 0 || n >= 16) GTEST_SKIP() << "ZL_TEST_ACP not set; code page " << GetACP();
    EXPECT_EQ(GetACP(), wcstoul(want, nullptr, 10));
}

TEST_F(ConfigFile, PathIsTheUserFolderPlusFileName) {
    EXPECT_EQ(zl::Config().Path(), file);
    const std::wstring trailing = dir.Path() + L"\\";
    ScopedEnv env2(L"ZLWB_USERDIR", trailing.c_str());
    EXPECT_EQ(zl::Config().Path(), trailing + L"\\config.ini");
}

TEST_F(ConfigFile, FirstSaveCreatesAUnicodeFileWithAll31Keys) {
    zl::Config c;
    c.pageSize = 7;
    c.Load();  // no file: nothing changes
    EXPECT_EQ(c.pageSize, 7);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);

    zl::Config().Save();
    const std::vector<std::wstring> lines = Lines(ReadUtf16(file));
    std::vector<std::wstring> sections;
    size_t keys = 0;
    for (const std::wstring& l : lines) {
        if (l.front() == L'[')
            sections.push_back(l);
        else if (l.find(L'=') != std::wstring::npos)
            ++keys;
    }
    EXPECT_EQ(sections, (std::vector<std::wstring>{L"[方案]", L"[界面]", L"[输入]", L"[编码]", L"[更新]"}));
    EXPECT_EQ(keys, 31u);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], L"默认=0");
    EXPECT_EQ(lines[3], L"候选个数=5");
    EXPECT_EQ(lines[lines.size() - 3], L"地址=");
    EXPECT_EQ(lines[lines.size() - 2], L"自动检测=1");
    EXPECT_EQ(lines.back(), L"上次检测=0");

    zl::Config again;
    again.Load();
    EXPECT_EQ(Dump(again), Dump(zl::Config()));

    // Saving again rewrites the same keys rather than adding new ones.
    zl::Config().Save();
    EXPECT_EQ(Lines(ReadUtf16(file)).size(), lines.size());
}

TEST_F(ConfigFile, EveryFieldRoundTrips) {
    zl::Config c;
    c.scheme = 2;
    c.pageSize = 9;
    c.fontSize = 48;
    c.vertical = 1;
    c.autoCommit4 = 0;
    c.autoCommit5 = 0;
    c.freqAdjust = 0;
    c.newWindowChinese = 0;
    c.chinesePunct = 0;
    c.showCode = 0;
    c.gbkOnly = 0;
    c.fuzzyPinyin = 1;
    c.showHint = 0;
    c.statusBar = 0;
    c.statusTheme = 2;
    c.statusSkin = 2;
    c.statusTranslucent = 0;
    c.statusAccent = 0x00123456;
    c.statusBase = 0x00FEDCBA;
    c.fullWidth = 1;
    c.numpadSelect = 0;
    c.shiftEnglish = 0;
    c.shiftToggle = 0;
    c.ctrlSpace = 0;
    c.manualFreq = 0;
    c.handwriting = 1;
    c.statusX = -1;
    c.statusY = 1234;
    c.updateUrl = L"D:\\更新\\包";
    c.autoCheck = 0;
    c.lastCheck = 4102444800LL;  // above 2^31
    c.Save();

    zl::Config back;
    back.Load();
    EXPECT_EQ(Dump(back), Dump(c));

    c.statusX = -32768;
    c.statusY = -1;
    c.pageSize = 1;
    c.fontSize = 12;
    c.lastCheck = -9000000000LL;
    c.Save();
    back.Load();
    EXPECT_EQ(Dump(back), Dump(c));
}

TEST_F(ConfigFile, LoadClampsPageSizeFontSizeSchemeAndSkin) {
    struct Case {
        const wchar_t* text;
        int zl::Config::*field;
        int want;
    };
    const Case cases[] = {
        {L"[界面]\r\n候选个数=0\r\n", &zl::Config::pageSize, 1},
        {L"[界面]\r\n候选个数=15\r\n", &zl::Config::pageSize, 9},
        {L"[界面]\r\n候选个数=-4\r\n", &zl::Config::pageSize, 1},
        {L"[界面]\r\n字号=8\r\n", &zl::Config::fontSize, 12},
        {L"[界面]\r\n字号=99\r\n", &zl::Config::fontSize, 48},
        {L"[界面]\r\n字号=30\r\n", &zl::Config::fontSize, 30},
        {L"[方案]\r\n默认=3\r\n", &zl::Config::scheme, 0},
        {L"[方案]\r\n默认=-1\r\n", &zl::Config::scheme, 0},
        {L"[方案]\r\n默认=1\r\n", &zl::Config::scheme, 1},
        {L"[界面]\r\n状态条皮肤=7\r\n", &zl::Config::statusSkin, 0},
        {L"[界面]\r\n状态条皮肤=-2\r\n", &zl::Config::statusSkin, 0},
        // Not checked: any number stays.
        {L"[界面]\r\n状态条主题=7\r\n", &zl::Config::statusTheme, 7},
        {L"[界面]\r\n竖排=5\r\n", &zl::Config::vertical, 5},
        {L"[界面]\r\n状态条强调色=-1\r\n", &zl::Config::statusAccent, -1},
    };
    for (const Case& k : cases) EXPECT_EQ(LoadFrom(k.text).*k.field, k.want) << k.text;
}

TEST_F(ConfigFile, GarbageValuesReadAsZeroOrSaturate) {
    const zl::Config c = LoadFrom(
        L"[界面]\r\n候选个数=abc\r\n字号=\r\n竖排=x1\r\n状态条X=  42 \r\n状态条Y=99999999999\r\n"
        L"状态条底色=12ab\r\n[输入]\r\n中文标点=-\r\n[更新]\r\n上次检测=soon\r\n自动检测=99999999999999999999999\r\n");
    EXPECT_EQ(c.pageSize, 1);  // 0, clamped
    EXPECT_EQ(c.fontSize, 12);
    EXPECT_EQ(c.vertical, 0);
    EXPECT_EQ(c.statusX, 42);
    EXPECT_EQ(c.statusY, INT_MAX);
    EXPECT_EQ(c.statusBase, 12);
    EXPECT_EQ(c.chinesePunct, 0);
    EXPECT_EQ(c.lastCheck, 0);
    EXPECT_EQ(c.autoCheck, INT_MAX);

    EXPECT_EQ(LoadFrom(L"[更新]\r\n上次检测=99999999999999999999999\r\n").lastCheck, INT64_MAX);

    // Not an INI file at all: nothing matches, everything keeps its default.
    static const char kJunk[] = "\x00\xff\x13garbage\n=\n[[[\n";
    ASSERT_TRUE(WriteBytes(file, std::string(kJunk, sizeof kJunk - 1)));
    zl::Config d;
    d.Load();
    EXPECT_EQ(Dump(d), Dump(zl::Config()));
}

TEST_F(ConfigFile, MissingKeysKeepTheCurrentValues) {
    zl::Config c;
    c.pageSize = 7;
    c.statusX = 300;
    c.lastCheck = 77;
    c.updateUrl = L"C:\\somewhere";
    ASSERT_TRUE(WriteBytes(file, Utf16File(L"[界面]\r\n字号=30\r\n")));
    c.Load();
    EXPECT_EQ(c.fontSize, 30);
    EXPECT_EQ(c.pageSize, 7);
    EXPECT_EQ(c.statusX, 300);
    EXPECT_EQ(c.lastCheck, 77);
    EXPECT_EQ(c.updateUrl, zl::DefaultUpdateUrl());  // the address is never carried over
}

TEST_F(ConfigFile, TheDefaultUpdateAddressIsNeverWritten) {
    zl::Config c;
    c.Save();
    EXPECT_NE(ReadUtf16(file).find(L"\r\n地址=\r\n"), std::wstring::npos);

    std::wstring upper = zl::DefaultUpdateUrl();
    upper[0] = L'H';  // differs only in case: kept as it stands
    c.updateUrl = upper;
    c.Save();
    zl::Config back;
    back.Load();
    EXPECT_EQ(back.updateUrl, upper);

    c.updateUrl = L"\\\\server\\share\\update\\";
    c.Save();
    back.Load();
    EXPECT_EQ(back.updateUrl, c.updateUrl);

    c.updateUrl = zl::DefaultUpdateUrl();
    c.Save();
    EXPECT_NE(ReadUtf16(file).find(L"\r\n地址=\r\n"), std::wstring::npos);
    back.Load();
    EXPECT_EQ(back.updateUrl, zl::DefaultUpdateUrl());
}

namespace {

// The keys another process sees in the folder's config.ini, one "section/key=value" per
// line after the loaded record: this program started in the role of ConfigChild.
std::wstring LoadInAnotherProcess(const TempDir& dir) {
    const std::wstring result = dir.File(L"child.txt");
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"no program";
    std::wstring cmd = L"\"" + std::wstring(self) + L"\" --gtest_filter=ConfigChild.Report";
    ScopedEnv role(L"ZLTEST_CONFIG_REPORT", result.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(self, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return L"no child";
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::vector<uint8_t> b;
    if (!ReadBytes(result, b)) return L"no report";
    return std::wstring(reinterpret_cast<const wchar_t*>(b.data()), b.size() / sizeof(wchar_t));
}

// text in UTF-16, big-endian after its mark or little-endian without one.
std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "";
    for (wchar_t u : text) {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::wstring AnsiText(const std::string& bytes) {
    std::wstring w(bytes.size(), L'\0');
    w.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &w[0],
                                 static_cast<int>(w.size())));
    return w;
}

}  // namespace

TEST(ConfigChild, Report) {
    wchar_t out[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"ZLTEST_CONFIG_REPORT", out, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) GTEST_SKIP() << "runs only as a child of the config tests";
    zl::Config c;
    c.Load();
    std::wstring report = Dump(c) + L"\n";
    const std::wstring file = c.Path();
    std::vector<wchar_t> names(65536), keys(65536);
    GetPrivateProfileSectionNamesW(names.data(), 65536, file.c_str());
    for (const wchar_t* sec = names.data(); *sec; sec += wcslen(sec) + 1) {
        GetPrivateProfileSectionW(sec, keys.data(), 65536, file.c_str());
        for (const wchar_t* kv = keys.data(); *kv; kv += wcslen(kv) + 1) report += std::wstring(sec) + L"/" + kv + L"\n";
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(report.data());
    ASSERT_TRUE(WriteBytes(out, std::vector<uint8_t>(bytes, bytes + report.size() * sizeof(wchar_t))));
}

TEST_F(ConfigFile, AFileInAnotherEncodingBecomesUnicodeKeepingTheUsersKeys) {
    const std::string gbkKey = "\xD7\xD4\xB6\xA8", gbkValue = "\xBC\xD7\xD2\xD2";  // 自定, 甲乙 in GBK
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring kept;  // a line the other process must still see; empty for none
    } cases[] = {
        {"empty", "", L""},
        {"one line feed", "\n", L""},
        {"UTF-8", "[\xE7\x94\xA8\xE6\x88\xB7]\r\n\xE8\x87\xAA\xE5\xAE\x9A=\xE7\x94\xB2\xE4\xB9\x99\r\n"
                  "[\xE7\x95\x8C\xE9\x9D\xA2]\r\n\xE5\xAD\x97\xE5\x8F\xB7=40\r\n", L"用户/自定=甲乙"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[mine]\nk=v\n", L"mine/k=v"},
        {"only a UTF-8 mark", "\xEF\xBB\xBF", L""},
        {"ANSI", "[mine]\r\n" + gbkKey + "=" + gbkValue + "\r\n", L"mine/" + AnsiText(gbkKey) + L"=" + AnsiText(gbkValue)},
        {"UTF-16BE", Utf16Bytes(L"[用户]\r\n自定=甲乙\r\n", true), L"用户/自定=甲乙"},
        {"UTF-16LE without its mark", Utf16Bytes(L"[用户]\r\n自定=甲乙\r\n", false), L"用户/自定=甲乙"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(WriteBytes(file, k.bytes));
        zl::Config c;
        c.scheme = 2;
        c.statusX = -7;
        c.Save();
        EXPECT_FALSE(ReadUtf16(file).empty());
        const std::wstring seen = LoadInAnotherProcess(dir);
        EXPECT_EQ(seen.substr(0, seen.find(L'\n')), Dump(c));
        if (!k.kept.empty()) {
            EXPECT_NE(seen.find(L"\n" + k.kept + L"\n"), std::wstring::npos) << seen;
        }
    }
}

TEST_F(ConfigFile, AnEditedFileKeepsItsValuesThroughALoadModifySave) {
    const std::wstring text = L"[界面]\r\n字号=40\r\n";
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr) - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()) + 1, nullptr, nullptr);
    const std::pair<const char*, std::string> cases[] = {
        {"UTF-8", utf8}, {"UTF-16BE", Utf16Bytes(text, true)}, {"UTF-16LE without its mark", Utf16Bytes(text, false)}};
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteBytes(file, bytes));
        zl::Config c;
        c.Load();
        EXPECT_EQ(c.fontSize, 40);
        c.scheme = 2;
        c.Save();
        zl::Config again;
        again.Load();
        EXPECT_EQ(again.fontSize, 40);
        EXPECT_EQ(again.scheme, 2);
    }
}

TEST_F(ConfigFile, AFileThatCannotBeReadIsNotWritten) {
    const std::string original = "[mine]\r\nk=v\r\n";
    ASSERT_TRUE(WriteBytes(file, original));
    {
        zl::UniqueHandle locked(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked.Valid());
        zl::Config().Save();
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadBytes(file, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), original);
}

TEST_F(ConfigFile, ARecordThatCouldNotLoadTheFileDoesNotWriteIt) {
    // Another process holds the file while this one loads, and has let go when it saves.
    zl::Config mine;
    mine.fontSize = 40;
    mine.Save();
    zl::Config c;
    {
        zl::UniqueHandle locked(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked.Valid());
        c.Load();
    }
    c.scheme = 2;
    c.Save();
    zl::Config again;
    again.Load();
    EXPECT_EQ(again.fontSize, 40);
    c.Load();  // readable again: saving works again
    c.scheme = 2;
    c.Save();
    again.Load();
    EXPECT_EQ(again.scheme, 2);
}

TEST_F(ConfigFile, ARecordThatCouldNotTellWhetherTheFileExistsDoesNotWriteIt) {
    // The user folder is out of reach while this record loads, and back when it saves.
    zl::Config mine;
    mine.fontSize = 40;
    mine.Save();
    zl::Config c;
    {
        ScopedEnv away(L"ZLWB_USERDIR", L"\\\\nohost\\share");
        EXPECT_FALSE(c.Load());
    }
    c.scheme = 2;
    c.Save();
    zl::Config again;
    again.Load();
    EXPECT_EQ(again.fontSize, 40);
}

TEST_F(ConfigFile, AByteEncodedFileWithNulsIsNotTakenForUtf16) {
    using namespace std::string_literals;
    const std::string files[] = {"[mine]\r\nkey=value\r\nmore=\0texts\r\n"s, "[mine]\r\nk=v\r\n"s + std::string(7, '\0')};
    for (const std::string& original : files) {
        ASSERT_TRUE(WriteBytes(file, original));
        zl::Config c;
        c.Load();
        c.Save();
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadBytes(file, bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), original);
    }
}

TEST_F(ConfigFile, AFolderThatCannotHoldTheFileIsHarmless) {
    // config.ini is a folder: Load finds no values, Save writes nothing, neither crashes.
    ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
    zl::Config c;
    c.Save();
    c.Load();
    EXPECT_EQ(Dump(c), Dump(zl::Config()));
}
