// Symbol insertion: through an edit session in strict hosts, else as Unicode keystrokes.
#include "TextService.h"

namespace zl {

void CTextService::_InsertSymbol(const std::wstring&) {}

HRESULT CTextService::_CommitSymbolTsf(const std::wstring&, bool, bool* refocused) {
    if (refocused) *refocused = false;
    return E_NOTIMPL;
}

void CTextService::_SendUnicode(const std::wstring&) {}

ITfContext* CTextService::_AcquireFocusContext() { return nullptr; }

}  // namespace zl
