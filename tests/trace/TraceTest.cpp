// The trace log: line format, banner, length limit, rotation, failures, concurrent writers.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "TempDir.h"
#include "UniqueHandle.h"
#include "ZlTrace.h"

using zltest::ReadBytes;
using zltest::TempDir;
using zltest::WriteBytes;

namespace {

const char kPrefix[] = R"(\[(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}) pid=(\d+)\] )";

void SetUserDir(const std::wstring& dir) { SetEnvironmentVariableW(L"ZLWB_USERDIR", dir.c_str()); }

std::string ReadText(const std::wstring& path) {
    std::vector<uint8_t> b;
    if (!ReadBytes(path, b)) return std::string();
    return std::string(b.begin(), b.end());
}

// Splits on CR LF; a text that does not end in CR LF gets an extra, marked last line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back("<unterminated>" + text.substr(at));
            break;
        }
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs this test program again with ZL_TRACE_CHILD=mode, running only the child test.
class Child {
public:
    explicit Child(const wchar_t* mode) {
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring cmd =
            L"\"" + std::wstring(exe) + L"\" --gtest_filter=DISABLED_TraceChild.Run --gtest_also_run_disabled_tests";
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        nul_.Reset(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                               nullptr));
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nullptr;
        si.hStdOutput = nul_.Get();
        si.hStdError = nul_.Get();
        PROCESS_INFORMATION pi = {};
        SetEnvironmentVariableW(L"ZL_TRACE_CHILD", mode);
        if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            process_.Reset(pi.hProcess);
            CloseHandle(pi.hThread);
            pid_ = pi.dwProcessId;
        }
        SetEnvironmentVariableW(L"ZL_TRACE_CHILD", nullptr);
    }
    bool Started() const { return process_.Valid(); }
    DWORD Pid() const { return pid_; }
    // The exit code, or a sentinel when it did not end within a minute.
    DWORD Wait() {
        if (!process_.Valid() || WaitForSingleObject(process_.Get(), 60000) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0xDEAD;
        GetExitCodeProcess(process_.Get(), &code);
        return code;
    }

private:
    zl::UniqueHandle nul_;
    zl::UniqueHandle process_;
    DWORD pid_ = 0;
};

constexpr int kBurstLines = 150;

class Trace : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring log = dir.File(L"trace.log");
    std::wstring old = dir.File(L"trace.old.log");

    void SetUp() override { SetUserDir(dir.Path()); }
    void TearDown() override { SetEnvironmentVariableW(L"ZLWB_USERDIR", nullptr); }

    // This process's banner is written by its first call; make sure it is out of the way.
    void SpendBanner() {
        zl::ZlTrace(L"warm-up");
        DeleteFileW(log.c_str());
    }
};

}  // namespace

// The body of the child processes; skipped unless started by Child.
TEST(DISABLED_TraceChild, Run) {
    wchar_t mode[32] = {};
    const DWORD n = GetEnvironmentVariableW(L"ZL_TRACE_CHILD", mode, 32);
    ASSERT_TRUE(n > 0 && n < 32);
    const std::wstring m = mode;
    if (m == L"first") {
        zl::ZlTrace(L"first %s %d", L"消息", 1);
    } else if (m == L"too-long") {
        zl::ZlTrace(L"%s", std::wstring(501, L'x').c_str());
        zl::ZlTrace(L"after");
    } else if (m == L"burst") {
        wchar_t name[64] = {};
        GetEnvironmentVariableW(L"ZL_TRACE_GO", name, 64);
        HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, name);
        ASSERT_TRUE(go);
        // Tell the parent this writer is waiting, so that both bursts start together.
        HANDLE ready = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, (std::wstring(name) + L"-ready").c_str());
        ASSERT_TRUE(ready);
        ReleaseSemaphore(ready, 1, nullptr);
        CloseHandle(ready);
        WaitForSingleObject(go, 30000);
        CloseHandle(go);
        // The lock, not the time the machine gives a waiter, is what is tested here.
        zl::SetTraceLockWaitForTest(30000);
        // Long lines so that a torn write would show.
        const wchar_t letter = static_cast<wchar_t>(L'a' + GetCurrentProcessId() % 26);
        const std::wstring payload(400, letter);
        for (int i = 0; i < kBurstLines; ++i) zl::ZlTrace(L"burst %d %s", i, payload.c_str());
    } else {
        FAIL() << "unknown mode";
    }
}

