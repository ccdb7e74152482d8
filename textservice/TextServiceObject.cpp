// IUnknown, construction and destruction, activation and deactivation.

#include "ComRelease.h"
#include "ConfigSync.h"
#include "Module.h"
#include "ModuleDir.h"
#include "NoThrow.h"
#include "Seams.h"
#include "TextService.h"
#include "ZlTrace.h"

namespace zl {

CTextService::CTextService() = default;

CTextService::~CTextService() {
    // Normally Deactivate has released all of this; a failed or missing deactivation
    // must not leak the host's TSF objects or leave windows calling into freed memory.
    candWindow.Destroy();
    symbolPanel.Destroy();
    statusBar.Hide();
    statusBar.Destroy();
    ReleaseAndClear(composition);
    ReleaseAndClear(openCloseCompartment);
    ReleaseAndClear(context);
    ReleaseAndClear(documentMgr);
    UnmapChineseStateBlock(&sharedMapping, &sharedBlock);
    ReleaseAndClear(threadMgr);
}

STDMETHODIMP CTextService::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITfTextInputProcessor)) {
        *ppv = static_cast<ITfTextInputProcessor*>(this);
    } else if (IsEqualIID(riid, IID_ITfThreadMgrEventSink)) {
        *ppv = static_cast<ITfThreadMgrEventSink*>(this);
    } else if (IsEqualIID(riid, IID_ITfKeyEventSink)) {
        *ppv = static_cast<ITfKeyEventSink*>(this);
    } else if (IsEqualIID(riid, IID_ITfCompositionSink)) {
        *ppv = static_cast<ITfCompositionSink*>(this);
    } else if (IsEqualIID(riid, IID_ITfCompartmentEventSink)) {
        *ppv = static_cast<ITfCompartmentEventSink*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CTextService::AddRef() { return InterlockedIncrement(&refCount); }

STDMETHODIMP_(ULONG) CTextService::Release() {
    const LONG n = InterlockedDecrement(&refCount);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP CTextService::Activate(ITfThreadMgr* tm, TfClientId id) {
    const HRESULT hr = NoThrow([&] { return _Activate(tm, id); });
    // TSF only releases a service whose activation failed. A failure after the sinks were
    // advised would leave them holding the service, and its windows' timers running.
    if (FAILED(hr) && threadMgr) Deactivate();
    return hr;
}

HRESULT CTextService::_Activate(ITfThreadMgr* tm, TfClientId id) {
    if (!tm) return E_INVALIDARG;
    tm->AddRef();
    ReleaseAndClear(threadMgr);
    threadMgr = tm;
    clientId = id;
    hInstance = g_hInst;

    const std::wstring installDir = ModuleDir(g_hInst);
    const std::wstring dataSub = installDir + L"\\data";
    dataDir = GetFileAttributesW((dataSub + L"\\zlwb.dat").c_str()) != INVALID_FILE_ATTRIBUTES
                  ? dataSub
                  : installDir;
    PurgeBackupsAsync(installDir);

    _LoadConfig();
    engine.Init(dataDir);
    _ApplyConfigToEngine();

    if (!candWindow.Create(hInstance)) {
        // TSF will only release us: leave nothing behind that a Deactivate would undo.
        ZlTrace(L"activate: candidate window could not be created");
        candWindow.Destroy();
        ReleaseAndClear(threadMgr);
        clientId = 0;
        return E_FAIL;
    }
    candWindow.onCandidateClick = [this](int index) { NoThrowCall([&] { _OnCandidateClick(index); }); };

    if (statusBar.Create(hInstance)) {
        statusBar.onClick = [this](int region) {
            NoThrowCall([&] {
                ModalGuard guard(this);
                _OnStatusClick(region);
            });
        };
        statusBar.onRightClick = [this](POINT pt) { _ShowMenu(pt); };  // catches its own
        statusBar.onMoved = [this](int x, int y) { NoThrowCall([&] { _OnStatusMoved(x, y); }); };
        if (config.statusX >= 0 && config.statusY >= 0) {
            statusBar.SetPos(config.statusX, config.statusY);
            StatusBar::SetSharedPos(config.statusX, config.statusY);
        }
        statusBar.SetSkin(_CurrentSkin());
        statusBar.Update(_CurrentStatus());
        statusBar.SetEnabled(config.statusBar != 0);
        if (config.statusBar != 0) statusBar.Show();
        statusBar.onTick = [this] { _OnStatusTick(); };
    }

    if (symbolPanel.Create(hInstance)) _WireSymbolPanel();

    if (!sharedBlock) _MapChineseBlock();
    _InitThreadMgrEventSink();
    _InitKeyEventSink();
    _InitCompartmentSink();
    _CheckUpdate(false);
    return S_OK;
}

STDMETHODIMP CTextService::Deactivate() {
    ++deactivations;
    candWindow.Hide();
    candWindow.Destroy();
    symbolPanel.Destroy();
    statusBar.Hide();
    statusBar.Destroy();
    ReleaseAndClear(composition);

    _UninitKeyEventSink();
    _UninitThreadMgrEventSink();
    _UninitCompartmentSink();

    if (sharedBlock) {
        const LONG was = ReadSharedState(sharedBlock);
        ZlTrace(L"deactivate: force shared chinese -> 1 (was=%d)",
                static_cast<int>(IsValidSharedState(was) ? was : 0));
        WriteSharedState(sharedBlock, true);
    }
    chinese = 1;
    UnmapChineseStateBlock(&sharedMapping, &sharedBlock);

    // Out of memory while saving must neither reach TSF nor skip the releases below.
    NoThrowCall([&] { engine.SaveUser(); });
    ReleaseAndClear(context);
    ReleaseAndClear(documentMgr);
    ReleaseAndClear(threadMgr);
    return S_OK;
}

StatusInfo CTextService::_CurrentStatus() const {
    StatusInfo info;
    info.chinese = chinese;
    info.scheme = engine.tempPinyin ? 1u : static_cast<uint32_t>(engine.mode);
    info.fullWidth = config.fullWidth != 0;
    info.symbolsOpen = symbolPanel.visible;
    return info;
}

StatusSkin CTextService::_CurrentSkin() const {
    StatusSkin skin;
    skin.theme = static_cast<uint32_t>(config.statusTheme);
    skin.skin = static_cast<uint32_t>(config.statusSkin);
    skin.translucent = static_cast<uint32_t>(config.statusTranslucent);
    skin.accent = static_cast<uint32_t>(config.statusAccent);
    skin.base = static_cast<uint32_t>(config.statusBase);
    return skin;
}

void CTextService::_OnCandidateClick(int index) {
    if (index >= 0 && engine.SelectOnPage(static_cast<uint64_t>(index)) && context) _Sync(context);
}

void CTextService::_OnStatusMoved(int x, int y) {
    config.statusX = x;
    config.statusY = y;
    SaveOneField(
        [x, y](Config& c) {
            c.statusX = x;
            c.statusY = y;
        },
        &configWriteTime);
    StatusBar::SetSharedPos(x, y);
}

void CTextService::_OnStatusTick() {
    try {
        if (sharedBlock) _SyncChineseFromShared();
        _CheckConfigReload();
        if (Pre10() && config.shiftToggle != 0) _PollWin7Shift();
    } catch (...) {
        // The timer's window procedure must not see it; the next tick tries again.
        ZlTrace(L"status tick: out of memory");
    }
}

}  // namespace zl
