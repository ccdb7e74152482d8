// A small text store for Wine's real TSF: plain text with one selection, locks granted at
// once, no layout (no GetTextExt, as in many hosts).
#pragma once

#include <windows.h>
#include <msctf.h>
#include <textstor.h>

#include <algorithm>
#include <string>

namespace tsfkit {

#define NI \
    { return E_NOTIMPL; }

class TextStore : public ITextStoreACP {
public:
    TextStore(std::wstring t, LONG caret) : text(std::move(t)), selStart(caret), selEnd(caret) {}
    virtual ~TextStore() {
        if (sink) sink->Release();
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITextStoreACP) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&ref); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&ref);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP AdviseSink(REFIID, IUnknown* punk, DWORD) override {
        return sink ? E_FAIL : punk->QueryInterface(IID_ITextStoreACPSink, reinterpret_cast<void**>(&sink));
    }
    STDMETHODIMP UnadviseSink(IUnknown*) override {
        if (sink) sink->Release();
        sink = nullptr;
        return S_OK;
    }
    STDMETHODIMP RequestLock(DWORD flags, HRESULT* hrSession) override {
        if (lock) return *hrSession = TS_E_SYNCHRONOUS, S_OK;
        lock = flags;
        *hrSession = sink->OnLockGranted(flags & ~TS_LF_SYNC);
        lock = 0;
        return S_OK;
    }
    STDMETHODIMP GetStatus(TS_STATUS* status) override {
        *status = TS_STATUS{0, 0};
        return S_OK;
    }
    STDMETHODIMP GetSelection(ULONG, ULONG, TS_SELECTION_ACP* sel, ULONG* fetched) override {
        *sel = TS_SELECTION_ACP{selStart, selEnd, {TS_AE_END, FALSE}};
        *fetched = 1;
        return lock ? S_OK : TS_E_NOLOCK;
    }
    STDMETHODIMP SetSelection(ULONG, const TS_SELECTION_ACP* sel) override {
        selStart = sel->acpStart;
        selEnd = sel->acpEnd;
        return Writable() ? S_OK : TS_E_NOLOCK;
    }
    STDMETHODIMP GetText(LONG start, LONG end, WCHAR* plain, ULONG req, ULONG* got, TS_RUNINFO* runs, ULONG runReq,
                         ULONG* runsGot, LONG* next) override {
        end = end < 0 ? static_cast<LONG>(text.size()) : std::min<LONG>(end, text.size());
        *got = std::min<ULONG>(req, end - start);
        std::copy_n(text.begin() + start, *got, plain);
        *runsGot = runReq > 0;
        if (runReq > 0) *runs = TS_RUNINFO{*got, TS_RT_PLAIN};
        *next = start + *got;
        return S_OK;
    }
    STDMETHODIMP SetText(DWORD, LONG start, LONG end, const WCHAR* t, ULONG cch, TS_TEXTCHANGE* change) override {
        if (!Writable()) return TS_E_NOLOCK;
        text.replace(start, end - start, t, cch);
        selStart = selEnd = start + cch;
        *change = TS_TEXTCHANGE{start, end, selEnd};
        return S_OK;
    }
    STDMETHODIMP InsertTextAtSelection(DWORD flags, const WCHAR* t, ULONG cch, LONG* start, LONG* end,
                                       TS_TEXTCHANGE* change) override {
        *start = selStart;
        *end = selEnd;
        if (flags & TS_IAS_QUERYONLY) return S_OK;
        if (!Writable()) return TS_E_NOLOCK;
        SetText(0, selStart, selEnd, t, cch, change);
        *end = selEnd;
        return S_OK;
    }
    STDMETHODIMP QueryInsert(LONG start, LONG end, ULONG, LONG* resultStart, LONG* resultEnd) override {
        *resultStart = start;
        *resultEnd = end;
        return S_OK;
    }
    STDMETHODIMP GetEndACP(LONG* acp) override {
        *acp = static_cast<LONG>(text.size());
        return S_OK;
    }
    STDMETHODIMP GetActiveView(TsViewCookie* view) override {
        *view = 1;
        return S_OK;
    }
    STDMETHODIMP GetWnd(TsViewCookie, HWND* wnd) override {
        *wnd = nullptr;
        return S_OK;
    }
    STDMETHODIMP RequestSupportedAttrs(DWORD, ULONG, const TS_ATTRID*) override { return S_OK; }
    STDMETHODIMP RequestAttrsAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) override { return S_OK; }
    STDMETHODIMP RetrieveRequestedAttrs(ULONG, TS_ATTRVAL*, ULONG* fetched) override {
        *fetched = 0;
        return S_OK;
    }
    STDMETHODIMP RequestAttrsTransitioningAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) override NI;
    STDMETHODIMP FindNextAttrTransition(LONG, LONG, ULONG, const TS_ATTRID*, DWORD, LONG*, WINBOOL*, LONG*) override NI;
    STDMETHODIMP GetFormattedText(LONG, LONG, IDataObject**) override NI;
    STDMETHODIMP GetEmbedded(LONG, REFGUID, REFIID, IUnknown**) override NI;
    STDMETHODIMP QueryInsertEmbedded(const GUID*, const FORMATETC*, WINBOOL*) override NI;
    STDMETHODIMP InsertEmbedded(DWORD, LONG, LONG, IDataObject*, TS_TEXTCHANGE*) override NI;
    STDMETHODIMP InsertEmbeddedAtSelection(DWORD, IDataObject*, LONG*, LONG*, TS_TEXTCHANGE*) override NI;
    STDMETHODIMP GetACPFromPoint(TsViewCookie, const POINT*, DWORD, LONG*) override NI;
    STDMETHODIMP GetTextExt(TsViewCookie, LONG, LONG, RECT*, WINBOOL*) override NI;
    STDMETHODIMP GetScreenExt(TsViewCookie, RECT*) override NI;

    std::wstring text;
    LONG selStart, selEnd;

private:
    bool Writable() const { return (lock & TS_LF_READWRITE) == TS_LF_READWRITE; }
    ITextStoreACPSink* sink = nullptr;
    DWORD lock = 0;  // the lock being granted, 0 outside
    volatile LONG ref = 1;
};

#undef NI

}  // namespace tsfkit
