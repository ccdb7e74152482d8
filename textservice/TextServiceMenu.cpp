// Status-bar buttons, the right-click menu and the toggles behind them.
#include "ConfigSync.h"
#include "Markers.h"
#include "MenuModel.h"
#include "Module.h"
#include "ModuleDir.h"
#include "NoThrow.h"
#include "Seams.h"
#include "SettingsWindow.h"
#include "TextService.h"
#include "TouchKeyboard.h"
#include "UpdateCheck.h"
#include "ZlTrace.h"

namespace zl {

namespace {

constexpr wchar_t kCaption[] = L"泽仑五笔";
constexpr UINT kTopmost = MB_TOPMOST;

MenuState SnapshotFor(const CTextService& s) {
    MenuState m;
    m.chinese = s.chinese != 0;
    m.scheme = static_cast<int>(s.engine.mode);
    m.fullWidth = s.config.fullWidth != 0;
    m.numpadSelect = s.config.numpadSelect != 0;
    m.vertical = s.config.vertical != 0;
    m.symbolsOpen = s.symbolPanel.visible != 0;
    m.shiftEnglish = s.config.shiftEnglish != 0;
    m.shiftToggle = s.config.shiftToggle != 0;
    m.ctrlSpace = s.config.ctrlSpace != 0;
    m.manualFreq = s.config.manualFreq != 0;
    m.hasPromotions = !s.engine.promotions.empty();
    m.touchKeyboardShown = TouchKeyboardShown();
    m.statusBar = s.config.statusBar != 0;
    m.translucent = s.config.statusTranslucent != 0;
    m.skin = s.config.statusSkin;
    m.autoCheck = s.config.autoCheck != 0;
    m.version = DiskVersion();
    return m;
}

void Flip(int& option) { option = option ? 0 : 1; }

// The options the menu saves itself, load-modify-save, rather than through _SaveOption.
void FlipAndSave(CTextService& s, int Config::*field) {
    Flip(s.config.*field);
    const int v = s.config.*field;
    SaveOneField([field, v](Config& c) { c.*field = v; }, &s.configWriteTime);
}

// A window the user typed in: not one of the service's own.
bool IsApplicationWindow(HWND w, const CTextService& s) {
    return w && w != s.statusBar.hwnd && w != s.symbolPanel.hwnd;
}

// The touch keyboard holds the handwriting panel: hide it when shown, else show it.
void ToggleHandwriting(CTextService& s) {
    if (TouchKeyboardShown()) {
        s.config.handwriting = 0;
        s._SaveOption(6);
        if (TouchKeyboardShown()) TipToggleViaCom();
        return;
    }
    s.config.handwriting = 1;
    s._SaveOption(6);
    if (TouchKeyboardShown() || TipToggleViaCom()) return;
    EnableTouchKeyboardHandwriting();
    // Only a full path: a bare name would run whatever TabTip.exe the host's folders hold.
    const std::wstring program = TouchKeyboardProgram();
    if (program.empty() ||
        TheSeams().shellExecute(L"open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL) <= 32) {
        TheSeams().messageBox(s.statusBar.hwnd,
                              L"未能启动系统手写面板。\n\n本功能调用 Windows 10/11 "
                              L"自带的“触摸键盘”，其中包含手写输入。\nWindows 7 "
                              L"标准版没有安装触摸键盘组件，暂不支持手写。",
                              kCaption, MB_ICONINFORMATION | kTopmost);
        return;
    }
    Sleep(200);
    if (!TouchKeyboardShown()) TipToggleViaCom();
}

}  // namespace

void CTextService::_OnStatusClick(int region) {
    try {
        switch (region) {
        case 0:
            _HideSymbols();
            _SetChinese(!chinese, L"status-pill");
            break;
        case 1:
            _HideSymbols();
            _ToggleMode();
            break;
        case 2:
            _HideSymbols();
            _ToggleWidth();
            break;
        case 3:
            _ToggleSymbols();
            break;
        default:
            _HideSymbols();
            _ToggleSettings();
            break;
        }
    } catch (...) {
        ZlTrace(L"status click %d: out of memory", region);
    }
}

void CTextService::_ShowMenu(POINT pt) {
    try {
        ModalGuard guard(this);
        HMENU menu = BuildTextServiceMenu(SnapshotFor(*this));
        if (!menu) return;
        HWND bar = statusBar.hwnd;
        // The bar takes the foreground for the menu; the application gets it back after.
        HWND front = TheSeams().foregroundWindow();
        if (!IsApplicationWindow(front, *this)) front = nullptr;
        if (bar) SetForegroundWindow(bar);
        const UINT id = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN, pt.x, pt.y, 0, bar, nullptr));
        DestroyMenu(menu);
        if (bar) PostMessageW(bar, WM_NULL, 0, 0);
        if (guard.Deactivated()) return;
        if (front && IsWindow(front)) {
            SetForegroundWindow(front);
            // A panel opened from the menu types into the application, not into the bar.
            if (id == kCmdSymbols) symbolTarget = front;
        }
        _RunMenuCommand(id);
        if (guard.Deactivated()) return;
        // A message box owned by the bar hands the foreground to the bar when it closes.
        HWND now = GetForegroundWindow();
        if (front && IsWindow(front) && (!now || now == bar)) SetForegroundWindow(front);
    } catch (...) {
        ZlTrace(L"menu: out of memory");
    }
}

