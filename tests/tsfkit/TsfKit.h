// Fake TSF objects for the text service's tests: a thread manager (with its source,
// keystroke and compartment managers), document managers, contexts over a plain text
// model, ranges, compositions, the display-attribute property, views and the open/close
// compartment. Every fake counts its references and its live instances by kind, so a
// test can tell whether the service released all it took.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

// Missing from mingw-w64's msctf.h: TSF reports these with the text store's codes.
#ifndef TF_S_ASYNC
#define TF_S_ASYNC TS_S_ASYNC
#endif

namespace tsfkit {

// Live instances per kind ("range", "composition", "property", "view", ...).
std::map<std::string, int>& Live();
int LiveCount(const char* kind);

class Counted {
public:
    explicit Counted(const char* kind) : kind_(kind) { ++Live()[kind_]; }
    virtual ~Counted() { --Live()[kind_]; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    LONG Refs() const { return ref; }

protected:
    volatile LONG ref = 1;

private:
    std::string kind_;
};

#define TSFKIT_REFCOUNT                                                           \
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&ref); } \
    STDMETHODIMP_(ULONG) Release() override {                                     \
        const LONG n = InterlockedDecrement(&ref);                                \
        if (n == 0) delete this;                                                  \
        return n;                                                                 \
    }

class FakeContext;
class FakeThreadMgr;

class FakeCompartment : public Counted, public ITfCompartment, public ITfSource {
public:
    FakeCompartment() : Counted("compartment") { VariantInit(&value); }
    ~FakeCompartment() override { VariantClear(&value); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP SetValue(TfClientId tid, const VARIANT* v) override;
    STDMETHODIMP GetValue(VARIANT* v) override;
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* punk, DWORD* cookie) override;
    STDMETHODIMP UnadviseSink(DWORD cookie) override;

    VARIANT value;
    ITfCompartmentEventSink* sink = nullptr;
};

