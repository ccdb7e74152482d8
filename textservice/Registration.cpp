// COM and TSF registration of the text service.
#include "Registration.h"

#include <objbase.h>
#include <olectl.h>
#include <msctf.h>

#include "Guids.h"
#include "Module.h"

namespace zl {

namespace {

constexpr wchar_t kMachineClsid[] = L"SOFTWARE\\Classes\\CLSID\\";
constexpr wchar_t kMachineTip[] = L"SOFTWARE\\Microsoft\\CTF\\TIP\\";
constexpr wchar_t kUserClsid[] = L"Software\\Classes\\CLSID\\";
constexpr wchar_t kUserTip[] = L"Software\\Microsoft\\CTF\\TIP\\";
constexpr wchar_t kInputList[] = L"Control Panel\\International\\User Profile\\zh-Hans-CN";
constexpr wchar_t kLangKey[] = L"\\LanguageProfile\\0x00000804";

bool SetKeyValue(HKEY root, const std::wstring& subkey, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void SetKeyDword(HKEY root, const std::wstring& subkey, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::wstring ProfileKey(const std::wstring& tipKey, const wchar_t* profile) {
    return tipKey + kLangKey + L"\\" + profile;
}

void UnregisterProfile(HKEY root, const std::wstring& tipKey, const wchar_t* profile) {
    DeleteKeyTree(root, ProfileKey(tipKey, profile));
}

void UnregisterUserLanguageProfile(HKEY user, const wchar_t* profile) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(user, kInputList, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, (std::wstring(L"0804:") + kClsidText + profile).c_str());
    RegDeleteValueW(key, (std::wstring(L"0804") + kClsidText + profile).c_str());
    RegCloseKey(key);
}

// Steps a to h under one root; true when the class and profile keys (c to f) were written.
bool RegisterUnder(HKEY root, const wchar_t* clsidPrefix, const wchar_t* tipPrefix,
                   const std::wstring& path, const std::wstring& icon) {
    const std::wstring clsidKey = std::wstring(clsidPrefix) + kClsidText;
    const std::wstring tipKey = std::wstring(tipPrefix) + kClsidText;
    SetKeyValue(root, tipKey, nullptr, kDisplayName);
    SetKeyDword(root, tipKey, L"Enable", 1);
    bool ok = SetKeyValue(root, clsidKey, nullptr, kDisplayName);
    ok = SetKeyValue(root, clsidKey + L"\\InprocServer32", nullptr, path) && ok;
    ok = SetKeyValue(root, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") && ok;
    const std::wstring profileKey = ProfileKey(tipKey, kProfileWubiText);
    const bool profile = SetKeyValue(root, profileKey, nullptr, kProfileDescription);
    if (profile) {
        SetKeyValue(root, profileKey, L"Description", kProfileDescription);
        SetKeyValue(root, profileKey, L"IconFile", icon);
        SetKeyDword(root, profileKey, L"IconIndex", 0);
        SetKeyDword(root, profileKey, L"Enable", 1);
        SetKeyDword(root, tipKey + kLangKey, L"Enable", 1);
    }
    UnregisterProfile(root, tipKey, kProfilePinyinText);
    return ok && profile;
}

void UnregisterUnder(HKEY root, const wchar_t* clsidPrefix, const wchar_t* tipPrefix) {
    const std::wstring tipKey = std::wstring(tipPrefix) + kClsidText;
    UnregisterProfile(root, tipKey, kProfileWubiText);
    UnregisterProfile(root, tipKey, kProfilePinyinText);
    DeleteKeyTree(root, tipKey);
    DeleteKeyTree(root, std::wstring(clsidPrefix) + kClsidText);
}

// zlwb.ico in the folder of the module at modulePath.
std::wstring IconBeside(const std::wstring& modulePath) {
    const size_t cut = modulePath.find_last_of(L"\\/");
    return (cut == std::wstring::npos ? modulePath : modulePath.substr(0, cut)) + L"\\zlwb.ico";
}

bool IsOwnKey(const std::wstring& subkey) {
    for (const wchar_t* id : {kClsidText, kProfileWubiText, kProfilePinyinText}) {
        if (subkey.find(id) != std::wstring::npos) return true;
    }
    return false;
}

}  // namespace

bool DeleteKeyTree(HKEY root, const std::wstring& subkey) {
    // The paths are built from constants; this keeps a future mistake from ever reaching
    // Classes\CLSID or CTF\TIP as a whole.
    if (!IsOwnKey(subkey)) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        wchar_t child[512];
        DWORD len = 512;
        const LONG rc = RegEnumKeyExW(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return RegDeleteKeyW(root, subkey.c_str()) == ERROR_SUCCESS;
        // A child that stays would be enumerated first again, for ever.
        if (!DeleteKeyTree(root, subkey + L"\\" + std::wstring(child, len))) return false;
        if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
            return false;
    }
}

HRESULT RegisterKeys(HKEY machine, HKEY user, const std::wstring& path) {
    const std::wstring icon = IconBeside(path);
    bool machineOk = RegisterUnder(machine, kMachineClsid, kMachineTip, path, icon);
    if (!machineOk) RegisterUnder(user, kUserClsid, kUserTip, path, icon);

    UnregisterUserLanguageProfile(user, kProfilePinyinText);
    HKEY list = nullptr;
    if (RegCreateKeyExW(user, kInputList, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &list,
                        nullptr) == ERROR_SUCCESS) {
        const DWORD one = 1;
        RegSetValueExW(list, (std::wstring(L"0804:") + kClsidText + kProfileWubiText).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&one), sizeof one);
        RegCloseKey(list);
    }
    return machineOk ? S_OK : SELFREG_E_CLASS;
}

void UnregisterKeys(HKEY machine, HKEY user) {
    UnregisterUserLanguageProfile(user, kProfileWubiText);
    UnregisterUserLanguageProfile(user, kProfilePinyinText);
    UnregisterUnder(machine, kMachineClsid, kMachineTip);
    UnregisterUnder(user, kUserClsid, kUserTip);
}

}  // namespace zl

STDAPI DllRegisterServer() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t path[520] = {};
    const DWORD n = GetModuleFileNameW(g_hInst, path, 520);
    const std::wstring modulePath(path, n < 520 ? n : 519);
    const std::wstring icon = zl::IconBeside(modulePath);

