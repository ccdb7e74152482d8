// The check: both manifests, the downgrade and stale-build guards, and a CRC-32
// comparison of every entry meant for this processor width.
#include "Config.h"
#include "Crc32.h"
#include "Fetch.h"
#include "ManifestPath.h"
#include "UpdLog.h"
#include "UpdState.h"
#include "UpdText.h"
#include "Version.h"

namespace zl {

namespace {

void Fail(const std::wstring& text) { FinishRun(2, text); }

// Every line must name a plain file inside the install folder; one that does not
// makes the whole manifest unusable.
bool ManifestPathsAreSafe(const IncManifest& man) {
    std::vector<std::wstring> paths;
    for (const IncFile& f : man.files) {
        if (!IsSafeManifestPath(f.path) || TargetIsUnsafeOnDisk(g_installDir, f.path)) {
            LogFile(L"[%ls] 增量清单里的路径不安全，拒绝更新：%ls", g_installDir.c_str(), f.path.c_str());
            return false;
        }
        paths.push_back(f.path);
    }
    if (const std::wstring* clash = PathNeedingAFileAsFolder(paths)) {
        LogFile(L"[%ls] 增量清单里的路径不安全，拒绝更新：%ls", g_installDir.c_str(), clash->c_str());
        return false;
    }
    return true;
}

}  // namespace

void DoCheck() {
    ReportStep(L"正在读取更新信息…");
    SetProgress(40);
    Config cfg;
    cfg.Load();
    const std::wstring address = cfg.updateUrl;
    if (address.empty()) {
        Fail(kNoAddressText);
        return;
    }
    UpdateInfo info;
    std::wstring error;
    if (!FetchUpdateInfo(address, &info, &error)) {
        Fail(L"检查更新失败：\n" + error);
        return;
    }
    g_notes = info.notes;
    if (info.incManifest.empty()) {
        Fail(L"服务器上还没有增量清单（version.txt 里缺少 inc= 行）。\n\n可以先上传本次生成的 update\\inc "
             L"目录，或直接用完整安装包更新。");
        return;
    }
    ReportStep(L"正在读取增量清单…");
    SetProgress(120);
    IncManifest man;
    std::wstring stamp;
    if (!FetchIncManifest(info.incManifest, &man, &error, &stamp)) {
        Fail(L"读取增量清单失败：\n" + error);
        return;
    }
    if (!ManifestPathsAreSafe(man)) {
        g_changes.clear();
        g_totalBytes = 0;
        Fail(L"读取增量清单失败：\n增量清单格式不正确");
        return;
    }
    g_newVer = !man.version.empty() ? man.version : info.version;
    const std::wstring serverVer = !info.version.empty() ? info.version : g_newVer;

    if (IncUpdateWouldDowngrade(g_curVer, info.version, man.version, g_localVerTrusted)) {
        g_changes.clear();
        g_totalBytes = 0;
        g_blockReason = L"本地版本 v" + g_curVer + L" 比服务器 v" + serverVer +
                        L" 更新，已跳过增量更新，避免把文件降级。\n请等服务器上的 version.txt 与 "
                        L"inc/manifest.txt 都更新为同一版本后再检查。";
        LogFile(L"[%ls] 防降级：本地 v%ls > 服务器 v%ls，跳过全部 %d 个清单条目", g_installDir.c_str(),
                g_curVer.c_str(), serverVer.c_str(), static_cast<int>(man.files.size()));
    } else {
        g_blockReason.clear();
        g_serverBuild = !man.build.empty() ? man.build : stamp;
        if (IncUpdateIsStaleBuild(g_curVer, man.version, g_localBuild, g_serverBuild, g_localVerTrusted,
                                  g_localBuildTrusted)) {
            g_changes.clear();
            g_totalBytes = 0;
            const bool hasBuild = !man.build.empty();
            g_blockReason = L"本机 v" + g_curVer + L" 是 " + BuildStampText(g_localBuild) +
                            L" 的构建，服务器增量清单还是 " + BuildStampText(g_serverBuild) + L"（" +
                            (hasBuild ? L"构建" : L"清单发布时间") +
                            L"），已跳过更新，避免把文件回退成旧构建。\n服务器把 inc/manifest.txt 与 "
                            L"inc/files 一起更新后再检查即可。";
            LogFile(L"[%ls] 防构建倒退：本地 v%ls build=%ls > 清单 %ls=%ls，跳过全部 %d 个条目",
                    g_installDir.c_str(), g_curVer.c_str(), g_localBuild.c_str(), hasBuild ? L"build" : L"mtime",
                    g_serverBuild.c_str(), static_cast<int>(man.files.size()));
        } else {
            ReportStep(L"正在比对本地文件…");
            SetProgress(180);
            g_changes.clear();
            g_totalBytes = 0;
            for (const IncFile& f : man.files) {
                if (f.arch & ~64) continue;
                Change c;
                c.path = f.path;
                c.size = f.size;
                c.crc = f.crc;
                c.url = f.url;
                c.arch = f.arch;
                c.localPath = LocalPathOf(g_installDir, f.path);
                uint32_t crc = 0;
                uint64_t size = 0;
                const bool same =
                    Crc32File(c.localPath, &crc, &size) && crc == f.crc && (f.size == 0 || f.size == size);
                if (same) continue;
                g_totalBytes += f.size;
                g_changes.push_back(c);
            }
        }
    }
    SetProgress(1000);
    FinishRun(0, std::wstring());
}

}  // namespace zl
