#include "TsfKit.h"

#include <algorithm>

namespace tsfkit {

std::map<std::string, int>& Live() {
    static std::map<std::string, int> live;
    return live;
}

int LiveCount(const char* kind) {
    auto it = Live().find(kind);
    return it == Live().end() ? 0 : it->second;
}

namespace {

template <class T>
void ReleaseAndClear(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

HRESULT Give(void** ppv, IUnknown* unk, void* itf) {
    *ppv = itf;
    unk->AddRef();
    return S_OK;
}

// Where p lands when [start, end) becomes `len` characters.
LONG Moved(LONG p, LONG start, LONG end, LONG len) {
    if (p >= end) return p + len - (end - start);
    if (p > start) return start + len;
    return p;
}

}  // namespace

// ---- compartment

STDMETHODIMP FakeCompartment::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfCompartment))
        return Give(ppv, static_cast<ITfCompartment*>(this), static_cast<ITfCompartment*>(this));
    if (IsEqualIID(riid, IID_ITfSource)) return Give(ppv, static_cast<ITfCompartment*>(this), static_cast<ITfSource*>(this));
    return E_NOINTERFACE;
}

STDMETHODIMP FakeCompartment::SetValue(TfClientId, const VARIANT* v) {
    VariantCopy(&value, const_cast<VARIANT*>(v));
    if (sink) sink->OnChange(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
    return S_OK;
}

STDMETHODIMP FakeCompartment::GetValue(VARIANT* v) {
    VariantInit(v);
    return VariantCopy(v, &value);
}

STDMETHODIMP FakeCompartment::AdviseSink(REFIID riid, IUnknown* punk, DWORD* cookie) {
    if (!IsEqualIID(riid, IID_ITfCompartmentEventSink) || sink) return E_FAIL;
    if (FAILED(punk->QueryInterface(IID_ITfCompartmentEventSink, reinterpret_cast<void**>(&sink)))) return E_FAIL;
    *cookie = 0x51;
    return S_OK;
}

STDMETHODIMP FakeCompartment::UnadviseSink(DWORD cookie) {
    if (cookie != 0x51 || !sink) return E_FAIL;
    ReleaseAndClear(sink);
    return S_OK;
}

// ---- range

FakeRange::FakeRange(FakeContext* c, LONG s, LONG e) : Counted("range"), ctx(c), start(s), end(e) { ctx->AddRef(); }

FakeRange::~FakeRange() { ctx->Release(); }

STDMETHODIMP FakeRange::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfRange)) return Give(ppv, this, this);
    return E_NOINTERFACE;
}

STDMETHODIMP FakeRange::GetText(TfEditCookie, DWORD, WCHAR* out, ULONG max, ULONG* got) {
    const std::wstring s = ctx->text.substr(start, end - start);
    const ULONG n = std::min<ULONG>(max, static_cast<ULONG>(s.size()));
    std::copy_n(s.begin(), n, out);
    *got = n;
    return S_OK;
}

STDMETHODIMP FakeRange::SetText(TfEditCookie, DWORD, const WCHAR* text, LONG cch) {
    if (!ctx->inSession || ctx->failRangeSetText) return E_FAIL;
    const std::wstring s(text ? text : L"", text ? static_cast<size_t>(cch) : 0);
    ctx->Replace(start, end, s);
    end = start + static_cast<LONG>(s.size());
    return S_OK;
}

STDMETHODIMP FakeRange::IsEmpty(TfEditCookie, WINBOOL* empty) {
    *empty = start == end;
    return S_OK;
}

STDMETHODIMP FakeRange::Collapse(TfEditCookie, TfAnchor anchor) {
    if (anchor == TF_ANCHOR_START) {
        end = start;
    } else {
        start = end;
    }
    return S_OK;
}

STDMETHODIMP FakeRange::Clone(ITfRange** clone) {
    *clone = new FakeRange(ctx, start, end);
    return S_OK;
}

STDMETHODIMP FakeRange::GetContext(ITfContext** c) {
    *c = ctx;
    ctx->AddRef();
    return S_OK;
}

// ---- composition

FakeComposition::FakeComposition(FakeContext* c, LONG s, LONG e, ITfCompositionSink* k)
    : Counted("composition"), ctx(c), start(s), end(e), sink(k) {
    ctx->AddRef();
    if (sink) sink->AddRef();
}

