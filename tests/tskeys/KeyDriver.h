// A text service on the fakes, driven the way TSF drives it: every key goes through the
// test call and reaches OnKeyDown/OnKeyUp only when the test said it is eaten. Time, the
// keyboard, the foreground window and the OS version come from seams the test controls.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "Seams.h"
#include "TextService.h"
#include "TsFakes.h"
#include "UserFolder.h"

namespace tskeys {

class KeyDriver {
public:
    // A service with the test dictionary loaded, not activated (no windows, no TSF).
    explicit KeyDriver(unsigned long osMajor = 10);
    ~KeyDriver();
    KeyDriver(const KeyDriver&) = delete;
    KeyDriver& operator=(const KeyDriver&) = delete;

    zl::CTextService& S() { return *service_; }
    RecordingContext& Doc() { return *doc_; }
    const zltest::UserFolder& Folder() const { return folder_; }

    uint32_t now;  // the tick seam; advances only when told, far apart for each driver
    void Advance(uint32_t ms) { now += ms; }

    // Key-down as TSF sends it (repeat sets lParam bit 30); true when the test call ate it.
    bool Down(unsigned vk, bool repeat = false);
    void Up(unsigned vk);
    void Tap(unsigned vk) {
        Down(vk);
        Up(vk);
    }
    void Type(const char* letters);  // lower-case letters, digits and ' ' as keys
    // A key-down reaching only the test call (a host asking without sending it on).
    bool Test(unsigned vk);

    void Tick() { service_->_OnStatusTick(); }
    bool Chinese() const { return service_->chinese != 0; }
    std::wstring TakeInserted();

    // Keys held right now, as the keyboard-state seams report them.
    std::set<int> held;
    // What the foreground window seam returns (a window of this process by default).
    HWND foreground = nullptr;

private:
    zltest::UserFolder folder_;
    zl::ScopedSeams seams_;
    zl::CTextService* service_ = nullptr;
    RecordingContext* doc_ = nullptr;
    HWND window_ = nullptr;
};

// The seams of a driver: this tick, these keys, this window, this OS.
zl::Seams DriverSeams(KeyDriver* d, unsigned long osMajor);

// The dictionary folder of the build.
std::wstring TestDataDir();

}  // namespace tskeys
