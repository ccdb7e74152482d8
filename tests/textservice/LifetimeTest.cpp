// The service's own lifetime on the fakes: what activation takes, deactivation and the
// destructor give back, failed activation, and the reference a modal callback holds.
#include "EditSession.h"
#include "Guids.h"
#include "Module.h"
#include "ServiceFixture.h"

namespace zltest {
namespace {

using LifetimeTest = ServiceFixture;

TEST_F(LifetimeTest, EveryFakeIsBackAtBaselineAfterTwoActivations) {
    const TsfState baseline = State();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ActivateFocused();
        EXPECT_TRUE(tm->threadSink);
        EXPECT_TRUE(tm->keySink);
        Type("a");
        ASSERT_NE(svc->composition, nullptr);
        // What the key sink's preserved key leaves behind.
        const TF_PRESERVEDKEY ctrlSpace{VK_SPACE, TF_MOD_CONTROL};
        tm->PreserveKey(42, zl::GUID_ZLKeyCtrlSpace, &ctrlSpace, L"", 0);
        svc->ctrlSpacePreserved = 1;
        EXPECT_EQ(S_OK, svc->Deactivate());
        EXPECT_EQ(svc->threadMgr, nullptr);
        EXPECT_EQ(svc->candWindow.hwnd, nullptr);
        EXPECT_EQ(svc->statusBar.hwnd, nullptr);
        EXPECT_EQ(State(), baseline);
    }
    svc->Release();
    svc = nullptr;
    EXPECT_EQ(State(), baseline);
}

TEST_F(LifetimeTest, ANullThreadManagerIsRefused) {
    const TsfState baseline = State();
    EXPECT_EQ(E_INVALIDARG, svc->Activate(nullptr, 42));
    EXPECT_EQ(State(), baseline);
    EXPECT_EQ(svc->candWindow.hwnd, nullptr);
}

LRESULT CALLBACK RefuseCreation(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return msg == WM_NCCREATE ? FALSE : DefWindowProcW(w, msg, wp, lp);
}

// TSF only releases a service whose activation failed: it must hold nothing by then.
TEST_F(LifetimeTest, ACandidateWindowThatCannotBeCreatedFailsActivationCleanly) {
    const TsfState baseline = State();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RefuseCreation;
    wc.hInstance = g_hInst;
    wc.lpszClassName = zl::CandWindow::kClassName;
    ASSERT_TRUE(RegisterClassExW(&wc));
    EXPECT_EQ(E_FAIL, svc->Activate(tm, 42));
    UnregisterClassW(zl::CandWindow::kClassName, g_hInst);
    EXPECT_EQ(svc->threadMgr, nullptr);
    EXPECT_EQ(svc->statusBar.hwnd, nullptr);
    EXPECT_EQ(State(), baseline);
    svc->Release();
    svc = nullptr;
    EXPECT_EQ(State(), baseline);
}

TEST_F(LifetimeTest, TheDestructorReleasesWhatTsfLeftWithIt) {
    const TsfState baseline = State();
    ActivateFocused();
    // The framework drops its sinks without deactivating, then the last reference.
    tm->UnadviseSink(0x71);
    tm->UnadviseKeyEventSink(42);
    svc->Release();
    svc = nullptr;
    EXPECT_EQ(State(), baseline);
}

TEST_F(LifetimeTest, QueryInterfaceServesTheFiveInterfacesOnly) {
    const IID served[] = {IID_IUnknown, IID_ITfTextInputProcessor, IID_ITfThreadMgrEventSink,
                          IID_ITfKeyEventSink, IID_ITfCompositionSink, IID_ITfCompartmentEventSink};
    for (const IID& iid : served) {
        void* p = nullptr;
        EXPECT_EQ(S_OK, svc->QueryInterface(iid, &p));
        ASSERT_NE(p, nullptr);
        static_cast<IUnknown*>(p)->Release();
    }
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, svc->QueryInterface(IID_ITfEditSession, &p));
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(E_INVALIDARG, svc->QueryInterface(IID_IUnknown, nullptr));

    auto* session = new zl::CEditSession(svc, nullptr);
    EXPECT_EQ(S_OK, session->QueryInterface(IID_ITfEditSession, &p));
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(E_NOINTERFACE, session->QueryInterface(IID_ITfTextInputProcessor, &p));
    EXPECT_EQ(2, svc->refCount);
    session->Release();
    EXPECT_EQ(1, svc->refCount);
}

// A menu or message box run from a status-bar callback pumps messages: TSF may deactivate
// and release the service meanwhile.
TEST_F(LifetimeTest, AModalCallbackKeepsTheServiceAliveAndSeesTheDeactivation) {
    ActivateFocused();
    {
        zl::CTextService::ModalGuard guard(svc);
        EXPECT_FALSE(guard.Deactivated());
        svc->Deactivate();
        EXPECT_TRUE(guard.Deactivated());
        EXPECT_EQ(2, svc->refCount);
        svc->Activate(tm, 42);  // even when it came back, the callback's world is gone
        EXPECT_TRUE(guard.Deactivated());
        svc->Deactivate();
        svc->Release();  // TSF's reference; the guard's keeps it
        EXPECT_EQ(1, svc->refCount);
    }
    svc = nullptr;
    EXPECT_EQ(tm->threadSink, nullptr);
}

}  // namespace
}  // namespace zltest

namespace zltest {
namespace {

struct BarSettings {
    int statusBar, x, y;
    bool enabled;
    bool placed;  // the configured position was applied
};

TEST_F(LifetimeTest, ActivationFollowsTheStatusBarSettings) {
    const BarSettings cases[] = {
        {1, -1, -1, true, false},
        {1, 10, -1, true, false},
        {0, 10, 20, false, true},
    };
    for (const BarSettings& c : cases) {
        SCOPED_TRACE(c.statusBar * 100 + c.x);
        zl::Config config;
        config.statusBar = c.statusBar;
        config.statusX = c.x;
        config.statusY = c.y;
        config.Save();
        zl::StatusBar::s_posInit_ = 0;
        ASSERT_EQ(S_OK, svc->Activate(tm, 42));
        ASSERT_NE(svc->statusBar.hwnd, nullptr);
        EXPECT_EQ(svc->statusBar.enabled, c.enabled);
        if (!c.enabled) {
            EXPECT_FALSE(svc->statusBar.visible);
        }
        EXPECT_EQ(svc->statusBar.x == 10, c.placed);
        EXPECT_EQ(zl::StatusBar::s_posInit_ && zl::StatusBar::s_posX_ == 10, c.placed);
        EXPECT_TRUE(svc->statusBar.onTick && svc->statusBar.onClick && svc->statusBar.onMoved);
        // Without data\zlwb.dat beside the component the dictionary is looked for beside it.
        EXPECT_EQ(svc->dataDir, zl::ModuleDirOf(g_hInst));
        svc->Deactivate();
    }
}

}  // namespace
}  // namespace zltest
