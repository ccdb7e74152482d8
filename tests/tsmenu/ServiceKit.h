// The text service outside TSF for the menu, symbol and update tests: a user folder of its
// own, a real status bar, and seams that record message boxes and shell calls instead of
// showing or starting anything. Workers a test starts are joined before it reads them.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "Module.h"
#include "Pump.h"
#include "Seams.h"
#include "TextService.h"
#include "UserFolder.h"

namespace zltest {

struct Box {
    HWND owner;
    std::wstring text, caption;
    UINT type;
};

class ServiceFixture : public ::testing::Test {
protected:
    ServiceFixture() {
        g_hInst = GetModuleHandleW(nullptr);
        zl::Seams& s = zl::TheSeams();
        s.unixTime = [this] { return now; };
        s.foregroundWindow = [this] { return front; };
        s.messageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
            boxes.push_back({owner, text, caption, type});
            return answer;
        };
        // Each call as "file|params|dir"; shellCom: CoInitializeEx there (S_FALSE: had an apartment).
        s.shellExecute = [this](const wchar_t*, const wchar_t* file, const wchar_t* params, const wchar_t* dir,
                                int) -> INT_PTR {
            shellCom = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            if (SUCCEEDED(shellCom)) CoUninitialize();
            shells.push_back(std::wstring(file) + L"|" + (params ? params : L"") + L"|" + (dir ? dir : L""));
            return 42;
        };
        svc->hInstance = g_hInst;
        svc->statusBar.Create(g_hInst);
    }
    ~ServiceFixture() override { svc->Release(); }
    // config.ini as the next process would read it.
    static zl::Config Saved() {
        zl::Config c;
        c.Load();
        return c;
    }

    UserFolder user;
    zl::ScopedSeams seams{zl::TheSeams()};
    std::vector<Box> boxes;
    std::vector<std::wstring> shells;
    HRESULT shellCom = E_FAIL;
    int answer = IDNO;
    HWND front = nullptr;
    int64_t now = 1700000000;
    zl::CTextService* svc = new zl::CTextService;
};

// This test program copied into a folder of its own as zlwb64.dll and loaded as the
// component's module, so that the install folder is one the test lays out.
struct ModuleIn {
    ModuleIn() {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (CopyFileW(self, dir.File(L"zlwb64.dll").c_str(), FALSE)) {
            module = LoadLibraryExW(dir.File(L"zlwb64.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        }
        if (module) g_hInst = module;
    }
    ~ModuleIn() {
        g_hInst = GetModuleHandleW(nullptr);
        if (module) FreeLibrary(module);
    }
    TempDir dir;
    HMODULE module = nullptr;
};

// An edit window of the test, in front with the keyboard focus, that keeps what is typed.
struct TypingTarget {
    ~TypingTarget() { DestroyWindow(hwnd); }
    bool Front() {
        SetForegroundWindow(hwnd);
        const bool ok = PumpUntil([&] { return GetForegroundWindow() == hwnd; }, 3000);
        SetFocus(hwnd);
        return ok;
    }
    // The text once it holds n characters (or a few seconds passed); emptied for the next.
    std::wstring Take(size_t n) {
        PumpUntil([&] { return GetWindowTextLengthW(hwnd) >= static_cast<int>(n); }, 5000);
        wchar_t text[64] = {};
        GetWindowTextW(hwnd, text, 64);
        SetWindowTextW(hwnd, L"");
        return text;
    }
    HWND hwnd = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
};

}  // namespace zltest
