// Fake TSF objects for the text service's tests: a thread manager with its source,
// keystroke and compartment managers and the open/close compartment, document managers,
// contexts (with their view) over a plain text model, ranges and compositions. Each fake
// counts its references and its live instances by kind, so a test sees what the service kept.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

// Missing from mingw-w64's msctf.h: TSF uses the text store's codes.
#ifndef TF_S_ASYNC
#define TF_S_ASYNC TS_S_ASYNC
#endif

namespace tsfkit {

#define NI \
    { return E_NOTIMPL; }

inline std::map<std::string, int>& Live() {
    static std::map<std::string, int> live;
    return live;
}

template <class T>
void ReleaseAndClear(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// Reference and instance counting and QueryInterface for the interfaces First, Rest...
template <class First, class... Rest>
class Fake : public First, public Rest... {
public:
    explicit Fake(const char* kind) : kind_(kind) { ++Live()[kind_]; }
    virtual ~Fake() { --Live()[kind_]; }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&ref); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&ref);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_INVALIDARG;
        *ppv = IsEqualIID(riid, IID_IUnknown) ? static_cast<First*>(this) : nullptr;
        (void)(Try<First>(riid, ppv) || ... || Try<Rest>(riid, ppv));
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    LONG Refs() const { return ref; }

private:
    template <class I>
    bool Try(REFIID riid, void** ppv) {
        if (IsEqualIID(riid, __uuidof(I))) *ppv = static_cast<I*>(this);
        return *ppv != nullptr;
    }
    volatile LONG ref = 1;
    std::string kind_;
};

class FakeContext;

