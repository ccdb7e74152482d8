#include "GbkText.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace zl {

namespace {

// Per unit, a bit in each of two sets: known representable, known not. 16 KB in all,
// so that a list's texts are checked from the first-level cache. Threads that ask about
// the same unit at once set the same bit.
constexpr size_t kUnitWords = 65536 / 32;
std::atomic<uint32_t> g_gbkYes[kUnitWords];
std::atomic<uint32_t> g_gbkNo[kUnitWords];

bool UnitIsGbk(wchar_t unit) {
    const uint16_t u = static_cast<uint16_t>(unit);
    const uint32_t bit = uint32_t{1} << (u & 31);
    if ((g_gbkYes[u >> 5].load(std::memory_order_relaxed) & bit) != 0) return true;
    if ((g_gbkNo[u >> 5].load(std::memory_order_relaxed) & bit) != 0) return false;
    const bool gbk = IsGbkText(std::wstring_view(&unit, 1));
    (gbk ? g_gbkYes : g_gbkNo)[u >> 5].fetch_or(bit, std::memory_order_relaxed);
    return gbk;
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
