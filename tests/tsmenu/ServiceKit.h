// A text service outside TSF for the menu and update tests: its own user folder, the
// test program as its module, a real status bar, and seams that record every message
// box and shell call instead of showing or starting anything.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "Seams.h"
#include "TextService.h"
#include "UserFolder.h"

namespace zltest {

struct BoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct ShellCall {
    std::wstring verb, file, params, dir;
    HRESULT comState;  // CoInitializeEx on the calling thread: S_FALSE when it had an apartment
};

// Recording seams; safe to call from a worker thread.
class SeamRecorder {
public:
    SeamRecorder();
    zl::Seams seams;
    int boxAnswer = IDNO;
    INT_PTR shellResult = 42;
    HWND foreground = nullptr;
    int64_t unixTime = 1700000000;

    std::vector<BoxCall> Boxes();
    std::vector<ShellCall> Shells();

private:
    std::mutex lock_;
    std::vector<BoxCall> boxes_;
    std::vector<ShellCall> shells_;
};

class BareService {
public:
    BareService();
    ~BareService();
    BareService(const BareService&) = delete;
    BareService& operator=(const BareService&) = delete;

    zl::CTextService& S() { return *service_; }
    // config.ini as the next process would read it.
    zl::Config Saved() const;

    UserFolder user;
    SeamRecorder rec;

private:
    zl::ScopedSeams seams_;
    zl::CTextService* service_ = nullptr;
};

// A window of the test that takes the foreground and keeps what is typed into it.
class CharSink {
public:
    CharSink();
    ~CharSink();
    CharSink(const CharSink&) = delete;
    CharSink& operator=(const CharSink&) = delete;
    HWND Get() const { return hwnd_; }
    // Brings it to the front with the keyboard focus; false when it did not get there.
    bool Front();
    // Pumps until `n` characters arrived (false after a few seconds without them).
    bool WaitTyped(size_t n);
    std::wstring typed;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Runs a function on a thread of its own (no COM apartment) and waits for it.
void RunOnFreshThread(LPTHREAD_START_ROUTINE proc, void* arg);

}  // namespace zltest