FakeComposition::~FakeComposition() {
    if (ctx->active == this) ctx->active = nullptr;
    ReleaseAndClear(sink);
    ctx->Release();
}

STDMETHODIMP FakeComposition::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfComposition)) return Give(ppv, this, this);
    return E_NOINTERFACE;
}

STDMETHODIMP FakeComposition::GetRange(ITfRange** range) {
    if (ended) return E_FAIL;
    *range = new FakeRange(ctx, start, end);
    return S_OK;
}

STDMETHODIMP FakeComposition::EndComposition(TfEditCookie ec) {
    if (ended) return E_FAIL;
    AddRef();
    if (ctx->notifyOwnEnd && sink) sink->OnCompositionTerminated(ec, this);
    ended = true;
    if (ctx->active == this) ctx->active = nullptr;
    ReleaseAndClear(sink);
    Release();
    return S_OK;
}

// ---- property and view

FakeProperty::FakeProperty(FakeContext* c) : Counted("property"), ctx(c) { ctx->AddRef(); }
FakeProperty::~FakeProperty() { ctx->Release(); }

STDMETHODIMP FakeProperty::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfProperty) ||
        IsEqualIID(riid, IID_ITfReadOnlyProperty))
        return Give(ppv, this, this);
    return E_NOINTERFACE;
}

STDMETHODIMP FakeProperty::Clear(TfEditCookie, ITfRange*) {
    ++ctx->attributeClears;
    return S_OK;
}

FakeView::FakeView(FakeContext* c) : Counted("view"), ctx(c) { ctx->AddRef(); }
FakeView::~FakeView() { ctx->Release(); }

STDMETHODIMP FakeView::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfContextView)) return Give(ppv, this, this);
    return E_NOINTERFACE;
}

STDMETHODIMP FakeView::GetTextExt(TfEditCookie, ITfRange*, RECT* rect, WINBOOL* clipped) {
    if (FAILED(ctx->textExtResult)) return ctx->textExtResult;
    *rect = ctx->textExt;
    *clipped = FALSE;
    return S_OK;
}

// ---- context

FakeContext::FakeContext(FakeDocumentMgr* d) : Counted("context"), doc(d) {}

FakeContext::~FakeContext() {
    for (ITfEditSession* s : queued) s->Release();
}

STDMETHODIMP FakeContext::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    IUnknown* unk = static_cast<ITfContext*>(this);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfContext))
        return Give(ppv, unk, static_cast<ITfContext*>(this));
    if (IsEqualIID(riid, IID_ITfInsertAtSelection)) return Give(ppv, unk, static_cast<ITfInsertAtSelection*>(this));
    if (IsEqualIID(riid, IID_ITfContextComposition))
        return Give(ppv, unk, static_cast<ITfContextComposition*>(this));
    return E_NOINTERFACE;
}

STDMETHODIMP FakeContext::RequestEditSession(TfClientId, ITfEditSession* es, DWORD flags, HRESULT* hrSession) {
    if (refuseAll) return E_FAIL;
    if (flags & TF_ES_SYNC) {
        if (refuseSync) return TS_E_SYNCHRONOUS;
        inSession = true;
        *hrSession = es->DoEditSession(kCookie);
        inSession = false;
        return S_OK;
    }
    es->AddRef();
    queued.push_back(es);
    *hrSession = TF_S_ASYNC;
    return S_OK;
}

int FakeContext::RunQueued() {
    int n = 0;
    while (!queued.empty()) {
        ITfEditSession* s = queued.front();
        queued.pop_front();
        inSession = true;
        s->DoEditSession(kCookie);
        inSession = false;
        s->Release();
        ++n;
    }
    return n;
}

STDMETHODIMP FakeContext::GetSelection(TfEditCookie, ULONG, ULONG count, TF_SELECTION* sel, ULONG* fetched) {
    if (count < 1) return E_INVALIDARG;
    sel[0].range = new FakeRange(this, selStart, selEnd);
    sel[0].style.ase = TF_AE_END;
    sel[0].style.fInterimChar = FALSE;
    *fetched = 1;
    return S_OK;
}

STDMETHODIMP FakeContext::SetSelection(TfEditCookie, ULONG count, const TF_SELECTION* sel) {
    if (!inSession || count != 1 || !sel[0].range) return E_FAIL;
    auto* r = static_cast<FakeRange*>(sel[0].range);
    selStart = r->start;
    selEnd = r->end;
    return S_OK;
}

