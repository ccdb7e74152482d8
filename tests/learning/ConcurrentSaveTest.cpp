// Several processes rewriting user.dat at once, and a writer killed mid-save: every
// reader and the file left behind must see one whole save. The test program starts
// copies of itself that run LearningChild.Run in the role named by ZLTEST_LEARN_ROLE.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "LearningKit.h"
#include "UniqueHandle.h"

using namespace zltest;

namespace {

constexpr int kSavers = 8;
constexpr int kSavesEach = 40;
constexpr size_t kBase = 8000;           // texts held before the counted uses
// Few, long texts: most of each save is spent writing, where a kill should land.
constexpr size_t kChurnTexts = 3000;
constexpr size_t kChurnTextLength = 500;
constexpr int kKillTrials = 12;
constexpr DWORD kChildTimeoutMs = 180000;

std::wstring SaverText(int saver, size_t n) { return NumberedText(L"p" + std::to_wstring(saver) + L"-", static_cast<int>(n)); }

// True when counts is what one saver held at one moment: its texts 0..m-1 for some
// m above 8000, each used once. size receives m.
bool WholeSnapshot(const zl::UseCounts& counts, size_t& size) {
    size = counts.size();
    if (size <= kBase) return false;
    const std::wstring& any = counts.begin()->first;
    const size_t mark = any.find(L'\x5B57');
    if (mark == std::wstring::npos) return false;
    const std::wstring prefix = any.substr(0, mark);
    for (const auto& [text, count] : counts) {
        if (count != 1 || text.compare(0, mark, prefix) != 0 || text.size() <= mark + 1 || text[mark] != L'\x5B57')
            return false;
        const unsigned long n = wcstoul(text.c_str() + mark + 1, nullptr, 10);
        if (n >= size) return false;
    }
    return true;
}

std::wstring ChurnText(size_t n) { return NumberedText(std::wstring(kChurnTextLength, L'\x6587'), static_cast<int>(n)); }

std::wstring Role() {
    wchar_t buf[256];
    const DWORD n = GetEnvironmentVariableW(L"ZLTEST_LEARN_ROLE", buf, 256);
    return n > 0 && n < 256 ? std::wstring(buf, n) : std::wstring();
}

// Counts uses of new texts so that, above 8000 texts, every use saves; after each
// save reads the file back as another process would.
void RunSaver(int saver) {
    zl::Engine engine;
    for (size_t i = 0; i < kBase; ++i) engine.userFreq[SaverText(saver, i)] = 1;
    int wholeReads = 0;
    for (size_t i = kBase; i < kBase + kSavesEach; ++i) {
        engine.Learn(SaverText(saver, i));  // saves in the background
        zl::Engine reader;
        reader.LoadUser();
        if (reader.userFreq.empty()) continue;  // nobody has saved yet
        size_t size = 0;
        EXPECT_TRUE(WholeSnapshot(reader.userFreq, size)) << "read " << reader.userFreq.size() << " texts";
        ++wholeReads;
    }
    // Seven other savers may hold the file for a moment at a time; on a loaded machine
    // that can go on for a while, so the bound is generous time rather than a few tries.
    for (const ULONGLONG end = GetTickCount64() + 60000; engine.userDirty && GetTickCount64() < end;) {
        engine.SaveUser();
        if (engine.userDirty) Sleep(10);
    }
    EXPECT_FALSE(engine.userDirty);
    EXPECT_GT(wholeReads, 0);
}

// Saves a large file over and over, in the background writer, until it is ended; tells
// the parent after the first.
void RunChurn(const std::wstring& eventName) {
    zl::Engine engine;
    for (size_t i = 0; i < kChurnTexts; ++i) engine.userFreq[ChurnText(i)] = 1;
    for (size_t i = 0; i < kBase; ++i) engine.userFreq[std::to_wstring(i)] = 1;  // so that every use saves
    engine.Learn(ChurnText(0));
    engine.SaveUser();
    ASSERT_FALSE(engine.userDirty);
    zl::UniqueHandle saved(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str()));
    ASSERT_TRUE(saved.Valid());
    SetEvent(saved.Get());
    const ULONGLONG end = GetTickCount64() + 60000;  // never outlive a parent that died
    while (GetTickCount64() < end) engine.Learn(ChurnText(0));
}

