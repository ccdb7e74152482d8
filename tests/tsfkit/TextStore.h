// A small text store for Wine's real TSF: plain text with one selection, locks granted
// at once, no layout (GetTextExt is not implemented, as in many hosts).
#pragma once

#include <windows.h>
#include <msctf.h>
#include <textstor.h>

#include <string>

namespace tsfkit {

class TextStore : public ITextStoreACP {
public:
    TextStore(std::wstring text, LONG caret) : text(std::move(text)), selStart(caret), selEnd(caret) {}
    virtual ~TextStore() {
        if (sink) sink->Release();
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&ref); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&ref);
        if (n == 0) delete this;
        return n;
    }

    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* punk, DWORD mask) override;
    STDMETHODIMP UnadviseSink(IUnknown* punk) override;
    STDMETHODIMP RequestLock(DWORD flags, HRESULT* hrSession) override;
    STDMETHODIMP GetStatus(TS_STATUS* status) override;
    STDMETHODIMP QueryInsert(LONG start, LONG end, ULONG, LONG* resultStart, LONG* resultEnd) override;
    STDMETHODIMP GetSelection(ULONG index, ULONG count, TS_SELECTION_ACP* sel, ULONG* fetched) override;
    STDMETHODIMP SetSelection(ULONG count, const TS_SELECTION_ACP* sel) override;
    STDMETHODIMP GetText(LONG start, LONG end, WCHAR* plain, ULONG plainReq, ULONG* plainRet, TS_RUNINFO* runs,
                         ULONG runReq, ULONG* runRet, LONG* next) override;
    STDMETHODIMP SetText(DWORD, LONG start, LONG end, const WCHAR* t, ULONG cch, TS_TEXTCHANGE* change) override;
    STDMETHODIMP GetFormattedText(LONG, LONG, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEmbedded(LONG, REFGUID, REFIID, IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryInsertEmbedded(const GUID*, const FORMATETC*, WINBOOL* ok) override {
        if (ok) *ok = FALSE;
        return S_OK;
    }
    STDMETHODIMP InsertEmbedded(DWORD, LONG, LONG, IDataObject*, TS_TEXTCHANGE*) override { return E_NOTIMPL; }
    STDMETHODIMP InsertTextAtSelection(DWORD flags, const WCHAR* t, ULONG cch, LONG* start, LONG* end,
                                       TS_TEXTCHANGE* change) override;
    STDMETHODIMP InsertEmbeddedAtSelection(DWORD, IDataObject*, LONG*, LONG*, TS_TEXTCHANGE*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RequestSupportedAttrs(DWORD, ULONG, const TS_ATTRID*) override { return S_OK; }
    STDMETHODIMP RequestAttrsAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) override { return S_OK; }
    STDMETHODIMP RequestAttrsTransitioningAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) override { return S_OK; }
    STDMETHODIMP FindNextAttrTransition(LONG, LONG, ULONG, const TS_ATTRID*, DWORD, LONG*, WINBOOL*, LONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RetrieveRequestedAttrs(ULONG, TS_ATTRVAL*, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        return S_OK;
    }
    STDMETHODIMP GetEndACP(LONG* acp) override;
    STDMETHODIMP GetActiveView(TsViewCookie* view) override;
    STDMETHODIMP GetACPFromPoint(TsViewCookie, const POINT*, DWORD, LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTextExt(TsViewCookie, LONG, LONG, RECT*, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetScreenExt(TsViewCookie, RECT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetWnd(TsViewCookie, HWND* wnd) override;

    std::wstring text;
    LONG selStart, selEnd;
    ITextStoreACPSink* sink = nullptr;
    DWORD lock = 0;  // the lock being granted, 0 outside
    int locksGranted = 0;

private:
    volatile LONG ref = 1;
};

}  // namespace tsfkit
