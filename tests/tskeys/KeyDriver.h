// A text service on the fake TSF kit, driven the way TSF drives it: every key goes through
// the test call and reaches OnKeyDown/OnKeyUp only when the test said it is eaten. Time,
// the keyboard, the foreground window and the OS version come from seams the test controls.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "Seams.h"
#include "TextService.h"
#include "TsfKit.h"
#include "UserFolder.h"

namespace tskeys {

// Modifier bits for Press: the key is pressed while Shift or Ctrl is held.
constexpr unsigned kShift = 0x10000, kCtrl = 0x20000;

class KeyDriver {
public:
    // A service with the test dictionary loaded and a focused document, not activated (no
    // windows, no sinks): a test wires what it needs.
    explicit KeyDriver(unsigned long osMajor = 10);
    ~KeyDriver();
    KeyDriver(const KeyDriver&) = delete;
    KeyDriver& operator=(const KeyDriver&) = delete;

    zl::CTextService& S() { return *service_; }
    tsfkit::FakeThreadMgr& Tm() { return *tm_; }
    tsfkit::FakeContext& Doc() { return *doc_; }
    const zltest::UserFolder& Folder() const { return folder_; }

    uint32_t now;  // the tick seam, far apart for each driver; moves only when told
    void Advance(uint32_t ms) { now += ms; }
    std::set<int> held;         // keys down, as the keyboard seams report them
    HWND foreground = nullptr;  // what the foreground seam returns (ours by default)

    // Key-down as TSF sends it (repeat sets lParam bit 30); true when the test call ate it.
    bool Down(unsigned vk, bool repeat = false);
    void Up(unsigned vk);
    bool Press(unsigned keyAndModifiers);  // down and up, inside the modifiers'
    void Type(const char* letters);        // lower-case letters as keys
    void Tick() { service_->_OnStatusTick(); }
    bool Chinese() const { return service_->chinese != 0; }
    // The document's text outside the composition: what was committed into it.
    std::wstring Committed() const;
    // Gives the service the thread manager and its open/close compartment sink, as the
    // first activation does (adopting, then forcing Chinese).
    void InstallCompartment();

private:
    zltest::UserFolder folder_;
    zl::ScopedSeams seams_;
    zl::CTextService* service_ = nullptr;
    tsfkit::FakeThreadMgr* tm_ = new tsfkit::FakeThreadMgr;
    tsfkit::FakeContext* doc_ = nullptr;  // the focused document's, borrowed
    HWND window_ = nullptr;
};

// The dictionary folder of the build.
std::wstring TestDataDir();

}  // namespace tskeys
