// The class factory and object counts, and the registry keys of registration.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>

#include "Guids.h"
#include "Module.h"
#include "Registration.h"
#include "TextService.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllCanUnloadNow();

namespace zltest {
namespace {

TEST(ServerTest, GuidTextsAreTheGuidsInRegistryForm) {
    const std::pair<GUID, const wchar_t*> pairs[] = {{zl::CLSID_ZLTextService, zl::kClsidText},
                                                     {zl::GUID_ZLProfileWubi, zl::kProfileWubiText},
                                                     {zl::GUID_ZLProfilePinyin, zl::kProfilePinyinText},
                                                     {zl::GUID_ZLKeyCtrlSpace, zl::kKeyCtrlSpaceText}};
    for (const auto& [guid, text] : pairs) {
        LPOLESTR s = nullptr;
        ASSERT_EQ(S_OK, StringFromCLSID(guid, &s));
        EXPECT_STREQ(s, text);
        CoTaskMemFree(s);
    }
}

TEST(ServerTest, FactoryAndObjectCounts) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, DllGetClassObject(IID_IUnknown, IID_IClassFactory, &p));
    EXPECT_EQ(p, nullptr);
    const LONG locks = g_cLock, objects = g_cObj;
    EXPECT_EQ(E_NOINTERFACE, DllGetClassObject(zl::CLSID_ZLTextService, IID_ITfThreadMgr, &p));
    EXPECT_EQ(locks, g_cLock);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, DllGetClassObject(zl::CLSID_ZLTextService, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory, IID_IUnknown, &p));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_ITfEditSession, &p));
    EXPECT_EQ(objects, g_cObj);
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITfTextInputProcessor, &p));
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(objects + 1, g_cObj);  // the module stays loaded once a service existed
    factory->LockServer(TRUE);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(locks, g_cLock);
    EXPECT_EQ(S_FALSE, DllCanUnloadNow());
}

// Registration against roots of the test's own under HKCU.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
        for (auto [key, name] : {std::pair{&machine, L"\\machine"}, {&user, L"\\user"}}) {
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (kBase + std::wstring(name)).c_str(), 0,
                                                     nullptr, 0, KEY_ALL_ACCESS, nullptr, key, nullptr));
        }
    }
    void TearDown() override {
        RegCloseKey(machine);
        RegCloseKey(user);
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
    }
    static std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
        wchar_t buf[600] = {};
        DWORD size = sizeof buf;
        return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, buf, &size) == ERROR_SUCCESS ? buf : L"-";
    }

    static constexpr wchar_t kBase[] = L"Software\\ZlRegistrationTest";
    const std::wstring clsidKey = std::wstring(L"Software\\Classes\\CLSID\\") + zl::kClsidText;
    const std::wstring tipKey = std::wstring(L"Software\\Microsoft\\CTF\\TIP\\") + zl::kClsidText;
    const std::wstring profileKey = tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfileWubiText;
    const std::wstring inputList = L"Control Panel\\International\\User Profile\\zh-Hans-CN";
    const std::wstring wubiValue = std::wstring(L"0804:") + zl::kClsidText + zl::kProfileWubiText;
    HKEY machine = nullptr, user = nullptr;
};

TEST_F(RegistrationTest, MachineKeysAreWrittenAndRemoved) {
    const std::wstring retired = std::wstring(L"0804") + zl::kClsidText + zl::kProfilePinyinText;
    RegSetKeyValueW(user, inputList.c_str(), retired.c_str(), REG_SZ, L"", 2);
    for (int round = 0; round < 2; ++round) EXPECT_EQ(S_OK, zl::RegisterKeys(machine, user, L"C:\\ime\\zlwb64.dll"));
    EXPECT_EQ(Text(machine, clsidKey + L"\\InprocServer32"), L"C:\\ime\\zlwb64.dll");
    EXPECT_EQ(Text(machine, clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Text(machine, profileKey, L"Description"), zl::kProfileDescription);
    EXPECT_EQ(Text(machine, profileKey, L"IconFile"), L"C:\\ime\\zlwb.ico");
    EXPECT_EQ(Text(user, clsidKey), L"-");
    EXPECT_NE(Text(user, inputList, wubiValue.c_str()), L"-");

    zl::UnregisterKeys(machine, user);
    EXPECT_EQ(Text(machine, clsidKey), L"-");
    EXPECT_EQ(Text(machine, tipKey), L"-");
    EXPECT_EQ(Text(user, inputList, wubiValue.c_str()), L"-");
    EXPECT_EQ(Text(user, inputList, retired.c_str()), L"-");
}

// TSF lists no per-user registration: keys that only reached HKCU are a failure.
TEST_F(RegistrationTest, UserKeysWhenTheMachineRootCannotBeWritten) {
    const HKEY unwritable = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7ffffff0));  // not a handle
    EXPECT_EQ(SELFREG_E_CLASS, zl::RegisterKeys(unwritable, user, L"C:\\ime\\zlwb64.dll"));
    EXPECT_EQ(Text(user, clsidKey + L"\\InprocServer32"), L"C:\\ime\\zlwb64.dll");
    EXPECT_EQ(Text(user, profileKey), zl::kProfileDescription);
    zl::UnregisterKeys(machine, user);
    EXPECT_EQ(Text(user, tipKey), L"-");
}

TEST_F(RegistrationTest, DeleteKeyTreeTouchesOnlyTheComponentsKeys) {
    const std::wstring other = L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}";
    RegSetKeyValueW(machine, other.c_str(), nullptr, REG_SZ, L"x", 4);
    for (const wchar_t* key : {L"Software\\Classes\\CLSID", L"Software\\Microsoft\\CTF\\TIP", L""}) {
        EXPECT_FALSE(zl::DeleteKeyTree(machine, key)) << key;
    }
    EXPECT_EQ(Text(machine, other), L"x");
}

// A child that cannot be deleted would be enumerated first again and again. A path too
// long to open from the root makes one here (key security is not enforced under Wine).
TEST_F(RegistrationTest, DeleteKeyTreeStopsAtAChildThatStays) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(machine, clsidKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    const std::wstring name(250, L'n');
    for (int depth = 0; depth < 140; ++depth) {
        HKEY child = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                                                 nullptr));
        RegCloseKey(key);
        key = child;
    }
    RegCloseKey(key);
    EXPECT_FALSE(zl::DeleteKeyTree(machine, clsidKey));
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(machine, clsidKey.c_str(), 0, KEY_READ, &key));
    RegCloseKey(key);
}

}  // namespace
}  // namespace zltest
