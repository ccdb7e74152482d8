// The text input processor: one COM object per thread that uses the input method. It
// owns the engine and the three windows and holds the TSF objects it works with. Every
// method runs on the thread that activated it; nothing is locked.
//
// The class is defined across files, one per group of sinks:
//   TextServiceObject.cpp   IUnknown, construction, destruction, activation, deactivation
//   TextServiceFocus.cpp    thread-manager events, sink installation and removal
//   EditSession.cpp         zl::CEditSession and the edit-session request (_Sync)
//   TextServiceCompose.cpp  Apply, composition, candidate placement
//   TextServiceKeys.cpp     key sink, preserved key, Shift taps
//   TextServiceState.cpp    Chinese/English state, compartment, config.ini reload and saves
//   TextServiceMenu.cpp     status-bar buttons, right-click menu, toggles
//   TextServiceSymbols.cpp  symbol insertion
//   TextServiceUpdate.cpp   update check and the background threads
#pragma once

#include <windows.h>
#include <msctf.h>

#include <cstdint>
#include <string>

#include "CandWindow.h"
#include "ChineseStateBlock.h"
#include "Config.h"
#include "Engine.h"
#include "StatusBar.h"
#include "SymbolPanel.h"

namespace zl {

class CEditSession;

class CTextService : public ITfTextInputProcessor,
                     public ITfThreadMgrEventSink,
                     public ITfKeyEventSink,
                     public ITfCompositionSink,
                     public ITfCompartmentEventSink {
public:
    CTextService();
    virtual ~CTextService();
    CTextService(const CTextService&) = delete;
    CTextService& operator=(const CTextService&) = delete;

    // IUnknown, ITfTextInputProcessor
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Activate(ITfThreadMgr* threadMgr, TfClientId id) override;
    STDMETHODIMP Deactivate() override;

    // ITfThreadMgrEventSink
    STDMETHODIMP OnInitDocumentMgr(ITfDocumentMgr* dim) override;
    STDMETHODIMP OnUninitDocumentMgr(ITfDocumentMgr* dim) override;
    STDMETHODIMP OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr* previous) override;
    STDMETHODIMP OnPushContext(ITfContext* context) override;
    STDMETHODIMP OnPopContext(ITfContext* context) override;

