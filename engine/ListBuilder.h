// Builds a code's candidates from the dictionary alone: searched, filtered, merged by
// text and in building order. The user's use counts and promotions are the caller's to
// add, so the same building serves the typing thread and the short lists made aside.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Candidate.h"
#include "CandidateCache.h"
#include "Dict.h"

namespace zl {

class ListBuilder {
public:
    static constexpr size_t kMaxCandidates = 100;
    static constexpr uint64_t kWubiMax = 100;
    static constexpr uint64_t kMixedPinyinMax = 60;

    // Fills out with the pinyin matches of code, as Dict::SearchPinyin(code, out, max).
    using PinyinSearch = std::function<void(const std::string& code, std::vector<uint32_t>& out, uint64_t max)>;

    // The candidates of code in scheme m (the effective one), with no use count and no
    // promotion. gbkOnly drops the texts outside GBK.
    void Build(const Dict& dict, Mode m, const std::string& code, bool gbkOnly, const PinyinSearch& search);
    // Gives the scratch its usual room, written once, so that building need not.
    void Reserve();
    // Copies the candidates and what the building learnt into list.
    void Keep(CachedList& list) const;

    PendingList pending;
    std::vector<std::wstring_view> texts;  // of pending, in the mapping
    uint64_t wubiCount = 0;
    uint64_t exactCount = 0;
    bool pinyinLonger = false;
    // The mixed scheme searched pinyin for the code and found ids (usable or not).
    bool pinyinSearched = false;
    bool pinyinFound = false;
    std::vector<uint32_t> ids;  // the last search's ids

private:
    void Add(const Dict& dict, uint32_t id, const DictEntry& e, int32_t exactTier, int32_t otherTier,
             bool fromPinyin);
    // Position of text (whose hash is hash) in pending, or SIZE_MAX; `slot` receives
    // where it belongs in slots_.
    size_t Find(std::wstring_view text, uint32_t hash, size_t& slot);

    const std::string* code_ = nullptr;
    bool gbkOnly_ = false;
    std::vector<uint32_t> slots_;  // open-addressing index of pending by text; 0 = free
    std::string joined_;
};

}  // namespace zl
