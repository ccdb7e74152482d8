// The updater's window-free parts: texts, manifest path rules, file replacement.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "ManifestPath.h"
#include "Replace.h"
#include "RunStage.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "UpdLog.h"
#include "UniqueHandle.h"
#include "UpdText.h"

namespace {

std::string Read(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (!zltest::ReadBytes(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST(UpdText, SizesStampsNamesAndRows) {
    const std::pair<uint64_t, const wchar_t*> sizes[] = {
        {0, L"0 KB"}, {1, L"1 KB"}, {1048575, L"1024 KB"}, {1048576, L"1.0 MB"}, {1572864, L"1.5 MB"},
        {1048576 + 52428, L"1.0 MB"}, {1048576 + 52429, L"1.1 MB"}};
    for (const auto& s : sizes) EXPECT_EQ(zl::KBText(s.first), s.second) << s.first;

    EXPECT_EQ(zl::BuildStampText(L"20250102030405"), L"2025-01-02 03:04");
    EXPECT_EQ(zl::BuildStampText(L""), L"未知");
    EXPECT_EQ(zl::BuildStampText(L"2025010203040"), L"2025010203040");

    EXPECT_EQ(zl::BaseName(L"a\\b/c.dll"), L"c.dll");
    EXPECT_EQ(zl::BaseName(L"a/b\\c.dll"), L"c.dll");
    EXPECT_EQ(zl::BaseName(L"c.dll"), L"c.dll");

    EXPECT_EQ(zl::FileListRow(std::wstring(21, L'x'), 1), std::wstring(21, L'x') + L"    1 KB");
    EXPECT_EQ(zl::FileListRow(std::wstring(22, L'x'), 1), std::wstring(22, L'x') + L"   1 KB");
    EXPECT_EQ(zl::FileListRow(L"a", 0), L"a" + std::wstring(21, L' ') + L"   0 KB");
}

TEST(UpdText, HostQuestionListsAtMostSixNames) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= 7; ++i) names.push_back(L"p" + std::to_wstring(i) + L".exe");
    const std::wstring seven = zl::HostQuestionText(names);
    EXPECT_EQ(seven.find(L"有 7 个程序"), 0u);
    EXPECT_NE(seven.find(L"\n  · p6.exe\n  · …\n\n“是”"), std::wstring::npos);
    EXPECT_EQ(seven.find(L"p7.exe"), std::wstring::npos);
    names.pop_back();
    const std::wstring six = zl::HostQuestionText(names);
    EXPECT_NE(six.find(L"\n  · p6.exe\n\n“是”"), std::wstring::npos);
    EXPECT_EQ(six.find(L"…"), std::wstring::npos);
}

TEST(UpdText, MutexNameFollowsTheFolderNotItsSpelling) {
    EXPECT_EQ(zl::UpdaterMutexName(L"C:\\Zelun\\App"), zl::UpdaterMutexName(L"c:/zelun/app\\"));
    EXPECT_NE(zl::UpdaterMutexName(L"C:\\Zelun\\App"), zl::UpdaterMutexName(L"C:\\Zelun\\App2"));
    EXPECT_EQ(zl::UpdaterMutexName(L"C:\\x").rfind(L"Local\\", 0), 0u);
}

TEST(ManifestPath, AcceptsPlainRelativeFiles) {
    for (const wchar_t* p : {L"zlwb64.dll", L"data/zlwb.dat", L"data\\sub\\a.b.c", L"update_tmp2\\x", L"a/update_tmp",
                             L"COM10", L"LPT0.txt", L"console.dll", L"x..y", L".hidden"}) {
        EXPECT_TRUE(zl::IsSafeManifestPath(p)) << p;
    }
}

TEST(ManifestPath, RefusesEveryUnsafeForm) {
    for (const wchar_t* p :
         {L"", L"\\zlwb64.dll", L"/zlwb64.dll", L"//server/share/x", L"C:\\Windows\\x.dll", L"C:x.dll", L"a:b",
          L"a<b", L"a>b", L"a\"b", L"a|b", L"a?b", L"a*b", L"a\tb", L"a\x01" L"b", L"a\x7f" L"b", L"a//b", L"a\\\\b",
          L"a/", L".", L"..", L"./x", L"a/../../x", L"a/./x", L"..\\x", L"a./x", L"a /x", L"x.dll.", L"x.dll ",
          L"CON", L"con", L"nul.txt", L"Aux.dll", L"prn", L"COM1", L"com9.log", L"LPT1", L"lpt9.x", L"data/NUL",
          L"data\\com3.dat", L"NUL .txt", L"COM\u00B9", L"update_tmp\\x.dll", L"UPDATE_TMP/0.tmp", L"update_tmp"}) {
        EXPECT_FALSE(zl::IsSafeManifestPath(p)) << p;
    }
}

TEST(ManifestPath, RefusesFoldersAndFilesInAFoldersPlace) {
    zltest::TempDir dir;
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"data").c_str(), nullptr));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"file"), std::string("x")));
    EXPECT_TRUE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"data"));
    EXPECT_TRUE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"file/x.dll"));
    EXPECT_FALSE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"data/new.dat"));
    EXPECT_FALSE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"file"));
    EXPECT_FALSE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"new/sub/x.dll"));
    EXPECT_EQ(zl::LocalPathOf(L"C:\\app", L"data/sub/x"), L"C:\\app\\data\\sub\\x");
}

