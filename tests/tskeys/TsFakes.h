// Small TSF stand-ins for the key and state tests: a context that runs edit sessions at
// once and records what is inserted, and an open/close compartment that notifies its sink
// the way TSF does (Wine echoes the writer's own change too).
#pragma once

#include <windows.h>
#include <msctf.h>

#include <string>

namespace tskeys {

class RecordingContext : public ITfContext, public ITfInsertAtSelection {
public:
    RecordingContext() = default;
    virtual ~RecordingContext() = default;

    std::wstring inserted;  // every committed text, in order
    std::wstring queried;   // non-empty only if someone inserted with the query flag
    int sessions = 0;
    bool refuse = false;    // RequestEditSession fails, as while the document is locked

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override;
    // ITfContext
    STDMETHODIMP RequestEditSession(TfClientId, ITfEditSession* session, DWORD, HRESULT* hr) override;
    STDMETHODIMP InWriteSession(TfClientId, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSelection(TfEditCookie, ULONG, ULONG, TF_SELECTION*, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP SetSelection(TfEditCookie, ULONG, const TF_SELECTION*) override { return E_NOTIMPL; }
    STDMETHODIMP GetStart(TfEditCookie, ITfRange**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEnd(TfEditCookie, ITfRange**) override { return E_NOTIMPL; }
    STDMETHODIMP GetActiveView(ITfContextView** v) override { *v = nullptr; return E_NOTIMPL; }
    STDMETHODIMP EnumViews(IEnumTfContextViews**) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(TF_STATUS*) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(REFGUID, ITfProperty** p) override { *p = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetAppProperty(REFGUID, ITfReadOnlyProperty**) override { return E_NOTIMPL; }
    STDMETHODIMP TrackProperties(const GUID**, ULONG, const GUID**, ULONG, ITfReadOnlyProperty**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumProperties(IEnumTfProperties**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override { return E_NOTIMPL; }
    // ITfInsertAtSelection: committed text is recorded; a query for the selection (the
    // start of a composition) is refused, so the typed code stays in the engine only.
    STDMETHODIMP InsertTextAtSelection(TfEditCookie, DWORD flags, const WCHAR* text, LONG n,
                                       ITfRange** range) override;
    STDMETHODIMP InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*, ITfRange**) override {
        return E_NOTIMPL;
    }

private:
    volatile LONG refs_ = 1;
};

class FakeCompartment : public ITfCompartment {
public:
    enum class Echo { None, AfterStore, BeforeStore };
    explicit FakeCompartment(Echo echo) : echo_(echo) {}
    virtual ~FakeCompartment() { VariantClear(&value_); }

    ITfCompartmentEventSink* sink = nullptr;  // not counted: the test owns both
    int writes = 0;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP SetValue(TfClientId, const VARIANT* v) override;
    STDMETHODIMP GetValue(VARIANT* v) override { return VariantCopy(v, &value_); }

    // Another writer (the system, another text service) changes the value.
    void External(int open);
    int Open() const { return value_.vt == VT_I4 ? value_.lVal : -1; }

private:
    void Notify();
    Echo echo_;
    VARIANT value_{};
    volatile LONG refs_ = 1;
};

}  // namespace tskeys
