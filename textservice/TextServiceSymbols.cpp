// Symbol insertion: through an edit session in strict hosts, else as Unicode keystrokes.
#include "Seams.h"
#include "SymbolRoad.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

namespace {

constexpr HRESULT kDisconnected = static_cast<HRESULT>(0x80040208);  // TF_E_DISCONNECTED

unsigned long Hex(HRESULT hr) { return static_cast<unsigned long>(hr); }

}  // namespace

void CTextService::_InsertSymbol(const std::wstring& text) {
    if (text.empty()) return;
    try {
        HWND bar = statusBar.hwnd;
        HWND panel = symbolPanel.hwnd;
        HWND front = TheSeams().foregroundWindow();
        HWND target = front;
        if (!target || target == bar || target == panel) target = symbolTarget;
        if (!target) {
            if (!engine.code.empty()) {
                engine.Clear();
                candWindow.Hide();
                if (context) _Sync(context);
            }
            return;
        }
        bool hadComposition = false;
        if (!engine.code.empty() || composition) {
            hadComposition = true;
            engine.Clear();
            candWindow.Hide();
        }
        if (IsStrictTsfHost(target) || ForceTsfSymbol()) {
            bool refocused = false;
            const HRESULT hr = _CommitSymbolTsf(text, hadComposition, &refocused);
            ZlTrace(L"symbol via TSF hr=0x%08lx hadComp=%d refocus=%d", Hex(hr), hadComposition ? 1 : 0,
                    refocused ? 1 : 0);
            if (SUCCEEDED(hr)) return;
            ZlTrace(L"symbol TSF failed -> SendInput fallback (strict host may drop it)");
        }
        if (hadComposition && context) _Sync(context);
        // Keystrokes go to the foreground window: give it back to the application first.
        if (target != front && IsWindow(target)) SetForegroundWindow(target);
        ZlTrace(L"symbol via SendInput len=%d", static_cast<int>(text.size()));
        SendUnicodeText(text);
    } catch (...) {
        ZlTrace(L"symbol: out of memory");
    }
}

HRESULT CTextService::_CommitSymbolTsf(const std::wstring& text, bool hadComposition, bool* refocused) {
    if (refocused) *refocused = false;
    if (SymbolSimDrop() && threadMgr) {
        threadMgr->SetFocus(nullptr);
        ZlTrace(L"symbol sim drop focus");
    }
    ITfContext* ctx = _AcquireFocusContext();
    if (!ctx && context) {
        ctx = context;
        ctx->AddRef();
    }
    if (!ctx) return E_FAIL;

    // Synchronous sessions only: a queued one could land after the keystroke fallback,
    // or with the next typed text.
    engine.commit += text;
    cancelBeforeCommit = hadComposition ? 1 : 0;
    const HRESULT hr = _RequestEditSession(ctx, false);
    if (SUCCEEDED(hr)) {
        ctx->Release();
        return hr;
    }
    if (documentMgr && threadMgr) {
        const HRESULT hrFocus = threadMgr->SetFocus(documentMgr);
        ITfContext* ctx2 = nullptr;
        HRESULT hrTop = documentMgr->GetTop(&ctx2);
        if (FAILED(hrTop) || !ctx2) {
            if (ctx2) ctx2->Release();
            ctx2 = _AcquireFocusContext();
            hrTop = ctx2 ? S_OK : E_FAIL;
        }
        ZlTrace(L"symbol refocus hr=0x%08lx gettop=0x%08lx (sync=0x%08lx disconnected=%d same=%d)", Hex(hrFocus),
                Hex(hrTop), Hex(hr), hr == kDisconnected ? 1 : 0, ctx2 == ctx ? 1 : 0);
        if (SUCCEEDED(hrFocus) && ctx2) {
            if (refocused) *refocused = true;
            // The failed session may or may not have taken the text; it is pending once.
            if (engine.commit.empty()) engine.commit += text;
            const HRESULT hr2 = _RequestEditSession(ctx2, false);
            ZlTrace(L"symbol retry after refocus hr=0x%08lx same=%d", Hex(hr2), ctx2 == ctx ? 1 : 0);
            if (SUCCEEDED(hr2)) {
                ctx2->Release();
                ctx->Release();
                return hr2;
            }
        }
        if (ctx2) ctx2->Release();
    }
    ctx->Release();
    // Nothing may stay behind to appear with the next typed text.
    _DropPendingCommit();
    return hr;
}

ITfContext* CTextService::_AcquireFocusContext() {
    if (!threadMgr) return nullptr;
    ITfDocumentMgr* focus = nullptr;
    if (FAILED(threadMgr->GetFocus(&focus)) || !focus) return nullptr;
    ITfContext* top = nullptr;
    const HRESULT hr = focus->GetTop(&top);
    focus->Release();
    if (FAILED(hr)) {
        if (top) top->Release();
        return nullptr;
    }
    return top;
}

}  // namespace zl