TEST(Replace, FreeNamesCountUpAndStopAt199) {
    std::set<std::wstring> taken = {L"t.old", L"t.old1", L"t.old2"};
    auto exists = [&taken](const std::wstring& n) { return taken.count(n) > 0; };
    EXPECT_EQ(zl::FreeSuffixName(L"t", L".old", exists), L"t.old3");
    EXPECT_EQ(zl::FreeSuffixName(L"t", L".zlpend", exists), L"t.zlpend");
    int asked = 0;
    EXPECT_EQ(zl::FreeSuffixName(L"t", L".old", [&asked](const std::wstring&) { return ++asked, true; }),
              L"t.old199");
    EXPECT_EQ(asked, 199);  // the plain name and 1 to 198
}

TEST(Replace, ReplacesDirectlyAndCreatesFolders) {
    zltest::TempDir dir;
    const std::wstring src = dir.File(L"src.tmp");
    ASSERT_TRUE(zltest::WriteBytes(src, std::string("new")));
    const std::wstring target = dir.File(L"a\\b\\c.dat");
    EXPECT_TRUE(zl::EnsureParentFolders(dir.Path(), target));
    EXPECT_EQ(zl::ReplaceInstalledFile(src, target).result, zl::ReplaceResult::Direct);
    EXPECT_EQ(Read(target), "new");

    ASSERT_TRUE(zltest::WriteBytes(src, std::string("newer")));
    EXPECT_EQ(zl::ReplaceInstalledFile(src, target).result, zl::ReplaceResult::Direct);
    EXPECT_EQ(Read(target), "newer");
    EXPECT_EQ(Read(src), "newer");  // the download stays for the next file or the cleanup
    EXPECT_FALSE(Exists(target + L".new"));
}

TEST(Replace, StalePendingCopiesAreRemoved) {
    zltest::TempDir dir;
    const std::wstring target = dir.File(L"x.dll");
    for (const wchar_t* s : {L".zlpend", L".zlpend1", L".zlpend7"}) {
        ASSERT_TRUE(zltest::WriteBytes(target + s, std::string("old")));
    }
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"x.dll.zlpendix"), std::string("other")));
    EXPECT_TRUE(zl::RemoveStalePending(target));
    EXPECT_FALSE(Exists(target + L".zlpend"));
    EXPECT_FALSE(Exists(target + L".zlpend1"));
    EXPECT_FALSE(Exists(target + L".zlpend7"));
    EXPECT_TRUE(Exists(dir.File(L"x.dll.zlpendix")));
}

TEST(Replace, FileHeldOpenIsStagedAndNeverLeftMissing) {
    zltest::TempDir dir;
    const std::wstring src = dir.File(L"src.tmp");
    const std::wstring target = dir.File(L"held.dll");
    ASSERT_TRUE(zltest::WriteBytes(src, std::string("new")));
    ASSERT_TRUE(zltest::WriteBytes(target, std::string("old")));
    {
        zl::UniqueHandle held(CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        const zl::ReplaceOutcome out = zl::ReplaceInstalledFile(src, target);
        EXPECT_EQ(out.result, zl::ReplaceResult::Staged);
    }
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(Read(target + L".zlpend"), "new");
    EXPECT_FALSE(Exists(target + L".new"));
    // The restart rename left behind finds no source once the folder is gone.
}

TEST(RunStage, ACloseEndsTheProcessOnlyOutsideTheWritePhase) {
    zl::RunStage stage;
    // Closed while downloading: the worker must not start writing afterwards.
    EXPECT_TRUE(stage.TryAbandon());
    EXPECT_TRUE(stage.TryAbandon());
    EXPECT_FALSE(stage.BeginWriting());

    // Closed while writing: the close waits; once the writing ended it may go on.
    stage.Reset();
    EXPECT_TRUE(stage.BeginWriting());
    EXPECT_FALSE(stage.TryAbandon());
    stage.EndWriting();
    EXPECT_TRUE(stage.TryAbandon());
}

TEST(Replace, FileInUseThatMayBeRenamedIsMovedAside) {
    zltest::TempDir dir;
    const std::wstring src = dir.File(L"src.tmp");
    const std::wstring target = dir.File(L"loaded.dll");
    ASSERT_TRUE(zltest::WriteBytes(src, std::string("new")));
    ASSERT_TRUE(zltest::WriteBytes(target, std::string("old")));
    ASSERT_TRUE(zltest::WriteBytes(target + L".old", std::string("earlier")));
    // Like a loaded module: it cannot be replaced, but it can be renamed.
    zl::UniqueHandle held(
        CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    const zl::ReplaceOutcome out = zl::ReplaceInstalledFile(src, target);
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(out.result, zl::ReplaceResult::MovedAside);
    EXPECT_EQ(out.oldName, target + L".old1");
    EXPECT_EQ(Read(target + L".old1"), "old");
    EXPECT_EQ(Read(target + L".old"), "earlier");
}

TEST(UpdLog, AppendsUtf8LinesAndStaysBounded) {
    zltest::TempDir dir;
    zltest::ScopedEnv tmp(L"TMP", dir.Path().c_str());
    ASSERT_EQ(zl::UpdLogPath(), dir.File(L"zlupd.log"));
    zl::LogFile(L"[%ls] 第 %d 行", L"C:\\app", 1);
    EXPECT_EQ(Read(dir.File(L"zlupd.log")), "[C:\\app] 第 1 行\r\n");
    zl::LogFile(L"%ls", std::wstring(1025, L'x').c_str());  // too long: dropped whole
    EXPECT_EQ(Read(dir.File(L"zlupd.log")), "[C:\\app] 第 1 行\r\n");

    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"zlupd.log"), std::string(zl::kUpdLogRotateAbove + 1, 'a')));
    zl::LogFile(L"after");
    EXPECT_EQ(Read(dir.File(L"zlupd.log")), "after\r\n");
    EXPECT_EQ(Read(dir.File(L"zlupd.old.log")).size(), zl::kUpdLogRotateAbove + 1);
}
