#include "ServiceKit.h"

#include <objbase.h>

#include "Module.h"
#include "Pump.h"

namespace zltest {

namespace {

std::wstring Str(const wchar_t* s) { return s ? s : L""; }

}  // namespace

SeamRecorder::SeamRecorder() : seams(zl::Seams::Real()) {
    seams.unixTime = [this] { return unixTime; };
    seams.foregroundWindow = [this] { return foreground; };
    seams.messageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
        std::lock_guard<std::mutex> g(lock_);
        boxes_.push_back({owner, Str(text), Str(caption), type});
        return boxAnswer;
    };
    seams.shellExecute = [this](const wchar_t* verb, const wchar_t* file, const wchar_t* params,
                                const wchar_t* dir, int) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(com)) CoUninitialize();
        std::lock_guard<std::mutex> g(lock_);
        shells_.push_back({Str(verb), Str(file), Str(params), Str(dir), com});
        return shellResult;
    };
}

std::vector<BoxCall> SeamRecorder::Boxes() {
    std::lock_guard<std::mutex> g(lock_);
    return boxes_;
}

std::vector<ShellCall> SeamRecorder::Shells() {
    std::lock_guard<std::mutex> g(lock_);
    return shells_;
}

BareService::BareService() : seams_(rec.seams) {
    g_hInst = GetModuleHandleW(nullptr);
    service_ = new zl::CTextService;
    service_->hInstance = g_hInst;
    service_->statusBar.Create(g_hInst);
}

BareService::~BareService() { service_->Release(); }

zl::Config BareService::Saved() const {
    zl::Config c;
    c.Load();
    return c;
}

CharSink::CharSink() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZlTestCharSink";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"sink", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200,
                            nullptr, nullptr, wc.hInstance, this);
}

CharSink::~CharSink() {
    if (hwnd_) DestroyWindow(hwnd_);
    PumpPending();
}

bool CharSink::Front() {
    if (!hwnd_) return false;
    SetForegroundWindow(hwnd_);
    const bool front = PumpUntil([&] { return GetForegroundWindow() == hwnd_; }, 3000);
    SetFocus(hwnd_);
    return front;
}

bool CharSink::WaitTyped(size_t n) { return PumpUntil([&] { return typed.size() >= n; }, 5000); }

LRESULT CALLBACK CharSink::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
        SetWindowLongPtrW(w, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<CharSink*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_CHAR && self) {
        self->typed.push_back(static_cast<wchar_t>(wp));
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

void RunOnFreshThread(LPTHREAD_START_ROUTINE proc, void* arg) {
    HANDLE t = CreateThread(nullptr, 0, proc, arg, 0, nullptr);
    if (!t) return;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
}

}  // namespace zltest
