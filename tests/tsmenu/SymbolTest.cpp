// Symbol insertion: the road chosen by host and switch, the edit-session road on the fake
// TSF kit with its refocused retry and its fallback to keystrokes, each pick landing once,
// and a panel first made from the menu typing into the application that was in front.
#include "ScopedEnv.h"
#include "ServiceKit.h"
#include "SymbolRoad.h"
#include "TsfKit.h"

namespace zltest {
namespace {

TEST(SymbolRoad, StrictHostsByImageNameAndSwitchesByALeadingOneThatFits) {
    for (const wchar_t* strict : {L"C:\\Office\\WINWORD.EXE", L"winword.exe", L"D:\\x\\Excel.Exe", L"wpssoft.exe"}) {
        EXPECT_TRUE(zl::IsStrictTsfImage(strict)) << strict;
    }
    for (const wchar_t* other : {L"C:\\notepad.exe", L"C:\\WINWORD.EXE\\a.exe", L"WINWORD.EXE.bak", L"C:\\d\\", L""}) {
        EXPECT_FALSE(zl::IsStrictTsfImage(other)) << other;
    }
    const std::pair<const wchar_t*, bool> values[] = {{nullptr, false}, {L"", false},        {L"0", false},
                                                      {L"10", true},    {L"1234567", true}, {L"12345678", false}};
    for (const auto& [value, on] : values) {
        ScopedEnv env(L"ZL_FORCE_TSF_SYMBOL", value);
        EXPECT_EQ(zl::ForceTsfSymbol(), on) << (value ? value : L"(unset)");
    }
    {
        ScopedEnv unset(L"ZL_SYMBOL_SIM_DROP", nullptr);  // so that no other test drops the focus
        EXPECT_FALSE(zl::SymbolSimDrop());
    }
    ScopedEnv set(L"ZL_SYMBOL_SIM_DROP", L"1");
    EXPECT_FALSE(zl::SymbolSimDrop());  // read once per process
}

// The service focused on document A, as activation and focus events leave it; no sink is
// advised, so it hears of no later focus change. Document B refuses every session.
class SymbolInsert : public ServiceFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Front());
        front = app.hwnd;
        docA = tm->NewFocusedDocument(&ctxA);
        docB = tm->NewFocusedDocument(&ctxB);
        ctxB->refuseAll = true;
        svc->clientId = 42;
        tm->AddRef(), docA->AddRef(), ctxA->AddRef();
        svc->threadMgr = tm;
        svc->documentMgr = docA;
        svc->context = ctxA;
    }
    ~SymbolInsert() override { tm->Release(); }

    TypingTarget app;
    tsfkit::FakeThreadMgr* tm = new tsfkit::FakeThreadMgr;
    tsfkit::FakeDocumentMgr *docA = nullptr, *docB = nullptr;
    tsfkit::FakeContext *ctxA = nullptr, *ctxB = nullptr;
};

TEST_F(SymbolInsert, EditSessionRoadRetriesThenFallsBackAndInsertsOnce) {
    const std::wstring face = L"(^\u25BD^)";
    const struct {
        const char* name;
        const wchar_t* force;
        bool focusOnB, failInsert, refuseAll, refuseSync;
        bool inA, refocused;
    } cases[] = {
        {"keystrokes unless forced", L"0", false, false, false, false, false, false},
        {"straight", L"1", false, false, false, false, true, false},
        {"retry after refocus", L"1", true, false, false, false, true, true},
        {"insert fails twice", L"1", false, true, false, false, false, true},
        {"session refused", L"1", false, false, true, false, false, true},
        {"synchronous refused", L"1", false, false, false, true, false, true},
    };
    const auto emptyA = [&] {
        ctxA->text.clear();
        ctxA->selStart = ctxA->selEnd = 0;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv force(L"ZL_FORCE_TSF_SYMBOL", c.force);
        emptyA();
        ctxA->failInsert = c.failInsert;
        ctxA->refuseAll = c.refuseAll;
        ctxA->refuseSync = c.refuseSync;
        tm->SetFocus(c.focusOnB ? docB : docA);
        bool refocused = false;
        const bool inserted = SUCCEEDED(svc->_CommitSymbolTsf(face, false, &refocused));
        EXPECT_EQ(inserted, c.inA || c.force[0] == L'0');
        EXPECT_EQ(refocused, c.refocused);
        EXPECT_TRUE(svc->engine.commit.empty());  // nothing left to appear with the next text
        EXPECT_TRUE(ctxA->queued.empty());
        emptyA();

        tm->SetFocus(c.focusOnB ? docB : docA);
        svc->engine.code = "ab";  // typed letters are dropped and only the symbol goes in
        svc->_InsertSymbol(face);
        EXPECT_TRUE(svc->engine.code.empty());
        EXPECT_EQ(ctxA->text, c.inA ? face : L"");
        EXPECT_TRUE(ctxB->text.empty());
        if (!c.inA) {
            EXPECT_EQ(app.Take(face.size()), face);
        }
    }
    ctxA->refuseSync = false;
    ScopedEnv force(L"ZL_FORCE_TSF_SYMBOL", L"1");
    front = svc->statusBar.hwnd;  // the bar in front and no application remembered: nowhere
    svc->_InsertSymbol(face);
    EXPECT_TRUE(ctxA->text.empty());
}

// Chooses the eighth row of the open menu (图标输入) with keys posted to the bar's thread,
// where the menu's loop takes them whichever window is in front.
HWND g_bar = nullptr;
void CALLBACK PickSymbolsRow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (int i = 0; i < 9; ++i) PostMessageW(g_bar, WM_KEYDOWN, i < 8 ? VK_DOWN : VK_RETURN, 0);
}

TEST_F(SymbolInsert, PanelFirstMadeFromTheMenuTypesIntoTheApplication) {
    zl::TheSeams().foregroundWindow = [] { return GetForegroundWindow(); };
    svc->statusBar.Show();
    PumpPending();  // a message left in the queue would end the menu at once
    g_bar = svc->statusBar.hwnd;
    SetTimer(nullptr, 0, 300, PickSymbolsRow);
    svc->_ShowMenu(POINT{300, 500});
    EXPECT_EQ(GetForegroundWindow(), app.hwnd);
    // Made on first use (as when creation at activation failed), wired as at activation.
    ASSERT_TRUE(svc->symbolPanel.visible && svc->symbolPanel.onInsert);
    EXPECT_EQ(svc->symbolPanel.owner, svc->statusBar.hwnd);
    EXPECT_EQ(svc->statusBar.info.symbolsOpen, 1u);
    EXPECT_EQ(svc->symbolTarget, app.hwnd);
    svc->symbolPanel.onInsert(L"\u2605");
    EXPECT_EQ(app.Take(1), L"\u2605");
}

}  // namespace
}  // namespace zltest
