// Apply on the fakes: the typed code as a composition at the caret, commits, Escape,
// compositions ended from outside, refused sessions, and candidate placement.
#include "ServiceFixture.h"

namespace zltest {
namespace {

using CompositionTest = ServiceFixture;

TEST_F(CompositionTest, LettersComposeAtTheSelectionAndACommitReplacesThem) {
    ActivateFocused();
    ASSERT_EQ(S_OK, Type("a"));
    EXPECT_EQ(ctx->text, L"xay");
    EXPECT_EQ(ctx->CompositionText(), L"a");
    EXPECT_TRUE(svc->candWindow.visible);
    ASSERT_EQ(S_OK, Type("a"));
    EXPECT_EQ(ctx->text, L"xaay");
    EXPECT_EQ(ctx->compositionsStarted, 1);

    svc->engine.OnSpace();
    ASSERT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(ctx->text, L"x\u620Fy");
    EXPECT_EQ(ctx->selStart, 2);
    EXPECT_EQ(ctx->selEnd, 2);
    EXPECT_EQ(ctx->active, nullptr);
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_GT(ctx->attributeClears, 0);
    EXPECT_FALSE(svc->candWindow.visible);
    EXPECT_EQ(tsfkit::LiveCount("range"), 0);
    EXPECT_EQ(tsfkit::LiveCount("property"), 0);
    EXPECT_EQ(tsfkit::LiveCount("view"), 0);
}

TEST_F(CompositionTest, ClickingACandidateCommitsIt) {
    ActivateFocused();
    Type("a");
    ASSERT_GE(svc->engine.candidates.size(), 2u);
    const std::wstring second = svc->engine.candidates[1].text;
    svc->candWindow.onCandidateClick(1);
    EXPECT_EQ(ctx->text, L"x" + second + L"y");
    EXPECT_EQ(ctx->active, nullptr);
}

TEST_F(CompositionTest, EscapeErasesTheTypedCode) {
    ActivateFocused();
    Type("aa");
    svc->engine.OnEscape();
    ASSERT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_EQ(ctx->selStart, 1);
    EXPECT_EQ(ctx->active, nullptr);
    EXPECT_FALSE(svc->candWindow.visible);
}

TEST_F(CompositionTest, TheApplicationEndingTheCompositionErasesItAndClearsTheEngine) {
    ActivateFocused();
    Type("aa");
    ctx->TerminateComposition();
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_FALSE(svc->candWindow.visible);
    EXPECT_EQ(tsfkit::LiveCount("composition"), 0);
}

TEST_F(CompositionTest, EndingItsOwnCompositionDoesNotEraseTheCommit) {
    ActivateFocused();
    ctx->notifyOwnEnd = true;  // a framework that also tells the owner
    Type("a");
    svc->engine.OnSpace();
    svc->_Sync(svc->context);
    EXPECT_EQ(ctx->text, L"x\u5DE5y");
    EXPECT_EQ(ctx->selStart, 2);
}

// Wine has no compositions: the code is not shown in the document, but candidates
// still are, and the commit goes in at the selection.
TEST_F(CompositionTest, WithoutCompositionsTheCommitGoesInAtTheSelection) {
    ActivateFocused();
    ctx->noCompositions = true;
    ctx->selEnd = 2;  // "y" selected: the commit replaces it
    Type("a");
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_TRUE(svc->candWindow.visible);
    svc->engine.OnSpace();
    ASSERT_EQ(S_OK, svc->_Sync(svc->context));
    EXPECT_EQ(ctx->text, L"x\u5DE5");
    EXPECT_EQ(ctx->selStart, 2);
    EXPECT_EQ(ctx->selEnd, 2);
}

TEST_F(CompositionTest, CancelBeforeCommitErasesTheCodeThenInserts) {
    ActivateFocused();
    Type("aa");
    svc->engine.Clear();
    svc->cancelBeforeCommit = 1;
    ASSERT_EQ(S_OK, Commit(L"\u2605"));
    EXPECT_EQ(ctx->text, L"x\u2605y");
    EXPECT_EQ(ctx->selStart, 2);
    EXPECT_EQ(svc->cancelBeforeCommit, 0);
}

TEST_F(CompositionTest, ACommitThatNothingWroteIsReportedAndTraced) {
    ActivateFocused();
    ctx->noCompositions = true;
    ctx->failInsert = true;
    EXPECT_TRUE(FAILED(Commit(L"\u2605")));
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_TRUE(svc->engine.commit.empty());
    EXPECT_TRUE(user.TraceHas("commit not written"));

    // A composition whose text cannot be set falls back to the selection.
    ctx->noCompositions = false;
    ctx->failInsert = false;
    Type("a");
    ctx->failRangeSetText = true;
    EXPECT_EQ(S_OK, Commit(L"\u2605"));
}

// Outside key handling TSF may refuse a synchronous session: the queued one applies the
// same state later, and nothing stays pending.
TEST_F(CompositionTest, ARefusedSynchronousSessionIsQueued) {
    ActivateFocused();
    ctx->refuseSync = true;
    EXPECT_EQ(TF_S_ASYNC, Type("a"));
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->CompositionText(), L"a");

    svc->engine.OnSpace();
    svc->_Sync(svc->context);
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->text, L"x\u5DE5y");
    EXPECT_TRUE(svc->engine.commit.empty());
    EXPECT_EQ(ctx->active, nullptr);
}

TEST_F(CompositionTest, ASessionNobodyTakesDropsThePendingText) {
    ActivateFocused();
    ctx->refuseAll = true;
    EXPECT_TRUE(FAILED(Commit(L"\u2605")));
    EXPECT_TRUE(svc->engine.commit.empty());
    ctx->refuseAll = false;
    ASSERT_EQ(S_OK, Commit(L"\u4E00"));
    EXPECT_EQ(ctx->text, L"x\u4E00y");
}

struct Placement {
    const char* name;
    RECT caret;
    HRESULT textExt;
    bool view;
    bool cursorOk;
    POINT expected;
};

TEST_F(CompositionTest, CandidateWindowPlacement) {
    const Placement cases[] = {
        {"below the caret", {100, 200, 110, 220}, S_OK, true, true, {100, 222}},
        {"all-zero caret is a caret", {0, 0, 0, 0}, S_OK, true, true, {0, 2}},
        {"(0,0) means no caret", {0, -10, 0, -2}, S_OK, true, true, {300, 408}},
        {"no extent", {100, 200, 110, 220}, E_FAIL, true, true, {300, 408}},
        {"no view", {100, 200, 110, 220}, S_OK, false, true, {300, 408}},
        {"no mouse either", {0, -10, 0, -2}, S_OK, true, false, {0, 0}},
    };
    ActivateFocused();
    for (const Placement& c : cases) {
        SCOPED_TRACE(c.name);
        ctx->textExt = c.caret;
        ctx->textExtResult = c.textExt;
        ctx->noView = !c.view;
        cursorOk = c.cursorOk;
        Type("a");
        EXPECT_EQ(svc->candWindow.show.x, c.expected.x);
        EXPECT_EQ(svc->candWindow.show.y, c.expected.y);
        svc->engine.OnEscape();
        svc->_Sync(svc->context);
        EXPECT_EQ(tsfkit::LiveCount("range"), 0);
        EXPECT_EQ(tsfkit::LiveCount("view"), 0);
    }
}

}  // namespace
}  // namespace zltest
