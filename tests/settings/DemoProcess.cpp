#include "DemoProcess.h"

#include "DictKit.h"
#include "Pump.h"

namespace zltest {

namespace {

constexpr DWORD kWaitMs = 20000;

struct WindowSearch {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (pid == s->pid && IsWindowVisible(w) && lstrcmpiW(name, s->cls) == 0 &&
        (!s->title || WindowText(w) == s->title))
        s->found.push_back(w);
    return TRUE;
}

}  // namespace

DemoFolder::DemoFolder(const wchar_t* dictionary) {
    CopyFileW(ZLTEST_DEMO, Exe().c_str(), FALSE);
    if (dictionary && !*dictionary) return;
    CreateDirectoryW(File(L"data").c_str(), nullptr);
    if (dictionary) CopyFileW(dictionary, File(L"data\\zlwb.dat").c_str(), FALSE);
    else WriteBytes(File(L"data\\zlwb.dat"), BuildImage({Wubi(L"经", "xca", 50), Wubi(L"一", "g", 100)}));
}

DemoProcess::DemoProcess(const DemoFolder& folder, const wchar_t* args) {
    std::wstring cmd = L"\"" + folder.Exe() + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
    CloseHandle(pi_.hThread);
    AllowSetForegroundWindow(pi_.dwProcessId);
}

DemoProcess::~DemoProcess() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
}

DWORD DemoProcess::WaitExit() {
    DWORD code = STILL_ACTIVE;
    // Pumped: the process may send this thread's windows messages while it ends.
    PumpUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, kWaitMs);
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

std::vector<HWND> DemoProcess::Windows(const wchar_t* cls, const wchar_t* title) const {
    WindowSearch s{pi_.dwProcessId, cls, title, {}};
    if (pi_.hProcess) EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND DemoProcess::WaitWindow(const wchar_t* cls, const wchar_t* title) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            const std::vector<HWND> all = Windows(cls, title);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        kWaitMs);
    return found;
}

std::wstring WindowText(HWND w) {
    std::wstring text(static_cast<size_t>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

std::string FileText(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    return ReadBytes(path, bytes) ? std::string(bytes.begin(), bytes.end()) : "<missing>";
}

}  // namespace zltest
