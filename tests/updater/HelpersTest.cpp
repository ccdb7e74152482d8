// The updater's window-free parts: texts, manifest path rules, replacement, the log.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <thread>

#include "ManifestPath.h"
#include "Replace.h"
#include "RunStage.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "UniqueHandle.h"
#include "UpdLog.h"
#include "UpdText.h"

namespace {

std::string Read(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (!zltest::ReadBytes(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(UpdText, SizesStampsNamesRowsAndMutex) {
    const std::pair<uint64_t, const wchar_t*> sizes[] = {
        {0, L"0 KB"},        {1, L"1 KB"},        {1048575, L"1024 KB"}, {1048576, L"1.0 MB"},
        {1572864, L"1.5 MB"}, {1101004, L"1.0 MB"}, {1101005, L"1.1 MB"}};
    for (const auto& s : sizes) EXPECT_EQ(zl::KBText(s.first), s.second) << s.first;
    EXPECT_EQ(zl::BuildStampText(L"20250102030405"), L"2025-01-02 03:04");
    EXPECT_EQ(zl::BuildStampText(L""), L"未知");
    EXPECT_EQ(zl::BuildStampText(L"2025010203040"), L"2025010203040");
    EXPECT_EQ(zl::BaseName(L"a\\b/c.dll"), L"c.dll");
    EXPECT_EQ(zl::BaseName(L"a/b\\c.dll"), L"c.dll");
    EXPECT_EQ(zl::FileListRow(std::wstring(21, L'x'), 1), std::wstring(21, L'x') + L"    1 KB");
    EXPECT_EQ(zl::FileListRow(std::wstring(23, L'x'), 1), std::wstring(23, L'x') + L"   1 KB");
    EXPECT_EQ(zl::UpdaterMutexName(L"C:\\Zelun\\App"), zl::UpdaterMutexName(L"c:/zelun/app\\"));
    EXPECT_NE(zl::UpdaterMutexName(L"C:\\Zelun\\App"), zl::UpdaterMutexName(L"C:\\Zelun\\App2"));
}

TEST(UpdText, HostQuestionListsAtMostSixNames) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= 7; ++i) names.push_back(L"p" + std::to_wstring(i) + L".exe");
    const std::wstring seven = zl::HostQuestionText(names);
    EXPECT_EQ(seven.find(L"有 7 个程序"), 0u);
    EXPECT_NE(seven.find(L"\n  · p6.exe\n  · …\n\n“是”"), std::wstring::npos);
    EXPECT_EQ(seven.find(L"p7.exe"), std::wstring::npos);
    names.pop_back();
    EXPECT_NE(zl::HostQuestionText(names).find(L"\n  · p6.exe\n\n“是”"), std::wstring::npos);
}

// The refused forms are run end to end (UpdateRun.EveryUnsafeManifestPathFailsTheWholeCheck).
TEST(ManifestPath, AcceptsPlainFilesAndLooksAtTheDisk) {
    for (const wchar_t* p : {L"zlwb64.dll", L"data/zlwb.dat", L"a\\b\\c.d.e", L"update_tmp2\\x", L"a/update_tmp",
                             L"COM10", L"LPT0.txt", L"console.dll", L"x..y", L".hidden"}) {
        EXPECT_TRUE(zl::IsSafeManifestPath(p)) << p;
    }
    EXPECT_FALSE(zl::IsSafeManifestPath(L"COM\u00B9"));
    zltest::TempDir dir;
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"data").c_str(), nullptr));
    ASSERT_TRUE(zltest::WriteBytes(dir.File(L"file"), std::string("x")));
    EXPECT_TRUE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"data"));
    EXPECT_TRUE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"file/x.dll"));
    EXPECT_FALSE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"data/new.dat"));
    EXPECT_FALSE(zl::TargetIsUnsafeOnDisk(dir.Path(), L"new/sub/x.dll"));
}

TEST(ManifestPath, AFileListedWhereAnotherEntryNeedsAFolderIsFound) {
    const std::pair<std::vector<std::wstring>, int> cases[] = {
        {{L"a/b.dll", L"a.dll", L"ab/c", L"a\\bc"}, -1},
        {{L"data", L"DATA\\x.dat"}, 1},
        {{L"x/y/z.dat", L"x/Y"}, 0},
        {{L"same.dll", L"same.dll"}, -1},  // duplicates replace the one file twice
    };
    for (const auto& c : cases) {
        const std::wstring* found = zl::PathNeedingAFileAsFolder(c.first);
        EXPECT_EQ(found ? found - c.first.data() : -1, c.second) << c.first[0];
    }
}

