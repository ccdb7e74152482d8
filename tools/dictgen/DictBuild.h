// Turns the rows of the Wubi and pinyin tables into dictionary entries.
#pragma once

#include <string>
#include <vector>

#include "DictWriter.h"
#include "RimeTable.h"

namespace zl {

struct DictBuildOptions {
    bool allCharacters = false;  // false: only texts that pass the engine's GBK test
};

struct DictBuildStats {
    size_t wubiEntries = 0;
    size_t pinyinEntries = 0;
    size_t droppedNonGbk = 0;
    size_t duplicates = 0;
};

// One Wubi entry per distinct (text, code) and one pinyin entry per distinct
// (text, reading), each keeping its heaviest weight. False with "line N: reason"
// naming the table ("wubi" or "pinyin") when a row is not usable.
bool BuildDictSources(const std::vector<RimeRow>& wubi, const std::vector<RimeRow>& pinyin,
                      const DictBuildOptions& options, DictWriter& writer, DictBuildStats& stats,
                      std::string& error);

}  // namespace zl
