#include "HelpText.h"

#include <windows.h>

#include "WholeFile.h"

namespace zldemo {

std::wstring DecodeHelpBytes(std::string bytes) {
    if (bytes.size() > 2 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::wstring wide;
    if (!bytes.empty() && bytes.size() < 0x7FFFFFFF) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (n > 0) {
            wide.resize(static_cast<size_t>(n));
            MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
        }
    }
    std::wstring out;
    out.reserve(wide.size() + wide.size() / 16);
    for (wchar_t c : wide) {
        if (c == L'\r') continue;
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

std::wstring LoadHelpFile(const std::wstring& folder) {
    static const wchar_t* const tails[] = {L"使用说明.txt", L"dist\\使用说明.txt", L"..\\dist\\使用说明.txt"};
    std::wstring base = folder;
    if (base.empty() || base.back() != L'\\') base += L'\\';
    for (const wchar_t* tail : tails) {
        std::string bytes;
        if (zl::ReadWholeFile(base + tail, bytes) != zl::FileRead::Read) continue;
        std::wstring text = DecodeHelpBytes(std::move(bytes));
        if (!text.empty()) return text;
    }
    return std::wstring();
}

std::wstring BuiltInHelpText() {
    return L"未能读取“使用说明.txt”。\r\n"
           L"\r\n"
           L"常用操作：\r\n"
           L"  字母 = 输入编码    空格 = 上屏首选    数字 = 选候选\r\n"
           L"  回车 = 清屏（清空编码与候选，不输出字符）\r\n"
           L"  Tab  = 切换五笔 / 拼音\r\n"
           L"  混输 = 忘了五笔码可直接打拼音（如 nihao），可在右侧关闭\r\n"
           L"  Shift 单击 = 中英切换，Shift 按住打字母 = 直接输出英文\r\n"
           L"  Esc  = 取消本次输入\r\n"
           L"\r\n"
           L"状态条：中/英 · 五/拼 · 全/半 · 小键盘 · 设置";
}

std::wstring ShortcutListText() {
    return L"字母 = 输入编码    空格 = 上屏首选    数字 = 选候选\r\n"
           L"回车 = 清屏（清空编码与候选，不输出字符）\r\n"
           L"Esc  = 取消本次输入    Tab = 切换五笔 / 拼音 / 混输\r\n"
           L"Ctrl+空格 / 单击 Shift = 中英切换\r\n"
           L"按住 Shift 打字母 = 直接输出英文\r\n"
           L"Ctrl+数字 = 手动调频（把第 N 个候选调到首位）";
}

}  // namespace zldemo