TEST_F(Trace, LinesCarryTimeAndProcessAndFormatWideArguments) {
    SpendBanner();
    zl::ZlTrace(L"state %s reason=%s n=%lu d=%d", L"中文", L"shift-tap", 4000000000ul, -7);
    zl::ZlTrace(L"%ls|%5d|%-3s|", L"宽", 42, L"ab");
    const std::string text = ReadText(log);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");  // no byte-order mark
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 2u);
    const std::regex first(std::string(kPrefix) + "state \xE4\xB8\xAD\xE6\x96\x87 reason=shift-tap n=4000000000 d=-7");
    const std::regex second(std::string(kPrefix) + "\xE5\xAE\xBD\\|   42\\|ab \\|");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, first)) << lines[0];
    EXPECT_EQ(std::stoul(m[2].str()), GetCurrentProcessId());
    EXPECT_TRUE(std::regex_match(lines[1], second)) << lines[1];
}

TEST_F(Trace, FiveHundredCharactersFitOneMoreDropsTheLine) {
    SpendBanner();
    zl::ZlTrace(L"");
    EXPECT_FALSE(Exists(log));  // nothing to write: not even created

    zl::ZlTrace(L"%s", std::wstring(501, L'y').c_str());
    zl::ZlTrace(L"%s%s", std::wstring(300, L'y').c_str(), std::wstring(300, L'z').c_str());
    EXPECT_FALSE(Exists(log));

    const std::wstring exact(500, L'\u4E2D');  // 1500 bytes of UTF-8
    zl::ZlTrace(L"%s", exact.c_str());
    const std::vector<std::string> lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 1u);
    std::string utf8;
    for (int i = 0; i < 500; ++i) utf8 += "\xE4\xB8\xAD";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(std::string(kPrefix) + utf8)));
}

TEST_F(Trace, TheFirstCallOfAProcessWritesTheBannerInTheSameWrite) {
    Child child(L"first");
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Wait(), 0u);
    const std::vector<std::string> lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 2u);
    const std::regex banner(std::string(kPrefix) + "=== zlwb 4\\.5\\.3 " ZL_TEST_ARCH
                                                   " host=trace_test\\.exe os=(\\d+)\\.(\\d+)\\.(\\d+) ===");
    std::smatch b, m;
    ASSERT_TRUE(std::regex_match(lines[0], b, banner)) << lines[0];
    ASSERT_TRUE(std::regex_match(lines[1], m, std::regex(std::string(kPrefix) + "first \xE6\xB6\x88\xE6\x81\xAF 1")))
        << lines[1];
    EXPECT_EQ(b[1].str(), m[1].str());  // same time stamp
    EXPECT_EQ(std::stoul(b[2].str()), child.Pid());
    EXPECT_EQ(std::stoul(m[2].str()), child.Pid());
    EXPECT_GE(std::stoul(b[3].str()), 5u);  // a real major version, not zero
}

TEST_F(Trace, ADroppedMessageLeavesTheBannerForTheNextLine) {
    Child child(L"too-long");
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Wait(), 0u);
    const std::vector<std::string> lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("=== zlwb 4.5.3"), std::string::npos) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(std::string(kPrefix) + "after"))) << lines[1];
}

TEST_F(Trace, AboveQuarterMebibyteTheLogMovesToTheOldFile) {
    SpendBanner();
    const std::string atLimit(0x40000 - 2, 'a');
    ASSERT_TRUE(WriteBytes(log, atLimit + "\r\n"));
    ASSERT_TRUE(WriteBytes(old, std::string("previous")));
    zl::ZlTrace(L"kept");
    EXPECT_EQ(ReadText(old), "previous");  // 262,144 bytes: not yet
    const std::vector<std::string> kept = Lines(ReadText(log));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], atLimit);

    ASSERT_TRUE(WriteBytes(log, std::string(0x40001, 'b')));
    zl::ZlTrace(L"fresh");
    EXPECT_EQ(ReadText(old), std::string(0x40001, 'b'));
    const std::vector<std::string> lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(std::string(kPrefix) + "fresh")));
}

