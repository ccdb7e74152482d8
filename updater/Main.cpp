// zlupd: brings an installation up to date file by file.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "HostQuestion.h"
#include "Markers.h"
#include "ProductVersion.h"
#include "UniqueHandle.h"
#include "UpdLog.h"
#include "UpdState.h"
#include "UpdText.h"
#include "Version.h"
#include "Window.h"

namespace {

using namespace zl;

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZelunWubi";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ModulePath() {
    wchar_t buf[521] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buf, 520);
    return (n == 0 || n >= 520) ? std::wstring() : std::wstring(buf, n);
}

std::wstring FindInstallDir() {
    std::wstring dir = ModulePath();
    const size_t cut = dir.find_last_of(L"\\/");
    dir = cut == std::wstring::npos ? std::wstring() : dir.substr(0, cut);
    if (!dir.empty() && Exists(dir + L"\\zlwb64.dll")) return dir;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t value[520] = {};  // 1038 bytes for the value, then room for a terminator
        DWORD type = 0;
        DWORD bytes = 1038;
        if (RegQueryValueExW(key, L"InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            value[bytes / sizeof(wchar_t)] = L'\0';
            dir = value;
        }
        RegCloseKey(key);
    }
    return Exists(dir + L"\\zlwb64.dll") ? dir : std::wstring();
}

void ReadMarkers() {
    g_curVer = InstalledVersionOnDisk(g_installDir);
    g_localVerTrusted = !g_curVer.empty();
    if (g_curVer.empty()) g_curVer = kProductVersion;
    g_localBuild = InstalledBuildOnDisk(g_installDir);
    const std::wstring ver = g_installDir + L"\\installed.ver";
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (g_localBuild.empty() && GetFileAttributesExW(ver.c_str(), GetFileExInfoStandard, &fad)) {
        g_localBuild = StampFromUtcFileTime(fad.ftLastWriteTime);
        if (!g_localBuild.empty() && !WriteInstalledBuild(g_installDir, g_localBuild)) {
            LogFile(L"[%ls] 无法写入 installed.build", g_installDir.c_str());
        }
    }
    g_localBuildTrusted = !g_localBuild.empty();
}

bool CanWriteInstallDir() {
    const std::wstring probe = g_installDir + L"\\~zlupd.tmp";
    HANDLE f = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    return true;
}

// Standard output for "--list-hosts": the console or pipe of whoever started us.
void WriteStdout(const std::wstring& line) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    }
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    DWORD put = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
}

int ListHosts() {
    const std::vector<std::wstring> lines = HostListLines();
    LogFile(L"[%ls] 仍加载旧组件的程序：%u 个", g_installDir.c_str(), static_cast<unsigned>(lines.size()));
    for (const std::wstring& line : lines) {
        LogFile(L"[%ls]   %ls", g_installDir.c_str(), line.c_str());
        WriteStdout(line);
    }
    return 0;
}

int StartElevated() {
    const std::wstring self = ModulePath();
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.lpVerb = L"runas";
    sei.lpFile = self.c_str();
    sei.lpParameters = L"--elevated";
    sei.lpDirectory = g_installDir.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!self.empty() && ShellExecuteExW(&sei)) {
        if (sei.hProcess) CloseHandle(sei.hProcess);
        return 0;
    }
    Box(L"没有写入安装目录的权限。\n请右键选择“以管理员身份运行”，或用完整安装包更新。", L"增量更新", MB_ICONWARNING);
    return 1;
}

bool RaiseRunningWindow() {
    HWND other = FindWindowW(kUpdClass, nullptr);
    if (!other) return false;
    ShowWindow(other, SW_SHOWNORMAL);
    SetForegroundWindow(other);
    return true;
}

void RegisterMainClass(HINSTANCE inst) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kUpdClass;
    HANDLE icon = LoadImageW(inst, MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0);
    if (!icon) icon = LoadImageW(nullptr, L"zlwb.ico", IMAGE_ICON, 32, 32, LR_LOADFROMFILE);
    wc.hIcon = static_cast<HICON>(icon);
    wc.hIconSm = static_cast<HICON>(icon);
    RegisterClassExW(&wc);
}

int Run(HINSTANCE inst) {
    const std::wstring cmd = GetCommandLineW();
    auto has = [&cmd](const wchar_t* sw) { return cmd.find(sw) != std::wstring::npos; };
    // Looked at before anything can ask a question: an unattended run never shows a box.
    g_auto = has(L"--auto");

    g_installDir = FindInstallDir();
    if (g_installDir.empty()) {
        Box(L"没有找到泽仑五笔输入法的安装目录。\n请从安装目录运行更新程序，或直接用完整安装包更新。", L"增量更新",
            MB_ICONWARNING);
        return 1;
    }
    ReadMarkers();
    if (has(L"--list-hosts")) return ListHosts();
    if (!CanWriteInstallDir() && !has(L"--elevated")) return StartElevated();
    if (has(L"--kill-hosts")) {
        const int n = EndHostsOfOldComponents();
        LogFile(L"[%ls] --kill-hosts：结束 %d 个仍加载旧组件的程序", g_installDir.c_str(), n);
        return n > 0 ? 0 : 3;
    }
    if (g_auto) LogFile(L"---- 开始自动更新：%ls（当前 v%ls）", g_installDir.c_str(), g_curVer.c_str());

    // One updater per install folder: two would share update_tmp and the files.
    const std::wstring mutexName = UpdaterMutexName(g_installDir);
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    bool owned = false;
    if (mutex.Valid()) {
        const DWORD r = WaitForSingleObject(mutex.Get(), 0);
        owned = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    } else {
        // An elevated updater's mutex cannot be opened by a plain one.
        owned = GetLastError() != ERROR_ACCESS_DENIED;
    }
    if (!owned) {
        if (g_auto) {
            LogFile(L"[%ls] 另一个更新程序正在运行，本次不更新", g_installDir.c_str());
        } else {
            RaiseRunningWindow();
        }
        return 0;
    }
    if (!g_auto && RaiseRunningWindow()) {
        ReleaseMutex(mutex.Get());
        return 0;
    }

    InitializeCriticalSection(&g_cs);
    RegisterMainClass(inst);
    const int w = 656, h = 476;
    g_main = CreateWindowExW(0, kUpdClass, kUpdTitle, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
                             nullptr, nullptr, inst, nullptr);
    if (!g_main) {
        ReleaseMutex(mutex.Get());
        return 1;
    }
    if (!g_auto) {
        ShowWindow(g_main, SW_SHOW);
        UpdateWindow(g_main);
    }
    StartWorker(true);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ReleaseMutex(mutex.Get());
    // A run abandoned by a close still has its worker. Returning would destroy the shared
    // globals while it writes them; ending the process stops the worker first.
    if (g_busy) ExitProcess(static_cast<UINT>(g_exitCode));
    return g_exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) { return Run(inst); }