    // ITfKeyEventSink
    STDMETHODIMP OnSetFocus(BOOL foreground) override;
    STDMETHODIMP OnTestKeyDown(ITfContext* context, WPARAM vk, LPARAM lp, BOOL* eaten) override;
    STDMETHODIMP OnTestKeyUp(ITfContext* context, WPARAM vk, LPARAM lp, BOOL* eaten) override;
    STDMETHODIMP OnKeyDown(ITfContext* context, WPARAM vk, LPARAM lp, BOOL* eaten) override;
    STDMETHODIMP OnKeyUp(ITfContext* context, WPARAM vk, LPARAM lp, BOOL* eaten) override;
    STDMETHODIMP OnPreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) override;

    // ITfCompositionSink
    STDMETHODIMP OnCompositionTerminated(TfEditCookie ecWrite, ITfComposition* terminated) override;

    // ITfCompartmentEventSink
    STDMETHODIMP OnChange(REFGUID guid) override;

    // ---- object, activation and sinks (TextServiceObject.cpp, TextServiceFocus.cpp)
    HRESULT _Activate(ITfThreadMgr* threadMgr, TfClientId id);
    bool _InitThreadMgrEventSink();
    void _UninitThreadMgrEventSink();
    bool _InitKeyEventSink();
    // Also removes the Ctrl+Space preserved key, which belongs to the key sink.
    void _UninitKeyEventSink();
    // The current status: Chinese flag, scheme (1 in temporary pinyin), width, panel open.
    StatusInfo _CurrentStatus() const;
    // The status bar's look from the settings.
    StatusSkin _CurrentSkin() const;
    // Status-bar callbacks wired at activation.
    void _OnStatusMoved(int x, int y);
    void _OnStatusTick();
    void _OnCandidateClick(int index);
    // Drops a composition and context that belong to a document losing the focus: clears
    // the engine, hides the candidate window and ends the composition when TSF lets it.
    void _LeaveDocument();
    // Makes ctx (not null) the context sessions go to, holding a reference of its own.
    void _AdoptContext(ITfContext* ctx);

    // ---- edit session and composition (EditSession.cpp, TextServiceCompose.cpp)
    HRESULT _Sync(ITfContext* context);
    // One read-write session on context: synchronous, and when TSF refuses that outside
    // key handling (TF_E_SYNCHRONOUS) and allowAsync, queued asynchronously instead.
    HRESULT _RequestEditSession(ITfContext* context, bool allowAsync);
    HRESULT Apply(TfEditCookie ec, ITfContext* context);
    HRESULT _UpdateComposition(TfEditCookie ec, ITfContext* context);
    HRESULT _EndComposition(TfEditCookie ec, ITfContext* context);
    HRESULT _CancelComposition(TfEditCookie ec, ITfContext* context);
    HRESULT _SetAttribute(TfEditCookie ec, ITfContext* context, ITfRange* range, bool clear);
    void _ShowCandidate(ITfContext* context, TfEditCookie ec);
    void _HideCandidate();
    void _CommitNow(const std::wstring& text);
    // Drops the pending commit text that no session will write; returns its length. The
    // quote toggles go back to what the document last received, so a quote that never
    // reached it does not leave the next one facing the wrong way.
    size_t _DropPendingCommit();

    // ---- keys (TextServiceKeys.cpp)
    // OnKeyDown's work on a key that has a context; may throw.
    void _KeyDown(ITfContext* ctx, WPARAM vk, LPARAM lp, BOOL* eaten);
    void _PollWin7Shift();
    void _SyncPreservedKey();

    // ---- Chinese/English state and settings (TextServiceState.cpp)
    void _SetChinese(bool chinese, const wchar_t* reason);
    void _SyncChineseFromShared();
    void _AdoptKeyboardState();
    bool _InitCompartmentSink();
    void _UninitCompartmentSink();
    bool _ReadKeyboardOpen(int* open);
    void _WriteKeyboardOpen(bool open);
    // Maps the ChineseStateBlock when none is mapped; false leaves the service without it.
    bool _MapChineseBlock();
    void _CheckConfigReload();
    void _LoadConfig();
    // The engine's copy of the settings and the scheme they name; a new scheme drops the
    // typed code.
    // Copies the staging settings into the engine; true when the open list was built again.
    bool _SettingsToEngine();
    // _SettingsToEngine, then the scheme; true when the open list was built again or dropped.
    bool _ApplyConfigToEngine();
    void _SaveOption(int option);
    void _SaveModeToDisk();
    void _UpdateStatus();
    void _SyncStatusVisible();

    // ---- menu and toggles (TextServiceMenu.cpp)
    void _OnStatusClick(int region);
    void _ShowMenu(POINT screenPoint);
    // Runs one command of the right-click menu; 0, 17 and unknown ids do nothing.
    void _RunMenuCommand(UINT id);
    // Owner and callbacks of the symbol panel, the same at activation and on first use.
    void _WireSymbolPanel();
    void _SetMode(Mode mode);
    void _ToggleMode();
    void _ToggleWidth();
    void _ToggleNumpad();
    void _ToggleSymbols();
    void _HideSymbols();
    void _OpenSettings();
    void _ToggleSettings();

    // ---- symbol insertion (TextServiceSymbols.cpp)
    void _InsertSymbol(const std::wstring& text);
    HRESULT _CommitSymbolTsf(const std::wstring& text, bool hadComposition, bool* refocused);
    ITfContext* _AcquireFocusContext();

    // ---- update check (TextServiceUpdate.cpp)
    bool _LaunchUpdater();
    void _CheckUpdate(bool manual);

    // Keeps the service alive while a window callback runs a modal loop (menu, message
    // box) and tells whether the service was deactivated meanwhile, so that the callback
    // skips the rest.
    class ModalGuard {
    public:
        explicit ModalGuard(CTextService* s) : s_(s), serial_(s->deactivations) { s_->AddRef(); }
        ~ModalGuard() { s_->Release(); }
        ModalGuard(const ModalGuard&) = delete;
        ModalGuard& operator=(const ModalGuard&) = delete;
        bool Deactivated() const { return s_->deactivations != serial_ || !s_->threadMgr; }

    private:
        CTextService* s_;
        uint32_t serial_;
    };

    // ---- members, in this order
    volatile LONG refCount = 1;
    ITfThreadMgr* threadMgr = nullptr;
    TfClientId clientId = 0;
    DWORD threadMgrCookie = TF_INVALID_COOKIE;
    ITfComposition* composition = nullptr;
    ITfContext* context = nullptr;
    ITfDocumentMgr* documentMgr = nullptr;
    ITfCompartment* openCloseCompartment = nullptr;
    DWORD compartmentCookie = TF_INVALID_COOKIE;
    uint8_t writingOpenClose = 0;
    uint8_t endingComposition = 0;
    uint8_t cancelBeforeCommit = 0;
    // The engine's quote toggles when committed text last reached the document.
    uint8_t writtenDquoteOpen = 0;
    uint8_t writtenSquoteOpen = 0;
    HWND symbolTarget = nullptr;
    uint8_t chinese = 1;
    uint8_t chineseKnown = 0;
    uint32_t activateTick = 0;
    uint32_t lastCtrlTick = 0;
    uint32_t lastCtrlSpaceTick = 0;
    uint32_t lastFollowTick = 0;
    uint32_t lastOpenCloseTraceTick = 0;
    uint8_t ctrlSpacePreserved = 0;
    HANDLE sharedMapping = nullptr;
    ChineseStateBlock* sharedBlock = nullptr;
    uint8_t shiftTapPending = 0;
    uint8_t shiftOtherKey = 0;
    uint32_t shiftDownTick = 0;
    uint32_t win7ShiftDownTick = 0;
    uint8_t win7ShiftOtherKey = 0;
    uint8_t foreground = 1;
    Engine engine;
    CandWindow candWindow;
    StatusBar statusBar;
    SymbolPanel symbolPanel;
    Config config;
    HINSTANCE hInstance = nullptr;
    uint32_t selectedIndex = 0;
    std::wstring dataDir;
    FILETIME configWriteTime{};
    uint32_t lastReloadCheckTick = 0;
    // Counts deactivations, so a callback that ran a modal loop can tell it was pulled.
    uint32_t deactivations = 0;
};

// ---- background work of the component (TextServiceUpdate.cpp)

// Starts the leftover-file purge of folder once per process: the first call wins, whether
// or not its thread starts. True when a thread was started.
bool PurgeBackupsAsync(const std::wstring& folder);
// The purge thread: purges the folder of a heap copy made with new[], then frees it.
DWORD WINAPI PurgeProc(LPVOID folderCopy);

}  // namespace zl
