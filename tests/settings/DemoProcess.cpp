#include "DemoProcess.h"

#include "DictKit.h"
#include "Pump.h"

namespace zltest {

DemoFolder::DemoFolder(Dictionary kind) {
    exe_ = dir_.File(L"zldemo.exe");
    CopyFileW(ZLTEST_DEMO, exe_.c_str(), FALSE);
    if (kind == kNone) return;
    CreateDirectoryW(dir_.File(L"data").c_str(), nullptr);
    WriteBytes(dir_.File(L"data\\zlwb.dat"), BuildImage({
                                                 Wubi(L"经", "xca", 50),
                                                 Wubi(L"经济", "xcyj", 40),
                                                 Wubi(L"一", "g", 100),
                                                 Wubi(L"五", "gg", 90),
                                                 Pinyin(L"你好", {"ni", "hao"}, 50),
                                             }));
}

DemoFolder::DemoFolder(const std::wstring& dictionary) : DemoFolder(kNone) {
    CreateDirectoryW(dir_.File(L"data").c_str(), nullptr);
    CopyFileW(dictionary.c_str(), dir_.File(L"data\\zlwb.dat").c_str(), FALSE);
}

DemoProcess::~DemoProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool DemoProcess::Start(const std::wstring& exe, const wchar_t* args) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (args && *args) cmd += std::wstring(L" ") + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    AllowSetForegroundWindow(pid_);
    return true;
}

DWORD DemoProcess::WaitExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    // Pumped: the process may send this thread's windows messages while it ends.
    PumpUntil([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return code;
}

namespace {

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

BOOL CALLBACK CollectText(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(WindowText(w));
    return TRUE;
}

}  // namespace

std::vector<HWND> DemoProcess::Windows(const wchar_t* cls, const wchar_t* title) const {
    WindowSearch s{pid_, cls, title, {}};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND DemoProcess::WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            const std::vector<HWND> all = Windows(cls, title);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// Asked of the window itself: GetWindowText of another process's window gives only the
// caption that the system keeps, never a control's own text.
std::wstring WindowText(HWND w) {
    const LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
    std::vector<std::wstring> texts;
    EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string FileText(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace zltest
