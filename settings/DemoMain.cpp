// zldemo: the settings window ("--settings") or the demonstration window with a live
// input box. Exit code 1 when the dictionary cannot be loaded.
#include <windows.h>

#include "DemoApp.h"
#include "DemoFiles.h"
#include "InputKeys.h"
#include "ModuleDir.h"
#include "Purge.h"

namespace zldemo {

namespace {

constexpr int kIconId = 101;

// Icons of this run; a file icon has to be destroyed, a resource icon is shared.
struct Icons {
    HICON large = nullptr;
    HICON small = nullptr;
    bool largeFromFile = false;
    ~Icons() {
        if (largeFromFile && large) DestroyIcon(large);
    }
};

void LoadIcons(HINSTANCE inst, Icons& icons) {
    icons.large = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 32, 32, LR_SHARED));
    if (!icons.large) {
        icons.large = static_cast<HICON>(LoadImageW(nullptr, L"zlwb.ico", IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
        icons.largeFromFile = icons.large != nullptr;
    }
    icons.small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 16, 16, LR_SHARED));
}

void RegisterClasses(HINSTANCE inst, const Icons& icons) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = icons.large;
    wc.hIconSm = icons.small;

    wc.lpfnWndProc = MainProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kSettingsClass;
    RegisterClassExW(&wc);

    wc.lpfnWndProc = HelpPopupProc;
    wc.lpszClassName = kHelpClass;
    RegisterClassExW(&wc);

    wc.lpfnWndProc = InputProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.lpszClassName = kInputClass;
    RegisterClassExW(&wc);
}

// Typing anywhere in the main window goes to the input box. Keys of the help window
// stay there, so that Esc closes it.
void RouteKeyToInput(MSG& msg) {
    if (msg.message != WM_KEYDOWN || !g_input || GetFocus() == g_input) return;
    if (msg.hwnd != g_main && !IsChild(g_main, msg.hwnd)) return;
    SetFocus(g_input);
    msg.hwnd = g_input;
}

int Run(HINSTANCE inst) {
    g_cfg.Load();
    ApplyOptions(g_engine, g_cfg);

    g_settingsOnly = HasSettingsArg(GetCommandLineW());
    if (g_settingsOnly) {
        if (HWND existing = FindWindowW(kSettingsClass, kSettingsTitle)) {
            ShowWindow(existing, SW_SHOWNORMAL);
            SetForegroundWindow(existing);
            return 0;
        }
    }

    g_folder = zl::ModuleDir(nullptr);
    bool wrotePid = false;
    if (g_settingsOnly) {
        DWORD pid = 0;
        if (HWND front = GetForegroundWindow()) GetWindowThreadProcessId(front, &pid);
        wrotePid = WritePreviewPid(pid, GetCurrentProcessId());
    }

    zl::PurgeBackupFiles(g_folder, nullptr);

    // Without a window nothing would take preview.pid away again.
    auto fail = [wrotePid] {
        if (wrotePid) DeletePreviewPid();
        return 1;
    };
    if (!g_engine.Init(DataFolderFor(g_folder))) {
        MessageBoxW(nullptr, L"码表 data\\zlwb.dat 载入失败", kAppCaption, MB_ICONERROR);
        return fail();
    }
    SelectScheme(g_engine, g_cfg, g_cfg.scheme);

    Icons icons;
    LoadIcons(inst, icons);
    RegisterClasses(inst, icons);

    HWND main = CreateWindowExW(0, kSettingsClass, g_settingsOnly ? kSettingsTitle : kDemoTitle,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 200, 100,
                                kMainWidth, kMainHeight, nullptr, nullptr, inst, nullptr);
    if (!main) return fail();
    if (g_settingsOnly) {
        SetWindowPos(main, nullptr, (GetSystemMetrics(SM_CXSCREEN) - kMainWidth) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - kMainHeight) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    if (g_input) SetFocus(g_input);

    g_cand.Create(inst);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!g_settingsOnly) RouteKeyToInput(msg);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_cand.Destroy();
    return 0;
}

}  // namespace

}  // namespace zldemo

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) { return zldemo::Run(inst); }
