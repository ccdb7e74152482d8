#include "TextDecode.h"

#include <windows.h>

#include <climits>

namespace zl {

namespace {

std::wstring Convert(UINT codePage, DWORD flags, const char* p, size_t n) {
    if (n > INT_MAX) return std::wstring();
    const int len = static_cast<int>(n);
    const int need = MultiByteToWideChar(codePage, flags, p, len, nullptr, 0);
    if (need <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(need), L'\0');
    const int got = MultiByteToWideChar(codePage, flags, p, len, &out[0], need);
    if (got <= 0) return std::wstring();
    out.resize(static_cast<size_t>(got));
    return out;
}

}  // namespace

std::wstring DecodeText(const std::string& bytes) {
    size_t pos = 0;
    while (bytes.size() - pos >= 3 && bytes.compare(pos, 3, "\xEF\xBB\xBF") == 0) pos += 3;
    const char* p = bytes.data() + pos;
    const size_t n = bytes.size() - pos;
    if (n == 0) return std::wstring();

    std::wstring text = Convert(CP_UTF8, MB_ERR_INVALID_CHARS, p, n);
    if (!text.empty()) return text;

    if (n >= 2 && static_cast<unsigned char>(p[0]) == 0xFF &&
        static_cast<unsigned char>(p[1]) == 0xFE) {
        const size_t units = (n - 2) / 2;
        text.resize(units);
        for (size_t i = 0; i < units; ++i) {
            const auto lo = static_cast<unsigned char>(p[2 + 2 * i]);
            const auto hi = static_cast<unsigned char>(p[3 + 2 * i]);
            text[i] = static_cast<wchar_t>(lo | (hi << 8));
        }
        return text;
    }
    return Convert(936, 0, p, n);
}

}  // namespace zl
