#include "UpdateCheck.h"

#include <shellapi.h>

#include "Fetch.h"
#include "Version.h"

namespace zldemo {

namespace {

const wchar_t kCaption[] = L"检查更新";

}  // namespace

void RunUpdateCheck(const UpdateCheckEnv& env) {
    if (env.startUpdater()) return;
    if (env.address.empty()) {
        env.message(kNoAddressText, kCaption, MB_ICONINFORMATION);
        return;
    }
    zl::UpdateInfo info;
    std::wstring err;
    if (!env.fetch(env.address, &info, &err)) {
        env.message(L"检查更新失败：\n" + err, kCaption, MB_ICONWARNING);
        return;
    }
    if (zl::CompareVersion(info.version, env.version) <= 0) {
        env.message(L"当前已是最新版本（v" + env.version + L"）。", kCaption, MB_ICONINFORMATION);
        return;
    }
    std::wstring text = L"发现新版本 v" + info.version + L"（当前 v" + env.version + L"）\n\n";
    if (!info.notes.empty()) text += info.notes + L"\n\n";
    text += L"是否现在下载？下载后双击安装包即可覆盖安装。";
    if (env.message(text, L"发现新版本", MB_ICONINFORMATION | MB_YESNO) == IDYES)
        env.open(zl::DownloadAddress(info, env.address));
}

bool StartUpdaterIn(const std::wstring& folder) {
    const std::wstring program = folder + L"\\zlupd.exe";
    if (folder.empty() || GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
    return true;
}

}  // namespace zldemo