TEST(Replace, FreeNamesCountUpAndStopAt199) {
    std::set<std::wstring> taken = {L"t.old", L"t.old1", L"t.old2"};
    EXPECT_EQ(zl::FreeSuffixName(L"t", L".old", [&](const std::wstring& n) { return taken.count(n) > 0; }), L"t.old3");
    int asked = 0;
    EXPECT_EQ(zl::FreeSuffixName(L"t", L".old", [&asked](const std::wstring&) { return ++asked, true; }),
              L"t.old199");
    EXPECT_EQ(asked, 199);  // the plain name and 1 to 198
}

TEST(Replace, FileInUseThatMayBeRenamedIsMovedAside) {
    zltest::TempDir dir;
    const std::wstring src = dir.File(L"src.tmp");
    const std::wstring target = dir.File(L"loaded.dll");
    ASSERT_TRUE(zltest::WriteBytes(src, std::string("new")));
    ASSERT_TRUE(zltest::WriteBytes(target, std::string("old")));
    ASSERT_TRUE(zltest::WriteBytes(target + L".old", std::string("earlier")));
    // Like a loaded module: it cannot be replaced, but it can be renamed.
    zl::UniqueHandle held(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    const zl::ReplaceOutcome out = zl::ReplaceInstalledFile(src, target);
    EXPECT_EQ(out.result, zl::ReplaceResult::MovedAside);
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(out.oldName, target + L".old1");
    EXPECT_EQ(Read(target + L".old1"), "old");
    EXPECT_EQ(Read(target + L".old"), "earlier");
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

TEST(UpdLog, AppendsUtf8LinesAndStaysBounded) {
    zltest::TempDir dir;
    zltest::ScopedEnv tmp(L"TMP", dir.Path().c_str());
    const std::wstring log = dir.File(L"zlupd.log");
    zl::LogFile(L"[%ls] 第 %d 行", L"C:\\app", 1);
    zl::LogFile(L"%ls", std::wstring(1025, L'x').c_str());  // too long: dropped whole
    EXPECT_EQ(Read(log), "[C:\\app] 第 1 行\r\n");
    zl::LogFile(L"%ls", std::wstring(1024, L'\u884C').c_str());  // the longest line, three bytes a unit
    EXPECT_EQ(Read(log).size(), std::string("[C:\\app] 第 1 行\r\n").size() + 3 * 1024 + 2);
    ASSERT_TRUE(zltest::WriteBytes(log, std::string(zl::kUpdLogRotateAbove + 1, 'a')));
    zl::LogFile(L"after");
    EXPECT_EQ(Read(log), "after\r\n");
    EXPECT_EQ(Read(dir.File(L"zlupd.old.log")).size(), zl::kUpdLogRotateAbove + 1);
    // A log that cannot move aside (its old file now a folder) stops growing at four times the limit.
    ASSERT_TRUE(DeleteFileW(dir.File(L"zlupd.old.log").c_str()));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"zlupd.old.log").c_str(), nullptr));
    ASSERT_TRUE(zltest::WriteBytes(log, std::string(4 * zl::kUpdLogRotateAbove, 'b')));
    zl::LogFile(L"beyond");
    EXPECT_EQ(Read(log).size(), 4 * zl::kUpdLogRotateAbove);
}

TEST(UpdLog, WriterWithoutTheLockLeavesTheRotation) {
    zltest::TempDir dir;
    zltest::ScopedEnv tmp(L"TMP", dir.Path().c_str());
    const std::wstring log = dir.File(L"zlupd.log");
    ASSERT_TRUE(zltest::WriteBytes(log, std::string(zl::kUpdLogRotateAbove + 1, 'a')));
    // Another writer stalls holding the lock: this one appends after its wait but renames nothing.
    zl::UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    zl::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        zl::UniqueHandle mutex(CreateMutexW(nullptr, TRUE, L"Local\\ZelunWubiUpdaterLog"));
        SetEvent(held.Get());
        WaitForSingleObject(release.Get(), INFINITE);
        ReleaseMutex(mutex.Get());
    });
    WaitForSingleObject(held.Get(), INFINITE);
    zl::LogFile(L"unlocked");
    SetEvent(release.Get());
    holder.join();
    EXPECT_EQ(Read(log).size(), zl::kUpdLogRotateAbove + 1 + 10);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"zlupd.old.log").c_str()), INVALID_FILE_ATTRIBUTES);
}
