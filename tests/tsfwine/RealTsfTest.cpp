// The component on Wine's real TSF: regsvr32 in both directions, the keys it leaves, the
// class created through COM and activated with a real client id, and the library's
// service committing into a text store of the test through a synchronous edit session.
#include <gtest/gtest.h>

#include <objbase.h>

#include <string>

#include "Guids.h"
#include "Module.h"
#include "TextService.h"
#include "TextStore.h"
#include "UserFolder.h"

namespace zltest {
namespace {

#ifdef _WIN64
constexpr REGSAM kView = KEY_WOW64_64KEY;
#else
constexpr REGSAM kView = KEY_WOW64_32KEY;
#endif

std::wstring DllPath() {
    std::wstring p = ZL_TIP_DLL;
    for (wchar_t& c : p) {
        if (c == L'/') c = L'\\';
    }
    return p;
}

DWORD RunCommand(std::wstring cmd) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = ~0u;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

std::wstring Text(const std::wstring& key, const wchar_t* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | kView, &k) != ERROR_SUCCESS) return L"<no key>";
    wchar_t buf[600] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::wstring(buf) : L"<no value>";
}

bool KeyExists(const std::wstring& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | kView, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

class RealTsfTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }

    UserFolder user;
    const std::wstring clsidKey = std::wstring(L"Software\\Classes\\CLSID\\") + zl::kClsidText;
    const std::wstring tipKey = std::wstring(L"Software\\Microsoft\\CTF\\TIP\\") + zl::kClsidText;
};

TEST_F(RealTsfTest, RegsvrRegistersActivatesAndUnregisters) {
    const std::wstring dll = DllPath();
    ASSERT_EQ(0u, RunCommand(L"regsvr32.exe /s \"" + dll + L"\""));
    struct Unregister {
        std::wstring dll;
        ~Unregister() { RunCommand(L"regsvr32.exe /s /u \"" + dll + L"\""); }
    } unregister{dll};

    EXPECT_EQ(0, _wcsicmp(Text(clsidKey + L"\\InprocServer32", nullptr).c_str(), dll.c_str()))
        << Text(clsidKey + L"\\InprocServer32", nullptr);
    EXPECT_EQ(Text(clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    const std::wstring profile = tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfileWubiText;
    EXPECT_EQ(Text(profile, L"Description"), zl::kProfileDescription);
    const std::wstring icon = Text(profile, L"IconFile");
    EXPECT_EQ(0, _wcsicmp(icon.c_str(), (dll.substr(0, dll.rfind(L'\\')) + L"\\zlwb.ico").c_str())) << icon;
    EXPECT_TRUE(KeyExists(tipKey + L"\\Category\\Category\\{34745C63-B2F0-4784-8B67-5E12C8701A31}\\" +
                          zl::kClsidText));

    // The registered class, loaded by COM, activated with a real client id.
    ITfThreadMgr* tm = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                                     reinterpret_cast<void**>(&tm)));
    TfClientId tid = 0;
    ASSERT_EQ(S_OK, tm->Activate(&tid));
    ITfTextInputProcessor* tip = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(zl::CLSID_ZLTextService, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITfTextInputProcessor, reinterpret_cast<void**>(&tip)));
    EXPECT_EQ(S_OK, tip->Activate(tm, tid));
    EXPECT_TRUE(FindWindowW(L"ZelunWubiCandWnd", nullptr));
    EXPECT_EQ(S_OK, tip->Deactivate());
    tip->Release();
    tm->Deactivate();
    tm->Release();

    ASSERT_EQ(0u, RunCommand(L"regsvr32.exe /s /u \"" + dll + L"\""));
    EXPECT_FALSE(KeyExists(clsidKey));
    EXPECT_FALSE(KeyExists(tipKey + L"\\LanguageProfile\\0x00000804\\" + zl::kProfileWubiText));
    EXPECT_TRUE(KeyExists(L"Software\\Classes\\CLSID"));
}

// Wine has no compositions and no text extents: the code cannot be shown in the document,
// the candidate window goes below the mouse, and the commit goes in at the selection.
TEST_F(RealTsfTest, ACommitLandsInTheFocusedTextStore) {
    g_hInst = GetModuleHandleW(nullptr);
    ITfThreadMgr* tm = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                                     reinterpret_cast<void**>(&tm)));
    TfClientId tid = 0;
    ASSERT_EQ(S_OK, tm->Activate(&tid));
    auto* svc = new zl::CTextService;
    ASSERT_EQ(S_OK, svc->Activate(tm, tid));

    ITfDocumentMgr* dm = nullptr;
    ASSERT_EQ(S_OK, tm->CreateDocumentMgr(&dm));
    auto* store = new tsfkit::TextStore(L"ab", 1);
    ITfContext* ctx = nullptr;
    TfEditCookie ec = 0;
    ASSERT_EQ(S_OK, dm->CreateContext(tid, 0, static_cast<ITextStoreACP*>(store), &ctx, &ec));
    ASSERT_EQ(S_OK, dm->Push(ctx));
    ASSERT_EQ(S_OK, tm->SetFocus(dm));
    EXPECT_EQ(svc->documentMgr, dm);
    ASSERT_EQ(svc->context, ctx);

    ASSERT_TRUE(svc->engine.Init(ZL_TEST_DICT_DIR));
    svc->engine.OnLetter('a');
    EXPECT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(store->text, L"ab");
    EXPECT_TRUE(svc->candWindow.visible);

    ASSERT_FALSE(svc->engine.candidates.empty());
    const std::wstring first = svc->engine.candidates[0].text;
    svc->engine.OnSpace();
    svc->_CommitNow(L"\u4E2D");
    EXPECT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(store->text, L"a" + first + L"\u4E2Db");
    EXPECT_EQ(store->selStart, static_cast<LONG>(store->text.size()) - 1);
    EXPECT_TRUE(svc->engine.commit.empty());
    EXPECT_FALSE(svc->candWindow.visible);

    svc->Deactivate();
    svc->Release();
    tm->SetFocus(nullptr);
    dm->Pop(TF_POPF_ALL);
    ctx->Release();
    dm->Release();
    store->Release();
    tm->Deactivate();
    tm->Release();
}

}  // namespace
}  // namespace zltest
