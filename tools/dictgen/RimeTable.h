// Reader for the tab-separated data of a Rime dictionary file (*.dict.yaml).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zl {

struct RimeRow {
    std::wstring text;
    std::string key;  // second column: a Wubi code, or space-separated pinyin
    uint32_t weight = 0;
    size_t line = 0;
};

// Parses the rows after the line "...". Empty and '#' lines are skipped. On a
// malformed line, returns false with "line N: reason" in error.
bool ParseRimeTable(const std::string& content, std::vector<RimeRow>& rows, std::string& error);

// A weight: decimal digits, optionally with a fraction (dropped). False when it does
// not fit 32 unsigned bits or is not a number.
bool ParseWeight(const std::string& s, uint32_t& weight);

// Splits space-separated pinyin into syllables of a-z, writing ü as v (lue -> lve, nue -> nve).
bool SplitPinyin(const std::string& key, std::vector<std::string>& syllables);

}  // namespace zl
