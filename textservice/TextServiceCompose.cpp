// Apply: committed text into the document, the typed code as the composition, and the
// candidate window below the caret. Valid only inside an edit session.
#include "Seams.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

namespace {

// Collapses range to its end and makes it the one selection.
void CaretAfter(TfEditCookie ec, ITfContext* context, ITfRange* range) {
    range->Collapse(ec, TF_ANCHOR_END);
    TF_SELECTION sel{};
    sel.range = range;
    sel.style.ase = TF_AE_NONE;
    sel.style.fInterimChar = FALSE;
    context->SetSelection(ec, 1, &sel);
}

}  // namespace

HRESULT CTextService::Apply(TfEditCookie ec, ITfContext* ctx) {
    if (!ctx) return E_INVALIDARG;
    HRESULT result = S_OK;
    std::wstring text;
    if (engine.TakeCommit(text)) {
        if (cancelBeforeCommit) {
            cancelBeforeCommit = 0;
            _CancelComposition(ec, ctx);
        }
        bool written = false;
        if (composition) {
            ITfRange* range = nullptr;
            if (SUCCEEDED(composition->GetRange(&range)) && range) {
                if (SUCCEEDED(range->SetText(ec, 0, text.c_str(), static_cast<LONG>(text.size())))) {
                    _SetAttribute(ec, ctx, range, true);
                    CaretAfter(ec, ctx, range);
                    written = true;
                }
                range->Release();
            }
            if (written) _EndComposition(ec, ctx);
        }
        if (!written) {
            _EndComposition(ec, ctx);
            ITfInsertAtSelection* ias = nullptr;
            HRESULT hr = ctx->QueryInterface(IID_ITfInsertAtSelection, reinterpret_cast<void**>(&ias));
            if (SUCCEEDED(hr) && ias) {
                ITfRange* range = nullptr;
                hr = ias->InsertTextAtSelection(ec, 0, text.c_str(), static_cast<LONG>(text.size()),
                                                &range);
                if (SUCCEEDED(hr) && range) {
                    _SetAttribute(ec, ctx, range, true);
                    CaretAfter(ec, ctx, range);
                    written = true;
                }
                if (range) range->Release();
                ias->Release();
            }
            if (!written) {
                // Callers (symbol insertion) fall back on this; the text itself is gone.
                engine.dquoteOpen = writtenDquoteOpen != 0;
                engine.squoteOpen = writtenSquoteOpen != 0;
                result = FAILED(hr) ? hr : E_FAIL;
                ZlTrace(L"commit not written hr=0x%08lx len=%d", static_cast<unsigned long>(result),
                        static_cast<int>(text.size()));
            }
        }
    } else if (engine.code.empty()) {
        if (composition) _CancelComposition(ec, ctx);
    }
    // Nothing is pending any more: the document has every quote typed so far.
    writtenDquoteOpen = engine.dquoteOpen ? 1 : 0;
    writtenSquoteOpen = engine.squoteOpen ? 1 : 0;

    if (engine.code.empty()) {
        _EndComposition(ec, ctx);
        _HideCandidate();
        return result;
    }
    if (!engine.shownCode.empty()) _UpdateComposition(ec, ctx);
    if (engine.candidates.empty()) {
        _HideCandidate();
    } else {
        _ShowCandidate(ctx, ec);
    }
    return result;
}

HRESULT CTextService::_UpdateComposition(TfEditCookie ec, ITfContext* ctx) {
    if (engine.shownCode.empty()) return S_OK;
    if (!ctx) return E_INVALIDARG;
    if (!composition) {
        ITfInsertAtSelection* ias = nullptr;
        if (FAILED(ctx->QueryInterface(IID_ITfInsertAtSelection, reinterpret_cast<void**>(&ias))) || !ias)
            return E_FAIL;
        ITfRange* range = nullptr;
        HRESULT hr = ias->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, &range);
        ias->Release();
        if (FAILED(hr)) {
            if (range) range->Release();
            return hr;
        }
        if (!range) return E_FAIL;
        ITfContextComposition* cc = nullptr;
        if (FAILED(ctx->QueryInterface(IID_ITfContextComposition, reinterpret_cast<void**>(&cc))) || !cc) {
            range->Release();
            return E_FAIL;
        }
        hr = cc->StartComposition(ec, range, static_cast<ITfCompositionSink*>(this), &composition);
        cc->Release();
        range->Release();
        if (FAILED(hr)) {
            if (composition) {
                composition->Release();
                composition = nullptr;
            }
            return hr;
        }
        if (!composition) return E_FAIL;
    }
    ITfRange* range = nullptr;
    if (FAILED(composition->GetRange(&range)) || !range) return E_FAIL;
    const HRESULT hr =
        range->SetText(ec, 0, engine.shownCode.c_str(), static_cast<LONG>(engine.shownCode.size()));
    if (SUCCEEDED(hr)) _SetAttribute(ec, ctx, range, false);
    range->Release();
    return hr;
}

