// Made-up user texts for the benchmarks' user.dat.
#pragma once

#include <string>

namespace zlbench {

// Texts of one to four CJK characters, like committed words and phrases; distinct
// enough that a map of 100,000 takes a few hundred thousand indices.
inline std::wstring UserText(size_t i) {
    std::wstring s;
    const size_t len = 1 + i % 4;
    for (size_t k = 0; k < len; ++k) {
        s.push_back(static_cast<wchar_t>(0x4E00 + i % 20000));
        i = i / 3 + 7919 * (k + 1);
    }
    return s;
}

}  // namespace zlbench