    const HRESULT result = zl::RegisterKeys(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, modulePath);

    ITfCategoryMgr* categories = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                                   reinterpret_cast<void**>(&categories))) &&
        categories) {
        categories->RegisterCategory(zl::CLSID_ZLTextService, GUID_TFCAT_TIP_KEYBOARD, zl::CLSID_ZLTextService);
        categories->Release();
    }
    ITfInputProcessorProfiles* profiles = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfInputProcessorProfiles, reinterpret_cast<void**>(&profiles))) &&
        profiles) {
        profiles->RemoveLanguageProfile(zl::CLSID_ZLTextService, zl::kLangId, zl::GUID_ZLProfilePinyin);
        profiles->AddLanguageProfile(zl::CLSID_ZLTextService, zl::kLangId, zl::GUID_ZLProfileWubi,
                                     zl::kProfileDescription, 4, icon.c_str(), static_cast<ULONG>(icon.size()), 0);
        profiles->EnableLanguageProfile(zl::CLSID_ZLTextService, zl::kLangId, zl::GUID_ZLProfileWubi, TRUE);
        profiles->Release();
    }
    if (init == S_OK || init == S_FALSE) CoUninitialize();
    return result;
}

STDAPI DllUnregisterServer() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    zl::UnregisterKeys(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER);
    if (init == S_OK || init == S_FALSE) CoUninitialize();
    return S_OK;
}
