#include "UpdateCheck.h"

#include "Markers.h"

namespace zl {

std::wstring DiskVersionIn(const std::wstring& folder) {
    std::wstring v = folder.empty() ? std::wstring() : InstalledVersionOnDisk(folder);
    return v.empty() ? std::wstring(kBuiltinVersion) : v;
}

bool AutoCheckDue(int64_t lastCheck, int64_t now) {
    return lastCheck <= 0 || now - lastCheck >= kAutoCheckInterval;
}

std::wstring UpdateOfferText(const UpdateInfo& info, const std::wstring& current) {
    std::wstring text = L"发现新版本 v" + info.version + L"（当前 v" + current + L"）\n\n";
    if (!info.notes.empty()) text += info.notes + L"\n\n";
    text +=
        L"是否现在更新？\n增量更新只下载有变化的文件（通常几百 KB），不需要再下完整安装包；\n"
        L"设置、词频、自造词都会保留。";
    return text;
}

}  // namespace zl
