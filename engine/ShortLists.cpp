#include "ShortLists.h"

#include <algorithm>
#include <string_view>

#include "LearnFormat.h"
#include "ListBuilder.h"
#include "Ranker.h"

namespace zl {

namespace {

constexpr size_t kLetters = 26;
// Three-letter pinyin codes with this many matches get a list, and their next letter's
// matches are found: fewer are cheap to search on the key, and a lower bar keeps a
// megabyte or two more for each engine.
constexpr uint64_t kThreeLetterMatches = 30;
// Four- and five-letter codes with this many matches get a list, and their next
// letter's matches are found.
constexpr uint64_t kManyMatches = 100;
// The kept lists' first megabyte; the first hour of typing fills more.
constexpr size_t kSlabsAhead = (1 << 20) / BlockPool::kSlab;

}  // namespace

size_t ShortLists::IndexOf(const std::string& code) const {
    auto letter = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<size_t>(c - 'a') : SIZE_MAX; };
    size_t key = 0;
    for (char c : code) {
        if (letter(c) == SIZE_MAX) return SIZE_MAX;
        key = key * kLetters + letter(c);
    }
    switch (code.size()) {
    case 1: return key;
    case 2: return kLetters + key;
    case 3: return key < threeLetters_.size() && threeLetters_[key] != 0 ? threeLetters_[key] - 1u : SIZE_MAX;
    case 4:
    case 5: {
        const auto it = longer_.find(code);
        return it == longer_.end() ? SIZE_MAX : it->second.list;
    }
    default: return SIZE_MAX;
    }
}

void ShortLists::BuildOne(ListBuilder& builder, const Dict& dict, const std::string& code, size_t at) {
    searchedAll_ = false;
    const ListBuilder::PinyinSearch search = [&](const std::string& typed, std::vector<uint32_t>& out,
                                                 uint64_t max) {
        dict.SearchPinyin(typed, out, max);
        // Fewer than the cap: the search saw the whole group.
        searchedAll_ = out.size() < Dict::PinyinCap(max);
    };
    builder.Build(dict, mode, code, gbkOnly, search);
    if (at == lists.size()) lists.emplace_back();
    if (builder.pending.empty() && !builder.pinyinFound) return;
    CachedList& list = lists[at].built;
    builder.Keep(list);
    list.mode = mode;
    list.code = code;
    list.gbkOnly = gbkOnly;
    const bool searched = mode == kModePinyin || builder.pinyinSearched;
    list.pinyinAllKnown = searched && searchedAll_;
    if (list.pinyinAllKnown) list.pinyinAll = builder.ids;
    lists[at].ready = true;
}

bool ShortLists::CountAndRank(const Dict& dict, const std::string* file, const std::atomic<bool>& stop) {
    // Every text of the lists, sorted by hash and text, with its count: the file's lines
    // find theirs, and a later line for a text wins, as in the engine's map. Sorted
    // rather than hashed into a map: a node per text cost more than all the rest.
    struct Known {
        uint32_t hash;
        uint32_t count;
        std::wstring_view text;
        bool operator<(const Known& o) const { return hash != o.hash ? hash < o.hash : text < o.text; }
        bool operator==(const Known& o) const { return hash == o.hash && text == o.text; }
    };
    std::vector<Known> known;
    const auto find = [&known](uint32_t hash, std::wstring_view text) -> Known* {
        const Known key{hash, 0, text};
        const auto it = std::lower_bound(known.begin(), known.end(), key);
        return it != known.end() && *it == key ? &*it : nullptr;
    };
    const auto textOf = [&dict](const PendingCandidate& p) {
        DictEntry e;
        return dict.GetEntry(p.source, e) ? dict.Text(e) : std::wstring_view();
    };
    if (file) {
        size_t candidates = 0;
        for (const List& list : lists) candidates += list.built.pending.size();
        known.reserve(candidates);
        for (const List& list : lists) {
            if (stop.load(std::memory_order_relaxed)) return false;
            for (const PendingCandidate& p : list.built.pending) known.push_back({p.hash, 0, textOf(p)});
        }
        std::sort(known.begin(), known.end());
        known.erase(std::unique(known.begin(), known.end()), known.end());
        ForEachUseCount(
            *file, [&](const std::wstring& text, uint32_t count) {
                if (Known* k = find(TextHash(text), text)) k->count = count;
            },
            &stop);
    }
    Ranker ranker;
    for (List& list : lists) {
        if (stop.load(std::memory_order_relaxed)) return false;
        if (!list.ready) continue;
        CachedList& built = list.built;
        if (file) {
            for (PendingCandidate& p : built.pending)
                if (const Known* k = find(p.hash, textOf(p))) p.userCount = k->count;
        }
        ranker.Rank(built.pending, byUse, built.kept);
        built.freqAdjust = byUse;
        built.countsSeen = countsAt;
    }
    return true;
}