STDMETHODIMP FakeContext::GetActiveView(ITfContextView** view) {
    if (noView) return E_FAIL;
    *view = new FakeView(this);
    return S_OK;
}

STDMETHODIMP FakeContext::GetProperty(REFGUID guid, ITfProperty** prop) {
    if (!IsEqualGUID(guid, GUID_PROP_ATTRIBUTE)) return E_FAIL;
    *prop = new FakeProperty(this);
    return S_OK;
}

STDMETHODIMP FakeContext::GetDocumentMgr(ITfDocumentMgr** dm) {
    *dm = doc;
    doc->AddRef();
    return S_OK;
}

STDMETHODIMP FakeContext::InsertTextAtSelection(TfEditCookie, DWORD flags, const WCHAR* t, LONG cch,
                                                ITfRange** range) {
    if (!inSession) return E_FAIL;
    if (flags & TF_IAS_QUERYONLY) {
        *range = new FakeRange(this, selStart, selEnd);
        return S_OK;
    }
    if (failInsert) return E_FAIL;
    const LONG at = selStart;
    const std::wstring s(t, static_cast<size_t>(cch));
    Replace(selStart, selEnd, s);
    selStart = selEnd = at + cch;
    *range = new FakeRange(this, at, at + cch);
    return S_OK;
}

STDMETHODIMP FakeContext::StartComposition(TfEditCookie, ITfRange* range, ITfCompositionSink* sink,
                                           ITfComposition** composition) {
    *composition = nullptr;
    if (noCompositions) return E_NOTIMPL;
    if (!inSession || active) return E_FAIL;
    auto* r = static_cast<FakeRange*>(range);
    active = new FakeComposition(this, r->start, r->end, sink);
    ++compositionsStarted;
    *composition = active;
    return S_OK;
}

void FakeContext::Replace(LONG start, LONG end, const std::wstring& s) {
    const LONG len = static_cast<LONG>(s.size());
    text.replace(start, end - start, s);
    if (active) {
        if (active->start == start && active->end == end) {
            active->end = start + len;
        } else {
            active->start = Moved(active->start, start, end, len);
            active->end = Moved(active->end, start, end, len);
        }
    }
    selStart = Moved(selStart, start, end, len);
    selEnd = Moved(selEnd, start, end, len);
}

void FakeContext::TerminateComposition() {
    FakeComposition* c = active;
    if (!c) return;
    c->AddRef();
    inSession = true;
    if (c->sink) c->sink->OnCompositionTerminated(kCookie, c);
    inSession = false;
    c->ended = true;
    if (active == c) active = nullptr;
    ReleaseAndClear(c->sink);
    c->Release();
}

std::wstring FakeContext::CompositionText() const {
    return active ? text.substr(active->start, active->end - active->start) : std::wstring();
}

// ---- document manager

FakeDocumentMgr::~FakeDocumentMgr() {
    for (FakeContext* c : stack) c->Release();
}

STDMETHODIMP FakeDocumentMgr::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfDocumentMgr)) return Give(ppv, this, this);
    return E_NOINTERFACE;
}

STDMETHODIMP FakeDocumentMgr::CreateContext(TfClientId, DWORD, IUnknown*, ITfContext** ctx, TfEditCookie* ec) {
    *ctx = new FakeContext(this);
    if (ec) *ec = FakeContext::kCookie;
    return S_OK;
}

STDMETHODIMP FakeDocumentMgr::Push(ITfContext* ctx) {
    ctx->AddRef();
    stack.push_back(static_cast<FakeContext*>(ctx));
    if (tm->threadSink) tm->threadSink->OnPushContext(ctx);
    return S_OK;
}

STDMETHODIMP FakeDocumentMgr::Pop(DWORD) {
    if (stack.empty()) return E_FAIL;
    FakeContext* top = stack.back();
    stack.pop_back();
    if (tm->threadSink) tm->threadSink->OnPopContext(top);
    top->Release();
    return S_OK;
}

STDMETHODIMP FakeDocumentMgr::GetTop(ITfContext** ctx) {
    *ctx = stack.empty() ? nullptr : stack.back();
    if (*ctx) (*ctx)->AddRef();
    return S_OK;
}

STDMETHODIMP FakeDocumentMgr::GetBase(ITfContext** ctx) {
    *ctx = stack.empty() ? nullptr : stack.front();
    if (*ctx) (*ctx)->AddRef();
    return S_OK;
}

