// Joining an entry's syllables as they are typed.
#include "JoinedPinyin.h"

namespace zl {

void JoinPinyin(std::string_view pinyin, int syllableCount, std::string& out) {
    // Gathered on the stack and appended a block at a time: a candidate's code is
    // made for every candidate shown.
    char joined[64];
    size_t n = 0;
    out.clear();
    const bool whole = ForEachJoinedLetter(pinyin, syllableCount, [&](char ch) {
        if (n == sizeof joined) {
            out.append(joined, n);
            n = 0;
        }
        joined[n++] = ch;
    });
    if (whole)
        out.append(joined, n);
    else
        out.clear();
}

}  // namespace zl