void CTextService::_RunMenuCommand(UINT id) {
    switch (id) {
    case kCmdWubi:
    case kCmdPinyin:
    case kCmdMixed: {
        const Mode m = id == kCmdWubi ? kModeWubi : id == kCmdPinyin ? kModePinyin : kModeMixed;
        _SetChinese(true, L"menu");
        if (engine.mode != m) _SetMode(m);
        _UpdateStatus();
        break;
    }
    case kCmdEnglish:
        _SetChinese(false, L"menu");
        break;
    case kCmdFullWidth:
        _ToggleWidth();
        break;
    case kCmdNumpad:
        _ToggleNumpad();
        break;
    case kCmdVertical:
        Flip(config.vertical);
        _SaveOption(8);
        _SettingsToEngine();
        candWindow.Hide();
        _UpdateStatus();
        break;
    case kCmdSymbols:
        _ToggleSymbols();
        break;
    case kCmdShiftEnglish:
        FlipAndSave(*this, &Config::shiftEnglish);
        break;
    case kCmdShiftToggle:
        FlipAndSave(*this, &Config::shiftToggle);
        _UpdateStatus();
        break;
    case kCmdCtrlSpace:
        FlipAndSave(*this, &Config::ctrlSpace);
        _SyncPreservedKey();
        _UpdateStatus();
        break;
    case kCmdManualFreq:
        Flip(config.manualFreq);
        _SaveOption(4);
        // Ctrl+digit asks the engine, which reads its own copy.
        engine.config = config;
        break;
    case kCmdClearPromotions:
        if (engine.promotions.empty()) break;
        if (TheSeams().messageBox(statusBar.hwnd,
                                  L"确定清除全部手动调频记录吗？\n\n清除后，之前用 Ctrl+数字 "
                                  L"调到首位的候选将恢复默认顺序。",
                                  kCaption, MB_YESNO | MB_ICONQUESTION | kTopmost) != IDYES) {
            break;
        }
        engine.ClearPromotions(std::wstring());
        // The open list lost its promoted order: the window shows what a digit now picks.
        if (!engine.code.empty() && context) _Sync(context);
        TheSeams().messageBox(statusBar.hwnd, L"手动调频记录已清除。", kCaption, MB_ICONINFORMATION | kTopmost);
        break;
    case kCmdHandwriting:
        ToggleHandwriting(*this);
        break;
    case kCmdSettings:
        _OpenSettings();
        break;
    case kCmdStatusBar:
        Flip(config.statusBar);
        _SaveOption(2);
        _SyncStatusVisible();
        break;
    case kCmdTranslucent:
        Flip(config.statusTranslucent);
        _SaveOption(5);
        statusBar.SetSkin(_CurrentSkin());
        break;
    case kCmdSkinDefault:
    case kCmdSkinClassic:
    case kCmdSkinFrame:
        config.statusSkin = static_cast<int>(id - kCmdSkinDefault);
        _SaveOption(7);
        statusBar.SetSkin(_CurrentSkin());
        break;
    case kCmdAutoCheck:
        FlipAndSave(*this, &Config::autoCheck);
        break;
    case kCmdCheckUpdate:
        _CheckUpdate(true);
        break;
    case kCmdAbout: {
        const std::wstring text = AboutText(DiskVersion(), InstalledVersionOnDisk(ModuleDir(g_hInst)));
        TheSeams().messageBox(statusBar.hwnd, text.c_str(), L"关于", MB_ICONINFORMATION | kTopmost);
        break;
    }
    default:
        break;
    }
}

