// zldemotext: prints, as UTF-8, the text typed so far into the input box of a running
// demonstration window. Exit code 1 when there is no such window.
#include <windows.h>

#include <string>

int wmain() {
    HWND main = FindWindowW(L"ZlDemoMain", L"泽仑五笔输入法 - 演示与设置");
    HWND box = main ? FindWindowExW(main, nullptr, L"ZlDemoInput", nullptr) : nullptr;
    if (!box) return 1;
    const LRESULT n = SendMessageW(box, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    text += L'\n';
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    return 0;
}