class FakeRange : public Counted, public ITfRange {
public:
    FakeRange(FakeContext* ctx, LONG start, LONG end);
    ~FakeRange() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP GetText(TfEditCookie, DWORD, WCHAR* text, ULONG max, ULONG* got) override;
    STDMETHODIMP SetText(TfEditCookie, DWORD, const WCHAR* text, LONG cch) override;
    STDMETHODIMP GetFormattedText(TfEditCookie, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP InsertEmbedded(TfEditCookie, DWORD, IDataObject*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftStart(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftEnd(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftStartToRange(TfEditCookie, ITfRange*, TfAnchor) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftEndToRange(TfEditCookie, ITfRange*, TfAnchor) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP IsEmpty(TfEditCookie, WINBOOL* empty) override;
    STDMETHODIMP Collapse(TfEditCookie, TfAnchor anchor) override;
    STDMETHODIMP IsEqualStart(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqualEnd(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP CompareStart(TfEditCookie, ITfRange*, TfAnchor, LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP CompareEnd(TfEditCookie, ITfRange*, TfAnchor, LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustForInsert(TfEditCookie, ULONG, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetGravity(TfGravity*, TfGravity*) override { return E_NOTIMPL; }
    STDMETHODIMP SetGravity(TfEditCookie, TfGravity, TfGravity) override { return E_NOTIMPL; }
    STDMETHODIMP Clone(ITfRange** clone) override;
    STDMETHODIMP GetContext(ITfContext** ctx) override;

    FakeContext* ctx;
    LONG start, end;
};

class FakeComposition : public Counted, public ITfComposition {
public:
    FakeComposition(FakeContext* ctx, LONG start, LONG end, ITfCompositionSink* sink);
    ~FakeComposition() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP GetRange(ITfRange** range) override;
    STDMETHODIMP ShiftStart(TfEditCookie, ITfRange*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftEnd(TfEditCookie, ITfRange*) override { return E_NOTIMPL; }
    STDMETHODIMP EndComposition(TfEditCookie ec) override;

    FakeContext* ctx;
    LONG start, end;
    ITfCompositionSink* sink;
    bool ended = false;
};

class FakeProperty : public Counted, public ITfProperty {
public:
    explicit FakeProperty(FakeContext* ctx);
    ~FakeProperty() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP GetType(GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) override { return E_NOTIMPL; }
    STDMETHODIMP GetValue(TfEditCookie, ITfRange*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetContext(ITfContext**) override { return E_NOTIMPL; }
    STDMETHODIMP FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) override { return E_NOTIMPL; }
    STDMETHODIMP SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) override { return E_NOTIMPL; }
    STDMETHODIMP SetValue(TfEditCookie, ITfRange*, const VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Clear(TfEditCookie, ITfRange* range) override;

    FakeContext* ctx;
};

class FakeView : public Counted, public ITfContextView {
public:
    explicit FakeView(FakeContext* ctx);
    ~FakeView() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP GetRangeFromPoint(TfEditCookie, const POINT*, DWORD, ITfRange**) override { return E_NOTIMPL; }
    STDMETHODIMP GetTextExt(TfEditCookie, ITfRange* range, RECT* rect, WINBOOL* clipped) override;
    STDMETHODIMP GetScreenExt(RECT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetWnd(HWND*) override { return E_NOTIMPL; }

    FakeContext* ctx;
};

class FakeDocumentMgr;

// One document: text with a selection, at most one composition.
class FakeContext : public Counted,
                    public ITfContext,
                    public ITfInsertAtSelection,
                    public ITfContextComposition {
public:
    explicit FakeContext(FakeDocumentMgr* doc);
    ~FakeContext() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT

    // ITfContext
    STDMETHODIMP RequestEditSession(TfClientId tid, ITfEditSession* es, DWORD flags, HRESULT* hrSession) override;
    STDMETHODIMP InWriteSession(TfClientId, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSelection(TfEditCookie, ULONG index, ULONG count, TF_SELECTION* sel, ULONG* fetched) override;
    STDMETHODIMP SetSelection(TfEditCookie, ULONG count, const TF_SELECTION* sel) override;
    STDMETHODIMP GetStart(TfEditCookie, ITfRange**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEnd(TfEditCookie, ITfRange**) override { return E_NOTIMPL; }
    STDMETHODIMP GetActiveView(ITfContextView** view) override;
    STDMETHODIMP EnumViews(IEnumTfContextViews**) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(TF_STATUS*) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(REFGUID guid, ITfProperty** prop) override;
    STDMETHODIMP GetAppProperty(REFGUID, ITfReadOnlyProperty**) override { return E_NOTIMPL; }
    STDMETHODIMP TrackProperties(const GUID**, ULONG, const GUID**, ULONG, ITfReadOnlyProperty**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumProperties(IEnumTfProperties**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr** dm) override;
    STDMETHODIMP CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override { return E_NOTIMPL; }

    // ITfInsertAtSelection
    STDMETHODIMP InsertTextAtSelection(TfEditCookie, DWORD flags, const WCHAR* text, LONG cch,
                                       ITfRange** range) override;
    STDMETHODIMP InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*, ITfRange**) override {
        return E_NOTIMPL;
    }

    // ITfContextComposition
    STDMETHODIMP StartComposition(TfEditCookie, ITfRange* range, ITfCompositionSink* sink,
                                  ITfComposition** composition) override;
    STDMETHODIMP EnumCompositions(IEnumITfCompositionView**) override { return E_NOTIMPL; }
    STDMETHODIMP FindComposition(TfEditCookie, ITfRange*, IEnumITfCompositionView**) override { return E_NOTIMPL; }
    STDMETHODIMP TakeOwnership(TfEditCookie, ITfCompositionView*, ITfCompositionSink*, ITfComposition**) override {
        return E_NOTIMPL;
    }

    // Test side.
    void Replace(LONG start, LONG end, const std::wstring& text);
    // Runs the sessions queued asynchronously; returns how many ran.
    int RunQueued();
    // The application ends the composition (for instance on a click elsewhere).
    void TerminateComposition();
    std::wstring CompositionText() const;

    static constexpr TfEditCookie kCookie = 7;
    FakeDocumentMgr* doc;  // not owned
    std::wstring text;
    LONG selStart = 0, selEnd = 0;
    FakeComposition* active = nullptr;  // not owned
    std::deque<ITfEditSession*> queued;
    bool inSession = false;
    int attributeClears = 0;
    int compositionsStarted = 0;
    // Behaviour switches.
    bool refuseSync = false;            // synchronous requests give TF_E_SYNCHRONOUS
    bool refuseAll = false;             // every request fails
    bool noCompositions = false;        // StartComposition fails, as on Wine
    bool noView = false;                // GetActiveView fails
    bool failInsert = false;            // InsertTextAtSelection (not query-only) fails
    bool failRangeSetText = false;      // ITfRange::SetText fails
    bool notifyOwnEnd = false;          // EndComposition also notifies the owner's sink
    HRESULT textExtResult = S_OK;
    RECT textExt{100, 200, 110, 220};
};

class FakeDocumentMgr : public Counted, public ITfDocumentMgr {
public:
    explicit FakeDocumentMgr(FakeThreadMgr* tm) : Counted("document"), tm(tm) {}
    ~FakeDocumentMgr() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT
    STDMETHODIMP CreateContext(TfClientId, DWORD, IUnknown*, ITfContext** ctx, TfEditCookie* ec) override;
    STDMETHODIMP Push(ITfContext* ctx) override;
    STDMETHODIMP Pop(DWORD flags) override;
    STDMETHODIMP GetTop(ITfContext** ctx) override;
    STDMETHODIMP GetBase(ITfContext** ctx) override;
    STDMETHODIMP EnumContexts(IEnumTfContexts**) override { return E_NOTIMPL; }

    // Creates a fake context and pushes it; the returned pointer is borrowed.
    FakeContext* PushNew();

    FakeThreadMgr* tm;  // not owned
    std::vector<FakeContext*> stack;
};

class FakeThreadMgr : public Counted,
                      public ITfThreadMgr,
                      public ITfSource,
                      public ITfKeystrokeMgr,
                      public ITfCompartmentMgr {
public:
    FakeThreadMgr();
    ~FakeThreadMgr() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    TSFKIT_REFCOUNT

    // ITfThreadMgr
    STDMETHODIMP Activate(TfClientId* tid) override;
    STDMETHODIMP Deactivate() override { return S_OK; }
    STDMETHODIMP CreateDocumentMgr(ITfDocumentMgr** dm) override;
    STDMETHODIMP EnumDocumentMgrs(IEnumTfDocumentMgrs**) override { return E_NOTIMPL; }
    STDMETHODIMP GetFocus(ITfDocumentMgr** dm) override;
    STDMETHODIMP SetFocus(ITfDocumentMgr* dm) override;
    STDMETHODIMP AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) override { return E_NOTIMPL; }
    STDMETHODIMP IsThreadFocus(WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetFunctionProvider(REFCLSID, ITfFunctionProvider**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFunctionProviders(IEnumTfFunctionProviders**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGlobalCompartment(ITfCompartmentMgr**) override { return E_NOTIMPL; }

    // ITfSource
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* punk, DWORD* cookie) override;
    STDMETHODIMP UnadviseSink(DWORD cookie) override;

    // ITfKeystrokeMgr
    STDMETHODIMP AdviseKeyEventSink(TfClientId tid, ITfKeyEventSink* sink, WINBOOL fg) override;
    STDMETHODIMP UnadviseKeyEventSink(TfClientId tid) override;
    STDMETHODIMP GetForeground(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP TestKeyDown(WPARAM, LPARAM, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP TestKeyUp(WPARAM, LPARAM, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP KeyDown(WPARAM, LPARAM, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP KeyUp(WPARAM, LPARAM, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY*, GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsPreservedKey(REFGUID guid, const TF_PRESERVEDKEY* key, WINBOOL* registered) override;
    STDMETHODIMP PreserveKey(TfClientId, REFGUID guid, const TF_PRESERVEDKEY* key, const WCHAR*, ULONG) override;
    STDMETHODIMP UnpreserveKey(REFGUID guid, const TF_PRESERVEDKEY* key) override;
    STDMETHODIMP SetPreservedKeyDescription(REFGUID, const WCHAR*, ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetPreservedKeyDescription(REFGUID, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SimulatePreservedKey(ITfContext*, REFGUID, WINBOOL*) override { return E_NOTIMPL; }

    // ITfCompartmentMgr
    STDMETHODIMP GetCompartment(REFGUID guid, ITfCompartment** comp) override;
    STDMETHODIMP ClearCompartment(TfClientId, REFGUID) override { return E_NOTIMPL; }
    STDMETHODIMP EnumCompartments(IEnumGUID**) override { return E_NOTIMPL; }

    // Creates a document with one context and gives it the focus; borrowed pointers.
    FakeDocumentMgr* NewFocusedDocument(FakeContext** ctx = nullptr);

    ITfThreadMgrEventSink* threadSink = nullptr;
    ITfKeyEventSink* keySink = nullptr;
    ITfDocumentMgr* focus = nullptr;
    FakeCompartment* openClose = nullptr;
    std::vector<FakeDocumentMgr*> documents;  // one reference each
    std::vector<std::pair<GUID, TF_PRESERVEDKEY>> preserved;
};

}  // namespace tsfkit
