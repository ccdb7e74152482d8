// The update run: download every change into update_tmp, verify it, then replace the
// installed files, write the markers and report.
#include <windows.h>

#include "Crc32.h"
#include "Download.h"
#include "Markers.h"
#include "Replace.h"
#include "UpdLog.h"
#include "UpdState.h"
#include "UpdText.h"
#include "Version.h"

namespace zl {

namespace {

const wchar_t* const kObsolete[] = {L"data\\hw_tpl.dat"};
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZelunWubi";

void Fail(const std::wstring& text) { FinishRun(2, text); }

void CreateFolderPath(const std::wstring& dir) {
    for (size_t i = 0; i < dir.size(); ++i) {
        if ((dir[i] == L'\\' || dir[i] == L'/') && i > 0) CreateDirectoryW(dir.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryW(dir.c_str(), nullptr);
}

bool Download(size_t i, size_t n, const std::wstring& tmpDir) {
    Change& c = g_changes[i];
    wchar_t step[600];
    _snwprintf(step, 599, L"正在下载 %d/%d：%ls", static_cast<int>(i + 1), static_cast<int>(n),
               BaseName(c.path).c_str());
    step[599] = L'\0';
    ReportStep(step);
    c.tmpPath = tmpDir + L"\\" + std::to_wstring(i) + L".tmp";
    const int base = static_cast<int>(i * 900 / n);
    const int span = static_cast<int>(900 / n);
    const uint64_t manifestSize = c.size;
    ProgressCallback progress = [base, span, manifestSize](uint64_t done, uint64_t total) {
        uint64_t pct = 100;
        if (total != 0) {
            pct = done * 100 / total;
        } else if (manifestSize != 0) {
            pct = done * 100 / manifestSize;
        }
        SetProgress(base + static_cast<int>(pct) * span / 100);
        return !CancelRequested();
    };
    std::wstring error;
    if (!DownloadFile(c.url, c.tmpPath, progress, &error, c.size)) {
        LogFile(L"[%ls] 下载失败 %ls：%ls", g_installDir.c_str(), c.path.c_str(), error.c_str());
        Fail(L"下载失败：" + BaseName(c.path) + L"\n" + error);
        return false;
    }
    uint32_t crc = 0;
    uint64_t size = 0;
    if (!Crc32File(c.tmpPath, &crc, &size) || crc != c.crc || (c.size != 0 && size != c.size)) {
        LogFile(L"[%ls] 校验失败 %ls", g_installDir.c_str(), c.path.c_str());
        Fail(L"文件校验失败（可能下载不完整）：" + BaseName(c.path) + L"\n请重试一次。");
        return false;
    }
    return true;
}

// False when the file could be neither replaced nor staged.
bool Install(Change& c, int* pending) {
    if (!EnsureParentFolders(g_installDir, c.localPath)) {
        LogFile(L"[%ls] 无法创建文件夹：%ls", g_installDir.c_str(), c.localPath.c_str());
    }
    const ReplaceOutcome out = ReplaceInstalledFile(c.tmpPath, c.localPath);
    switch (out.result) {
    case ReplaceResult::Direct:
    case ReplaceResult::MovedAside:
        if (out.result == ReplaceResult::MovedAside) g_oldMappedFiles.push_back(out.oldName);
        if (!RemoveStalePending(c.localPath)) {
            LogFile(L"[%ls] 无法删除上次暂存的文件：%ls.zlpend", g_installDir.c_str(), c.localPath.c_str());
        }
        return true;
    case ReplaceResult::Staged:
        ++*pending;
        LogFile(L"[%ls] 文件正被占用，已安排重启后替换：%ls", g_installDir.c_str(), c.path.c_str());
        return true;
    case ReplaceResult::Failed:
        break;
    }
    return false;
}

void WriteMarkers(const std::wstring& version) {
    if (!version.empty() && !WriteInstalledVersion(g_installDir, version)) {
        LogFile(L"[%ls] 无法写入 installed.ver", g_installDir.c_str());
    }
    if (!g_serverBuild.empty() && !WriteInstalledBuild(g_installDir, g_serverBuild)) {
        LogFile(L"[%ls] 无法写入 installed.build", g_installDir.c_str());
    }
    if (version.empty()) return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegSetValueExW(key, L"DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void RemoveObsolete() {
    for (const wchar_t* entry : kObsolete) {
        const std::wstring path = g_installDir + L"\\" + entry;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (DeleteFileW(path.c_str())) {
            LogFile(L"[%ls] 已清除遗留文件 %ls", g_installDir.c_str(), entry);
        } else {
            MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            LogFile(L"[%ls] 遗留文件正被占用，已登记重启后删除 %ls", g_installDir.c_str(), entry);
        }
    }
}

}  // namespace

void DoUpdate() {
    const size_t n = g_changes.size();
    if (n == 0) {
        Fail(L"已取消本次更新。");
        return;
    }
    const std::wstring tmpDir = g_installDir + L"\\update_tmp";
    CreateFolderPath(tmpDir);
    for (size_t i = 0; i < n; ++i) {
        if (CancelRequested()) {
            Fail(L"已取消本次更新。");
            return;
        }
        if (!Download(i, n, tmpDir)) return;
    }

    // From here on the files are written: a close waits for the end instead of cutting
    // a replacement short. A close that came first ends the run here.
    if (!g_stage.BeginWriting()) {
        Fail(L"已取消本次更新。");
        return;
    }
    ReportStep(L"正在写入程序文件…");
    SetProgress(920);
    int pending = 0;
    for (size_t i = 0; i < n; ++i) {
        Change& c = g_changes[i];
        if (!Install(c, &pending)) {
            LogFile(L"[%ls] 写入失败：%ls", g_installDir.c_str(), c.path.c_str());
            g_stage.EndWriting();
            Fail(L"写入失败：" + c.path + L"\n文件被占用，无法替换（请关闭正在使用输入法的程序后重试）");
            return;
        }
        SetProgress(static_cast<int>(920 + 70 * (i + 1) / n));
    }

    const std::wstring version =
        (g_localVerTrusted && CompareVersion(g_curVer, g_newVer) > 0) ? g_curVer : g_newVer;
    WriteMarkers(version);
    RemoveObsolete();
    g_updated = true;
    for (const Change& c : g_changes) DeleteFileW(c.tmpPath.c_str());
    RemoveDirectoryW(tmpDir.c_str());

    wchar_t text[1024];
    _snwprintf(text, 1023,
               L"更新完成：共写入 %u 个文件（%ls）。\n\n已经打开的程序（Word、浏览器、微信等）还加载着旧组件，\n"
               L"关闭本窗口时会自动结束它们，之后重新打开即可用上最新版本。",
               static_cast<unsigned>(n), KBText(g_totalBytes).c_str());
    text[1023] = L'\0';
    std::wstring result = text;
    if (pending > 0) {
        result += L"\n\n其中 " + std::to_wstring(pending) + L" 个文件正被占用，已安排在重启后自动替换。";
    }
    g_stage.EndWriting();
    SetProgress(1000);
    FinishRun(1, result);
}

}  // namespace zl
