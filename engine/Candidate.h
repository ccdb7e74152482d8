// The input scheme and one entry of the candidate list.
#pragma once

#include <cstdint>
#include <string>

namespace zl {

enum Mode : int32_t {
    kModeWubi = 0,
    kModePinyin = 1,
    kModeMixed = 2,
};

struct Candidate {
    std::wstring text;
    std::string code;
    uint32_t freq = 0;       // dictionary weight of the entry that supplied code
    uint32_t userCount = 0;  // the user's use count of text
    uint32_t promote = 0;    // promotion stamp of (typed code, text); 0 = not promoted
    int32_t tier = 0;        // rank class, smaller first
};

}  // namespace zl