class FakeRange : public Fake<ITfRange> {
public:
    FakeRange(FakeContext* c, LONG s, LONG e);
    ~FakeRange() override;
    STDMETHODIMP SetText(TfEditCookie, DWORD, const WCHAR* text, LONG cch) override;
    STDMETHODIMP Collapse(TfEditCookie, TfAnchor anchor) override {
        (anchor == TF_ANCHOR_START ? end : start) = anchor == TF_ANCHOR_START ? start : end;
        return S_OK;
    }
    STDMETHODIMP GetText(TfEditCookie, DWORD, WCHAR*, ULONG, ULONG*) override NI;
    STDMETHODIMP GetFormattedText(TfEditCookie, IDataObject**) override NI;
    STDMETHODIMP GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) override NI;
    STDMETHODIMP InsertEmbedded(TfEditCookie, DWORD, IDataObject*) override NI;
    STDMETHODIMP ShiftStart(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override NI;
    STDMETHODIMP ShiftEnd(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override NI;
    STDMETHODIMP ShiftStartToRange(TfEditCookie, ITfRange*, TfAnchor) override NI;
    STDMETHODIMP ShiftEndToRange(TfEditCookie, ITfRange*, TfAnchor) override NI;
    STDMETHODIMP ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) override NI;
    STDMETHODIMP ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) override NI;
    STDMETHODIMP IsEmpty(TfEditCookie, WINBOOL*) override NI;
    STDMETHODIMP IsEqualStart(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override NI;
    STDMETHODIMP IsEqualEnd(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override NI;
    STDMETHODIMP CompareStart(TfEditCookie, ITfRange*, TfAnchor, LONG*) override NI;
    STDMETHODIMP CompareEnd(TfEditCookie, ITfRange*, TfAnchor, LONG*) override NI;
    STDMETHODIMP AdjustForInsert(TfEditCookie, ULONG, WINBOOL*) override NI;
    STDMETHODIMP GetGravity(TfGravity*, TfGravity*) override NI;
    STDMETHODIMP SetGravity(TfEditCookie, TfGravity, TfGravity) override NI;
    STDMETHODIMP Clone(ITfRange**) override NI;
    STDMETHODIMP GetContext(ITfContext**) override NI;

    FakeContext* ctx;
    LONG start, end;
};

class FakeComposition : public Fake<ITfComposition> {
public:
    FakeComposition(FakeContext* c, LONG s, LONG e, ITfCompositionSink* k);
    ~FakeComposition() override;
    STDMETHODIMP GetRange(ITfRange** range) override;
    STDMETHODIMP EndComposition(TfEditCookie ec) override;
    STDMETHODIMP ShiftStart(TfEditCookie, ITfRange*) override NI;
    STDMETHODIMP ShiftEnd(TfEditCookie, ITfRange*) override NI;

    FakeContext* ctx;
    LONG start, end;
    ITfCompositionSink* sink;
};

class FakeDocumentMgr;

// One document: text with a selection and at most one composition.
class FakeContext : public Fake<ITfContext, ITfInsertAtSelection, ITfContextComposition, ITfContextView> {
public:
    explicit FakeContext(FakeDocumentMgr* d) : Fake("context"), doc(d) {}
    ~FakeContext() override {
        for (ITfEditSession* s : queued) s->Release();
    }
    STDMETHODIMP RequestEditSession(TfClientId, ITfEditSession* es, DWORD flags, HRESULT* hr) override {
        if (refuseAll) return E_FAIL;
        if (!(flags & TF_ES_SYNC)) {
            es->AddRef();
            queued.push_back(es);
            *hr = TF_S_ASYNC;
            return S_OK;
        }
        if (refuseSync) return TS_E_SYNCHRONOUS;
        inSession = true;
        *hr = es->DoEditSession(kCookie);
        inSession = false;
        return S_OK;
    }
    STDMETHODIMP GetSelection(TfEditCookie, ULONG, ULONG, TF_SELECTION* sel, ULONG* fetched) override {
        sel[0].range = new FakeRange(this, selStart, selEnd);
        sel[0].style = {TF_AE_END, FALSE};
        *fetched = 1;
        return S_OK;
    }
    STDMETHODIMP SetSelection(TfEditCookie, ULONG count, const TF_SELECTION* sel) override {
        if (!inSession || count != 1) return E_FAIL;
        selStart = static_cast<FakeRange*>(sel[0].range)->start;
        selEnd = static_cast<FakeRange*>(sel[0].range)->end;
        return S_OK;
    }
    STDMETHODIMP GetActiveView(ITfContextView** view) override {
        if (noView) return E_FAIL;
        *view = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP GetTextExt(TfEditCookie, ITfRange*, RECT* rect, WINBOOL* clipped) override {
        *rect = textExt;
        *clipped = FALSE;
        return textExtResult;
    }
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr** dm) override;
    STDMETHODIMP InsertTextAtSelection(TfEditCookie, DWORD flags, const WCHAR* t, LONG cch, ITfRange** r) override {
        if (!inSession || (failInsert && !(flags & TF_IAS_QUERYONLY))) return E_FAIL;
        const LONG at = selStart;
        if (!(flags & TF_IAS_QUERYONLY)) Replace(selStart, selEnd, std::wstring(t, cch));
        *r = new FakeRange(this, at, flags & TF_IAS_QUERYONLY ? selEnd : at + cch);
        return S_OK;
    }
    STDMETHODIMP StartComposition(TfEditCookie, ITfRange* r, ITfCompositionSink* sink, ITfComposition** c) override {
        *c = nullptr;
        if (noCompositions || !inSession || active) return E_NOTIMPL;
        auto* range = static_cast<FakeRange*>(r);
        *c = active = new FakeComposition(this, range->start, range->end, sink);
        ++compositionsStarted;
        return S_OK;
    }
    STDMETHODIMP InWriteSession(TfClientId, WINBOOL*) override NI;
    STDMETHODIMP GetStart(TfEditCookie, ITfRange**) override NI;
    STDMETHODIMP GetEnd(TfEditCookie, ITfRange**) override NI;
    STDMETHODIMP EnumViews(IEnumTfContextViews**) override NI;
    STDMETHODIMP GetStatus(TF_STATUS*) override NI;
    STDMETHODIMP GetProperty(REFGUID, ITfProperty**) override NI;
    STDMETHODIMP GetAppProperty(REFGUID, ITfReadOnlyProperty**) override NI;
    STDMETHODIMP TrackProperties(const GUID**, ULONG, const GUID**, ULONG, ITfReadOnlyProperty**) override NI;
    STDMETHODIMP EnumProperties(IEnumTfProperties**) override NI;
    STDMETHODIMP CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override NI;
    STDMETHODIMP InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*, ITfRange**) override NI;
    STDMETHODIMP EnumCompositions(IEnumITfCompositionView**) override NI;
    STDMETHODIMP FindComposition(TfEditCookie, ITfRange*, IEnumITfCompositionView**) override NI;
    STDMETHODIMP TakeOwnership(TfEditCookie, ITfCompositionView*, ITfCompositionSink*, ITfComposition**) override NI;
    STDMETHODIMP GetRangeFromPoint(TfEditCookie, const POINT*, DWORD, ITfRange**) override NI;
    STDMETHODIMP GetScreenExt(RECT*) override NI;
    STDMETHODIMP GetWnd(HWND*) override NI;

    // [start, end) becomes s; the selection and the composition follow.
    void Replace(LONG start, LONG end, const std::wstring& s) {
        const LONG len = static_cast<LONG>(s.size());
        text.replace(start, end - start, s);
        auto moved = [&](LONG p) { return p >= end ? p + len - (end - start) : p > start ? start + len : p; };
        if (active) {
            const bool whole = active->start == start && active->end == end;
            active->end = whole ? start + len : moved(active->end);
            if (!whole) active->start = moved(active->start);
        }
        selStart = moved(selStart);
        selEnd = moved(selEnd);
    }
    int RunQueued() {
        int n = 0;
        for (; !queued.empty(); ++n) {
            ITfEditSession* s = queued.front();
            queued.pop_front();
            inSession = true;
            s->DoEditSession(kCookie);
            inSession = false;
            s->Release();
        }
        return n;
    }
    // The application ends the composition (a click elsewhere, say).
    void TerminateComposition() {
        FakeComposition* c = active;
        c->AddRef();
        inSession = true;
        c->sink->OnCompositionTerminated(kCookie, c);
        inSession = false;
        active = nullptr;
        ReleaseAndClear(c->sink);
        c->Release();
    }
    std::wstring CompositionText() const {
        return active ? text.substr(active->start, active->end - active->start) : L"";
    }

    static constexpr TfEditCookie kCookie = 7;
    FakeDocumentMgr* doc;
    std::wstring text;
    LONG selStart = 0, selEnd = 0;
    FakeComposition* active = nullptr;  // not owned
    std::deque<ITfEditSession*> queued;
    bool inSession = false;
    int compositionsStarted = 0;
    bool refuseSync = false, refuseAll = false, noCompositions = false, noView = false, failInsert = false;
    bool notifyOwnEnd = false;  // EndComposition also tells the owner, as some versions do
    HRESULT textExtResult = S_OK;
    RECT textExt{100, 200, 110, 220};
};

