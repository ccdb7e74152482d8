// Chinese/English state, the open/close compartment, config.ini reload and saves.
#include "TextService.h"

#include "Seams.h"

namespace zl {

STDMETHODIMP CTextService::OnSetFocus(BOOL fg) {
    foreground = fg ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CTextService::OnChange(REFGUID) { return S_OK; }

void CTextService::_SetChinese(bool on, const wchar_t*) {
    chinese = on ? 1 : 0;
    chineseKnown = 1;
    if (!on) {
        engine.Clear();
        _HideCandidate();
        if (context) _Sync(context);
    }
    _UpdateStatus();
}

void CTextService::_ToggleChinese() { _SetChinese(!chinese, L"status-pill"); }

void CTextService::_SyncChineseFromShared() {}

void CTextService::_AdoptKeyboardState() { chineseKnown = 1; }

bool CTextService::_InitCompartmentSink() {
    activateTick = NowTick();
    chineseKnown = 1;
    return false;
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

bool CTextService::_ReadKeyboardOpen(int*) { return false; }

void CTextService::_WriteKeyboardOpen(bool) {}

bool CTextService::_MapChineseBlock() { return false; }

void CTextService::_CheckConfigReload() {}

void CTextService::_LoadConfig() {
    Config fresh;
    fresh.Load();
    config = fresh;
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (GetFileAttributesExW(config.Path().c_str(), GetFileExInfoStandard, &fad)) {
        configWriteTime = fad.ftLastWriteTime;
    }
}

void CTextService::_SaveOption(int) {}

void CTextService::_SaveModeToDisk() {}

void CTextService::_UpdateStatus() { statusBar.Update(_CurrentStatus()); }

void CTextService::_SyncStatusVisible() {}

}  // namespace zl
