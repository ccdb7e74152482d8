#include "UpdState.h"

#include "UpdLog.h"

namespace zl {

std::wstring g_installDir;
std::wstring g_curVer;
bool g_localVerTrusted = false;
std::wstring g_localBuild;
bool g_localBuildTrusted = false;
std::wstring g_newVer, g_serverBuild, g_notes, g_blockReason;
std::vector<Change> g_changes;
uint64_t g_totalBytes = 0;
std::vector<std::wstring> g_oldMappedFiles;
CRITICAL_SECTION g_cs;
int g_prog = 0;
std::wstring g_stepText;
std::wstring g_failText;
std::atomic<int> g_cancel{0};
RunStage g_stage;
bool g_busy = false;
bool g_updated = false;
bool g_auto = false;
int g_exitCode = 0;
HWND g_main = nullptr;

void ReportStep(const std::wstring& text) {
    {
        StateLock lock;
        g_stepText = text;
    }
    if (g_main) PostMessageW(g_main, kMsgStep, 0, 0);
}

void SetProgress(int prog) {
    {
        StateLock lock;
        g_prog = prog < 0 ? 0 : (prog > 1000 ? 1000 : prog);
    }
    if (g_main) PostMessageW(g_main, kMsgProgress, 0, 0);
}

void FinishRun(int wParam, const std::wstring& text) {
    {
        StateLock lock;
        g_failText = text;
    }
    if (g_main) PostMessageW(g_main, kMsgDone, static_cast<WPARAM>(wParam), 0);
}

bool CancelRequested() {
    int expected = 1;
    return g_cancel.compare_exchange_strong(expected, 1);
}

int Box(const std::wstring& text, const wchar_t* caption, UINT flags, HWND owner) {
    if (g_auto) {
        LogFile(L"[%ls] %ls", caption, text.c_str());
        return (flags & MB_YESNO) ? IDNO : IDOK;  // nobody is asked anything
    }
    return MessageBoxW(owner, text.c_str(), caption, flags);
}

}  // namespace zl