TEST(LearningChild, Run) {
    const std::wstring role = Role();
    if (role.empty()) GTEST_SKIP() << "runs only as a child of the concurrency tests";
    if (role.compare(0, 6, L"saver:") == 0)
        RunSaver(_wtoi(role.c_str() + 6));
    else if (role.compare(0, 6, L"churn:") == 0)
        RunChurn(role.substr(6));
    else
        FAIL() << "unknown role";
}

class ConcurrentSave : public LearningTest {
protected:
    // Starts this program in a role; output goes to NUL. Null on failure.
    HANDLE Start(const std::wstring& role) {
        wchar_t self[MAX_PATH];
        const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        std::wstring cmd = L"\"" + std::wstring(self) + L"\" --gtest_filter=LearningChild.Run";
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        zl::UniqueHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                         OPEN_EXISTING, 0, nullptr));
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul.Get();
        PROCESS_INFORMATION pi{};
        ScopedEnv roleEnv(L"ZLTEST_LEARN_ROLE", role.c_str());
        if (!CreateProcessW(self, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
        CloseHandle(pi.hThread);
        return pi.hProcess;
    }
    static DWORD ExitCode(HANDLE process) {
        DWORD code = 0xDEAD;
        GetExitCodeProcess(process, &code);
        return code;
    }
};

TEST_F(ConcurrentSave, EightProcessesLeaveOneWholeSave) {
    std::vector<zl::UniqueHandle> children;
    std::vector<HANDLE> waits;
    for (int i = 0; i < kSavers; ++i) {
        children.emplace_back(Start(L"saver:" + std::to_wstring(i)));
        ASSERT_TRUE(children.back().Valid());
        waits.push_back(children.back().Get());
    }
    ASSERT_EQ(WaitForMultipleObjects(kSavers, waits.data(), TRUE, kChildTimeoutMs), WAIT_OBJECT_0);
    for (int i = 0; i < kSavers; ++i) EXPECT_EQ(ExitCode(waits[i]), 0u) << "saver " << i;

    // The last save of whichever saver renamed last: all of its texts.
    zl::Engine reader;
    reader.LoadUser();
    size_t size = 0;
    EXPECT_TRUE(WholeSnapshot(reader.userFreq, size));
    EXPECT_EQ(size, kBase + kSavesEach);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(ConcurrentSave, WriterKilledMidSaveLeavesAWholeFile) {
    int cutShort = 0;
    for (int trial = 0; trial < kKillTrials; ++trial) {
        const std::wstring eventName = L"zltest-learn-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(trial);
        zl::UniqueHandle saved(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        ASSERT_TRUE(saved.Valid());
        zl::UniqueHandle child(Start(L"churn:" + eventName));
        ASSERT_TRUE(child.Valid());
        HANDLE either[2] = {saved.Get(), child.Get()};
        ASSERT_EQ(WaitForMultipleObjects(2, either, FALSE, kChildTimeoutMs), WAIT_OBJECT_0) << "trial " << trial;
        if (trial % 2 == 0) {
            // Odd trials end it at some moment of its loop, even ones as soon as its
            // next temporary file appears: in the middle of writing it.
            const ULONGLONG end = GetTickCount64() + 5000;
            while (TempFiles().empty() && GetTickCount64() < end) {
            }
        } else {
            Sleep(static_cast<DWORD>(trial * 3 % 17));
        }
        ASSERT_TRUE(TerminateProcess(child.Get(), 9));
        ASSERT_EQ(WaitForSingleObject(child.Get(), kChildTimeoutMs), WAIT_OBJECT_0);

        const std::string bytes = Bytes(UserDat());
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), '\n') << "trial " << trial;
        zl::UseCounts counts;
        zl::ParseUseCounts(bytes, counts);
        EXPECT_EQ(counts.size(), kChurnTexts + kBase) << "trial " << trial;
        EXPECT_EQ(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')), kChurnTexts + kBase);

        // A kill during the write leaves the unfinished temporary file, never a cut user.dat.
        for (const std::wstring& name : TempFiles()) {
            ++cutShort;
            DeleteFileW(dir.File(name).c_str());
        }
    }
    RecordProperty("killed_during_write", cutShort);
    std::printf("writer killed during the write in %d of %d trials\n", cutShort, kKillTrials);
}

}  // namespace
