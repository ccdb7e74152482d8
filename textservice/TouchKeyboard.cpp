#include "TouchKeyboard.h"

#include <windows.h>
#include <objbase.h>

namespace zl {

namespace {

// {4CE576FA-83DC-4F88-951C-9D0782B4E376}: the touch keyboard's host.
const CLSID kClsid = {0x4CE576FA, 0x83DC, 0x4F88, {0x95, 0x1C, 0x9D, 0x07, 0x82, 0xB4, 0xE3, 0x76}};
// {37C994E7-432B-4834-A2F7-DCE1F13B834B}: ITipInvocation.
const IID kIid = {0x37C994E7, 0x432B, 0x4834, {0xA2, 0xF7, 0xDC, 0xE1, 0xF1, 0x3B, 0x83, 0x4B}};

struct ITipInvocation : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Toggle(HWND desktop) = 0;
};

// The variable when it holds 1 to 519 characters, plus the rest of the path, if that file exists.
std::wstring ProgramUnder(const wchar_t* variable, const wchar_t* rest) {
    wchar_t base[520];
    const DWORD n = GetEnvironmentVariableW(variable, base, 520);
    if (n == 0 || n >= 520) return std::wstring();
    std::wstring path = std::wstring(base, n) + rest;
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
}

}  // namespace

bool TipToggleViaCom() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ITipInvocation* tip = nullptr;
    const HRESULT hr = CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, kIid,
                                        reinterpret_cast<void**>(&tip));
    const bool created = SUCCEEDED(hr) && tip;
    if (created) {
        tip->Toggle(GetDesktopWindow());
        tip->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return created;
}

std::wstring TouchKeyboardProgram() {
    std::wstring path = ProgramUnder(L"ProgramW6432", L"\\Common Files\\Microsoft Shared\\ink\\TabTip.exe");
    if (path.empty()) path = ProgramUnder(L"CommonProgramFiles", L"\\Microsoft Shared\\ink\\TabTip.exe");
    return path;
}

void EnableTouchKeyboardHandwriting() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\TabletTip\\1.7", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD on = 1;
    RegSetValueExW(key, L"EnableHwcButton", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof(on));
    RegCloseKey(key);
}

}  // namespace zl