FakeContext* FakeDocumentMgr::PushNew() {
    ITfContext* c = nullptr;
    CreateContext(0, 0, nullptr, &c, nullptr);
    Push(c);
    c->Release();
    return static_cast<FakeContext*>(c);
}

// ---- thread manager

FakeThreadMgr::FakeThreadMgr() : Counted("threadmgr"), openClose(new FakeCompartment) {}

FakeThreadMgr::~FakeThreadMgr() {
    ReleaseAndClear(threadSink);
    ReleaseAndClear(keySink);
    ReleaseAndClear(focus);
    ReleaseAndClear(openClose);
    for (FakeDocumentMgr* d : documents) d->Release();
}

STDMETHODIMP FakeThreadMgr::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    IUnknown* unk = static_cast<ITfThreadMgr*>(this);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfThreadMgr))
        return Give(ppv, unk, static_cast<ITfThreadMgr*>(this));
    if (IsEqualIID(riid, IID_ITfSource)) return Give(ppv, unk, static_cast<ITfSource*>(this));
    if (IsEqualIID(riid, IID_ITfKeystrokeMgr)) return Give(ppv, unk, static_cast<ITfKeystrokeMgr*>(this));
    if (IsEqualIID(riid, IID_ITfCompartmentMgr)) return Give(ppv, unk, static_cast<ITfCompartmentMgr*>(this));
    return E_NOINTERFACE;
}

STDMETHODIMP FakeThreadMgr::Activate(TfClientId* tid) {
    *tid = 42;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::CreateDocumentMgr(ITfDocumentMgr** dm) {
    *dm = new FakeDocumentMgr(this);
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::GetFocus(ITfDocumentMgr** dm) {
    *dm = focus;
    if (focus) focus->AddRef();
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::SetFocus(ITfDocumentMgr* dm) {
    ITfDocumentMgr* previous = focus;
    if (dm) dm->AddRef();
    focus = dm;
    if (threadSink) threadSink->OnSetFocus(dm, previous);
    if (previous) previous->Release();
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::AdviseSink(REFIID riid, IUnknown* punk, DWORD* cookie) {
    if (!IsEqualIID(riid, IID_ITfThreadMgrEventSink) || threadSink) return E_FAIL;
    if (FAILED(punk->QueryInterface(IID_ITfThreadMgrEventSink, reinterpret_cast<void**>(&threadSink))))
        return E_FAIL;
    *cookie = 0x71;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::UnadviseSink(DWORD cookie) {
    if (cookie != 0x71 || !threadSink) return E_FAIL;
    ReleaseAndClear(threadSink);
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::AdviseKeyEventSink(TfClientId, ITfKeyEventSink* sink, WINBOOL) {
    if (keySink) return E_FAIL;
    keySink = sink;
    sink->AddRef();
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::UnadviseKeyEventSink(TfClientId) {
    if (!keySink) return E_FAIL;
    ReleaseAndClear(keySink);
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::IsPreservedKey(REFGUID guid, const TF_PRESERVEDKEY*, WINBOOL* registered) {
    *registered = std::any_of(preserved.begin(), preserved.end(),
                              [&](const auto& p) { return IsEqualGUID(p.first, guid); });
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::PreserveKey(TfClientId, REFGUID guid, const TF_PRESERVEDKEY* key, const WCHAR*, ULONG) {
    preserved.emplace_back(guid, *key);
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::UnpreserveKey(REFGUID guid, const TF_PRESERVEDKEY*) {
    const auto old = preserved.size();
    preserved.erase(std::remove_if(preserved.begin(), preserved.end(),
                                   [&](const auto& p) { return IsEqualGUID(p.first, guid); }),
                    preserved.end());
    return preserved.size() < old ? S_OK : E_FAIL;
}

STDMETHODIMP FakeThreadMgr::GetCompartment(REFGUID guid, ITfCompartment** comp) {
    if (!IsEqualGUID(guid, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE)) return E_FAIL;
    *comp = openClose;
    openClose->AddRef();
    return S_OK;
}

FakeDocumentMgr* FakeThreadMgr::NewFocusedDocument(FakeContext** ctx) {
    ITfDocumentMgr* dm = nullptr;
    CreateDocumentMgr(&dm);
    auto* doc = static_cast<FakeDocumentMgr*>(dm);
    documents.push_back(doc);
    FakeContext* c = doc->PushNew();
    if (ctx) *ctx = c;
    SetFocus(doc);
    return doc;
}

}  // namespace tsfkit
