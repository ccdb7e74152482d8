#include "UpdText.h"

#include <windows.h>

#include <cwchar>

#include "Crc32.h"

namespace zl {

std::wstring KBText(uint64_t bytes) {
    wchar_t buf[64];
    if (bytes < 1048576) {
        _snwprintf(buf, 63, L"%u KB", static_cast<unsigned>((bytes + 1023) / 1024));
    } else {
        const uint64_t t = (10 * bytes + 524288) / 1048576;
        _snwprintf(buf, 63, L"%u.%u MB", static_cast<unsigned>(t / 10), static_cast<unsigned>(t % 10));
    }
    buf[63] = L'\0';
    return buf;
}

std::wstring BuildStampText(const std::wstring& stamp) {
    if (stamp.empty()) return L"未知";
    if (stamp.size() != 14) return stamp;
    return stamp.substr(0, 4) + L"-" + stamp.substr(4, 2) + L"-" + stamp.substr(6, 2) + L" " +
           stamp.substr(8, 2) + L":" + stamp.substr(10, 2);
}

std::wstring BaseName(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring FileListRow(const std::wstring& path, uint64_t size) {
    std::wstring row = path;
    if (row.size() < 22) row.append(22 - row.size(), L' ');
    return row + L"   " + KBText(size);
}

std::wstring HostQuestionText(const std::vector<std::wstring>& names) {
    std::wstring q = L"有 " + std::to_wstring(names.size()) + L" 个程序仍在使用旧版本的输入法组件：";
    for (size_t i = 0; i < names.size() && i < 6; ++i) q += L"\n  · " + names[i];
    if (names.size() > 6) q += L"\n  · …";
    q += L"\n\n“是”：现在结束这些程序，新版立刻生效（请先保存它们里未保存的文档）"
         L"\n“否”：暂不结束，稍后重启电脑时自动完成替换";
    return q;
}

std::wstring UpdaterMutexName(const std::wstring& installDir) {
    // One name per install folder however it is spelled: case and separators folded.
    std::wstring key = installDir;
    for (wchar_t& c : key) {
        if (c == L'/') c = L'\\';
    }
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    if (!key.empty()) CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
    const uint32_t crc = Crc32(0, key.data(), key.size() * sizeof(wchar_t));
    wchar_t buf[64];
    _snwprintf(buf, 63, L"Local\\ZelunWubiUpdater-%08X", static_cast<unsigned>(crc));
    buf[63] = L'\0';
    return buf;
}

}  // namespace zl
