// The component on Wine's real TSF: regsvr32 both ways and the keys it leaves, the class
// created through COM and activated with a real client id, and the service committing
// into a text store of the test through a synchronous edit session.
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

DWORD Regsvr32(const std::wstring& args) {
    std::wstring cmd = L"regsvr32.exe /s " + args;
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

// A value of HKLM in this build's registry view; "-" for a missing key, "?" for a missing value.
std::wstring Machine(const std::wstring& key, const wchar_t* name = nullptr) {
    HKEY k = nullptr;
    const REGSAM view = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return L"-";
    wchar_t buf[600] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    const LONG rc = RegQueryValueExW(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? CharUpperW(buf) : L"?";
}

class RealTsfTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                                         reinterpret_cast<void**>(&tm)));
        ASSERT_EQ(S_OK, tm->Activate(&tid));
    }
    void TearDown() override {
        tm->Deactivate();
        tm->Release();
        CoUninitialize();
    }

    UserFolder user;
    ITfThreadMgr* tm = nullptr;
    TfClientId tid = 0;
};

TEST_F(RealTsfTest, RegsvrRegistersActivatesAndUnregisters) {
    std::wstring dll = ZL_TIP_DLL;
    for (wchar_t& c : dll) c = c == L'/' ? L'\\' : towupper(c);
    const std::wstring clsid = std::wstring(L"Software\\Classes\\CLSID\\") + zl::kClsidText;
    const std::wstring tip = std::wstring(L"Software\\Microsoft\\CTF\\TIP\\") + zl::kClsidText;
    const std::wstring profile = tip + L"\\LanguageProfile\\0x00000804\\" + zl::kProfileWubiText;
    ASSERT_EQ(0u, Regsvr32(L"\"" + dll + L"\""));
    struct Unregister {
        std::wstring dll;
        ~Unregister() { Regsvr32(L"/u \"" + dll + L"\""); }
    } unregister{dll};
    EXPECT_EQ(Machine(clsid + L"\\InprocServer32"), dll);
    EXPECT_EQ(Machine(clsid + L"\\InprocServer32", L"ThreadingModel"), L"APARTMENT");
    EXPECT_EQ(Machine(profile, L"Description"), zl::kProfileDescription);
    EXPECT_EQ(Machine(profile, L"IconFile"), dll.substr(0, dll.rfind(L'\\')) + L"\\ZLWB.ICO");
    EXPECT_NE(Machine(tip + L"\\Category\\Category\\{34745C63-B2F0-4784-8B67-5E12C8701A31}\\" + zl::kClsidText), L"-");

    ITfTextInputProcessor* service = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(zl::CLSID_ZLTextService, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITfTextInputProcessor, reinterpret_cast<void**>(&service)));
    EXPECT_EQ(S_OK, service->Activate(tm, tid));
    EXPECT_TRUE(FindWindowW(L"ZelunWubiCandWnd", nullptr));
    EXPECT_EQ(S_OK, service->Deactivate());
    service->Release();

    ASSERT_EQ(0u, Regsvr32(L"/u \"" + dll + L"\""));
    EXPECT_EQ(Machine(clsid), L"-");
    EXPECT_EQ(Machine(profile), L"-");
    EXPECT_NE(Machine(L"Software\\Classes\\CLSID"), L"-");
}

// Wine has no compositions and no text extents: the code is not shown in the document,
// the candidate window goes below the mouse, and the commit goes in at the selection.
TEST_F(RealTsfTest, ACommitLandsInTheFocusedTextStore) {
    g_hInst = GetModuleHandleW(nullptr);
    auto* svc = new zl::CTextService;
    ASSERT_EQ(S_OK, svc->Activate(tm, tid));
    ITfDocumentMgr* dm = nullptr;
    ASSERT_EQ(S_OK, tm->CreateDocumentMgr(&dm));
    auto* store = new tsfkit::TextStore(L"ab", 1);
    ITfContext* ctx = nullptr;
    TfEditCookie ec = 0;
    ASSERT_EQ(S_OK, dm->CreateContext(tid, 0, store, &ctx, &ec));
    ASSERT_EQ(S_OK, dm->Push(ctx));
    ASSERT_EQ(S_OK, tm->SetFocus(dm));
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
    EXPECT_FALSE(svc->candWindow.visible);

    svc->Deactivate();
    svc->Release();
    tm->SetFocus(nullptr);
    dm->Pop(TF_POPF_ALL);
    ctx->Release();
    dm->Release();
    store->Release();
}

}  // namespace
}  // namespace zltest