inline FakeRange::FakeRange(FakeContext* c, LONG s, LONG e) : Fake("range"), ctx(c), start(s), end(e) { ctx->AddRef(); }
inline FakeRange::~FakeRange() { ctx->Release(); }
inline STDMETHODIMP FakeRange::SetText(TfEditCookie, DWORD, const WCHAR* text, LONG cch) {
    if (!ctx->inSession) return E_FAIL;
    ctx->Replace(start, end, std::wstring(text, cch));
    end = start + cch;
    return S_OK;
}

inline FakeComposition::FakeComposition(FakeContext* c, LONG s, LONG e, ITfCompositionSink* k)
    : Fake("composition"), ctx(c), start(s), end(e), sink(k) {
    ctx->AddRef();
    sink->AddRef();
}
inline FakeComposition::~FakeComposition() {
    if (ctx->active == this) ctx->active = nullptr;
    ReleaseAndClear(sink);
    ctx->Release();
}
inline STDMETHODIMP FakeComposition::GetRange(ITfRange** range) {
    *range = sink ? new FakeRange(ctx, start, end) : nullptr;
    return sink ? S_OK : E_FAIL;
}
inline STDMETHODIMP FakeComposition::EndComposition(TfEditCookie ec) {
    if (!sink) return E_FAIL;
    AddRef();  // the owner may release it from the notification
    if (ctx->notifyOwnEnd) sink->OnCompositionTerminated(ec, this);
    if (ctx->active == this) ctx->active = nullptr;
    ReleaseAndClear(sink);
    Release();
    return S_OK;
}

