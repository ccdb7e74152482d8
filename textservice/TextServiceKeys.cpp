// Key sink, preserved key and Shift taps.
#include "TextService.h"

namespace zl {

STDMETHODIMP CTextService::OnTestKeyDown(ITfContext*, WPARAM vk, LPARAM lp, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = _TestEaten(vk, lp) ? TRUE : FALSE;
    return S_OK;
}

STDMETHODIMP CTextService::OnTestKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    if (eaten) *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP CTextService::OnKeyDown(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP CTextService::OnKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    if (eaten) *eaten = FALSE;
    return S_OK;
}

STDMETHODIMP CTextService::OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) {
    if (eaten) *eaten = FALSE;
    return S_OK;
}

bool CTextService::_TestEaten(WPARAM, LPARAM) { return false; }

wchar_t CTextService::_VkToChar(WPARAM, bool) { return 0; }

void CTextService::_PollWin7Shift() {}

void CTextService::_SyncPreservedKey() {}

}  // namespace zl
