#include "EditSession.h"

#include <new>

#include "NoThrow.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

CEditSession::CEditSession(CTextService* s, ITfContext* c) : service(s), context(c) {
    if (context) context->AddRef();
    if (service) service->AddRef();
}

CEditSession::~CEditSession() {
    if (context) context->Release();
    if (service) service->Release();
}

STDMETHODIMP CEditSession::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfEditSession)) {
        *ppv = static_cast<ITfEditSession*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEditSession::AddRef() { return InterlockedIncrement(&refCount); }

STDMETHODIMP_(ULONG) CEditSession::Release() {
    const LONG n = InterlockedDecrement(&refCount);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP CEditSession::DoEditSession(TfEditCookie ec) {
    return NoThrow([&]() -> HRESULT {
        if (!service) return E_FAIL;
        // A queued session whose document lost the focus meanwhile: the focus change has
        // already dropped that document's input, and its composition is not ours any more.
        if (async && service->context != context) return S_OK;
        return service->Apply(ec, context);
    });
}

HRESULT CTextService::_Sync(ITfContext* ctx) { return _RequestEditSession(ctx, true); }

HRESULT CTextService::_RequestEditSession(ITfContext* ctx, bool allowAsync) {
    if (!ctx) return E_FAIL;
    CEditSession* session = new (std::nothrow) CEditSession(this, ctx);
    if (!session) return E_OUTOFMEMORY;
    HRESULT sessionHr = S_OK;
    HRESULT hr = ctx->RequestEditSession(clientId, session, TF_ES_SYNC | TF_ES_READWRITE, &sessionHr);
    if (hr == TF_E_SYNCHRONOUS && allowAsync) {
        // Outside key handling TSF may refuse a synchronous lock; the queued session brings
        // the document up to date as soon as the application lets it.
        session->async = 1;
        sessionHr = S_OK;
        hr = ctx->RequestEditSession(clientId, session, TF_ES_ASYNC | TF_ES_READWRITE, &sessionHr);
    }
    session->Release();
    if (FAILED(hr)) {
        // No session will take the committed text: drop it rather than let it appear
        // later in front of some other text.
        if (const size_t lost = _DropPendingCommit()) {
            ZlTrace(L"edit session refused hr=0x%08lx: dropped %d committed chars",
                    static_cast<unsigned long>(hr), static_cast<int>(lost));
        }
        return hr;
    }
    return sessionHr;
}

}  // namespace zl
