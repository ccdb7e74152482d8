#include "GbkText.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace zl {

namespace {

// Per unit: 0 not yet asked, 1 representable, 2 not. Threads that ask about the same
// unit at once store the same answer.
std::atomic<uint8_t> g_gbkUnit[65536];

bool UnitIsGbk(wchar_t unit) {
    std::atomic<uint8_t>& slot = g_gbkUnit[static_cast<uint16_t>(unit)];
    uint8_t known = slot.load(std::memory_order_relaxed);
    if (known == 0) {
        known = IsGbkText(std::wstring_view(&unit, 1)) ? 1 : 2;
        slot.store(known, std::memory_order_relaxed);
    }
    return known == 1;
}

}  // namespace

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

bool IsGbkTextMemo(std::wstring_view text) {
    for (wchar_t unit : text)
        if (!UnitIsGbk(unit)) return false;
    return true;
}

void LearnGbkUnits(std::wstring_view units) {
    for (wchar_t unit : units) UnitIsGbk(unit);
}

}  // namespace zl
