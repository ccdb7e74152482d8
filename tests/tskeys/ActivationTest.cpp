// Activation on Wine's real thread manager: the mode ends Chinese in the block and the
// compartment, the echo of the service's own writes is not followed, another writer's
// change right after Ctrl is; deactivation writes Chinese into the block.
#include <gtest/gtest.h>

#include "KeyDriver.h"
#include "Module.h"

namespace {

int Open(ITfCompartment* comp) {
    VARIANT v;
    VariantInit(&v);
    const int open = SUCCEEDED(comp->GetValue(&v)) && v.vt == VT_I4 ? v.lVal : -1;
    VariantClear(&v);
    return open;
}

void SetOpen(ITfCompartment* comp, TfClientId id, int open) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = open;
    comp->SetValue(id, &v);
}

TEST(Activation, RealThreadManager) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        tskeys::KeyDriver d;
        zl::Config settings;
        settings.autoCheck = 0;
        settings.Save();
        g_hInst = GetModuleHandleW(nullptr);
        HANDLE m;
        zl::ChineseStateBlock* other;
        ASSERT_TRUE(zl::MapChineseStateBlock(&m, &other));
        zl::WriteSharedState(other, false);  // another instance left English
        ITfThreadMgr* tm = nullptr;
        ITfCompartmentMgr* cm = nullptr;
        ITfCompartment* comp = nullptr;
        TfClientId tid = 0;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                                               reinterpret_cast<void**>(&tm))));
        ASSERT_TRUE(SUCCEEDED(tm->Activate(&tid)));
        ASSERT_TRUE(SUCCEEDED(tm->QueryInterface(IID_ITfCompartmentMgr, reinterpret_cast<void**>(&cm))));
        ASSERT_TRUE(SUCCEEDED(cm->GetCompartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, &comp)));
        SetOpen(comp, tid, 0);  // and the keyboard closed

        ASSERT_EQ(d.S().Activate(tm, tid), S_OK);
        EXPECT_TRUE(d.Chinese() && Open(comp) == 1 && zl::ReadSharedState(other) == zl::kStateChinese);
        d.Advance(5000);
        d.held.insert(VK_CONTROL);
        d.S()._SetChinese(false, L"test");
        EXPECT_TRUE(!d.Chinese() && Open(comp) == 0);
        EXPECT_FALSE(d.Folder().TraceHas("comp OnChange follow"));
        d.Advance(1000);
        SetOpen(comp, tid, 1);  // someone else, with Ctrl held
        EXPECT_TRUE(d.Chinese());
        EXPECT_TRUE(d.Folder().TraceHas("comp OnChange follow open=1"));

        d.S()._SetChinese(false, L"test");
        d.S().Deactivate();
        EXPECT_EQ(zl::ReadSharedState(other), zl::kStateChinese);
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
