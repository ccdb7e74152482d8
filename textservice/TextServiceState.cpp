// Chinese/English state, the open/close compartment, config.ini reload and saves.
#include "ConfigSync.h"
#include "NoThrow.h"
#include "OpenCloseFollow.h"
#include "Seams.h"
#include "SettingsWindow.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

namespace {

Mode SchemeOf(const Config& c) {
    return c.scheme == 1 ? kModePinyin : c.scheme == 2 ? kModeMixed : kModeWubi;
}

}  // namespace

STDMETHODIMP CTextService::OnSetFocus(BOOL fg) {
    return NoThrow([&]() -> HRESULT {
        const bool had = foreground != 0;
        foreground = fg ? 1 : 0;
        if (fg && !had) _SetChinese(true, L"foreground-return");
        if (fg) {
            statusBar.lastActivityTick = NowTick();
            if (config.statusBar) {
                statusBar.Show();
                _UpdateStatus();
            }
        } else {
            candWindow.Hide();
            if (engine.tempPinyin && engine.code.empty()) {
                engine.CancelTempPinyin();
                _UpdateStatus();
            }
        }
        return S_OK;
    });
}

STDMETHODIMP CTextService::OnChange(REFGUID guid) {
    return NoThrow([&]() -> HRESULT {
        // Our own write comes back as a notification (Wine sends it too): not a user's change.
        if (writingOpenClose || !IsEqualGUID(guid, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE)) return S_OK;
        int open = 1;
        if (!_ReadKeyboardOpen(&open) || (open != 0) == (chinese != 0)) return S_OK;
        OpenCloseInputs in;
        in.now = NowTick();
        in.activateTick = activateTick;
        in.lastFollowTick = lastFollowTick;
        in.lastCtrlTick = lastCtrlTick;
        in.lastCtrlSpaceTick = lastCtrlSpaceTick;
        in.pre10 = Pre10();
        in.chineseKnown = chineseKnown != 0;
        in.ctrlSpaceOption = config.ctrlSpace != 0;
        in.ctrlDown = AsyncKeyHeld(VK_CONTROL);
        const bool follow = OpenCloseFollows(in);
        if (in.now - lastOpenCloseTraceTick > 999) {
            lastOpenCloseTraceTick = in.now;
            ZlTrace(L"comp OnChange open=%d me=%d ctrl=%d key=%d pre10=%d inited=%d follow=%d writeBack=0",
                    open, static_cast<int>(chinese), in.ctrlDown ? 1 : 0, CtrlKeyRecent(in) ? 1 : 0,
                    in.pre10 ? 1 : 0, static_cast<int>(chineseKnown), follow ? 1 : 0);
        }
        if (follow) {
            lastFollowTick = in.now;
            ZlTrace(L"comp OnChange follow open=%d", open);
            _SetChinese(open != 0, L"compartment");
        }
        return S_OK;
    });
}

void CTextService::_SetChinese(bool on, const wchar_t* reason) {
    ZlTrace(L"set chinese=%d by %ls", on ? 1 : 0, reason ? reason : L"?");
    chinese = on ? 1 : 0;
    chineseKnown = 1;
    if (sharedBlock) WriteSharedState(sharedBlock, on);
    if (!on) {
        // Typed code is erased from the document, not committed.
        engine.Clear();
        _HideCandidate();
        if (context) _Sync(context);
    }
    _WriteKeyboardOpen(on);
    _UpdateStatus();
}

void CTextService::_SyncChineseFromShared() {
    if (!sharedBlock) return;
    const LONG state = ReadSharedState(sharedBlock);
    if (!IsValidSharedState(state)) {
        // Unset or garbage: this instance's state repairs it.
        WriteSharedState(sharedBlock, chinese != 0);
        return;
    }
    const bool shared = state == kStateChinese;
    if (shared == (chinese != 0)) return;
    ZlTrace(L"chinese sync from shared -> %d (was=%d)", shared ? 1 : 0, static_cast<int>(chinese));
    chinese = shared ? 1 : 0;
    chineseKnown = 1;
    if (!shared) {
        engine.Clear();
        _HideCandidate();
        if (context) _Sync(context);
    }
    _UpdateStatus();
}

