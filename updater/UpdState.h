// What the updater's UI thread and its single worker share. The worker writes g_prog,
// g_stepText and g_failText under g_cs and posts a message; the check results and the
// update's outcome are written before kMsgDone and read by the UI only after it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "RunStage.h"

namespace zl {

struct Change {
    std::wstring path;  // as written in the manifest
    uint64_t size = 0;  // 0 = not given
    uint32_t crc = 0;
    std::wstring url;
    int32_t arch = 0;
    std::wstring localPath;
    std::wstring tmpPath;  // set by the update run
};

constexpr UINT kMsgStep = WM_APP + 1;
constexpr UINT kMsgProgress = WM_APP + 2;
constexpr UINT kMsgDone = WM_APP + 3;

extern std::wstring g_installDir;
extern std::wstring g_curVer;
extern bool g_localVerTrusted;
extern std::wstring g_localBuild;
extern bool g_localBuildTrusted;
extern std::wstring g_newVer, g_serverBuild, g_notes, g_blockReason;
extern std::vector<Change> g_changes;
extern uint64_t g_totalBytes;
extern std::vector<std::wstring> g_oldMappedFiles;
extern CRITICAL_SECTION g_cs;

// Holds g_cs for a scope, so that a copy that throws still leaves it.
class StateLock {
public:
    StateLock() { EnterCriticalSection(&g_cs); }
    ~StateLock() { LeaveCriticalSection(&g_cs); }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
};

// A copy of shared state taken under g_cs.
template <class T>
T Locked(const T& value) {
    StateLock lock;
    return value;
}
extern int g_prog;
extern std::wstring g_stepText;
extern std::wstring g_failText;
extern std::atomic<int> g_cancel;
extern RunStage g_stage;
extern bool g_busy;
extern bool g_updated;
extern bool g_auto;
extern int g_exitCode;
extern HWND g_main;

// Worker side: report a step, set the progress, end the run.
void ReportStep(const std::wstring& text);
void SetProgress(int prog);
void FinishRun(int wParam, const std::wstring& text);
bool CancelRequested();

// The two worker runs.
void DoCheck();
void DoUpdate();

// Message box in an interactive run; in an automatic one the text goes to the log and
// the answer is the box's default.
int Box(const std::wstring& text, const wchar_t* caption, UINT flags, HWND owner = nullptr);

}  // namespace zl
