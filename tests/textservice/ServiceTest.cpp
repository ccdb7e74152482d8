// The text service on the fake TSF kit: what it takes and gives back, failed activation,
// focus and context changes, and Apply's compositions, commits and placement.
#include <gtest/gtest.h>

#include <new>

#include "DictKit.h"
#include "EditSession.h"
#include "Guids.h"
#include "Module.h"
#include "Config.h"
#include "Seams.h"
#include "TextService.h"
#include "TsfKit.h"
#include "UserFolder.h"
#include "WholeFile.h"

namespace zltest {
namespace {

using tsfkit::FakeContext;

// Everything a fake holds for the service, and the transient objects still alive.
std::string TsfState(tsfkit::FakeThreadMgr* tm, tsfkit::FakeDocumentMgr* doc, FakeContext* ctx) {
    std::string s = "refs " + std::to_string(tm->Refs()) + "/" + std::to_string(doc->Refs()) + "/" +
                    std::to_string(ctx->Refs()) + " sinks " + std::to_string(!!tm->threadSink) +
                    std::to_string(!!tm->keySink) + std::to_string(!!tm->compartmentSink) + " keys " +
                    std::to_string(tm->preserved.size());
    for (const char* kind : {"range", "composition"}) s += " " + std::to_string(tsfkit::Live()[kind]);
    return s;
}

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_hInst = GetModuleHandleW(nullptr);
        zl::TheSeams().cursorPos = [this](POINT* pt) { return *pt = cursor, cursorOk; };
        const auto image = BuildImage({Wubi(L"\u5DE5", "a", 900), Wubi(L"\u620F", "aa", 500)});
        ASSERT_TRUE(zl::SaveWholeFile(dictDir.File(L"zlwb.dat"),
                                      std::string_view(reinterpret_cast<const char*>(image.data()), image.size())));
        // No automatic update check: its thread would fetch from the network and read
        // the hooks the tests change.
        zl::Config config;
        config.autoCheck = 0;
        config.Save();
        doc = tm->NewFocusedDocument(&ctx);
        ctx->text = L"xy";
        ctx->selStart = ctx->selEnd = 1;
    }
    void TearDown() override {
        if (svc && svc->threadMgr) svc->Deactivate();
        if (svc) svc->Release();
        tm->Release();
    }
    std::string State() const { return TsfState(tm, doc, ctx); }
    void ActivateFocused() {
        ASSERT_EQ(S_OK, svc->Activate(tm, 42));
        tm->SetFocus(doc);
        ASSERT_EQ(svc->context, static_cast<ITfContext*>(ctx));
        ASSERT_TRUE(svc->engine.Init(dictDir.Path()));
    }
    HRESULT Type(const char* letters) {
        for (const char* p = letters; *p; ++p) svc->engine.OnLetter(*p);
        return svc->_Sync(svc->context);
    }
    HRESULT Commit(const std::wstring& text) {
        svc->_CommitNow(text);
        return svc->_Sync(svc->context);
    }

    UserFolder user;
    TempDir dictDir;
    zl::ScopedSeams scoped{zl::TheSeams()};
    POINT cursor{300, 400};
    bool cursorOk = true;
    tsfkit::FakeThreadMgr* tm = new tsfkit::FakeThreadMgr;
    tsfkit::FakeDocumentMgr* doc = nullptr;
    FakeContext* ctx = nullptr;
    zl::CTextService* svc = new zl::CTextService;
};

TEST_F(ServiceTest, EveryFakeIsBackAtBaselineAfterTwoActivations) {
    const std::string baseline = State();
    for (int round = 0; round < 2; ++round) {
        ActivateFocused();
        EXPECT_TRUE(tm->threadSink && tm->keySink);
        Type("a");
        ASSERT_NE(svc->composition, nullptr);
        EXPECT_EQ(1u, tm->preserved.size());  // Ctrl+Space, with the option's default
        EXPECT_EQ(S_OK, svc->Deactivate());
        EXPECT_EQ(svc->candWindow.hwnd, nullptr);
        EXPECT_EQ(svc->statusBar.hwnd, nullptr);
        EXPECT_EQ(State(), baseline) << "round " << round;
    }
    svc->Release();
    svc = nullptr;
    EXPECT_EQ(State(), baseline);
}

LRESULT CALLBACK RefuseCreation(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return msg == WM_NCCREATE ? FALSE : DefWindowProcW(w, msg, wp, lp);
}

// TSF only releases a service whose activation failed: by then it must hold nothing.
TEST_F(ServiceTest, FailedActivationLeavesNothingBehind) {
    const std::string baseline = State();
    EXPECT_EQ(E_INVALIDARG, svc->Activate(nullptr, 42));
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
}

