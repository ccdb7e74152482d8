// Key sink, preserved key and Shift taps.
#include "Guids.h"
#include "KeyRules.h"
#include "NoThrow.h"
#include "Seams.h"
#include "ShiftTap.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

namespace {

// Tick of the last toggle by the Windows 7/8 poll of any instance in this process, so two
// instances polling the same tap toggle once. The instances run on their own UI threads.
volatile LONG g_lastShiftToggleTick = 0;

constexpr wchar_t kCtrlSpaceDescription[] = L"\u6CFD\u4ED1\u4E94\u7B14 \u4E2D\u82F1\u6587\u5207\u6362";
constexpr ULONG kCtrlSpaceDescriptionLength = 10;
const TF_PRESERVEDKEY kCtrlSpaceKey = {VK_SPACE, TF_MOD_CONTROL};

ShiftTap TapOf(CTextService& s) {
    return {s.shiftTapPending, s.shiftOtherKey, s.shiftDownTick, s.win7ShiftDownTick,
            s.win7ShiftOtherKey};
}

KeyState StateOf(const CTextService& s, const Modifiers& m) {
    KeyState k;
    k.ctrl = m.ctrl;
    k.alt = m.alt;
    k.shift = m.shift;
    k.composing = !s.engine.code.empty();
    k.chinese = s.chinese != 0;
    k.tempPinyin = s.engine.tempPinyin;
    k.canTempPinyin = s.engine.CanTempPinyin();
    k.win10 = !Pre10();
    k.ctrlSpace = s.config.ctrlSpace != 0;
    k.manualFreq = s.config.manualFreq != 0;
    k.shiftToggle = s.config.shiftToggle != 0;
    k.numpadSelect = s.config.numpadSelect != 0;
    k.shiftEnglish = s.config.shiftEnglish != 0;
    return k;
}

// Shift held while another key is tested, on the road where the poll needs telling.
bool OtherKeyUnderShift(WPARAM vk) { return vk != VK_SHIFT && Pre10() && AsyncKeyHeld(VK_SHIFT); }

}  // namespace

STDMETHODIMP CTextService::OnTestKeyDown(ITfContext*, WPARAM vk, LPARAM lp, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    const uint32_t now = NowTick();
    statusBar.lastActivityTick = now;
    const bool underShift = OtherKeyUnderShift(vk);
    TapOf(*this).TestKeyDown(static_cast<unsigned>(vk), underShift);
    const Modifiers m = ReadModifiers();
    if (!underShift) {
        if (vk == VK_CONTROL) lastCtrlTick = now;
        if (vk == VK_SPACE && config.ctrlSpace && m.ctrl && !m.alt) lastCtrlSpaceTick = now;
    }
    *eaten = TestEaten(static_cast<unsigned>(vk), StateOf(*this, m)) ? TRUE : FALSE;
    return S_OK;
}

STDMETHODIMP CTextService::OnTestKeyUp(ITfContext*, WPARAM vk, LPARAM, BOOL* eaten) {
    ShiftTap tap = TapOf(*this);
    tap.TestKeyUp(static_cast<unsigned>(vk), OtherKeyUnderShift(vk));
    if (eaten) *eaten = tap.TestKeyUpEaten(static_cast<unsigned>(vk), config.shiftToggle != 0);
    return S_OK;
}

STDMETHODIMP CTextService::OnKeyDown(ITfContext* ctx, WPARAM vk, LPARAM lp, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    if (!ctx) return S_OK;
    try {
        _KeyDown(ctx, vk, lp, eaten);
    } catch (...) {
        // Nothing may reach the host: the key ends as far as it got.
        ZlTrace(L"key 0x%02x: out of memory", static_cast<unsigned>(vk));
    }
    return S_OK;
}

