#include "DictBuild.h"

#include <algorithm>
#include <map>
#include <utility>

#include "Dict.h"
#include "GbkText.h"

namespace zl {

namespace {

bool IsWubiCode(const std::string& code) {
    if (code.empty() || code.size() > 255) return false;
    for (char c : code)
        if (c < 'a' || c > 'z') return false;
    return true;
}

// Keeps the first position of each key and its heaviest weight.
template <typename Key>
void Collect(std::map<Key, size_t>& seen, std::vector<DictSource>& list, Key key, DictSource src,
             DictBuildStats& stats) {
    auto it = seen.find(key);
    if (it == seen.end()) {
        seen.emplace(std::move(key), list.size());
        list.push_back(std::move(src));
        return;
    }
    ++stats.duplicates;
    DictSource& kept = list[it->second];
    if (src.weight > kept.weight) kept.weight = src.weight;
}

}  // namespace

bool BuildDictSources(const std::vector<RimeRow>& wubi, const std::vector<RimeRow>& pinyin,
                      const DictBuildOptions& options, DictWriter& writer, DictBuildStats& stats,
                      std::string& error) {
    stats = DictBuildStats{};
    std::vector<DictSource> wubiList, pinyinList;
    std::map<std::pair<std::wstring, std::string>, size_t> wubiSeen;
    std::map<std::pair<std::wstring, std::vector<std::string>>, size_t> pinyinSeen;

    for (const RimeRow& row : wubi) {
        if (!IsWubiCode(row.key)) {
            error = "wubi line " + std::to_string(row.line) + ": code '" + row.key + "' is not 1 to 255 letters a-z";
            return false;
        }
        if (row.text.size() > 65535) {
            error = "wubi line " + std::to_string(row.line) + ": text is too long";
            return false;
        }
        if (!options.allCharacters && !IsGbkText(row.text)) {
            ++stats.droppedNonGbk;
            continue;
        }
        DictSource src{row.text, row.key, {}, row.weight};
        Collect(wubiSeen, wubiList, std::make_pair(row.text, row.key), std::move(src), stats);
    }
    for (const RimeRow& row : pinyin) {
        std::vector<std::string> syllables;
        // The engine takes a syllable longer than any real one for a damaged pool.
        bool ok = SplitPinyin(row.key, syllables) && syllables.size() <= 255;
        for (const std::string& s : syllables) ok = ok && s.size() <= Dict::kMaxSyllable;
        if (!ok) {
            error = "pinyin line " + std::to_string(row.line) + ": reading '" + row.key +
                    "' is not 1 to 255 syllables of 1 to 6 letters a-z";
            return false;
        }
        if (row.text.size() > 65535) {
            error = "pinyin line " + std::to_string(row.line) + ": text is too long";
            return false;
        }
        if (!options.allCharacters && !IsGbkText(row.text)) {
            ++stats.droppedNonGbk;
            continue;
        }
        DictSource src{row.text, {}, syllables, row.weight};
        Collect(pinyinSeen, pinyinList, std::make_pair(row.text, std::move(syllables)), std::move(src), stats);
    }

    // Entries go in the order the searches read them: Wubi by code, pinyin by first
    // letter, heavier first. A search's ids then lie side by side in the entry table and
    // the pools (a first-letter list, read from scattered pages, cost several times
    // more). Ties keep the source order, as the indexes' stable sorts do, so every search
    // finds the same entries in the same order.
    std::stable_sort(wubiList.begin(), wubiList.end(), [](const DictSource& a, const DictSource& b) {
        const int c = a.code.compare(b.code);
        return c != 0 ? c < 0 : a.weight > b.weight;
    });
    const auto firstLetter = [](const DictSource& s) -> unsigned char {
        return s.syllables.empty() || s.syllables[0].empty() ? 0 : s.syllables[0][0];
    };
    std::stable_sort(pinyinList.begin(), pinyinList.end(), [&](const DictSource& a, const DictSource& b) {
        return firstLetter(a) != firstLetter(b) ? firstLetter(a) < firstLetter(b) : a.weight > b.weight;
    });

    stats.wubiEntries = wubiList.size();
    stats.pinyinEntries = pinyinList.size();
    for (DictSource& s : wubiList) writer.Add(std::move(s));
    for (DictSource& s : pinyinList) writer.Add(std::move(s));
    return true;
}

}  // namespace zl
