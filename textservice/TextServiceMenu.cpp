// Status-bar buttons, the right-click menu and the toggles behind them.
#include "TextService.h"

namespace zl {

void CTextService::_OnStatusClick(int) {}

void CTextService::_ShowMenu(POINT) {}

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
