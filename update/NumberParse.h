// Unsigned numbers in manifests and headers.
#pragma once

#include <cstdint>
#include <string>

namespace zl {

// Reads like wcstoull: leading white space, the digits up to the first other character
// (none gives 0), in base 16 an optional "0x". One rule for numbers that cannot be held:
// a minus sign or a value above `max` gives false, never a wrapped or truncated value.
bool ParseUnsigned(const std::wstring& text, int base, uint64_t max, uint64_t* out);

}  // namespace zl
