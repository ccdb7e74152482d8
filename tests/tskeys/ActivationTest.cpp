// Activation and deactivation on Wine's real thread manager: the mode ends Chinese, the
// compartment's echo of the service's own writes is ignored, other writers are followed.
#include <gtest/gtest.h>

#include "KeyDriver.h"
#include "Module.h"

using tskeys::KeyDriver;

namespace {

int CompartmentOpen(ITfCompartment* comp) {
    VARIANT v;
    VariantInit(&v);
    int open = -1;
    if (SUCCEEDED(comp->GetValue(&v)) && v.vt == VT_I4) open = v.lVal;
    VariantClear(&v);
    return open;
}

void SetCompartment(ITfCompartment* comp, TfClientId id, int open) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = open;
    comp->SetValue(id, &v);
}

TEST(Activation, ForcesChineseAndIgnoresItsOwnCompartmentEcho) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        KeyDriver d;
        zl::Config settings;
        settings.autoCheck = 0;
        settings.Save();
        g_hInst = GetModuleHandleW(nullptr);

        // Another instance left English in the block; the keyboard is closed.
        HANDLE m;
        zl::ChineseStateBlock* other;
        ASSERT_TRUE(zl::MapChineseStateBlock(&m, &other));
        zl::WriteSharedState(other, false);
        ITfThreadMgr* tm = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_ITfThreadMgr, reinterpret_cast<void**>(&tm))));
        TfClientId tid = 0;
        ASSERT_TRUE(SUCCEEDED(tm->Activate(&tid)));
        ITfCompartmentMgr* cm = nullptr;
        ITfCompartment* comp = nullptr;
        ASSERT_TRUE(SUCCEEDED(tm->QueryInterface(IID_ITfCompartmentMgr, reinterpret_cast<void**>(&cm))));
        ASSERT_TRUE(SUCCEEDED(cm->GetCompartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, &comp)));
        SetCompartment(comp, tid, 0);

        ASSERT_EQ(d.S().Activate(tm, tid), S_OK);
        EXPECT_TRUE(d.Chinese());
        EXPECT_EQ(zl::ReadSharedState(other), zl::kStateChinese);
        EXPECT_EQ(CompartmentOpen(comp), 1);
        EXPECT_NE(d.S().compartmentCookie, TF_INVALID_COOKIE);

        // Wine tells the sink about the service's own write too; it must not count.
        d.Advance(5000);
        d.held.insert(VK_CONTROL);
        d.S()._SetChinese(false, L"test");
        EXPECT_FALSE(d.Chinese());
        EXPECT_EQ(CompartmentOpen(comp), 0);
        EXPECT_EQ(zl::ReadSharedState(other), zl::kStateEnglish);
        EXPECT_FALSE(d.Folder().TraceHas("comp OnChange follow"));

        // A change by someone else with Ctrl held is followed.
        d.Advance(1000);
        SetCompartment(comp, tid, 1);
        EXPECT_TRUE(d.Chinese());
        EXPECT_TRUE(d.Folder().TraceHas("comp OnChange follow open=1"));

        d.S()._SetChinese(false, L"test");
        d.S().Deactivate();
        EXPECT_EQ(zl::ReadSharedState(other), zl::kStateChinese);
        EXPECT_EQ(d.S().compartmentCookie, TF_INVALID_COOKIE);
        EXPECT_EQ(d.S().openCloseCompartment, nullptr);

        comp->Release();
        cm->Release();
        tm->Deactivate();
        tm->Release();
        zl::UnmapChineseStateBlock(&m, &other);
    }
    CoUninitialize();
}

}  // namespace
