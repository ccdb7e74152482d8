#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Crc32.h"
#include "Markers.h"
#include "TempDir.h"
#include "Version.h"

namespace {

std::string ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (!zltest::ReadBytes(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names in the folder besides the given ones: what a save left behind.
std::vector<std::wstring> Others(const zltest::TempDir& dir, std::vector<std::wstring> expected) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW(dir.File(L"*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        const std::wstring name = f.cFileName;
        if (name == L"." || name == L"..") continue;
        bool known = false;
        for (const std::wstring& e : expected) known = known || e == name;
        if (!known) out.push_back(name);
    } while (FindNextFileW(h, &f));
    FindClose(h);
    return out;
}

}  // namespace

TEST(InstalledVersionOnDisk, ScanRules) {
    zltest::TempDir dir;
    const std::wstring ver = dir.File(L"installed.ver");
    struct Case {
        std::string content;
        const wchar_t* want;
    } cases[] = {
        {"4.5.3\n", L"4.5.3"},
        {"\xEF\xBB\xBF" "4.5.3\r\n", L"4.5.3"},
        {"v4.5.3", L"4.5.3"},
        {".4.5", L"4.5"},
        {" 4.5.3", L""},
        {"4.5 beta", L"4.5"},
        {"4-5-3", L"453"},
        {"", L""},
        {std::string(62, 'x') + "12345", L"1"},  // only the first 63 bytes are read
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(zltest::WriteBytes(ver, c.content));
        EXPECT_EQ(zl::InstalledVersionOnDisk(dir.Path()), c.want) << c.content;
    }
    EXPECT_EQ(zl::InstalledVersionOnDisk(L""), L"");
    DeleteFileW(ver.c_str());
    EXPECT_EQ(zl::InstalledVersionOnDisk(dir.Path()), L"");
}

TEST(InstalledBuildOnDisk, FourteenLeadingDigits) {
    zltest::TempDir dir;
    const std::wstring build = dir.File(L"installed.build");
    struct Case {
        std::string content;
        const wchar_t* want;
    } cases[] = {
        {"20250101120000\r\n", L"20250101120000"},
        {"20250101120000", L"20250101120000"},
        {"2025010112000\r\n", L""},
        {"202501011200000\r\n", L""},
        {"\xEF\xBB\xBF" "20250101120000", L""},
        {"20250101120000x", L"20250101120000"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(zltest::WriteBytes(build, c.content));
        EXPECT_EQ(zl::InstalledBuildOnDisk(dir.Path()), c.want) << c.content;
    }
    DeleteFileW(build.c_str());
    EXPECT_EQ(zl::InstalledBuildOnDisk(dir.Path()), L"");
}

TEST(WriteMarkers, WritesWholeFilesThroughRename) {
    zltest::TempDir dir;
    const std::wstring build = dir.File(L"installed.build");
    ASSERT_TRUE(zltest::WriteBytes(build, std::string("19990101000000\r\n")));
    ASSERT_TRUE(zl::WriteInstalledBuild(dir.Path(), L"20250101120000"));
    EXPECT_EQ(ReadAll(build), "20250101120000\r\n");
    EXPECT_EQ(zl::InstalledBuildOnDisk(dir.Path()), L"20250101120000");
    EXPECT_TRUE(Others(dir, {L"installed.build"}).empty());

    EXPECT_FALSE(zl::WriteInstalledBuild(dir.Path(), L"2025010112000"));
    EXPECT_FALSE(zl::WriteInstalledBuild(dir.Path(), L"2025010112000a"));
    EXPECT_FALSE(zl::WriteInstalledBuild(L"", L"20250101120000"));
    EXPECT_EQ(ReadAll(build), "20250101120000\r\n");

    ASSERT_TRUE(zl::WriteInstalledVersion(dir.Path(), L"4.6.0"));
    EXPECT_EQ(ReadAll(dir.File(L"installed.ver")), "4.6.0\n");
    EXPECT_EQ(zl::InstalledVersionOnDisk(dir.Path()), L"4.6.0");
    EXPECT_FALSE(zl::WriteInstalledVersion(dir.Path(), L""));
    EXPECT_EQ(ReadAll(dir.File(L"installed.ver")), "4.6.0\n");
}

// Whatever follows the number in the offered version must not come back as more digits:
// the marker is what the next check and the downgrade guard compare against.
TEST(WriteMarkers, VersionReadsBackAsItCompares) {
    zltest::TempDir dir;
    const struct {
        const wchar_t* version;
        const wchar_t* read;
    } cases[] = {
        {L"4.6.0", L"4.6.0"},         {L"v4.6.0", L"4.6.0"},     {L" 4.6.0", L"4.6.0"},
        {L"4.6.0-rc1", L"4.6.0"},     {L"4.6.0_b7", L"4.6.0"},   {L"4.6\u7248" L"2", L"4.6"},
        {L"4.6.0 beta 2", L"4.6.0"},  {L".5", L"0.5"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(zl::WriteInstalledVersion(dir.Path(), c.version)) << c.version;
        const std::wstring read = zl::InstalledVersionOnDisk(dir.Path());
        EXPECT_EQ(read, c.read) << c.version;
        EXPECT_EQ(zl::CompareVersion(read, c.version), 0) << c.version;
    }
    // Nothing to compare: the marker keeps the version it had.
    EXPECT_FALSE(zl::WriteInstalledVersion(dir.Path(), L"beta2"));
    EXPECT_EQ(ReadAll(dir.File(L"installed.ver")), "0.5\n");
}

TEST(WriteMarkers, FailedWriteIsReportedAndLeavesNothingBehind) {
    zltest::TempDir dir;
    // A marker held open without delete sharing refuses the rename.
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"installed.build"), std::string("19990101000000\r\n")));
    {
        HANDLE held = CreateFileW(dir.File(L"installed.build").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(zl::WriteInstalledBuild(dir.Path(), L"20250101120000"));
        CloseHandle(held);
    }
    EXPECT_EQ(ReadAll(dir.File(L"installed.build")), "19990101000000\r\n");

    // A folder in the marker's place: written but cannot be renamed over it.
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"installed.ver").c_str(), nullptr));
    EXPECT_FALSE(zl::WriteInstalledVersion(dir.Path(), L"4.6.0"));
    EXPECT_TRUE(Others(dir, {L"installed.ver", L"installed.build"}).empty());

    EXPECT_FALSE(zl::WriteInstalledBuild(dir.File(L"missing"), L"20250101120000"));
}

