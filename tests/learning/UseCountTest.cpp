// Use counts through the engine: counting, user.dat on disk, and what a save must
// never do to the user's file.
#include <windows.h>

#include <thread>

#include "LearningKit.h"
#include "UniqueHandle.h"
#include "WholeFile.h"

using namespace zltest;

namespace {

using UseCountFile = LearningTest;

// The counts another process would load from the folder now.
zl::UseCounts LoadedCounts() {
    zl::Engine other;
    other.LoadUser();
    return other.userFreq;
}

TEST_F(UseCountFile, SavedCountsLoadElsewhereAndOnlyChangesAreSaved) {
    engine.SaveUser();
    EXPECT_EQ(Bytes(UserDat()), "<missing>");  // nothing counted, nothing written

    engine.Learn(L"\x4E2D\x6587");
    engine.Learn(L"\x4E2D\x6587");
    engine.Learn(L"\xD83D\xDE00");
    engine.Learn(L"");
    EXPECT_TRUE(engine.userDirty);
    engine.SaveUser();
    EXPECT_FALSE(engine.userDirty);
    const zl::UseCounts expected{{L"\x4E2D\x6587", 2}, {L"\xD83D\xDE00", 1}};
    EXPECT_EQ(LoadedCounts(), expected);
    EXPECT_TRUE(TempFiles().empty());

    zl::Engine other;
    other.userDirty = true;
    other.LoadUser();
    EXPECT_FALSE(other.userDirty);
    EXPECT_EQ(other.userFreq, expected);

    // Unchanged counts are not written again.
    ASSERT_TRUE(DeleteFileW(UserDat().c_str()));
    engine.SaveUser();
    EXPECT_EQ(Bytes(UserDat()), "<missing>");
}

TEST_F(UseCountFile, MissingFileLoadsEmptyAndKeepsTheChangedFlag) {
    engine.userFreq[L"x"] = 1;
    engine.userDirty = true;
    engine.LoadUser();
    EXPECT_TRUE(engine.userFreq.empty());
    EXPECT_TRUE(engine.userDirty);
}

TEST_F(UseCountFile, CountStopsAt100000ButStillCountsAsAChange) {
    engine.userFreq[L"x"] = 100000;
    engine.Learn(L"x");
    EXPECT_EQ(engine.userFreq[L"x"], 100000u);
    EXPECT_TRUE(engine.userDirty);

    // Counts read from the file are not capped, and use does not lower them.
    ASSERT_TRUE(WriteBytes(UserDat(), std::string("big\t250000\n")));
    engine.LoadUser();
    engine.Learn(L"big");
    EXPECT_EQ(engine.userFreq[L"big"], 250000u);
}

TEST_F(UseCountFile, TextsWithLineBreaksOrTabsAreNotLearned) {
    for (const wchar_t* text : {L"a\tb", L"a\rb", L"a\nb", L"\n"}) engine.Learn(text);
    EXPECT_TRUE(engine.userFreq.empty());
    EXPECT_FALSE(engine.userDirty);

    engine.userFreq[L"bad\ttext"] = 9;  // put there by some other path
    engine.Learn(L"fine");
    engine.SaveUser();
    EXPECT_EQ(Bytes(UserDat()), "fine\t1\n");
}

TEST_F(UseCountFile, AboveEightThousandTextsEveryUseSavesInTheBackground) {
    for (int i = 0; i < 8000; ++i) engine.userFreq[NumberedText(L"", i)] = 1;
    engine.Learn(NumberedText(L"", 0));  // 8000 known: no save
    EXPECT_EQ(Bytes(UserDat()), "<missing>");
    EXPECT_TRUE(engine.userDirty);

    // 8001 known: every use asks for a save. A burst of them, then the flush that focus
    // loss makes, leaves exactly the counts in the file.
    engine.Learn(L"new");
    for (int i = 0; i < 300; ++i) engine.Learn(NumberedText(L"", i % 7));
    engine.SaveUser();
    EXPECT_FALSE(engine.userDirty);
    EXPECT_EQ(LoadedCounts(), engine.userFreq);
    EXPECT_TRUE(TempFiles().empty());

    // The background saves already wrote everything: the flush does not write again.
    ASSERT_TRUE(DeleteFileW(UserDat().c_str()));
    engine.Learn(NumberedText(L"", 5));
    engine.SaveUser();
    EXPECT_FALSE(engine.userDirty);
    ASSERT_TRUE(DeleteFileW(UserDat().c_str()));
    engine.SaveUser();
    EXPECT_EQ(Bytes(UserDat()), "<missing>");

    // A heavy user's counts go to the writer at load; uses after it are saved from there,
    // and a load waits for the saves asked for before it.
    engine.Learn(L"again");
    engine.SaveUser();
    zl::Engine other;
    other.LoadUser();
    EXPECT_EQ(other.userFreq, engine.userFreq);
    other.Learn(L"again");
    other.Learn(L"more");
    const zl::UseCounts expected = other.userFreq;
    other.LoadUser();
    EXPECT_EQ(other.userFreq, expected);
}

TEST_F(UseCountFile, CommitsCountTheirText) {
    Load({Wubi(Han(1), "aa", 10), Wubi(Han(2), "ab", 5)});
    Type("a");
    ASSERT_EQ(engine.candidates.size(), 2u);
    engine.OnDigit(2);
    EXPECT_EQ(engine.userFreq[Han(2)], 1u);
    Type("a");
    EXPECT_EQ(engine.candidates[0].text, Han(2));  // used once, so first
    engine.OnDigit(2);
    EXPECT_EQ(engine.userFreq[Han(1)], 1u);
    engine.Learn(Han(2));
    Type("a");
    EXPECT_EQ(engine.candidates[0].text, Han(2));
    EXPECT_EQ(engine.candidates[0].userCount, 2u);
}

TEST_F(UseCountFile, ReloadReplacesCountsAndPromotions) {
    ASSERT_TRUE(WriteBytes(UserDat(), std::string("a\t3\n")));
    ASSERT_TRUE(WriteBytes(PromoteDat(), std::string("gg\tb\t5\n")));
    engine.userFreq[L"z"] = 1;
    engine.code = "g";
    engine.Reload();
    EXPECT_TRUE(engine.code.empty());
    EXPECT_EQ(engine.userFreq, (zl::UseCounts{{L"a", 3}}));
    EXPECT_EQ(engine.promoteMax, 5u);
}

// A file held open without sharing reads as unreadable; that process must then leave
// the file alone however many uses it counts.
TEST_F(UseCountFile, UnreadableFileIsNeverOverwritten) {
    const std::string original = "kept\t40\nalso\t2\n";
    ASSERT_TRUE(WriteBytes(UserDat(), original));
    {
        zl::UniqueHandle lock(
            CreateFileW(UserDat().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock.Valid());
        engine.LoadUser();
        EXPECT_TRUE(engine.userFreq.empty());
    }
    for (int i = 0; i < 8005; ++i) engine.Learn(NumberedText(L"", i));
    engine.SaveUser();
    EXPECT_EQ(Bytes(UserDat()), original);
    EXPECT_TRUE(engine.userDirty);
    EXPECT_TRUE(TempFiles().empty());

    // Once the file reads again, saving works again.
    engine.LoadUser();
    EXPECT_EQ(engine.userFreq.size(), 2u);
    engine.Learn(L"kept");
    engine.SaveUser();
    EXPECT_EQ(LoadedCounts()[L"kept"], 41u);
}

TEST_F(UseCountFile, ABriefLockIsWaitedOut) {
    ASSERT_TRUE(WriteBytes(UserDat(), std::string("kept\t40\n")));
    HANDLE lock =
        CreateFileW(UserDat().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::thread holder([lock] {
        Sleep(30);
        CloseHandle(lock);
    });
    engine.LoadUser();
    holder.join();
    EXPECT_EQ(engine.userFreq[L"kept"], 40u);
}

TEST_F(UseCountFile, FailedSaveKeepsTheChangesForTheNextSave) {
    // A folder where the file should be: the rename over it fails.
    ASSERT_TRUE(CreateDirectoryW(UserDat().c_str(), nullptr));
    engine.Learn(L"a");
    engine.SaveUser();
    EXPECT_TRUE(engine.userDirty);
    EXPECT_TRUE(TempFiles().empty());

    ASSERT_TRUE(RemoveDirectoryW(UserDat().c_str()));
    engine.SaveUser();
    EXPECT_FALSE(engine.userDirty);
    EXPECT_EQ(Bytes(UserDat()), "a\t1\n");
}

// Above 8000 texts every commit asks for a save, and focus loss waits for it on the host's
// UI thread: a target that refuses every rename (a folder in the way here; a read-only
// file on Windows) must fail at once, not after a round of retries on each save.
TEST_F(UseCountFile, LastingRefusalFailsWithoutWaiting) {
    ASSERT_TRUE(CreateDirectoryW(UserDat().c_str(), nullptr));
    for (int i = 0; i < 8000; ++i) engine.Learn(NumberedText(L"", i));

    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 5; ++i) engine.Learn(NumberedText(L"new", i));
    engine.SaveUser();
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);

    EXPECT_LT(ms, 200.0) << "six failed saves took " << ms << " ms";
    EXPECT_TRUE(engine.userDirty);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(UseCountFile, UnwritableFolderKeepsTheChanges) {
    // Two missing levels: the user folder is not created, so nothing can be written.
    ScopedEnv missing(L"ZLWB_USERDIR", dir.File(L"no\\such").c_str());
    engine.Learn(L"a");
    engine.SaveUser();
    EXPECT_TRUE(engine.userDirty);
}

TEST_F(UseCountFile, HugeFileKeepsItsValidLines) {
    // About 24 MB: valid lines among garbage, a 4 MB line without a TAB and a 4 MB text.
    std::string bytes;
    bytes.reserve(25u << 20);
    for (int i = 0; i < 200000; ++i) {
        bytes += "w" + std::to_string(i) + "\t" + std::to_string(i % 1000) + "\n";
        bytes += "garbage line " + std::to_string(i) + " -\xC3\x28\n";
        bytes += "neg\t-" + std::to_string(i) + "\n";
    }
    bytes += std::string(4u << 20, 'x') + "\n";
    bytes += std::string(4u << 20, 'y') + "\t77\n";
    bytes += "tail\t9\n";
    bytes += std::string(8u << 20, '\n');
    ASSERT_TRUE(WriteBytes(UserDat(), bytes));
    engine.LoadUser();
    EXPECT_EQ(engine.userFreq.size(), 200002u);
    EXPECT_EQ(engine.userFreq[L"w199999"], 999u);
    EXPECT_EQ(engine.userFreq[std::wstring(4u << 20, L'y')], 77u);
    EXPECT_EQ(engine.userFreq[L"tail"], 9u);
    EXPECT_FALSE(engine.userDirty);
}

TEST_F(UseCountFile, FileAboveTheSizeLimitIsLeftAlone) {
    {
        zl::UniqueHandle file(CreateFileW(UserDat().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.Valid());
        DWORD wrote = 0;
        ASSERT_TRUE(WriteFile(file.Get(), "a\t1\n", 4, &wrote, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(zl::kMaxWholeFile) + 1;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    engine.LoadUser();
    EXPECT_TRUE(engine.userFreq.empty());
    engine.Learn(L"b");
    engine.SaveUser();
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(GetFileAttributesExW(UserDat().c_str(), GetFileExInfoStandard, &info));
    EXPECT_EQ(info.nFileSizeLow, static_cast<DWORD>(zl::kMaxWholeFile + 1));
    EXPECT_TRUE(engine.userDirty);
}

// A folder that cannot be reached at load (a drive or share not yet there) says nothing
// of the files in it: once it appears, the saves must not replace what was never read.
TEST_F(UseCountFile, FolderMissingAtLoadKeepsItsFilesWhenItAppears) {
    const std::wstring folder = dir.File(L"late\\user");
    ScopedEnv late(L"ZLWB_USERDIR", folder.c_str());
    engine.LoadUser();
    engine.LoadPromote();
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"late").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    struct {
        const wchar_t* name;
        std::string bytes;
    } const files[] = {{L"user.dat", "kept\t40\n"}, {L"promote.dat", "g\tkept\t3\n"}};
    for (const auto& f : files) ASSERT_TRUE(WriteBytes(folder + L"\\" + f.name, f.bytes));

    engine.Learn(L"new");
    engine.SaveUser();
    engine.ClearPromotions(L"");
    for (const auto& f : files) EXPECT_EQ(Bytes(folder + L"\\" + f.name), f.bytes) << f.name;
    EXPECT_TRUE(engine.userDirty);

    // Read at the next load, the files are saved again.
    engine.LoadUser();
    engine.Learn(L"kept");
    engine.SaveUser();
    EXPECT_EQ(Bytes(folder + L"\\user.dat"), "kept\t41\n");
}

// Temporary files of saves cut short are swept at the next load once they are old.
TEST_F(UseCountFile, LoadRemovesOldLeftoversOfCutSaves) {
    const std::wstring old = dir.File(L"user.dat.123-1.tmp");
    const std::wstring fresh = dir.File(L"user.dat.456-1.tmp");
    const std::wstring oldPromote = dir.File(L"promote.dat.77-3.tmp");
    const std::wstring other = dir.File(L"other.tmp");
    for (const auto& path : {old, fresh, oldPromote, other}) ASSERT_TRUE(WriteBytes(path, std::string("a\t")));
    FILETIME now, past;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= 120ull * 10000000;
    past = {t.LowPart, t.HighPart};
    for (const auto& path : {old, oldPromote, other}) {
        zl::UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.Valid());
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &past));
    }
    engine.LoadUser();
    EXPECT_EQ(GetFileAttributesW(old.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(oldPromote.c_str()), INVALID_FILE_ATTRIBUTES);
    engine.LoadPromote();
    EXPECT_EQ(GetFileAttributesW(oldPromote.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
