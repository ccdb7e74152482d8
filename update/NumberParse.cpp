#include "NumberParse.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>

namespace zl {

bool ParseUnsigned(const std::wstring& text, int base, uint64_t max, uint64_t* out) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    // wcstoull would negate "-1" into the largest value.
    if (i < text.size() && text[i] == L'-') return false;
    errno = 0;
    const unsigned long long v = std::wcstoull(text.c_str(), nullptr, base);
    if (errno == ERANGE || v > max) return false;
    *out = v;
    return true;
}

}  // namespace zl
