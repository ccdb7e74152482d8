#include "TsFakes.h"

namespace tskeys {

STDMETHODIMP RecordingContext::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfContext))
        *ppv = static_cast<ITfContext*>(this);
    else if (IsEqualIID(riid, IID_ITfInsertAtSelection))
        *ppv = static_cast<ITfInsertAtSelection*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) RecordingContext::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP RecordingContext::RequestEditSession(TfClientId, ITfEditSession* session, DWORD,
                                                  HRESULT* hr) {
    if (refuse) return E_ACCESSDENIED;
    ++sessions;
    *hr = session->DoEditSession(1);
    return S_OK;
}

STDMETHODIMP RecordingContext::InsertTextAtSelection(TfEditCookie, DWORD flags, const WCHAR* text,
                                                     LONG n, ITfRange** range) {
    if (range) *range = nullptr;
    if (flags & TF_IAS_QUERYONLY) return E_NOTIMPL;
    inserted.append(text, static_cast<size_t>(n));
    return S_OK;
}

STDMETHODIMP FakeCompartment::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_ITfCompartment)) return E_NOINTERFACE;
    *ppv = static_cast<ITfCompartment*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeCompartment::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return n;
}

void FakeCompartment::Notify() {
    if (sink) sink->OnChange(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
}

STDMETHODIMP FakeCompartment::SetValue(TfClientId, const VARIANT* v) {
    ++writes;
    if (echo_ == Echo::BeforeStore) Notify();
    VariantCopy(&value_, const_cast<VARIANT*>(v));
    if (echo_ == Echo::AfterStore) Notify();
    return S_OK;
}

void FakeCompartment::External(int open) {
    VariantClear(&value_);
    value_.vt = VT_I4;
    value_.lVal = open;
    Notify();
}

}  // namespace tskeys