class FakeThreadMgr;

class FakeDocumentMgr : public Fake<ITfDocumentMgr> {
public:
    explicit FakeDocumentMgr(FakeThreadMgr* t) : Fake("document"), tm(t) {}
    ~FakeDocumentMgr() override {
        for (FakeContext* c : stack) c->Release();
    }
    STDMETHODIMP Push(ITfContext* ctx) override;
    STDMETHODIMP Pop(DWORD) override;
    STDMETHODIMP GetTop(ITfContext** ctx) override {
        *ctx = stack.empty() ? nullptr : stack.back();
        if (*ctx) (*ctx)->AddRef();
        return S_OK;
    }
    STDMETHODIMP CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**, TfEditCookie*) override NI;
    STDMETHODIMP GetBase(ITfContext**) override NI;
    STDMETHODIMP EnumContexts(IEnumTfContexts**) override NI;

    // Pushes a new context; the pointer is borrowed from the stack.
    FakeContext* PushNew() {
        auto* c = new FakeContext(this);
        Push(c);
        c->Release();
        return c;
    }

    FakeThreadMgr* tm;
    std::vector<FakeContext*> stack;
};

inline STDMETHODIMP FakeContext::GetDocumentMgr(ITfDocumentMgr** dm) {
    *dm = doc;
    doc->AddRef();
    return S_OK;
}