// Running out of memory late in activation, with the sinks already advised, must undo them
// too: the sinks' references would keep the service, and its windows' timers, alive.
TEST_F(ServiceTest, ActivationThatThrowsLeavesNothingBehind) {
    const std::string baseline = State();
    struct Case {
        const char* seam;
        void (*breakIt)(zl::Seams&);
    };
    const Case cases[] = {
        {"tick", [](zl::Seams& s) { s.tickCount = []() -> DWORD { throw std::bad_alloc(); }; }},
        {"clock", [](zl::Seams& s) { s.unixTime = []() -> int64_t { throw std::bad_alloc(); }; }},  // update check
    };
    for (const Case& c : cases) {
        zl::ScopedSeams broken{zl::TheSeams()};
        c.breakIt(zl::TheSeams());
        EXPECT_EQ(E_OUTOFMEMORY, svc->Activate(tm, 42)) << c.seam;
        EXPECT_EQ(svc->threadMgr, nullptr) << c.seam;
        EXPECT_EQ(svc->candWindow.hwnd, nullptr) << c.seam;
        EXPECT_EQ(svc->statusBar.hwnd, nullptr) << c.seam;
        EXPECT_EQ(State(), baseline) << c.seam;
    }
}

TEST_F(ServiceTest, TheDestructorReleasesWhatTsfLeftWithIt) {
    const std::string baseline = State();
    ActivateFocused();
    // The framework drops its sinks, the preserved key and the service, without Deactivate.
    tm->UnadviseSink(1);
    tm->UnadviseSink(2);
    tm->UnadviseKeyEventSink(42);
    tm->preserved.clear();
    svc->Release();
    svc = nullptr;
    EXPECT_EQ(State(), baseline);
}

// A menu or message box run from a status-bar callback pumps messages: TSF may deactivate
// and release the service meanwhile.
TEST_F(ServiceTest, AModalCallbackKeepsTheServiceAndSeesTheDeactivation) {
    ActivateFocused();
    {
        zl::CTextService::ModalGuard guard(svc);
        svc->Deactivate();
        svc->Activate(tm, 42);  // back again, but the callback's windows are gone
        EXPECT_TRUE(guard.Deactivated());
        svc->Deactivate();
        svc->Release();
        EXPECT_EQ(1, svc->refCount);
    }
    svc = nullptr;
}

TEST_F(ServiceTest, EditSessionsAreNotTheServicesInterface) {
    void* p = nullptr;
    EXPECT_EQ(E_NOINTERFACE, svc->QueryInterface(IID_ITfEditSession, &p));
    EXPECT_EQ(p, nullptr);
    auto* session = new zl::CEditSession(svc, nullptr);
    EXPECT_EQ(2, svc->refCount);
    ASSERT_EQ(S_OK, session->QueryInterface(IID_ITfEditSession, &p));
    static_cast<IUnknown*>(p)->Release();
    session->Release();
    EXPECT_EQ(1, svc->refCount);
}

TEST_F(ServiceTest, LettersComposeAtTheCaretAndTheCommitReplacesThem) {
    ActivateFocused();
    ASSERT_EQ(S_OK, Type("a"));
    EXPECT_EQ(ctx->CompositionText(), L"a");
    EXPECT_TRUE(svc->candWindow.visible);
    Type("a");
    EXPECT_EQ(ctx->text, L"xaay");
    EXPECT_EQ(ctx->compositionsStarted, 1);
    svc->engine.OnSpace();
    ASSERT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(ctx->text, L"x\u620Fy");
    EXPECT_EQ(ctx->selStart, 2);
    EXPECT_EQ(ctx->selEnd, 2);
    EXPECT_EQ(ctx->active, nullptr);
    EXPECT_FALSE(svc->candWindow.visible);

    Type("aa");  // Escape: the code is erased, nothing committed
    svc->engine.OnEscape();
    svc->_Sync(svc->context);
    EXPECT_EQ(ctx->text, L"x\u620Fy");
    EXPECT_EQ(ctx->selStart, 2);

    Type("a");  // the application ends the composition: erased too, and the engine cleared
    ctx->TerminateComposition();
    EXPECT_EQ(ctx->text, L"x\u620Fy");
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_EQ(tsfkit::Live()["range"] + tsfkit::Live()["composition"], 0);
}

TEST_F(ServiceTest, EndingItsOwnCompositionKeepsTheCommit) {
    ActivateFocused();
    ctx->notifyOwnEnd = true;
    Type("a");
    svc->engine.OnSpace();
    svc->_Sync(svc->context);
    EXPECT_EQ(ctx->text, L"x\u5DE5y");
}

// Wine has no compositions: candidates still show, commits go in at the selection, and a
// commit nothing could write is reported instead of lost in silence.
TEST_F(ServiceTest, WithoutCompositionsCommitsGoInAtTheSelection) {
    ActivateFocused();
    ctx->noCompositions = true;
    ctx->selEnd = 2;
    Type("a");
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_TRUE(svc->candWindow.visible);
    svc->engine.OnSpace();
    ASSERT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(ctx->text, L"x\u5DE5");
    EXPECT_EQ(ctx->selStart, 2);

    ctx->failInsert = true;
    EXPECT_TRUE(FAILED(Commit(L"\u2605")));
    EXPECT_TRUE(user.TraceHas("commit not written"));
    ctx->refuseAll = true;  // no session at all: the text must not come out later
    EXPECT_TRUE(FAILED(Commit(L"\u2605")));
    EXPECT_TRUE(svc->engine.commit.empty());
}

