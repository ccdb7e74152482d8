#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "Purge.h"
#include "TempDir.h"
#include "UniqueHandle.h"

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const zltest::TempDir& dir, const wchar_t* name) {
    ASSERT_TRUE(zltest::WriteBytes(dir.File(name), std::string("x"))) << name;
}

// Leftovers of an update in the folder and in data, and what must survive there; a name
// ending in a backslash is a folder.
const struct {
    const wchar_t* name;
    bool goes;  // removed by the purge of an installation
} kEntries[] = {
    {L"zlwb64.dll.old", true},       {L"ZLWB32.DLL.OLD1", true}, {L"zlupd.exe.new", true},
    {L"config.pending", true},       {L"a.old.new", true},       {L"zlwb64.dll", false},
    {L"zlupd.exe.zlpend", false},    {L"older.txt", false},      {L"keep.old\\", false},
    {L"keep.old\\inner.old", false}, {L"data\\", false},        {L"data\\zlwb.dat.old", true},
    {L"data\\hw.NEW", true},         {L"data\\zlwb.dat", false}, {L"data\\sub.new\\", false},
};

}  // namespace

TEST(PurgeBackupFiles, InstallFolderLosesLeftoversOnly) {
    zltest::TempDir dir;
    for (const auto& e : kEntries) {
        const std::wstring name = e.name;
        if (name.back() == L'\\') {
            ASSERT_TRUE(CreateDirectoryW(dir.File(name).c_str(), nullptr)) << name;
        } else {
            Touch(dir, e.name);
        }
    }
    unsigned left = 99;
    zl::PurgeBackupFiles(dir.Path(), &left);
    EXPECT_EQ(left, 0u);
    for (const auto& e : kEntries) EXPECT_EQ(Exists(dir.File(e.name)), !e.goes) << e.name;
}

TEST(PurgeBackupFiles, FileHeldOpenStaysAndIsCounted) {
    zltest::TempDir dir;
    for (const wchar_t* name : {L"zlwb32.dll", L"busy.old", L"free.new"}) Touch(dir, name);
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
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"data").c_str(), nullptr));
    const wchar_t* const names[] = {L"report.new.docx", L"data\\notes.old", L"zlwb64.dll.old"};
    for (const wchar_t* name : names) Touch(dir, name);
    unsigned left = 99;
    zl::PurgeBackupFiles(dir.Path(), &left);
    EXPECT_EQ(left, 0u);
    for (const wchar_t* name : names) EXPECT_TRUE(Exists(dir.File(name))) << name;
    EXPECT_FALSE(zl::IsInstallFolder(L""));
}
