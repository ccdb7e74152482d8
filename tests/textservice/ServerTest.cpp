// The class factory, the exports' object counts, and the registry keys of registration.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <olectl.h>

#include <string>

#include "ClassFactory.h"
#include "Guids.h"
#include "Module.h"
#include "Registration.h"
#include "TextService.h"
#include "UserFolder.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllCanUnloadNow();

namespace zltest {
namespace {

TEST(ServerTest, GuidTextsAreTheGuidsInRegistryForm) {
    const std::pair<GUID, const wchar_t*> pairs[] = {
        {zl::CLSID_ZLTextService, zl::kClsidText},
        {zl::GUID_ZLProfileWubi, zl::kProfileWubiText},
        {zl::GUID_ZLProfilePinyin, zl::kProfilePinyinText},
        {zl::GUID_ZLKeyCtrlSpace, zl::kKeyCtrlSpaceText},
    };
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
    EXPECT_EQ(E_INVALIDARG, DllGetClassObject(zl::CLSID_ZLTextService, IID_IClassFactory, nullptr));

    const LONG locks = g_cLock;
    EXPECT_EQ(E_NOINTERFACE, DllGetClassObject(zl::CLSID_ZLTextService, IID_ITfThreadMgr, &p));
    EXPECT_EQ(locks, g_cLock);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, DllGetClassObject(zl::CLSID_ZLTextService, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(locks + 1, g_cLock);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory, IID_IUnknown, &p));
    const LONG objects = g_cObj;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_ITfEditSession, &p));
    EXPECT_EQ(objects, g_cObj);

    ITfTextInputProcessor* tip = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITfTextInputProcessor, reinterpret_cast<void**>(&tip)));
    tip->Release();
    EXPECT_EQ(objects + 1, g_cObj);  // kept: the module stays once a service existed
    factory->LockServer(TRUE);
    EXPECT_EQ(locks + 2, g_cLock);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(locks, g_cLock);
    EXPECT_EQ(S_FALSE, DllCanUnloadNow());
}

// Registry roots of the test's own under HKCU.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\machine").c_str(), 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\user").c_str(), 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &user, nullptr));
    }
    void TearDown() override {
        RegCloseKey(machine);
        RegCloseKey(user);
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
    }
    static bool Exists(HKEY root, const std::wstring& key) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }
    static std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name) {
        wchar_t buf[600] = {};
        DWORD size = sizeof buf;
        if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"?";
        return buf;
    }
    static bool HasValue(HKEY root, const std::wstring& key, const std::wstring& name) {
        return RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    static constexpr wchar_t kBase[] = L"Software\\ZlRegistrationTest";
    const std::wstring clsidKey = std::wstring(L"Software\\Classes\\CLSID\\") + zl::kClsidText;
    const std::wstring tipKey = std::wstring(L"Software\\Microsoft\\CTF\\TIP\\") + zl::kClsidText;
    const std::wstring profileKey = tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfileWubiText;
    const std::wstring inputList = L"Control Panel\\International\\User Profile\\zh-Hans-CN";
    const std::wstring wubiValue = std::wstring(L"0804:") + zl::kClsidText + zl::kProfileWubiText;
    HKEY machine = nullptr;
    HKEY user = nullptr;
};

