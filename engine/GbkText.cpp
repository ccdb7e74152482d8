#include "GbkText.h"

#include <windows.h>

namespace zl {

bool IsGbkText(std::wstring_view text) {
    for (wchar_t unit : text) {
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes, nullptr,
                                          &usedDefault);
        if (n <= 0 || usedDefault) return false;
    }
    return true;
}

}  // namespace zl
