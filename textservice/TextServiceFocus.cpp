// Thread-manager events (document focus, context stack) and the sinks' installation.
#include "ComRelease.h"
#include "Guids.h"
#include "NoThrow.h"
#include "TextService.h"

namespace zl {

namespace {

// Whether context lives in document (its document manager is that one).
bool ContextOf(ITfContext* context, ITfDocumentMgr* document) {
    if (!context || !document) return false;
    ITfDocumentMgr* owner = nullptr;
    if (FAILED(context->GetDocumentMgr(&owner)) || !owner) return false;
    const bool same = owner == document;
    owner->Release();
    return same;
}

}  // namespace

STDMETHODIMP CTextService::OnInitDocumentMgr(ITfDocumentMgr*) { return S_OK; }

STDMETHODIMP CTextService::OnUninitDocumentMgr(ITfDocumentMgr* dim) {
    if (dim && dim == documentMgr) ReleaseAndClear(documentMgr);
    return S_OK;
}

STDMETHODIMP CTextService::OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr*) {
    return NoThrow([&]() -> HRESULT {
        if (!focus) {
            _LeaveDocument();
            // Out of memory while saving must not keep the context it leaves.
            NoThrowCall([&] { engine.SaveUser(); });
            ReleaseAndClear(context);
            return S_OK;
        }
        if (focus == documentMgr && context) return S_OK;  // nothing moved
        // The typed code belongs to the document that loses the focus; so does text still
        // waiting for a queued session there, which would otherwise open the next document.
        if (composition || !engine.code.empty())
            _LeaveDocument();
        else
            _DropPendingCommit();
        ReleaseAndClear(composition);
        // A document without a context yet gets one pushed later; until then no session may
        // go to the old document's context (a symbol would land in the window left behind).
        ReleaseAndClear(context);
        ITfContext* top = nullptr;
        if (SUCCEEDED(focus->GetTop(&top))) context = top;
        focus->AddRef();
        ReleaseAndClear(documentMgr);
        documentMgr = focus;
        return S_OK;
    });
}

STDMETHODIMP CTextService::OnPushContext(ITfContext* pushed) {
    // Another document's stack is none of ours: its context must not take our sessions.
    if (pushed && ContextOf(pushed, documentMgr)) _AdoptContext(pushed);
    return S_OK;
}

STDMETHODIMP CTextService::OnPopContext(ITfContext* popped) {
    if (!popped || popped != context) return S_OK;
    // Our context is going away: whatever was typed into it goes with it.
    if (composition || !engine.code.empty()) {
        engine.Clear();
        _HideCandidate();
    }
    ReleaseAndClear(composition);
    ReleaseAndClear(context);
    ITfContext* top = nullptr;
    if (documentMgr && SUCCEEDED(documentMgr->GetTop(&top)) && top) {
        if (top != popped) {
            context = top;
        } else {
            top->Release();
        }
    }
    return S_OK;
}

void CTextService::_AdoptContext(ITfContext* ctx) {
    if (ctx == context) return;
    ctx->AddRef();
    ReleaseAndClear(context);
    context = ctx;
}

void CTextService::_LeaveDocument() {
    engine.Clear();
    _DropPendingCommit();
    _HideCandidate();
    // Erase the typed code while TSF still lets us edit that document; it may refuse
    // during a focus change, and a session queued for later would find another document.
    if (composition && context) _RequestEditSession(context, false);
    ReleaseAndClear(composition);
}

bool CTextService::_InitThreadMgrEventSink() {
    if (!threadMgr) return false;
    ITfSource* source = nullptr;
    if (FAILED(threadMgr->QueryInterface(IID_ITfSource, reinterpret_cast<void**>(&source))) || !source)
        return false;
    const HRESULT hr = source->AdviseSink(IID_ITfThreadMgrEventSink,
                                          static_cast<ITfThreadMgrEventSink*>(this), &threadMgrCookie);
    source->Release();
    return SUCCEEDED(hr);
}

void CTextService::_UninitThreadMgrEventSink() {
    if (!threadMgr || threadMgrCookie == TF_INVALID_COOKIE) return;
    ITfSource* source = nullptr;
    if (SUCCEEDED(threadMgr->QueryInterface(IID_ITfSource, reinterpret_cast<void**>(&source))) && source) {
        source->UnadviseSink(threadMgrCookie);
        source->Release();
    }
    threadMgrCookie = TF_INVALID_COOKIE;
}

bool CTextService::_InitKeyEventSink() {
    if (!threadMgr) return false;
    ITfKeystrokeMgr* km = nullptr;
    if (FAILED(threadMgr->QueryInterface(IID_ITfKeystrokeMgr, reinterpret_cast<void**>(&km))) || !km)
        return false;
    const HRESULT hr = km->AdviseKeyEventSink(clientId, static_cast<ITfKeyEventSink*>(this), TRUE);
    km->Release();
    _SyncPreservedKey();
    return SUCCEEDED(hr);
}

void CTextService::_UninitKeyEventSink() {
    if (!threadMgr) return;
    ITfKeystrokeMgr* km = nullptr;
    if (FAILED(threadMgr->QueryInterface(IID_ITfKeystrokeMgr, reinterpret_cast<void**>(&km))) || !km)
        return;
    km->UnadviseKeyEventSink(clientId);
    // A preserved key left behind would keep firing into a deactivated service.
    if (ctrlSpacePreserved) {
        TF_PRESERVEDKEY key{VK_SPACE, TF_MOD_CONTROL};
        km->UnpreserveKey(GUID_ZLKeyCtrlSpace, &key);
        ctrlSpacePreserved = 0;
    }
    km->Release();
}

}  // namespace zl
