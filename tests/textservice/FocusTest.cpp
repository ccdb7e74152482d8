// Document focus and the context stack while the user is typing.
#include "ServiceFixture.h"

namespace zltest {
namespace {

using FocusTest = ServiceFixture;

TEST_F(FocusTest, MovingToAnotherDocumentEndsTheCompositionInTheOldOne) {
    ActivateFocused();
    Type("aa");
    tsfkit::FakeContext* other = nullptr;
    tm->NewFocusedDocument(&other);
    EXPECT_EQ(ctx->text, L"xy");  // the half-typed code is gone from the old document
    EXPECT_EQ(ctx->active, nullptr);
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_FALSE(svc->candWindow.visible);
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(other));
    EXPECT_EQ(svc->composition, nullptr);

    // The next letter composes in the new document only.
    Type("a");
    EXPECT_EQ(other->CompositionText(), L"a");
    EXPECT_EQ(ctx->text, L"xy");
}

TEST_F(FocusTest, AnOldDocumentThatRefusesTheEditIsLeftAsItIs) {
    ActivateFocused();
    Type("a");
    ctx->refuseSync = true;
    tsfkit::FakeContext* other = nullptr;
    tm->NewFocusedDocument(&other);
    EXPECT_TRUE(ctx->queued.empty());  // nothing queued to land in a document left behind
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_EQ(tsfkit::LiveCount("composition"), 0);
}

TEST_F(FocusTest, AQueuedSessionDoesNothingOnceTheFocusMoved) {
    ActivateFocused();
    ctx->refuseSync = true;
    Type("a");
    tsfkit::FakeContext* other = nullptr;
    tm->NewFocusedDocument(&other);
    EXPECT_EQ(ctx->RunQueued(), 1);
    EXPECT_EQ(ctx->text, L"xy");
    EXPECT_EQ(other->text, L"");
    EXPECT_EQ(svc->composition, nullptr);
}

TEST_F(FocusTest, NoFocusClearsTheInputButKeepsTheDocument) {
    ActivateFocused();
    Type("a");
    tm->SetFocus(nullptr);
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_FALSE(svc->candWindow.visible);
    EXPECT_EQ(svc->context, nullptr);
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_EQ(svc->documentMgr, static_cast<ITfDocumentMgr*>(doc));
    svc->OnUninitDocumentMgr(doc);
    EXPECT_EQ(svc->documentMgr, nullptr);
}

TEST_F(FocusTest, OnlyTheFocusedDocumentsContextsAreAdoptedAndDropped) {
    ActivateFocused();
    ITfDocumentMgr* unfocusedDm = nullptr;
    tm->CreateDocumentMgr(&unfocusedDm);
    auto* unfocused = static_cast<tsfkit::FakeDocumentMgr*>(unfocusedDm);
    unfocused->PushNew();
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(ctx));
    unfocused->Pop(0);
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(ctx));
    unfocusedDm->Release();

    tsfkit::FakeContext* pushed = doc->PushNew();
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(pushed));
    pushed->text = L"p";
    Type("a");
    doc->Pop(0);
    EXPECT_EQ(svc->context, static_cast<ITfContext*>(ctx));
    EXPECT_EQ(svc->composition, nullptr);
    EXPECT_TRUE(svc->engine.code.empty());
    EXPECT_EQ(tsfkit::LiveCount("composition"), 0);
}

}  // namespace
}  // namespace zltest
