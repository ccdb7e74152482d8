// A text service on the fake TSF kit, not activated, driven as TSF drives it: every key
// goes through the test call and reaches OnKeyDown/OnKeyUp only when that said eaten.
// Time, the keyboard, the foreground window and the OS version are seams the test sets.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "Seams.h"
#include "TextService.h"
#include "TsfKit.h"
#include "UserFolder.h"

namespace tskeys {

constexpr unsigned kShift = 0x10000, kCtrl = 0x20000;  // modifiers for Press

class KeyDriver {
public:
    explicit KeyDriver(unsigned long osMajor = 10) : seams_(zl::TheSeams()) {
        static uint32_t start = 0x10000000u;  // the 7/8 toggle gap is process-wide: apart
        now = start += 0x01000000u;
        auto& s = zl::TheSeams();
        s.tickCount = [this] { return static_cast<DWORD>(now); };
        s.keyState = [this](int vk) { return static_cast<SHORT>(held.count(vk) ? 0x8000 : 0); };
        s.asyncKeyState = s.keyState;
        s.keyboardState = [this](BYTE* k) {
            for (int vk = 0; vk < 256; ++vk) k[vk] = held.count(vk) ? 0x80 : 0;
            return true;
        };
        s.foregroundWindow = [this] { return foreground; };
        s.osMajorVersion = [osMajor] { return osMajor; };
        foreground = window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                               nullptr);
        svc_->engine.Init(Dir(ZL_TEST_DICT));
        tm_->NewFocusedDocument(&doc_);
    }
    ~KeyDriver() {
        svc_->Deactivate();
        svc_->Release();
        tm_->Release();
        DestroyWindow(window_);
    }
    KeyDriver(const KeyDriver&) = delete;
    KeyDriver& operator=(const KeyDriver&) = delete;

    static std::wstring Dir(const std::wstring& file) { return file.substr(0, file.find_last_of(L"\\/")); }
    zl::CTextService& S() { return *svc_; }
    tsfkit::FakeThreadMgr& Tm() { return *tm_; }
    tsfkit::FakeContext& Doc() { return *doc_; }
    bool Chinese() const { return svc_->chinese != 0; }
    void Tick() { svc_->_OnStatusTick(); }
    // The compartment sink on the fake thread manager, as the first activation installs it.
    void InstallCompartment() {
        (svc_->threadMgr = tm_)->AddRef();
        svc_->_InitCompartmentSink();
    }

    // Key-down (auto-repeat sets lParam bit 30); true when the test call ate it.
    bool Down(unsigned vk, bool repeat = false) { return Send(vk, true, repeat); }
    void Up(unsigned vk) { Send(vk, false, false); }
    bool Press(unsigned k) {
        if (k & kCtrl) Down(VK_CONTROL);
        if (k & kShift) Down(VK_SHIFT);
        const bool eaten = Down(k & 0xFFFF);
        Up(k & 0xFFFF);
        if (k & kShift) Up(VK_SHIFT);
        if (k & kCtrl) Up(VK_CONTROL);
        return eaten;
    }
    void Type(const char* letters) {
        for (; *letters; ++letters) Press(static_cast<unsigned>(*letters - 'a' + 'A'));
    }

    uint32_t now;
    std::set<int> held;  // keys down, as the keyboard seams report them
    HWND foreground;

private:
    bool Send(unsigned vk, bool down, bool repeat) {
        LPARAM lp = 1 | LPARAM(MapVirtualKeyW(vk, 0)) << 16 | LPARAM(repeat || !down) << 30 | LPARAM(!down) << 31;
        BOOL eaten = FALSE, taken = FALSE;
        if (down) {
            held.insert(static_cast<int>(vk));
            svc_->OnTestKeyDown(doc_, vk, lp, &eaten);
            if (eaten) svc_->OnKeyDown(doc_, vk, lp, &taken);
        } else {
            held.erase(static_cast<int>(vk));
            svc_->OnTestKeyUp(doc_, vk, lp, &eaten);
            if (eaten) svc_->OnKeyUp(doc_, vk, lp, &taken);
        }
        return eaten != FALSE;
    }

    zltest::UserFolder folder_;
    zl::ScopedSeams seams_;
    HWND window_ = nullptr;
    zl::CTextService* svc_ = new zl::CTextService;
    tsfkit::FakeThreadMgr* tm_ = new tsfkit::FakeThreadMgr;
    tsfkit::FakeContext* doc_ = nullptr;  // the focused document's, borrowed
};

}  // namespace tskeys
