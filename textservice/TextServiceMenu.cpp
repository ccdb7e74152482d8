// Status-bar buttons, the right-click menu and the toggles behind them.
#include "TextService.h"

namespace zl {

void CTextService::_OnStatusClick(int) {}

void CTextService::_ShowMenu(POINT) {}

void CTextService::_RunMenuCommand(UINT) {}

void CTextService::_WireSymbolPanel() {
    symbolPanel.owner = statusBar.hwnd;
    symbolPanel.onInsert = [this](const std::wstring& text) {
        if (text.empty()) return;
        ModalGuard guard(this);
        _InsertSymbol(text);
    };
    symbolPanel.onVisibilityChanged = [this] { statusBar.Update(_CurrentStatus()); };
}

void CTextService::_SetMode(Mode) {}

void CTextService::_ToggleMode() {}

void CTextService::_ToggleWidth() {}

void CTextService::_ToggleNumpad() {}

void CTextService::_ToggleSymbols() {}

void CTextService::_HideSymbols() {
    if (symbolPanel.visible) {
        symbolPanel.Hide();
        _UpdateStatus();
    }
}

void CTextService::_OpenSettings() {}

void CTextService::_ToggleSettings() {}

}  // namespace zl
