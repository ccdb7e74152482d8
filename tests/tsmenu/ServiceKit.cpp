#include "ServiceKit.h"

#include <objbase.h>

#include "Module.h"

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

ServiceFixture::ServiceFixture() : seams_(rec.seams) {
    g_hInst = GetModuleHandleW(nullptr);
    service_ = new zl::CTextService;
    service_->hInstance = g_hInst;
    service_->statusBar.Create(g_hInst);
}

ServiceFixture::~ServiceFixture() { service_->Release(); }

zl::Config ServiceFixture::Saved() const {
    zl::Config c;
    c.Load();
    return c;
}

void RunOnFreshThread(LPTHREAD_START_ROUTINE proc, void* arg) {
    HANDLE t = CreateThread(nullptr, 0, proc, arg, 0, nullptr);
    if (!t) return;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
}

}  // namespace zltest
