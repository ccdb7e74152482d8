#include "SymbolRoad.h"

#include "UniqueHandle.h"

namespace zl {

namespace {

// Office programs that take text only through TSF.
const wchar_t* const kExes[] = {
    L"WINWORD.EXE", L"EXCEL.EXE",  L"POWERPNT.EXE", L"OUTLOOK.EXE", L"ONENOTE.EXE",
    L"MSACCESS.EXE", L"MSPUB.EXE", L"WINPROJ.EXE",  L"VISIO.EXE",   L"WPS.EXE",
    L"ET.EXE",       L"WPP.EXE",   L"WPSSOFT.EXE",
};

}  // namespace

bool IsStrictTsfImage(const std::wstring& imagePath) {
    const size_t slash = imagePath.find_last_of(L'\\');
    const std::wstring name = slash == std::wstring::npos ? imagePath : imagePath.substr(slash + 1);
    if (name.empty()) return false;
    for (const wchar_t* exe : kExes) {
        if (CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), exe, -1, TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

bool IsStrictTsfHost(HWND window) {
    if (!window) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0) return false;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.Valid()) return false;
    wchar_t image[260];
    DWORD size = 260;
    if (!QueryFullProcessImageNameW(process.Get(), 0, image, &size)) return false;
    return IsStrictTsfImage(std::wstring(image, size));
}

bool EnvSwitchOn(const wchar_t* name) {
    // A value of 8 characters or more does not fit and counts as unset.
    wchar_t value[8] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 8);
    return n > 0 && n < 8 && value[0] == L'1';
}

bool ForceTsfSymbol() { return EnvSwitchOn(L"ZL_FORCE_TSF_SYMBOL"); }

bool SymbolSimDrop() {
    static const bool kSimDrop = EnvSwitchOn(L"ZL_SYMBOL_SIM_DROP");
    return kSimDrop;
}

std::vector<INPUT> UnicodeKeystrokes(const std::wstring& text) {
    std::vector<INPUT> inputs;
    inputs.reserve(text.size() * 2);
    for (wchar_t unit : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = unit;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    return inputs;
}

size_t SendUnicodeText(const std::wstring& text) {
    std::vector<INPUT> inputs = UnicodeKeystrokes(text);
    size_t calls = 0;
    for (size_t i = 0; i + 1 < inputs.size(); i += 2) {
        SendInput(2, &inputs[i], sizeof(INPUT));
        ++calls;
    }
    return calls;
}

}  // namespace zl