TEST(WriteMarkers, AWriteClearsWhatACrashedSaveLeftBehind) {
    zltest::TempDir dir;
    const std::wstring stale = dir.File(L"installed.ver.4242-1.tmp");
    const std::wstring fresh = dir.File(L"installed.ver.4243-1.tmp");
    ASSERT_TRUE(zltest::WriteBytes(stale, std::string("4.")));
    ASSERT_TRUE(zltest::WriteBytes(fresh, std::string("4.")));
    {
        HANDLE h = CreateFileW(stale.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= 2ull * 60 * 10000000;  // two minutes ago
        const FILETIME old{t.LowPart, t.HighPart};
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &old));
        CloseHandle(h);
    }
    ASSERT_TRUE(zl::WriteInstalledVersion(dir.Path(), L"4.6.0"));
    EXPECT_FALSE(Exists(stale));
    EXPECT_TRUE(Exists(fresh)) << "a save that may still be running is left alone";
}

TEST(Crc32, CheckValueAndChaining) {
    const char* text = "123456789";
    EXPECT_EQ(zl::Crc32(0, text, 9), 0xCBF43926u);
    EXPECT_EQ(zl::Crc32(zl::Crc32(0, text, 4), text + 4, 5), 0xCBF43926u);
    EXPECT_EQ(zl::Crc32(0x12345678u, text, 0), 0x12345678u);
    EXPECT_EQ(zl::Crc32(0, "", 0), 0u);
    const uint8_t zeros[32] = {};
    EXPECT_EQ(zl::Crc32(0, zeros, sizeof zeros), 0x190A55ADu);
}

TEST(Crc32File, WholeFileInBlocks) {
    zltest::TempDir dir;
    std::string data(200000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + 17);
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"f.bin"), data));
    uint32_t crc = 1;
    uint64_t size = 1;
    ASSERT_TRUE(zl::Crc32File(dir.File(L"f.bin"), &crc, &size));
    EXPECT_EQ(crc, zl::Crc32(0, data.data(), data.size()));
    EXPECT_EQ(size, data.size());
    EXPECT_TRUE(zl::Crc32File(dir.File(L"f.bin"), nullptr, nullptr));

    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"empty"), std::string()));
    ASSERT_TRUE(zl::Crc32File(dir.File(L"empty"), &crc, &size));
    EXPECT_EQ(crc, 0u);
    EXPECT_EQ(size, 0u);

    crc = 7;
    size = 7;
    EXPECT_FALSE(zl::Crc32File(dir.File(L"missing"), &crc, &size));
    EXPECT_EQ(crc, 7u);
    EXPECT_EQ(size, 7u);
}
