#include "KeyDriver.h"

namespace tskeys {

namespace {

zl::Seams DriverSeams(KeyDriver* d, unsigned long osMajor) {
    zl::Seams s = zl::Seams::Real();
    s.tickCount = [d] { return static_cast<DWORD>(d->now); };
    s.keyState = [d](int vk) { return static_cast<SHORT>(d->held.count(vk) ? 0x8000 : 0); };
    s.asyncKeyState = s.keyState;
    s.keyboardState = [d](BYTE* keys) {
        for (int vk = 0; vk < 256; ++vk) keys[vk] = d->held.count(vk) ? 0x80 : 0;
        return true;
    };
    s.foregroundWindow = [d] { return d->foreground; };
    s.cursorPos = [](POINT*) { return false; };
    s.osMajorVersion = [osMajor] { return osMajor; };
    return s;
}

LPARAM KeyLParam(unsigned vk, bool down, bool repeat) {
    LPARAM lp = 1 | static_cast<LPARAM>(MapVirtualKeyW(vk, 0)) << 16;
    if (repeat || !down) lp |= LPARAM(1) << 30;
    if (!down) lp |= LPARAM(1) << 31;
    return lp;
}

}  // namespace

std::wstring TestDataDir() {
    const std::wstring dict = ZL_TEST_DICT;
    return dict.substr(0, dict.find_last_of(L"\\/"));
}

KeyDriver::KeyDriver(unsigned long osMajor) : seams_(DriverSeams(this, osMajor)) {
    // The Windows 7/8 toggle gap is process-wide: drivers must not share moments.
    static uint32_t start = 0x10000000u;
    now = start += 0x01000000u;
    window_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    foreground = window_;
    service_ = new zl::CTextService();
    service_->engine.config = service_->config;
    service_->engine.Init(TestDataDir());
    tm_->NewFocusedDocument(&doc_);
}

KeyDriver::~KeyDriver() {
    service_->Deactivate();
    service_->Release();
    tm_->Release();
    if (window_) DestroyWindow(window_);
}

void KeyDriver::InstallCompartment() {
    tm_->AddRef();
    service_->threadMgr = tm_;
    service_->_InitCompartmentSink();
}

bool KeyDriver::Down(unsigned vk, bool repeat) {
    const LPARAM lp = KeyLParam(vk, true, repeat);
    held.insert(static_cast<int>(vk));
    BOOL eaten = FALSE, taken = FALSE;
    service_->OnTestKeyDown(doc_, vk, lp, &eaten);
    if (eaten) service_->OnKeyDown(doc_, vk, lp, &taken);
    return eaten != FALSE;
}

void KeyDriver::Up(unsigned vk) {
    const LPARAM lp = KeyLParam(vk, false, false);
    held.erase(static_cast<int>(vk));
    BOOL eaten = FALSE, taken = FALSE;
    service_->OnTestKeyUp(doc_, vk, lp, &eaten);
    if (eaten) service_->OnKeyUp(doc_, vk, lp, &taken);
}

bool KeyDriver::Press(unsigned k) {
    const unsigned vk = k & 0xFFFF;
    if (k & kCtrl) Down(VK_CONTROL);
    if (k & kShift) Down(VK_SHIFT);
    const bool eaten = Down(vk);
    Up(vk);
    if (k & kShift) Up(VK_SHIFT);
    if (k & kCtrl) Up(VK_CONTROL);
    return eaten;
}

void KeyDriver::Type(const char* letters) {
    for (const char* p = letters; *p; ++p) Press(static_cast<unsigned>(*p - 'a' + 'A'));
}

std::wstring KeyDriver::Committed() const {
    std::wstring s = doc_->text;
    if (doc_->active) s.erase(doc_->active->start, doc_->active->end - doc_->active->start);
    return s;
}

}  // namespace tskeys
