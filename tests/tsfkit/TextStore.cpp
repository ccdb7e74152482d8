#include "TextStore.h"

#include <olectl.h>

#include <algorithm>

namespace tsfkit {

STDMETHODIMP TextStore::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITextStoreACP)) {
        *ppv = static_cast<ITextStoreACP*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP TextStore::AdviseSink(REFIID riid, IUnknown* punk, DWORD) {
    if (!IsEqualIID(riid, IID_ITextStoreACPSink)) return E_INVALIDARG;
    if (sink) return CONNECT_E_ADVISELIMIT;
    return punk->QueryInterface(IID_ITextStoreACPSink, reinterpret_cast<void**>(&sink));
}

STDMETHODIMP TextStore::UnadviseSink(IUnknown*) {
    if (!sink) return CONNECT_E_NOCONNECTION;
    sink->Release();
    sink = nullptr;
    return S_OK;
}

STDMETHODIMP TextStore::RequestLock(DWORD flags, HRESULT* hrSession) {
    if (!sink || !hrSession) return E_FAIL;
    if (lock) {
        *hrSession = TS_E_SYNCHRONOUS;
        return S_OK;
    }
    lock = flags;
    ++locksGranted;
    *hrSession = sink->OnLockGranted(flags & ~TS_LF_SYNC);
    lock = 0;
    return S_OK;
}

STDMETHODIMP TextStore::GetStatus(TS_STATUS* status) {
    status->dwDynamicFlags = 0;
    status->dwStaticFlags = 0;
    return S_OK;
}

STDMETHODIMP TextStore::QueryInsert(LONG start, LONG end, ULONG, LONG* resultStart, LONG* resultEnd) {
    *resultStart = start;
    *resultEnd = end;
    return S_OK;
}

STDMETHODIMP TextStore::GetSelection(ULONG, ULONG count, TS_SELECTION_ACP* sel, ULONG* fetched) {
    if (!lock) return TS_E_NOLOCK;
    if (count < 1) return E_INVALIDARG;
    sel[0].acpStart = selStart;
    sel[0].acpEnd = selEnd;
    sel[0].style.ase = TS_AE_END;
    sel[0].style.fInterimChar = FALSE;
    *fetched = 1;
    return S_OK;
}

STDMETHODIMP TextStore::SetSelection(ULONG count, const TS_SELECTION_ACP* sel) {
    if ((lock & TS_LF_READWRITE) != TS_LF_READWRITE) return TS_E_NOLOCK;
    if (count != 1) return E_INVALIDARG;
    selStart = sel[0].acpStart;
    selEnd = sel[0].acpEnd;
    return S_OK;
}

STDMETHODIMP TextStore::GetText(LONG start, LONG end, WCHAR* plain, ULONG plainReq, ULONG* plainRet,
                                TS_RUNINFO* runs, ULONG runReq, ULONG* runRet, LONG* next) {
    if (!lock) return TS_E_NOLOCK;
    const LONG size = static_cast<LONG>(text.size());
    if (end < 0 || end > size) end = size;
    start = std::clamp<LONG>(start, 0, end);
    const ULONG n = std::min<ULONG>(plainReq, static_cast<ULONG>(end - start));
    if (plain) std::copy_n(text.begin() + start, n, plain);
    if (plainRet) *plainRet = n;
    if (runs && runReq > 0) {
        runs[0].uCount = n;
        runs[0].type = TS_RT_PLAIN;
        if (runRet) *runRet = 1;
    } else if (runRet) {
        *runRet = 0;
    }
    if (next) *next = start + static_cast<LONG>(n);
    return S_OK;
}

STDMETHODIMP TextStore::SetText(DWORD, LONG start, LONG end, const WCHAR* t, ULONG cch, TS_TEXTCHANGE* change) {
    if ((lock & TS_LF_READWRITE) != TS_LF_READWRITE) return TS_E_NOLOCK;
    text.replace(start, end - start, t, cch);
    if (change) *change = TS_TEXTCHANGE{start, end, start + static_cast<LONG>(cch)};
    selStart = selEnd = start + static_cast<LONG>(cch);
    return S_OK;
}

STDMETHODIMP TextStore::InsertTextAtSelection(DWORD flags, const WCHAR* t, ULONG cch, LONG* start, LONG* end,
                                              TS_TEXTCHANGE* change) {
    if (flags & TS_IAS_QUERYONLY) {
        if (start) *start = selStart;
        if (end) *end = selEnd;
        return S_OK;
    }
    if ((lock & TS_LF_READWRITE) != TS_LF_READWRITE) return TS_E_NOLOCK;
    const LONG at = selStart;
    const LONG oldEnd = selEnd;
    text.replace(at, oldEnd - at, t, cch);
    selStart = selEnd = at + static_cast<LONG>(cch);
    if (start) *start = at;
    if (end) *end = selEnd;
    if (change) *change = TS_TEXTCHANGE{at, oldEnd, selEnd};
    return S_OK;
}

STDMETHODIMP TextStore::GetEndACP(LONG* acp) {
    *acp = static_cast<LONG>(text.size());
    return S_OK;
}

STDMETHODIMP TextStore::GetActiveView(TsViewCookie* view) {
    *view = 1;
    return S_OK;
}

STDMETHODIMP TextStore::GetWnd(TsViewCookie, HWND* wnd) {
    *wnd = nullptr;
    return S_OK;
}

}  // namespace tsfkit