void CTextService::_AdoptKeyboardState() {
    chineseKnown = 1;
    if (sharedBlock) {
        const LONG state = ReadSharedState(sharedBlock);
        if (IsValidSharedState(state)) {
            if ((state == kStateChinese) == (chinese != 0)) {
                _WriteKeyboardOpen(chinese != 0);
            } else {
                _SetChinese(state == kStateChinese, L"shared-adopt");
            }
            return;
        }
        WriteSharedState(sharedBlock, chinese != 0);
    }
    int open = 1;
    if (_ReadKeyboardOpen(&open)) {
        if (open == 0 && config.newWindowChinese) {
            ZlTrace(L"comp adopt: force chinese (was open=0)");
            _SetChinese(true, L"adopt");
        } else if ((open != 0) != (chinese != 0)) {
            _SetChinese(open != 0, L"adopt");
        }
        return;
    }
    _WriteKeyboardOpen(chinese != 0);
}

bool CTextService::_InitCompartmentSink() {
    if (!threadMgr) return false;
    ITfCompartmentMgr* mgr = nullptr;
    if (FAILED(threadMgr->QueryInterface(IID_ITfCompartmentMgr, reinterpret_cast<void**>(&mgr))) || !mgr)
        return false;
    bool ok = false;
    if (!openCloseCompartment &&
        FAILED(mgr->GetCompartment(GUID_COMPARTMENT_KEYBOARD_OPENCLOSE, &openCloseCompartment)))
        openCloseCompartment = nullptr;
    if (openCloseCompartment) {
        ITfSource* source = nullptr;
        if (SUCCEEDED(openCloseCompartment->QueryInterface(IID_ITfSource,
                                                           reinterpret_cast<void**>(&source))) &&
            source) {
            ok = SUCCEEDED(source->AdviseSink(IID_ITfCompartmentEventSink,
                                              static_cast<ITfCompartmentEventSink*>(this),
                                              &compartmentCookie));
            source->Release();
        }
    }
    mgr->Release();
    activateTick = NowTick();
    if (!chineseKnown) {
        _AdoptKeyboardState();
        chineseKnown = 1;
    } else if (sharedBlock) {
        _SyncChineseFromShared();
    }
    _SetChinese(true, L"activate-force");
    ZlTrace(L"comp sink init ok=%d chinese=%d inited=%d os=%lu pre10=%d pk=%d", ok ? 1 : 0,
            static_cast<int>(chinese), static_cast<int>(chineseKnown), TheSeams().osMajorVersion(),
            Pre10() ? 1 : 0, static_cast<int>(ctrlSpacePreserved));
    return ok;
}

void CTextService::_UninitCompartmentSink() {
    if (!openCloseCompartment) return;
    if (compartmentCookie != TF_INVALID_COOKIE) {
        ITfSource* source = nullptr;
        if (SUCCEEDED(openCloseCompartment->QueryInterface(IID_ITfSource,
                                                           reinterpret_cast<void**>(&source))) &&
            source) {
            source->UnadviseSink(compartmentCookie);
            source->Release();
        }
        compartmentCookie = TF_INVALID_COOKIE;
    }
    openCloseCompartment->Release();
    openCloseCompartment = nullptr;
}

bool CTextService::_ReadKeyboardOpen(int* open) {
    if (!openCloseCompartment || !open) return false;
    VARIANT v;
    VariantInit(&v);
    bool ok = false;
    if (SUCCEEDED(openCloseCompartment->GetValue(&v))) {
        if (v.vt == VT_I4) {
            *open = v.lVal;
            ok = true;
        } else if (v.vt == VT_BOOL) {
            *open = v.boolVal != VARIANT_FALSE ? 1 : 0;
            ok = true;
        }
    }
    VariantClear(&v);
    return ok;
}

