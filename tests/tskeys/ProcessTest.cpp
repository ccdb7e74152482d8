// Two processes under one wineserver share the Chinese/English state: this build with
// itself and, when the other build's tree is beside this one, 64-bit with 32-bit.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "KeyDriver.h"

namespace {

constexpr int kCannotStart = -2;

// Starts zltspeer with args; its exit code, kCannotStart when CreateProcess fails, -1 when
// it hangs.
int RunPeer(const std::wstring& exe, const std::wstring& args, HANDLE ready = nullptr,
            const std::function<void()>& whileReady = {}) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return kCannotStart;
    CloseHandle(pi.hThread);
    HANDLE both[2] = {ready, pi.hProcess};
    if (ready && WaitForMultipleObjects(2, both, FALSE, 30000) == WAIT_OBJECT_0) whileReady();
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &code))
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

void SharedAcrossProcesses(const std::wstring& peer) {
    tskeys::KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    d.S()._SetChinese(true, L"test");
    // The peer switches to English, waits, then deactivates: this instance follows both
    // at its next tick.
    wchar_t ready[64], quit[64];
    wsprintfW(ready, L"Local\\zltspeer-%lu-ready", GetCurrentProcessId());
    wsprintfW(quit, L"Local\\zltspeer-%lu-quit", GetCurrentProcessId());
    HANDLE readyEvent = CreateEventW(nullptr, TRUE, FALSE, ready);
    HANDLE quitEvent = CreateEventW(nullptr, TRUE, FALSE, quit);
    bool sawEnglish = false;
    EXPECT_EQ(RunPeer(peer, std::wstring(L"english ") + ready + L" " + quit, readyEvent, [&] {
                  d.Tick();
                  sawEnglish = !d.Chinese();
                  SetEvent(quitEvent);
              }),
              0);
    EXPECT_TRUE(sawEnglish);
    d.Tick();
    EXPECT_TRUE(d.Chinese());
    CloseHandle(readyEvent);
    CloseHandle(quitEvent);
    // The other way round: the peer adopts this instance's state at its tick.
    d.S()._SetChinese(false, L"test");
    EXPECT_EQ(RunPeer(peer, L"tick"), 10);
    d.S()._SetChinese(true, L"test");
    EXPECT_EQ(RunPeer(peer, L"tick"), 11);
}

TEST(Processes, SameBuild) { SharedAcrossProcesses(ZL_TSPEER); }

// Wine reports the Windows version configured for the program: the service must see the
// true major version, which the system hides from GetVersionEx without a manifest.
TEST(Processes, OsMajorVersionAsConfigured) {
    const std::wstring key = L"Software\\Wine\\AppDefaults\\zltspeer.exe";
    const struct {
        const wchar_t* version;
        int major;
    } rows[] = {{L"win7", 6}, {L"win81", 6}, {L"win10", 10}};
    for (const auto& r : rows) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, r.version,
                                  static_cast<DWORD>((wcslen(r.version) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        EXPECT_EQ(RunPeer(ZL_TSPEER, L"os"), r.major) << r.major;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(Processes, OtherBitness) {
    if (GetFileAttributesW(ZL_TSPEER_OTHER) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the other build's peer is not built";
    // Without arguments the peer exits at once with 2, touching nothing.
    if (RunPeer(ZL_TSPEER_OTHER, L"") == kCannotStart)
        GTEST_SKIP() << "the other bitness's peer cannot start on this machine";
    SharedAcrossProcesses(ZL_TSPEER_OTHER);
}

}  // namespace