// Also the keyboard open/close compartment, which shares its ITfSource.
class FakeThreadMgr : public Fake<ITfThreadMgr, ITfSource, ITfKeystrokeMgr, ITfCompartmentMgr, ITfCompartment> {
public:
    FakeThreadMgr() : Fake("threadmgr") {}
    ~FakeThreadMgr() override {
        ReleaseAndClear(focus);
        VariantClear(&openClose);
        for (FakeDocumentMgr* d : documents) d->Release();
    }
    STDMETHODIMP SetFocus(ITfDocumentMgr* dm) override {
        ITfDocumentMgr* previous = focus;
        if ((focus = dm)) dm->AddRef();
        if (threadSink) threadSink->OnSetFocus(dm, previous);
        if (previous) previous->Release();
        return S_OK;
    }
    STDMETHODIMP GetFocus(ITfDocumentMgr** dm) override {
        if ((*dm = focus)) focus->AddRef();
        return S_OK;
    }
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* punk, DWORD* cookie) override {
        const bool thread = IsEqualIID(riid, IID_ITfThreadMgrEventSink);
        *cookie = thread ? 1 : 2;
        void** sink = thread ? reinterpret_cast<void**>(&threadSink) : reinterpret_cast<void**>(&compartmentSink);
        return *sink ? E_FAIL : punk->QueryInterface(riid, sink);
    }
    STDMETHODIMP UnadviseSink(DWORD cookie) override {
        if (cookie == 1) ReleaseAndClear(threadSink);
        if (cookie == 2) ReleaseAndClear(compartmentSink);
        return S_OK;
    }
    STDMETHODIMP AdviseKeyEventSink(TfClientId, ITfKeyEventSink* sink, WINBOOL) override {
        if (keySink) return E_FAIL;
        (keySink = sink)->AddRef();
        return S_OK;
    }
    STDMETHODIMP UnadviseKeyEventSink(TfClientId) override {
        ReleaseAndClear(keySink);
        return S_OK;
    }
    STDMETHODIMP IsPreservedKey(REFGUID guid, const TF_PRESERVEDKEY*, WINBOOL* on) override {
        *on = std::count(preserved.begin(), preserved.end(), guid) > 0;
        return S_OK;
    }
    STDMETHODIMP PreserveKey(TfClientId, REFGUID guid, const TF_PRESERVEDKEY*, const WCHAR*, ULONG) override {
        preserved.push_back(guid);
        return S_OK;
    }
    STDMETHODIMP UnpreserveKey(REFGUID guid, const TF_PRESERVEDKEY*) override {
        preserved.erase(std::remove(preserved.begin(), preserved.end(), guid), preserved.end());
        return S_OK;
    }
    STDMETHODIMP GetCompartment(REFGUID, ITfCompartment** comp) override {
        *comp = this;
        AddRef();
        return S_OK;
    }
    // The writer hears of its own change too, after the value is stored or, with
    // echoBeforeStore, while the old one is still there.
    STDMETHODIMP SetValue(TfClientId, const VARIANT* v) override {
        ++openCloseWrites;
        if (echoBeforeStore && compartmentSink) compartmentSink->OnChange(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
        VariantCopy(&openClose, const_cast<VARIANT*>(v));
        if (!echoBeforeStore && compartmentSink) compartmentSink->OnChange(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
        return S_OK;
    }
    // Another writer (the system, another text service) changes the value.
    void SetOpenByOther(int open) {
        VariantClear(&openClose);
        openClose.vt = VT_I4;
        openClose.lVal = open;
        if (compartmentSink) compartmentSink->OnChange(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
    }
    int Open() const { return openClose.vt == VT_I4 ? openClose.lVal : -1; }
    STDMETHODIMP GetValue(VARIANT* v) override {
        VariantInit(v);
        return VariantCopy(v, &openClose);
    }
    STDMETHODIMP Activate(TfClientId*) override NI;
    STDMETHODIMP Deactivate() override NI;
    STDMETHODIMP CreateDocumentMgr(ITfDocumentMgr**) override NI;
    STDMETHODIMP EnumDocumentMgrs(IEnumTfDocumentMgrs**) override NI;
    STDMETHODIMP AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) override NI;
    STDMETHODIMP IsThreadFocus(WINBOOL*) override NI;
    STDMETHODIMP GetFunctionProvider(REFCLSID, ITfFunctionProvider**) override NI;
    STDMETHODIMP EnumFunctionProviders(IEnumTfFunctionProviders**) override NI;
    STDMETHODIMP GetGlobalCompartment(ITfCompartmentMgr**) override NI;
    STDMETHODIMP GetForeground(CLSID*) override NI;
    STDMETHODIMP TestKeyDown(WPARAM, LPARAM, WINBOOL*) override NI;
    STDMETHODIMP TestKeyUp(WPARAM, LPARAM, WINBOOL*) override NI;
    STDMETHODIMP KeyDown(WPARAM, LPARAM, WINBOOL*) override NI;
    STDMETHODIMP KeyUp(WPARAM, LPARAM, WINBOOL*) override NI;
    STDMETHODIMP GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY*, GUID*) override NI;
    STDMETHODIMP SetPreservedKeyDescription(REFGUID, const WCHAR*, ULONG) override NI;
    STDMETHODIMP GetPreservedKeyDescription(REFGUID, BSTR*) override NI;
    STDMETHODIMP SimulatePreservedKey(ITfContext*, REFGUID, WINBOOL*) override NI;
    STDMETHODIMP ClearCompartment(TfClientId, REFGUID) override NI;
    STDMETHODIMP EnumCompartments(IEnumGUID**) override NI;

    // A new document with one context (both borrowed), given the focus.
    FakeDocumentMgr* NewFocusedDocument(FakeContext** ctx) {
        documents.push_back(new FakeDocumentMgr(this));
        *ctx = documents.back()->PushNew();
        SetFocus(documents.back());
        return documents.back();
    }

    ITfThreadMgrEventSink* threadSink = nullptr;
    ITfKeyEventSink* keySink = nullptr;
    ITfCompartmentEventSink* compartmentSink = nullptr;
    ITfDocumentMgr* focus = nullptr;
    VARIANT openClose{};
    int openCloseWrites = 0;
    bool echoBeforeStore = false;
    std::vector<FakeDocumentMgr*> documents;  // one reference each
    std::vector<GUID> preserved;
};

inline STDMETHODIMP FakeDocumentMgr::Push(ITfContext* ctx) {
    ctx->AddRef();
    stack.push_back(static_cast<FakeContext*>(ctx));
    if (tm->threadSink) tm->threadSink->OnPushContext(ctx);
    return S_OK;
}

inline STDMETHODIMP FakeDocumentMgr::Pop(DWORD) {
    FakeContext* top = stack.back();
    stack.pop_back();
    if (tm->threadSink) tm->threadSink->OnPopContext(top);
    top->Release();
    return S_OK;
}

#undef NI

}  // namespace tsfkit