void CTextService::_SetMode(Mode m) {
    if (engine.mode == m) return;
    engine.mode = m;
    engine.Clear();
    candWindow.Hide();
    if (context) _Sync(context);
    _SaveModeToDisk();
    _UpdateStatus();
}

void CTextService::_ToggleMode() {
    if (!engine.tempPinyin) {
        // 0 -> 1 -> 2 -> 0; a scheme of any other number starts over.
        _SetMode(engine.mode == kModeWubi ? kModePinyin : engine.mode == kModePinyin ? kModeMixed : kModeWubi);
        return;
    }
    engine.CancelTempPinyin();
    candWindow.Hide();
    if (context) _Sync(context);
    _UpdateStatus();
}

void CTextService::_ToggleWidth() {
    Flip(config.fullWidth);
    _SettingsToEngine();
    _SaveOption(0);
    _UpdateStatus();
}

void CTextService::_ToggleNumpad() {
    Flip(config.numpadSelect);
    _SaveOption(1);
    _UpdateStatus();
}

void CTextService::_WireSymbolPanel() {
    symbolPanel.owner = statusBar.hwnd;
    symbolPanel.onInsert = [this](const std::wstring& text) {
        if (text.empty()) return;
        NoThrowCall([&] {
            ModalGuard guard(this);
            _InsertSymbol(text);
        });
    };
    symbolPanel.onVisibilityChanged = [this] { statusBar.Update(_CurrentStatus()); };
}

void CTextService::_ToggleSymbols() {
    HWND bar = statusBar.hwnd;
    if (!bar) return;
    if (!symbolPanel.hwnd) {
        if (!symbolPanel.Create(hInstance ? hInstance : g_hInst)) return;
        _WireSymbolPanel();
    }
    HWND front = TheSeams().foregroundWindow();
    if (IsApplicationWindow(front, *this)) symbolTarget = front;
    RECT r{};
    GetWindowRect(bar, &r);
    symbolPanel.Toggle(POINT{r.left, r.top});
    _UpdateStatus();
}

void CTextService::_HideSymbols() {
    if (symbolPanel.visible) {
        symbolPanel.Hide();
        _UpdateStatus();
    }
}

void CTextService::_OpenSettings() {
    const std::wstring dir = ModuleDir(g_hInst);
    const std::wstring exe = dir + L"\\zldemo.exe";
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        TheSeams().messageBox(statusBar.hwnd, L"未找到 zldemo.exe，请重新安装泽仑五笔输入法。", kCaption,
                              MB_ICONEXCLAMATION | kTopmost);
        return;
    }
    TheSeams().shellExecute(L"open", exe.c_str(), L"--settings", dir.c_str(), SW_SHOWNORMAL);
}

void CTextService::_ToggleSettings() {
    HWND settings = FindWindowW(kSettingsClass, kSettingsTitle);
    if (settings) {
        PostMessageW(settings, WM_CLOSE, 0, 0);
    } else {
        _OpenSettings();
    }
}

}  // namespace zl
