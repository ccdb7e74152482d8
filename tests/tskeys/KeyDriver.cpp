#include "KeyDriver.h"

namespace tskeys {

namespace {

LPARAM KeyLParam(unsigned vk, bool down, bool repeat) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */)) << 16;
    LPARAM lp = 1 | scan;
    if (repeat || !down) lp |= LPARAM(1) << 30;
    if (!down) lp |= LPARAM(1) << 31;
    return lp;
}

HWND MakePlainWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZlTsKeysHost";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

}  // namespace

zl::Seams DriverSeams(KeyDriver* d, unsigned long osMajor) {
    zl::Seams s = zl::Seams::Real();
    s.tickCount = [d] { return static_cast<DWORD>(d->now); };
    s.keyState = [d](int vk) { return static_cast<SHORT>(d->held.count(vk) ? 0x8000 : 0); };
    s.asyncKeyState = s.keyState;
    s.foregroundWindow = [d] { return d->foreground; };
    s.cursorPos = [](POINT*) { return false; };
    s.osMajorVersion = [osMajor] { return osMajor; };
    s.messageBox = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDNO; };
    s.shellExecute = [](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int) {
        return INT_PTR(0);
    };
    return s;
}

std::wstring TestDataDir() {
    std::wstring dict = ZL_TEST_DICT;
    return dict.substr(0, dict.find_last_of(L"\\/"));
}

KeyDriver::KeyDriver(unsigned long osMajor) : seams_(DriverSeams(this, osMajor)) {
    // Process-wide tick stamps (the Windows 7/8 toggle gap) must not tie drivers together.
    static uint32_t start = 0x10000000u;
    start += 0x01000000u;
    now = start;
    window_ = MakePlainWindow();
    foreground = window_;
    service_ = new zl::CTextService();
    service_->engine.config = service_->config;
    service_->engine.Init(TestDataDir());
    doc_ = new RecordingContext();
}

KeyDriver::~KeyDriver() {
    service_->Deactivate();
    service_->Release();
    doc_->Release();
    if (window_) DestroyWindow(window_);
}

bool KeyDriver::Test(unsigned vk) {
    BOOL eaten = FALSE;
    service_->OnTestKeyDown(doc_, vk, KeyLParam(vk, true, false), &eaten);
    return eaten != FALSE;
}

bool KeyDriver::Down(unsigned vk, bool repeat) {
    const LPARAM lp = KeyLParam(vk, true, repeat);
    held.insert(static_cast<int>(vk));
    BOOL eaten = FALSE;
    service_->OnTestKeyDown(doc_, vk, lp, &eaten);
    if (!eaten) return false;
    BOOL taken = FALSE;
    service_->OnKeyDown(doc_, vk, lp, &taken);
    return true;
}

void KeyDriver::Up(unsigned vk) {
    const LPARAM lp = KeyLParam(vk, false, false);
    held.erase(static_cast<int>(vk));
    BOOL eaten = FALSE;
    service_->OnTestKeyUp(doc_, vk, lp, &eaten);
    if (!eaten) return;
    BOOL taken = FALSE;
    service_->OnKeyUp(doc_, vk, lp, &taken);
}

void KeyDriver::Type(const char* letters) {
    for (const char* p = letters; *p; ++p) {
        const char c = *p;
        Tap(c >= 'a' && c <= 'z' ? static_cast<unsigned>(c - 'a' + 'A')
                                 : c == ' ' ? VK_SPACE : static_cast<unsigned>(c));
    }
}

std::wstring KeyDriver::TakeInserted() {
    std::wstring s;
    s.swap(doc_->inserted);
    return s;
}

}  // namespace tskeys