void CTextService::_KeyDown(ITfContext* ctx, WPARAM vk, LPARAM lp, BOOL* eaten) {
    _CheckConfigReload();
    if (symbolPanel.visible) _HideSymbols();
    if (vk == VK_SHIFT) {
        TapOf(*this).ShiftDown(lp, NowTick());
        return;
    }
    const Modifiers m = ReadModifiers();
    if (chinese && engine.code.empty() && config.shiftEnglish && vk >= 'A' && vk <= 'Z' && m.shift) {
        TapOf(*this).LetterPassedThrough();  // the application gets the capital letter
        return;
    }
    const KeyState keys = StateOf(*this, m);
    if (!TestEaten(static_cast<unsigned>(vk), keys)) return;
    *eaten = TRUE;
    _AdoptContext(ctx);
    const KeyAction action = ChooseAction(static_cast<unsigned>(vk), keys);
    switch (action.op) {
    case KeyOp::CtrlSpace:
        ZlTrace(L"key sink Ctrl+Space");
        _SetChinese(!chinese, L"ctrl+space(key)");
        break;
    case KeyOp::Space: engine.OnSpace(); break;
    case KeyOp::Promote:
        if (!engine.PromoteOnPage(static_cast<uint64_t>(action.arg - 1))) return;
        break;
    case KeyOp::Digit: engine.OnDigit(action.arg); break;
    case KeyOp::Letter: engine.OnLetter(static_cast<char>(action.arg)); break;
    case KeyOp::PrevPage: engine.OnPageKey(false); break;
    case KeyOp::NextPage: engine.OnPageKey(true); break;
    case KeyOp::Backspace: engine.OnBackspace(); break;
    case KeyOp::ToggleMode: _ToggleMode(); break;
    case KeyOp::Enter:
        engine.OnEnter();  // the typed code is dropped, not written out
        candWindow.Hide();
        break;
    case KeyOp::Escape: engine.OnEscape(); break;
    case KeyOp::BeginTempPinyin:
        engine.BeginTempPinyin();
        ZlTrace(L"temp pinyin: begin (z as lead key)");
        _UpdateStatus();
        break;
    case KeyOp::CancelTempPinyin:
        engine.CancelTempPinyin();
        ZlTrace(L"temp pinyin: cancel");
        _UpdateStatus();
        break;
    case KeyOp::Punct:
        if (action.arg) _CommitNow(engine.punct(static_cast<wchar_t>(action.arg)));
        break;
    case KeyOp::None: break;
    }
    selectedIndex = 0;
    _Sync(context);
    return;
}

STDMETHODIMP CTextService::OnKeyUp(ITfContext* ctx, WPARAM vk, LPARAM, BOOL* eaten) {
    return NoThrow([&]() -> HRESULT {
        if (eaten) *eaten = FALSE;
        if (!TapOf(*this).KeyUp(static_cast<unsigned>(vk), NowTick(), config.shiftToggle != 0,
                                !engine.code.empty()))
            return S_OK;
        if (chinese) {
            ZlTrace(L"shift tap -> %ls", L"english");
            _SetChinese(false, L"shift-tap");
            if (ctx) _Sync(ctx);
        } else {
            ZlTrace(L"shift tap -> %ls", L"chinese");
            _SetChinese(true, L"shift-tap");
        }
        return S_OK;
    });
}

STDMETHODIMP CTextService::OnPreservedKey(ITfContext* ctx, REFGUID guid, BOOL* eaten) {
    return NoThrow([&]() -> HRESULT {
        if (eaten) *eaten = FALSE;
        if (!IsEqualGUID(guid, GUID_ZLKeyCtrlSpace) || !config.ctrlSpace) return S_OK;
        ZlTrace(L"preserved key fired -> toggle");
        if (ctx) _AdoptContext(ctx);
        _SetChinese(!chinese, L"ctrl+space(preserved)");
        if (ctx) _Sync(context);
        if (eaten) *eaten = TRUE;
        return S_OK;
    });
}

void CTextService::_PollWin7Shift() {
    DWORD pid = 0;
    const HWND fg = TheSeams().foregroundWindow();
    const bool own = fg && GetWindowThreadProcessId(fg, &pid) && pid == GetCurrentProcessId();
    const bool shiftDown = own && AsyncKeyHeld(VK_SHIFT);
    if (!TapOf(*this).Poll(own, shiftDown, NowTick(), config.shiftToggle != 0,
                           !engine.code.empty(), &g_lastShiftToggleTick))
        return;
    ZlTrace(L"shift tap(win7 poll) -> %ls", chinese ? L"english" : L"chinese");
    _SetChinese(!chinese, L"shift-tap(win7)");
}

void CTextService::_SyncPreservedKey() {
    if (!threadMgr) return;
    ITfKeystrokeMgr* km = nullptr;
    if (FAILED(threadMgr->QueryInterface(IID_ITfKeystrokeMgr, reinterpret_cast<void**>(&km))) || !km)
        return;
    if (config.ctrlSpace) {
        BOOL registered = FALSE;
        if (SUCCEEDED(km->IsPreservedKey(GUID_ZLKeyCtrlSpace, &kCtrlSpaceKey, &registered)) &&
            registered) {
            ctrlSpacePreserved = 1;
        } else {
            const HRESULT hr = km->PreserveKey(clientId, GUID_ZLKeyCtrlSpace, &kCtrlSpaceKey,
                                               kCtrlSpaceDescription, kCtrlSpaceDescriptionLength);
            ctrlSpacePreserved = SUCCEEDED(hr) ? 1 : 0;
            ZlTrace(L"preserve Ctrl+Space hr=0x%08lx ok=%d pre10=%d", static_cast<unsigned long>(hr),
                    static_cast<int>(ctrlSpacePreserved), Pre10() ? 1 : 0);
        }
    } else {
        km->UnpreserveKey(GUID_ZLKeyCtrlSpace, &kCtrlSpaceKey);
        ctrlSpacePreserved = 0;
        ZlTrace(L"unpreserve Ctrl+Space");
    }
    km->Release();
}

}  // namespace zl