TEST_F(ServiceTest, CancelBeforeCommitErasesTheCodeFirst) {
    ActivateFocused();
    Type("aa");
    svc->engine.Clear();
    svc->cancelBeforeCommit = 1;
    ASSERT_EQ(S_OK, Commit(L"\u2605"));
    EXPECT_EQ(ctx->text, L"x\u2605y");
    EXPECT_EQ(svc->cancelBeforeCommit, 0);
}

TEST_F(ServiceTest, ARefusedSynchronousSessionIsQueued) {
    ActivateFocused();
    ctx->refuseSync = true;
    EXPECT_EQ(TF_S_ASYNC, Type("a"));
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->CompositionText(), L"a");
    svc->candWindow.onCandidateClick(1);
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->text, L"x\u620Fy");
    EXPECT_TRUE(svc->engine.commit.empty());
    EXPECT_EQ(ctx->active, nullptr);
}

TEST_F(ServiceTest, CandidateWindowPlacement) {
    struct Case {
        RECT caret;
        HRESULT textExt;
        bool view, mouse;
        POINT expected;
    } const cases[] = {
        {{100, 200, 110, 220}, S_OK, true, true, {100, 222}},  // below the caret
        {{0, 0, 0, 0}, S_OK, true, true, {0, 2}},               // all zero is a caret
        {{0, -10, 0, -2}, S_OK, true, true, {300, 408}},        // (0, 0) is not
        {{100, 200, 110, 220}, E_FAIL, true, true, {300, 408}},
        {{100, 200, 110, 220}, S_OK, false, true, {300, 408}},
        {{0, -10, 0, -2}, S_OK, true, false, {0, 0}},
    };
    ActivateFocused();
    const LONG refs = ctx->Refs();
    for (const Case& c : cases) {
        ctx->textExt = c.caret;
        ctx->textExtResult = c.textExt;
        ctx->noView = !c.view;
        cursorOk = c.mouse;
        Type("a");
        EXPECT_EQ(svc->candWindow.show.x, c.expected.x) << &c - cases;
        EXPECT_EQ(svc->candWindow.show.y, c.expected.y) << &c - cases;
        svc->engine.OnEscape();
        svc->_Sync(svc->context);
        EXPECT_EQ(tsfkit::Live()["range"], 0);
        EXPECT_EQ(ctx->Refs(), refs);  // the view is the context here
    }
}

TEST_F(ServiceTest, MovingToAnotherDocumentEndsTheCompositionInTheOldOne) {
    ActivateFocused();
    Type("aa");
    FakeContext* other = nullptr;
    tsfkit::FakeDocumentMgr* otherDoc = tm->NewFocusedDocument(&other);
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_FALSE(svc->candWindow.visible);
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(other));
    Type("a");
    EXPECT_EQ(other->CompositionText(), L"a");

    other->refuseSync = true;  // an old document that refuses the edit keeps its text
    tm->SetFocus(doc);
    EXPECT_EQ(other->text, L"a");
    EXPECT_TRUE(other->queued.empty());
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_EQ(tsfkit::Live()["composition"], 0);

    ctx->refuseSync = true;  // a session queued before the focus moved applies nowhere
    Type("a");
    tm->SetFocus(otherDoc);
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->text, L"xy");
}

TEST_F(ServiceTest, NoFocusDropsTheInputAndTheContextButNotTheDocument) {
    ActivateFocused();
    Type("a");
    tm->SetFocus(nullptr);
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(svc->context, nullptr);
    EXPECT_EQ(svc->documentMgr, static_cast<ITfDocumentMgr*>(doc));
    svc->OnUninitDocumentMgr(doc);
    EXPECT_EQ(svc->documentMgr, nullptr);
}

TEST_F(ServiceTest, ADocumentWithoutAContextTakesNothingMeantForTheOldOne) {
    ActivateFocused();
    auto* empty = new tsfkit::FakeDocumentMgr(tm);
    tm->documents.push_back(empty);
    tm->SetFocus(empty);
    EXPECT_EQ(svc->context, nullptr);
    bool refocused = false;
    EXPECT_TRUE(FAILED(svc->_CommitSymbolTsf(L"\u2605", false, &refocused)));
    EXPECT_EQ(ctx->text, L"xy");
    FakeContext* pushed = empty->PushNew();
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(pushed));
}

TEST_F(ServiceTest, OnlyTheFocusedDocumentsContextsAreAdoptedAndDropped) {
    ActivateFocused();
    auto* unfocused = new tsfkit::FakeDocumentMgr(tm);
    unfocused->PushNew();
    unfocused->Pop(0);
    unfocused->Release();
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(ctx));

    FakeContext* pushed = doc->PushNew();
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(pushed));
    Type("a");
    doc->Pop(0);
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(ctx));
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(tsfkit::Live()["composition"], 0);
}

}  // namespace
}  // namespace zltest