HRESULT CTextService::_EndComposition(TfEditCookie ec, ITfContext* ctx) {
    if (!composition) return S_OK;
    endingComposition = 1;
    ITfRange* range = nullptr;
    if (SUCCEEDED(composition->GetRange(&range)) && range) {
        _SetAttribute(ec, ctx, range, true);
        range->Release();
    }
    composition->EndComposition(ec);
    // The terminate notification may already have dropped it.
    if (composition) {
        composition->Release();
        composition = nullptr;
    }
    endingComposition = 0;
    return S_OK;
}

HRESULT CTextService::_CancelComposition(TfEditCookie ec, ITfContext* ctx) {
    if (!composition) return S_OK;
    ITfRange* range = nullptr;
    if (SUCCEEDED(composition->GetRange(&range)) && range) {
        range->SetText(ec, 0, L"", 0);
        if (ctx) CaretAfter(ec, ctx, range);
        range->Release();
    }
    return _EndComposition(ec, ctx);
}

HRESULT CTextService::_SetAttribute(TfEditCookie ec, ITfContext* ctx, ITfRange* range, bool clear) {
    if (!ctx) return E_FAIL;
    ITfProperty* prop = nullptr;
    if (FAILED(ctx->GetProperty(GUID_PROP_ATTRIBUTE, &prop)) || !prop) return E_FAIL;
    const HRESULT hr = clear ? prop->Clear(ec, range) : S_OK;
    prop->Release();
    return hr;
}

STDMETHODIMP CTextService::OnCompositionTerminated(TfEditCookie ecWrite, ITfComposition* terminated) {
    if (terminated && terminated == composition) {
        composition->Release();
        composition = nullptr;
        if (endingComposition) return S_OK;
    } else {
        if (endingComposition) return S_OK;
        if (!terminated) {
            engine.Clear();
            _HideCandidate();
            return S_OK;
        }
    }
    ITfRange* range = nullptr;
    if (SUCCEEDED(terminated->GetRange(&range)) && range) {
        range->SetText(ecWrite, 0, L"", 0);
        range->Release();
    }
    engine.Clear();
    _HideCandidate();
    return S_OK;
}

void CTextService::_ShowCandidate(ITfContext* ctx, TfEditCookie ec) {
    if (engine.code.empty() || engine.candidates.empty()) {
        _HideCandidate();
        return;
    }
    POINT pt{0, 0};
    bool placed = false;
    ITfContextView* view = nullptr;
    if (ctx && SUCCEEDED(ctx->GetActiveView(&view)) && view) {
        ITfRange* range = nullptr;
        if (composition && (FAILED(composition->GetRange(&range)) || !range)) range = nullptr;
        if (!range) {
            TF_SELECTION sel{};
            ULONG fetched = 0;
            if (SUCCEEDED(ctx->GetSelection(ec, TF_DEFAULT_SELECTION, 1, &sel, &fetched)) && fetched == 1) {
                range = sel.range;
            } else if (sel.range) {
                sel.range->Release();
            }
        }
        if (range) {
            RECT rc{};
            BOOL clipped = FALSE;
            if (SUCCEEDED(view->GetTextExt(ec, range, &rc, &clipped))) {
                pt = POINT{rc.left, rc.bottom + 2};
                placed = pt.x != 0 || pt.y != 0;
            }
            range->Release();
        }
        view->Release();
    }
    if (!placed) {
        POINT cursor{};
        pt = TheSeams().cursorPos(&cursor) ? POINT{cursor.x, cursor.y + 8} : POINT{0, 0};
    }
    CandShow s;
    s.list = &engine.candidates;
    s.page = engine.page;
    s.pageSize = static_cast<uint64_t>(static_cast<int64_t>(config.pageSize));
    s.x = pt.x;
    s.y = pt.y;
    s.fontPx = static_cast<uint32_t>(config.fontSize);
    s.showCode = config.showCode != 0;
    s.horizontal = config.vertical == 0;
    s.showPageIndicator = config.showHint != 0;
    s.selected = selectedIndex;
    candWindow.Show(s);
}

void CTextService::_HideCandidate() { candWindow.Hide(); }

void CTextService::_CommitNow(const std::wstring& text) { engine.commit += text; }

size_t CTextService::_DropPendingCommit() {
    cancelBeforeCommit = 0;
    std::wstring dropped;
    if (!engine.TakeCommit(dropped)) return 0;
    engine.dquoteOpen = writtenDquoteOpen != 0;
    engine.squoteOpen = writtenSquoteOpen != 0;
    return dropped.size();
}

}  // namespace zl
