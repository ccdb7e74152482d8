// Two processes under one wineserver share the Chinese/English state: the same build and,
// when the other build's tree is beside this one, a 64-bit and a 32-bit process together.
#include <gtest/gtest.h>

#include <vector>

#include "KeyDriver.h"

using tskeys::KeyDriver;

namespace {

class Peer {
public:
    Peer(const std::wstring& exe, const std::wstring& args) {
        std::wstring cmd = L"\"" + exe + L"\" " + args;
        std::vector<wchar_t> buf(cmd.begin(), cmd.end());
        buf.push_back(0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            process_ = pi.hProcess;
        }
    }
    ~Peer() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    bool Started() const { return process_ != nullptr; }
    HANDLE Handle() const { return process_; }
    // Waits for the peer to end (a safety bound, not a timing assumption); -1 when it hangs.
    int ExitCode() {
        DWORD code = 0;
        if (WaitForSingleObject(process_, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
            return -1;
        return static_cast<int>(code);
    }

private:
    HANDLE process_ = nullptr;
};

void SharedAcrossProcesses(const std::wstring& peerExe) {
    KeyDriver d;
    ASSERT_TRUE(d.S()._MapChineseBlock());
    d.S()._SetChinese(true, L"test");

    // English in the peer reaches this instance at its next tick; the peer's deactivation
    // brings Chinese back.
    wchar_t name[64];
    wsprintfW(name, L"Local\\zltspeer-%lu-ready", GetCurrentProcessId());
    const std::wstring readyName = name;
    wsprintfW(name, L"Local\\zltspeer-%lu-quit", GetCurrentProcessId());
    const std::wstring quitName = name;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, quitName.c_str());
    ASSERT_TRUE(ready && quit);
    {
        Peer peer(peerExe, L"english " + readyName + L" " + quitName);
        ASSERT_TRUE(peer.Started());
        HANDLE both[2] = {ready, peer.Handle()};
        ASSERT_EQ(WaitForMultipleObjects(2, both, FALSE, 30000), WAIT_OBJECT_0);
        EXPECT_TRUE(d.Chinese());
        d.Tick();
        EXPECT_FALSE(d.Chinese());
        SetEvent(quit);
        EXPECT_EQ(peer.ExitCode(), 0);
        d.Tick();
        EXPECT_TRUE(d.Chinese());
    }
    CloseHandle(ready);
    CloseHandle(quit);

    // And the other way: the peer adopts this instance's state at its tick.
    d.S()._SetChinese(false, L"test");
    EXPECT_EQ(Peer(peerExe, L"tick").ExitCode(), 10);
    d.S()._SetChinese(true, L"test");
    EXPECT_EQ(Peer(peerExe, L"tick").ExitCode(), 11);
}

TEST(Processes, SameBuild) { SharedAcrossProcesses(ZL_TSPEER); }

TEST(Processes, OtherBitness) {
    const std::wstring other = ZL_TSPEER_OTHER;
    if (GetFileAttributesW(other.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the other build's peer is not built";
    SharedAcrossProcesses(other);
}

}  // namespace