TEST_F(Trace, AnUnwritableFolderOrLockedFileDropsTheLineAtOnce) {
    SpendBanner();
    // The user folder cannot be created: its parent does not exist.
    const std::wstring missing = dir.File(L"no\\such\\folder");
    SetUserDir(missing);
    zl::ZlTrace(L"lost");
    EXPECT_FALSE(Exists(dir.File(L"no")));

    // The user folder's name is taken by a file.
    const std::wstring file = dir.File(L"plain");
    ASSERT_TRUE(WriteBytes(file, std::string("data")));
    SetUserDir(file);
    zl::ZlTrace(L"lost");
    EXPECT_EQ(ReadText(file), "data");

    // Another process holds the log without sharing it.
    SetUserDir(dir.Path());
    ASSERT_TRUE(WriteBytes(log, std::string("held\r\n")));
    zl::UniqueHandle held(CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    for (int i = 0; i < 20; ++i) zl::ZlTrace(L"lost %d", i);
    held.Reset();
    EXPECT_EQ(ReadText(log), "held\r\n");
}

TEST_F(Trace, TwoProcessesAppendingAtOnceNeverMixWithinALine) {
    // Both writers wait for one event so that their bursts overlap.
    const std::wstring name = L"Local\\zltrace-test-go-" + std::to_wstring(GetCurrentProcessId());
    zl::UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(go.Valid());
    zl::UniqueHandle ready(CreateSemaphoreW(nullptr, 0, 2, (name + L"-ready").c_str()));
    ASSERT_TRUE(ready.Valid());
    SetEnvironmentVariableW(L"ZL_TRACE_GO", name.c_str());
    Child a(L"burst"), b(L"burst");
    SetEnvironmentVariableW(L"ZL_TRACE_GO", nullptr);
    ASSERT_TRUE(a.Started() && b.Started());
    // Both writers wait for the signal before it is given; the guard only turns a child
    // that died early into a failure instead of a hang.
    for (int i = 0; i < 2; ++i) ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    SetEvent(go.Get());
    ASSERT_EQ(a.Wait(), 0u);
    ASSERT_EQ(b.Wait(), 0u);

    const std::vector<std::string> lines = Lines(ReadText(log));
    EXPECT_EQ(lines.size(), 2u * (kBurstLines + 1));
    const std::regex burst(std::string(kPrefix) + "burst (\\d+) ([a-z]+)");
    std::map<unsigned long, int> next;  // pid -> next expected line number
    int banners = 0;
    for (const std::string& l : lines) {
        std::smatch m;
        if (l.find("=== zlwb ") != std::string::npos) {
            ++banners;
            continue;
        }
        if (!std::regex_match(l, m, burst)) {
            ADD_FAILURE() << l.substr(0, 200) << " (" << l.size() << " bytes)";
            continue;
        }
        const unsigned long pid = std::stoul(m[2].str());
        EXPECT_EQ(std::stoi(m[3].str()), next[pid]++);
        EXPECT_EQ(m[4].str(), std::string(400, m[4].str()[0])) << l.substr(0, 120);
    }
    EXPECT_EQ(banners, 2);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[a.Pid()], kBurstLines);
    EXPECT_EQ(next[b.Pid()], kBurstLines);
}

TEST_F(Trace, ALogThatCannotMoveAsideStopsGrowingAtOneMebibyte) {
    SpendBanner();
    constexpr size_t kCap = 0x100000;
    for (const bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "old log is a folder" : "old log held without delete sharing");
        TempDir here;
        SetUserDir(here.Path());
        const std::wstring hereLog = here.File(L"trace.log"), hereOld = here.File(L"trace.old.log");
        zl::UniqueHandle held;
        if (folder) {
            ASSERT_TRUE(CreateDirectoryW(hereOld.c_str(), nullptr));
        } else {
            ASSERT_TRUE(WriteBytes(hereOld, std::string("old")));
            held.Reset(CreateFileW(hereOld.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
        }
        // The move aside fails; one byte short of the cap a line still goes in, from the cap on none does.
        ASSERT_TRUE(WriteBytes(hereLog, std::string(kCap - 1, 'b')));
        zl::ZlTrace(L"last in");
        EXPECT_GT(ReadText(hereLog).size(), kCap);
        ASSERT_TRUE(WriteBytes(hereLog, std::string(kCap, 'c')));
        for (int i = 0; i < 3; ++i) zl::ZlTrace(L"beyond the cap %d", i);
        EXPECT_EQ(ReadText(hereLog).size(), kCap);
    }
}
