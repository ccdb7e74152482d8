#include "ServiceFixture.h"

#include <ostream>

#include "DictKit.h"
#include "Module.h"
#include "WholeFile.h"

namespace zltest {

bool TsfState::operator==(const TsfState& o) const {
    return threadMgr == o.threadMgr && document == o.document && context == o.context &&
           compartment == o.compartment && threadSink == o.threadSink && keySink == o.keySink &&
           compartmentSink == o.compartmentSink && preservedKeys == o.preservedKeys && ranges == o.ranges &&
           compositions == o.compositions && properties == o.properties && views == o.views;
}

std::ostream& operator<<(std::ostream& os, const TsfState& s) {
    return os << "refs tm=" << s.threadMgr << " doc=" << s.document << " ctx=" << s.context
              << " comp=" << s.compartment << " sinks thread=" << s.threadSink << " key=" << s.keySink
              << " compartment=" << s.compartmentSink << " preserved=" << s.preservedKeys
              << " live ranges=" << s.ranges << " compositions=" << s.compositions
              << " properties=" << s.properties << " views=" << s.views;
}

void ServiceFixture::SetUp() {
    g_hInst = GetModuleHandleW(nullptr);
    seams.cursorPos = [this](POINT* pt) {
        *pt = cursor;
        return cursorOk;
    };
    scoped = std::make_unique<zl::ScopedSeams>(seams);
    const std::vector<uint8_t> image = BuildImage({Wubi(L"\u5DE5", "a", 900), Wubi(L"\u620F", "aa", 500),
                                                   Wubi(L"\u5F0F", "aad", 400), Wubi(L"\u5982", "vk", 300)});
    ASSERT_TRUE(zl::SaveWholeFile(dictDir.File(L"zlwb.dat"),
                                  std::string_view(reinterpret_cast<const char*>(image.data()), image.size())));
    tm = new tsfkit::FakeThreadMgr;
    doc = tm->NewFocusedDocument(&ctx);
    ctx->text = L"xy";
    ctx->selStart = ctx->selEnd = 1;
    svc = new zl::CTextService;
}

void ServiceFixture::TearDown() {
    if (svc) {
        if (svc->threadMgr) svc->Deactivate();
        svc->Release();
    }
    tm->Release();
    scoped.reset();
}

TsfState ServiceFixture::State() const {
    return TsfState{tm->Refs(),
                    doc->Refs(),
                    ctx->Refs(),
                    tm->openClose->Refs(),
                    tm->threadSink != nullptr,
                    tm->keySink != nullptr,
                    tm->openClose->sink != nullptr,
                    tm->preserved.size(),
                    tsfkit::LiveCount("range"),
                    tsfkit::LiveCount("composition"),
                    tsfkit::LiveCount("property"),
                    tsfkit::LiveCount("view")};
}

void ServiceFixture::ActivateFocused() {
    ASSERT_EQ(S_OK, svc->Activate(tm, 42));
    tm->SetFocus(doc);
    ASSERT_EQ(svc->context, static_cast<ITfContext*>(ctx));
    ASSERT_TRUE(svc->engine.Init(dictDir.Path()));
}

HRESULT ServiceFixture::Type(const char* letters) {
    for (const char* p = letters; *p; ++p) svc->engine.OnLetter(*p);
    return svc->_Sync(svc->context);
}

HRESULT ServiceFixture::Commit(const std::wstring& text) {
    svc->_CommitNow(text);
    return svc->_Sync(svc->context);
}

}  // namespace zltest