void CTextService::_WriteKeyboardOpen(bool open) {
    if (!openCloseCompartment) return;
    int current = 0;
    if (_ReadKeyboardOpen(&current) && (current != 0) == open) return;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = open ? 1 : 0;
    writingOpenClose = 1;
    openCloseCompartment->SetValue(clientId, &v);
    writingOpenClose = 0;
}

bool CTextService::_MapChineseBlock() {
    if (sharedBlock) return true;
    return MapChineseStateBlock(&sharedMapping, &sharedBlock);
}

void CTextService::_CheckConfigReload() {
    const uint32_t now = NowTick();
    // Under the shorter interval nothing is due either way: skip asking about the windows.
    if (now - lastReloadCheckTick < kReloadIntervalSettingsFront) return;
    if (!ReloadDue(now, IsSettingsWindowForeground(TheSeams().foregroundWindow()),
                   &lastReloadCheckTick))
        return;
    Config fresh;
    FILETIME written;
    if (!ReadWriteTime(fresh.Path().c_str(), &written) || SameFileTime(written, configWriteTime))
        return;
    // Held by another writer: the settings stay as they are, and the next poll tries again.
    if (!fresh.Load()) return;
    configWriteTime = written;
    const ConfigDelta delta = CompareConfig(config, fresh);
    config = fresh;
    const bool hadInput = !engine.code.empty();
    if (_ApplyConfigToEngine() && hadInput) {
        // A new list or a dropped code: the window and the document show what the next
        // key acts on.
        if (engine.code.empty()) _HideCandidate();
        if (context) _Sync(context);
    }
    statusBar.SetSkin(_CurrentSkin());
    if (delta.position && config.statusX >= 0 && config.statusY >= 0) {
        statusBar.SetPos(config.statusX, config.statusY);
        StatusBar::SetSharedPos(config.statusX, config.statusY);
    }
    if (delta.statusBar) _SyncStatusVisible();
    _UpdateStatus();
    _SyncPreservedKey();
    if (delta.ctrlSpaceTurnedOff) _AdoptKeyboardState();
}

void CTextService::_LoadConfig() {
    Config fresh;
    fresh.Load();
    config = fresh;
    FILETIME t;
    if (ReadWriteTime(config.Path().c_str(), &t)) configWriteTime = t;
}

bool CTextService::_SettingsToEngine() {
    const Config& was = engine.config;
    // Rebuilding starts the list over at page 0: a page the user turned to must not move
    // under the next digit for a setting that changes neither the list nor its pages.
    const bool rebuild = !engine.code.empty() &&
                         (was.gbkOnly != config.gbkOnly || was.freqAdjust != config.freqAdjust ||
                          was.pageSize != config.pageSize);
    engine.config = config;
    if (rebuild) engine.Update();
    return rebuild;
}

bool CTextService::_ApplyConfigToEngine() {
    bool changed = _SettingsToEngine();
    const Mode scheme = SchemeOf(config);
    if (scheme != engine.mode) {
        engine.mode = scheme;
        engine.Clear();
        changed = true;
    }
    return changed;
}

void CTextService::_SaveOption(int option) { SaveOption(option, config, &configWriteTime); }

void CTextService::_SaveModeToDisk() {
    const int mode = static_cast<int>(engine.mode);
    SaveOneField([mode](Config& c) { c.scheme = mode; }, &configWriteTime);
    config.scheme = mode;
}

void CTextService::_UpdateStatus() { statusBar.Update(_CurrentStatus()); }

void CTextService::_SyncStatusVisible() {
    statusBar.SetEnabled(config.statusBar != 0);
    if (config.statusBar) {
        statusBar.lastActivityTick = NowTick();
        statusBar.Show();
    } else {
        statusBar.Hide();
        symbolPanel.Hide();
    }
}

}  // namespace zl
