#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Purge.h"
#include "TempDir.h"
#include "UniqueHandle.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Entry {
    const wchar_t* name;  // relative to the folder
    bool folder;
    bool goes;  // removed by the purge of an installation
};

// Leftovers of an update in the folder and in data, and what must survive there.
const Entry kEntries[] = {
    {L"zlwb64.dll.old", false, true},
    {L"ZLWB32.DLL.OLD1", false, true},
    {L"zlupd.exe.new", false, true},
    {L"config.pending", false, true},
    {L"a.old.new", false, true},
    {L"zlwb64.dll", false, false},
    {L"zlupd.exe.zlpend", false, false},
    {L"older.txt", false, false},
    {L"keep.old", true, false},
    {L"keep.old\\inner.old", false, false},
    {L"data", true, false},
    {L"data\\zlwb.dat.old", false, true},
    {L"data\\hw.NEW", false, true},
    {L"data\\zlwb.dat", false, false},
    {L"data\\sub.new", true, false},
};

void Lay(const zltest::TempDir& dir) {
    for (const Entry& e : kEntries) {
        const std::wstring path = dir.File(e.name);
        if (e.folder) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << path;
        } else {
            ASSERT_TRUE(zltest::WriteBytes(path, std::string("x"))) << path;
        }
    }
}

}  // namespace

TEST(PurgeBackupFiles, InstallFolderLosesLeftoversOnly) {
    zltest::TempDir dir;
    Lay(dir);
    unsigned left = 99;
    zl::PurgeBackupFiles(dir.Path(), &left);
    EXPECT_EQ(left, 0u);
    for (const Entry& e : kEntries) EXPECT_EQ(Exists(dir.File(e.name)), !e.goes) << e.name;
}

TEST(PurgeBackupFiles, FileHeldOpenStaysAndIsCounted) {
    zltest::TempDir dir;
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"zlwb32.dll"), std::string("x")));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"busy.old"), std::string("x")));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"free.new"), std::string("x")));
    {
        // Held without delete sharing, as a running program holds its image.
        zl::UniqueHandle held(CreateFileW(dir.File(L"busy.old").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        unsigned left = 0;
        zl::PurgeBackupFiles(dir.Path(), &left);
        EXPECT_EQ(left, 1u);
        EXPECT_TRUE(Exists(dir.File(L"busy.old")));
        EXPECT_FALSE(Exists(dir.File(L"free.new")));
    }
    zl::PurgeBackupFiles(dir.Path(), nullptr);
    EXPECT_FALSE(Exists(dir.File(L"busy.old")));
}

TEST(PurgeBackupFiles, FolderWithoutComponentIsUntouched) {
    zltest::TempDir dir;
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"report.new.docx"), std::string("x")));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"data").c_str(), nullptr));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"data\\notes.old"), std::string("x")));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"zlwb64.dll.old"), std::string("x")));
    unsigned left = 99;
    zl::PurgeBackupFiles(dir.Path(), &left);
    EXPECT_EQ(left, 0u);
    EXPECT_TRUE(Exists(dir.File(L"report.new.docx")));
    EXPECT_TRUE(Exists(dir.File(L"data\\notes.old")));
    EXPECT_TRUE(Exists(dir.File(L"zlwb64.dll.old")));
    EXPECT_FALSE(zl::IsInstallFolder(L""));
}