TEST_F(RegistrationTest, MachineKeysAreWrittenAndRemoved) {
    // Leftovers of the retired profile id, in both value forms.
    HKEY list = nullptr;
    RegCreateKeyExW(user, inputList.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &list, nullptr);
    const DWORD one = 1;
    for (const wchar_t* form : {L"0804:", L"0804"}) {
        RegSetValueExW(list, (form + std::wstring(zl::kClsidText) + zl::kProfilePinyinText).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&one), sizeof one);
    }
    RegCloseKey(list);
    RegCreateKeyExW(machine, (tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfilePinyinText).c_str(), 0,
                    nullptr, 0, KEY_WRITE, nullptr, &list, nullptr);
    RegCloseKey(list);

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(S_OK, zl::RegisterKeys(machine, user, L"C:\\ime\\zlwb64.dll"));
    }
    EXPECT_EQ(Text(machine, clsidKey + L"\\InprocServer32", nullptr), L"C:\\ime\\zlwb64.dll");
    EXPECT_EQ(Text(machine, clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Text(machine, profileKey, L"Description"), zl::kProfileDescription);
    EXPECT_EQ(Text(machine, profileKey, L"IconFile"), L"C:\\ime\\zlwb.ico");
    EXPECT_FALSE(Exists(machine, tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfilePinyinText));
    EXPECT_FALSE(Exists(user, clsidKey));
    EXPECT_TRUE(HasValue(user, inputList, wubiValue));
    EXPECT_FALSE(HasValue(user, inputList, std::wstring(L"0804:") + zl::kClsidText + zl::kProfilePinyinText));

    zl::UnregisterKeys(machine, user);
    EXPECT_FALSE(Exists(machine, clsidKey));
    EXPECT_FALSE(Exists(machine, tipKey));
    EXPECT_TRUE(Exists(machine, L"Software\\Classes\\CLSID"));
    EXPECT_TRUE(Exists(machine, L"Software\\Microsoft\\CTF\\TIP"));
    EXPECT_FALSE(HasValue(user, inputList, wubiValue));
    EXPECT_FALSE(HasValue(user, inputList, std::wstring(L"0804") + zl::kClsidText + zl::kProfilePinyinText));
}

// TSF lists no per-user registration: keys that only reached HKCU are a failure.
TEST_F(RegistrationTest, UserKeysWhenTheMachineRootCannotBeWritten) {
    // A root no write reaches (a handle that is not one), as HKLM is for a plain user.
    const HKEY unwritable = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7ffffff0));
    EXPECT_EQ(SELFREG_E_CLASS, zl::RegisterKeys(unwritable, user, L"C:\\ime\\zlwb64.dll"));
    EXPECT_FALSE(Exists(machine, clsidKey));
    EXPECT_EQ(Text(user, clsidKey + L"\\InprocServer32", nullptr), L"C:\\ime\\zlwb64.dll");
    EXPECT_EQ(Text(user, profileKey, nullptr), zl::kProfileDescription);
    zl::UnregisterKeys(machine, user);
    EXPECT_FALSE(Exists(user, clsidKey));
    EXPECT_FALSE(Exists(user, tipKey));
}

TEST_F(RegistrationTest, DeleteKeyTreeTouchesOnlyTheComponentsKeys) {
    HKEY k = nullptr;
    RegCreateKeyExW(machine, L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}", 0, nullptr, 0,
                    KEY_WRITE, nullptr, &k, nullptr);
    RegCloseKey(k);
    for (const wchar_t* key : {L"Software\\Classes\\CLSID", L"Software\\Classes\\CLSID\\", L"Software\\Microsoft\\CTF\\TIP",
                               L""}) {
        EXPECT_FALSE(zl::DeleteKeyTree(machine, key)) << key;
    }
    EXPECT_TRUE(Exists(machine, L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}"));
}

// A child whose deletion is denied would otherwise be enumerated first again and again.
TEST_F(RegistrationTest, DeleteKeyTreeStopsAtAChildThatStays) {
    const std::wstring child = clsidKey + L"\\InprocServer32\\Locked";
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(machine, child.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr));
    // Everyone may read it, nobody may delete it.
    EXPLICIT_ACCESSW deny{};
    BuildExplicitAccessWithNameW(&deny, const_cast<wchar_t*>(L"EVERYONE"), DELETE, DENY_ACCESS, NO_INHERITANCE);
    PACL acl = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, SetEntriesInAclW(1, &deny, nullptr, &acl));
    const DWORD set = SetSecurityInfo(k, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr);
    LocalFree(acl);
    RegCloseKey(k);
    ASSERT_EQ(ERROR_SUCCESS, set);
    if (RegDeleteKeyW(machine, child.c_str()) == ERROR_SUCCESS) GTEST_SKIP() << "key security is not enforced here";

    EXPECT_FALSE(zl::DeleteKeyTree(machine, clsidKey));  // returns instead of spinning
    EXPECT_TRUE(Exists(machine, child));
}

}  // namespace
}  // namespace zltest
