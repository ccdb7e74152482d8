// Symbol insertion on the fake TSF kit: the edit-session road with its refocused retry and
// its fallback to keystrokes, each pick landing exactly once.
#include <gtest/gtest.h>

#include "Pump.h"
#include "ScopedEnv.h"
#include "ServiceKit.h"
#include "SymbolRoad.h"
#include "TsfKit.h"

namespace {

class SymbolInsert : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Front());
        rec.foreground = app.Get();
        tm = new tsfkit::FakeThreadMgr;
        docA = tm->NewFocusedDocument(&ctxA);
        docB = tm->NewFocusedDocument(&ctxB);
        tm->SetFocus(docA);
        svc = new zl::CTextService;
        // Focused on document A as activation and focus events would leave it.
        svc->clientId = 42;
        tm->AddRef();
        svc->threadMgr = tm;
        docA->AddRef();
        svc->documentMgr = docA;
        ctxA->AddRef();
        svc->context = ctxA;
    }
    void TearDown() override {
        svc->Release();
        tm->Release();
    }

    zltest::UserFolder user;
    zltest::CharSink app;
    zltest::SeamRecorder rec;
    zl::ScopedSeams seams{rec.seams};
    tsfkit::FakeThreadMgr* tm = nullptr;
    tsfkit::FakeDocumentMgr *docA = nullptr, *docB = nullptr;
    tsfkit::FakeContext *ctxA = nullptr, *ctxB = nullptr;
    zl::CTextService* svc = nullptr;
};

TEST_F(SymbolInsert, EditSessionRoadRetriesThenFallsBackAndInsertsOnce) {
    zltest::ScopedEnv force(L"ZL_FORCE_TSF_SYMBOL", L"1");
    const std::wstring star = L"\u2605";
    enum Where { kA, kKeys };
    const struct {
        const char* name;
        bool focusOnB;  // the thread manager's focus moved to B, which refuses every session
        bool failA, refuseA, syncOnlyA;
        Where lands;
        bool refocused;
    } cases[] = {
        {"straight", false, false, false, false, kA, false},
        {"retry after refocus", true, false, false, false, kA, true},
        {"insert fails twice", false, true, false, false, kKeys, true},
        {"session refused", false, false, true, false, kKeys, true},
        {"synchronous refused", false, false, false, true, kKeys, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctxA->text.clear();
        ctxA->selStart = ctxA->selEnd = 0;
        ctxA->failInsert = c.failA;
        ctxA->refuseAll = c.refuseA;
        ctxA->refuseSync = c.syncOnlyA;
        ctxB->refuseAll = true;
        app.typed.clear();
        tm->SetFocus(c.focusOnB ? docB : docA);  // no sink advised: the service does not hear it
        bool refocused = false;
        const HRESULT hr = svc->_CommitSymbolTsf(star, false, &refocused);
        EXPECT_EQ(SUCCEEDED(hr), c.lands == kA);
        EXPECT_EQ(refocused, c.refocused);
        EXPECT_TRUE(svc->engine.commit.empty());  // nothing left to appear with the next text
        EXPECT_TRUE(ctxA->queued.empty());

        svc->_InsertSymbol(star);
        EXPECT_EQ(ctxA->text, c.lands == kA ? star + star : L"");
        EXPECT_TRUE(ctxB->text.empty());
        if (c.lands == kKeys) {
            EXPECT_TRUE(app.WaitTyped(1));
            EXPECT_EQ(app.typed, star);
        }
    }
}

TEST_F(SymbolInsert, RoadByHostAndSwitch) {
    const std::wstring text = L"(^\u25BD^)";
    for (const wchar_t* force : {static_cast<const wchar_t*>(nullptr), L"0"}) {
        zltest::ScopedEnv env(L"ZL_FORCE_TSF_SYMBOL", force);
        app.typed.clear();
        svc->_InsertSymbol(text);
        EXPECT_TRUE(app.WaitTyped(text.size()));
        EXPECT_EQ(app.typed, text);
        EXPECT_TRUE(ctxA->text.empty());
    }
    // Typed letters are dropped and only the symbol goes in.
    zltest::ScopedEnv env(L"ZL_FORCE_TSF_SYMBOL", L"1");
    svc->engine.code = "ab";
    svc->_InsertSymbol(text);
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(ctxA->text, text);
    // With the bar in front and no application remembered, a pick goes nowhere.
    rec.foreground = nullptr;
    svc->_InsertSymbol(text);
    EXPECT_EQ(ctxA->text, text);
}

// Chooses a row of the open menu with the keyboard: Down `rows` times, then Enter.
int g_rows = 0;
void CALLBACK PickRow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::vector<INPUT> keys;
    for (int i = 0; i <= g_rows; ++i) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = i < g_rows ? VK_DOWN : VK_RETURN;
        keys.push_back(in);
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        keys.push_back(in);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

TEST_F(SymbolInsert, MenuGivesTheForegroundBackAndItsPanelTypesThere) {
    zl::Seams real = rec.seams;
    real.foregroundWindow = [] { return GetForegroundWindow(); };
    zl::ScopedSeams live(real);
    ASSERT_TRUE(svc->statusBar.Create(GetModuleHandleW(nullptr)));
    svc->statusBar.SetEnabled(true);
    svc->statusBar.Show();
    g_rows = 8;  // the eighth row: 图标输入
    zltest::PumpPending();  // a message left in the queue would end the menu at once
    SetTimer(nullptr, 0, 300, PickRow);
    svc->_ShowMenu(POINT{300, 500});
    EXPECT_EQ(GetForegroundWindow(), app.Get());
    ASSERT_TRUE(svc->symbolPanel.visible);
    EXPECT_EQ(svc->symbolTarget, app.Get());
    svc->symbolPanel.onInsert(L"\u2605");
    EXPECT_TRUE(app.WaitTyped(1));
    EXPECT_EQ(app.typed, L"\u2605");
}

}  // namespace