const std::vector<uint32_t>* ShortLists::LongerMatches(const std::string& code) const {
    const auto it = longer_.find(code);
    return it == longer_.end() ? nullptr : &it->second.matches;
}

void ShortLists::KeepLonger(const Dict& dict, const std::string& code, const std::vector<uint32_t>& all) {
    // A longer code matches only entries the shorter one does, so the longer codes'
    // matches are among code's. The letter typed next is one the matcher could match in
    // the entry's pinyin: only those are tried.
    std::string longer = code + ' ';
    for (uint32_t id : all) {
        DictEntry e;
        if (!dict.GetEntry(id, e) || e.syllableCount == 0) continue;
        const std::string_view pinyin = dict.Pinyin(e);
        const uint32_t letters = Dict::PinyinLetters(pinyin, e.syllableCount);
        for (size_t letter = 0; letter < kLetters; ++letter) {
            if ((letters & (1u << letter)) == 0) continue;
            longer.back() = static_cast<char>('a' + letter);
            if (Dict::SylMatch(pinyin, e.syllableCount, longer.data(), static_cast<int>(longer.size())))
                longer_[longer].matches.push_back(id);
        }
    }
}

void ShortLists::Build(const Dict& dict, const std::atomic<bool>& stop) {
    // Held only while building, however it ends.
    const std::shared_ptr<const std::string> file = std::move(userFile);
    lists.assign(kLetters + kLetters * kLetters, List{});
    ListBuilder builder;
    builder.Reserve();
    std::string code;
    for (size_t first = 0; first < kLetters; ++first) {
        for (size_t second = 0; second <= kLetters; ++second) {
            if (stop.load(std::memory_order_relaxed)) return;
            code.assign(1, static_cast<char>('a' + first));
            if (second > 0) code.push_back(static_cast<char>('a' + second - 1));
            BuildOne(builder, dict, code, IndexOf(code));
        }
    }
    // Wubi codes of three letters match a few ids; pinyin ones can match hundreds.
    if (mode != kModeWubi) {
        threeLetters_.assign(kLetters * kLetters * kLetters, 0);
        std::vector<uint32_t> ids;
        code.assign(3, 'a');
        for (size_t key = 0; key < threeLetters_.size(); ++key) {
            if (stop.load(std::memory_order_relaxed)) return;
            code[0] = static_cast<char>('a' + key / (kLetters * kLetters));
            code[1] = static_cast<char>('a' + key / kLetters % kLetters);
            code[2] = static_cast<char>('a' + key % kLetters);
            dict.SearchPinyin(code, ids, kThreeLetterMatches);
            if (ids.size() < kThreeLetterMatches || lists.size() >= UINT16_MAX) continue;
            threeLetters_[key] = static_cast<uint16_t>(lists.size() + 1);
            BuildOne(builder, dict, code, lists.size());
            dict.SearchPinyin(code, ids, UINT64_MAX);
            KeepLonger(dict, code, ids);
        }
        // The four- and five-letter codes with many matches get lists too: their matches
        // are known, and they give the next letter's (a sixth letter's are a few
        // thousand ids in all).
        std::vector<std::string> many;
        for (size_t length = 4; length <= 5; ++length) {
            many.clear();
            for (const auto& [longer, kept] : longer_)
                if (longer.size() == length && kept.matches.size() >= kManyMatches) many.push_back(longer);
            for (const std::string& longer : many) {
                if (stop.load(std::memory_order_relaxed)) return;
                const size_t at = lists.size();
                longer_[longer].list = at;
                BuildOne(builder, dict, longer, at);
                KeepLonger(dict, longer, longer_[longer].matches);
            }
        }
    }
    if (withCounts) {
        try {
            if (!CountAndRank(dict, file.get(), stop)) return;
            counted = true;
        } catch (...) {
            // No memory: the engine counts and ranks each list as it takes it.
        }
    }
    try {
        slabs = BlockPool::MakeSlabs(kSlabsAhead);
    } catch (...) {
        slabs.clear();  // no memory: the pool makes its slabs as it needs them
    }
    done.store(true, std::memory_order_release);
}

}  // namespace zl
