// Building and ranking the candidate list for the typed code.
#include <algorithm>

#include "Engine.h"
#include "GbkText.h"
#include "JoinedPinyin.h"
#include "Prefault.h"

namespace zl {

namespace {

// The sieve of recently counted hashes: 1024 bits, a few of them set per count.
constexpr unsigned kCountedSieveBits = 10;
constexpr size_t kCountedSieveWords = (size_t{1} << kCountedSieveBits) / 64;
// The promoted texts' bits: 65,536, a sixteenth set at the most promotions kept.
constexpr uint32_t kPromotedBits = 1u << 16;

}  // namespace

bool Engine::IsGbkText(std::wstring_view text) { return zl::IsGbkText(text); }

Mode Engine::EffectiveMode() const {
    if (tempPinyin) return kModePinyin;
    // An unknown scheme value searches like Wubi, as config.ini turns it into Wubi.
    return (mode == kModePinyin || mode == kModeMixed) ? mode : kModeWubi;
}

bool Engine::PinyinHasMatch(const std::string& typed) const {
    if (typed.empty()) return false;
    std::vector<uint32_t> ids;
    dict.SearchPinyin(typed, ids, 1);
    return !ids.empty();
}

void Engine::SearchPinyin(const std::string& typed, std::vector<uint32_t>& out, uint64_t max) {
    const uint64_t cap = Dict::PinyinCap(max);
    auto extends = [&] {
        return pinyinWholeKnown_ && !pinyinWhole_.empty() && typed.compare(0, pinyinWhole_.size(), pinyinWhole_) == 0;
    };
    if (!extends()) {
        // Typing a kept code again skips its search: the kept list knows its matches. So
        // do the matches of four to six letters found aside, which are fewer than a
        // shorter kept code's.
        const Mode m = EffectiveMode();
        const bool aside = shortLists_ && shortLists_->dictLoads == dict.Loads() &&
                           shortLists_->done.load(std::memory_order_acquire);
        for (size_t n = typed.size(); n > 0; --n) {
            prefix_.assign(typed, 0, n);
            const std::vector<uint32_t>* all = n >= 4 && aside ? shortLists_->LongerMatches(prefix_) : nullptr;
            if (!all) {
                const CachedList* kept = cache_.Find(m, prefix_);
                if (kept && kept->pinyinAllKnown) all = &kept->pinyinAll;
            }
            if (all) {
                pinyinWhole_ = prefix_;
                pinyinWholeIds_ = *all;
                pinyinWholeKnown_ = true;
                break;
            }
        }
    }
    // A jump table's list for the typed letters may be shorter than the known matches.
    if (extends() && dict.PinyinSearchLength(typed) >= pinyinWholeIds_.size()) {
        dict.FilterPinyin(typed, pinyinWholeIds_, out, UINT64_MAX);
        pinyinWhole_ = typed;
        pinyinWholeIds_ = out;
        if (out.size() > cap) out.resize(cap);
        return;
    }
    dict.SearchPinyin(typed, out, max);
    // Fewer than the cap: the search saw the whole group, so these are all the matches.
    pinyinWholeKnown_ = out.size() < cap;
    if (pinyinWholeKnown_) {
        pinyinWhole_ = typed;
        pinyinWholeIds_ = out;
    }
}

bool Engine::PinyinExtends(const std::string& longer) {
    // A list kept for the longer code knows whether its pinyin search found anything.
    if (const CachedList* kept = cache_.Find(kModeMixed, longer)) {
        if (kept->pinyinSearched) return kept->pinyinFound;
    }
    // The same answer as PinyinHasMatch: a larger limit only lets the search go on
    // after its first id. The ids serve the Update of the extended code.
    pinyinSearched_ = longer;
    SearchPinyin(longer, pinyinIds_, ListBuilder::kMixedPinyinMax);
    if (pinyinIds_.empty()) pinyinSearched_.clear();
    return !pinyinIds_.empty();
}

void Engine::EmitCandidates(const PendingList& pending, const std::vector<uint32_t>& kept) {
    candidates.Start(dict, kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        const Pending& p = pending[kept[i]];
        candidates.Set(i, p.source, p.pinyin, p.freq, p.userCount, p.promote, p.tier);
    }
}

bool Engine::RefreshFromCache(Mode m) {
    CachedList* list = cache_.Find(m, code);
    if (!list || list->gbkOnly != (config.gbkOnly != 0) || list->freqAdjust != (config.freqAdjust != 0))
        return false;
    CatchUpCounts(*list);
    wubiCount = list->wubiCount;
    exactCount = list->exactCount;
    pinyinLonger = list->pinyinLonger;
    EmitCandidates(list->pending, list->kept);
    return true;
}

void Engine::CatchUpCounts(CachedList& list) {
    if (list.countsSeen == cache_.CountsMade()) return;
    // Ranking a kept list again costs microseconds; searching and building, far more.
    raised_.clear();
    bool fell = false;
    auto readAgain = [&](Pending& p) {
        // A text never counted still has none; one counted has its bit in the filter.
        if (!learned_.MayHave(p.hash)) return;
        DictEntry e;
        if (!dict.GetEntry(p.source, e)) return;
        textKey_.assign(dict.Text(e));
        const auto count = userFreq.find(textKey_);
        const uint32_t now = count == userFreq.end() ? 0 : count->second;
        if (now == p.userCount) return;
        if (now > p.userCount)
            raised_.push_back(static_cast<uint32_t>(&p - list.pending.data()));
        else
            fell = true;
        p.userCount = now;
    };
    // Usually a few commits went by: their hashes, sieved by a bit per hash range,
    // find the candidates to read in one pass over the list.
    countedHashes_.clear();
    uint64_t sieve[kCountedSieveWords] = {};
    const auto bitOf = [](uint32_t hash) { return hash >> (32 - kCountedSieveBits); };
    const bool few = cache_.ForEachCountedSince(list.countsSeen, [&](uint32_t hash) {
        countedHashes_.push_back(hash);
        sieve[bitOf(hash) >> 6] |= uint64_t{1} << (bitOf(hash) & 63);
    });
    if (few) {
        std::sort(countedHashes_.begin(), countedHashes_.end());
        for (Pending& p : list.pending) {
            if (((sieve[bitOf(p.hash) >> 6] >> (bitOf(p.hash) & 63)) & 1) != 0 &&
                std::binary_search(countedHashes_.begin(), countedHashes_.end(), p.hash))
                readAgain(p);
        }
    } else {
        for (Pending& p : list.pending)
            if (cache_.MayHaveCounted(p.hash, list.countsSeen)) readAgain(p);
    }
    if (list.freqAdjust && (fell || !raised_.empty())) {
        if (fell || raised_.size() > Ranker::kRaisedByInsertion)
            ranker_.Rank(list.pending, true, list.kept);
        else
            ranker_.Raise(list.pending, true, raised_, list.kept);
    }
    list.countsSeen = cache_.CountsMade();
}

void Engine::ReserveScratch() {
    // The first lists would otherwise grow each of these: fresh heap on the first keys,
    // whose pages fault in as they are first written (tens of microseconds a page on
    // some hosts). So the room is written once here.
    const size_t ids = Dict::PinyinCap(ListBuilder::kWubiMax);
    builder_.Reserve();
    ranker_.Reserve(ids);
    Prefault(raised_, kMaxCandidates);
    Prefault(kept_, kMaxCandidates);
    Prefault(countedHashes_, CandidateCache::kRecentCounts);
    candidates.Reserve(kMaxCandidates);
    cache_.Reserve();
}

void Engine::ForgetSearches() {
    cache_.Clear();
    pinyinWholeKnown_ = false;
    pinyinSearched_.clear();
    promotedFor_ = SIZE_MAX;
}

void Engine::Update() {
    ++userCounts_;  // the caller may have changed any count
    learned_.Rebuild(userFreq);
    Rebuild();
}

void Engine::Rebuild() {
    ForgetSearches();
    Refresh();
}

void Engine::Refresh() {
    page = 0;
    wubiCount = 0;
    exactCount = 0;
    pinyinLonger = false;
    const bool presearched = pinyinSearched_ == code && !code.empty();
    pinyinSearched_.clear();
    if (code.empty()) {
        candidates.clear();
        return;
    }
    const Mode m = EffectiveMode();
    if (RefreshFromCache(m) || TakeShortList(m)) return;
    BuildList(m, presearched);
}

void Engine::StartShortLists(Mode m, std::shared_ptr<const std::string> userFile) {
    if (!dict.Valid()) return;
    std::shared_ptr<ShortLists> lists;
    Warmup::Then build;
    try {
        lists = std::make_shared<ShortLists>();
        lists->mode = m;
        lists->gbkOnly = config.gbkOnly != 0;
        lists->dictLoads = dict.Loads();
        // The lists can carry the counts only when the thread can read what userFreq
        // holds now: nothing, or the file it was just read from.
        lists->withCounts = userFreq.empty() || userFile != nullptr;
        if (userFreq.empty()) userFile.reset();
        lists->userFile = std::move(userFile);
        lists->byUse = config.freqAdjust != 0;
        lists->countsFor = userCounts_;
        lists->countsAt = cache_.CountsMade();
        const Dict& source = dict;
        // The warm-up thread ends before the dictionary changes or goes; the lists are
        // shared, so they outlive whichever of it and the engine ends last.
        build = [lists, &source](const std::atomic<bool>& stop) { lists->Build(source, stop); };
    } catch (...) {
        // Out of memory: the lists are built on the keys, as without them.
        lists.reset();
        build = nullptr;
    }
    dict.WarmUp(std::move(build));
    shortLists_ = std::move(lists);
}

bool Engine::TakeShortList(Mode m) {
    if (!shortLists_) return false;
    ShortLists& lists = *shortLists_;
    const bool usable = lists.mode == m && lists.gbkOnly == (config.gbkOnly != 0) && lists.dictLoads == dict.Loads();
    if (!usable) {
        // The scheme or the filter changed since: the first letter typed now starts
        // the lists for them, as a load does. Temporary pinyin keeps the scheme's.
        if (code.size() == 1 && !tempPinyin && lists.dictLoads == dict.Loads()) StartShortLists(m);
        return false;
    }
    if (!lists.done.load(std::memory_order_acquire)) return false;
    if (!lists.slabs.empty()) {
        try {
            cache_.AdoptSlabs(std::move(lists.slabs));
        } catch (...) {
            lists.slabs.clear();  // no room to note them: they only save time
        }
    }
    const size_t at = lists.IndexOf(code);
    if (at == SIZE_MAX || !lists.lists[at].ready) return false;
    lists.lists[at].ready = false;  // taken: the kept lists own it from now on
    CachedList& list = lists.lists[at].built;

    const bool byUse = config.freqAdjust != 0;
    if (lists.counted && lists.countsFor == userCounts_) {
        // Counted and ranked aside: only the uses since, and the promotions, are added.
        if (list.freqAdjust != byUse) {
            list.freqAdjust = byUse;
            ranker_.Rank(list.pending, byUse, list.kept);
        }
        CatchUpCounts(list);
        AddUserData(list.pending, nullptr, false);
        raised_.clear();
        for (size_t i = 0; i < list.pending.size(); ++i)
            if (list.pending[i].promote != 0) raised_.push_back(static_cast<uint32_t>(i));
        if (raised_.size() > Ranker::kRaisedByInsertion)
            ranker_.Rank(list.pending, byUse, list.kept);
        else if (!raised_.empty())
            ranker_.Raise(list.pending, byUse, raised_, list.kept);
    } else {
        // Counts read aside, if any (even from a counting that ran out of memory midway),
        // are not userFreq's.
        for (Pending& p : list.pending) p.userCount = 0;
        AddUserData(list.pending, nullptr, true);
        ranker_.Rank(list.pending, byUse, list.kept);
        list.freqAdjust = byUse;
        list.countsSeen = cache_.CountsMade();
    }
    wubiCount = list.wubiCount;
    exactCount = list.exactCount;
    pinyinLonger = list.pinyinLonger;
    EmitCandidates(list.pending, list.kept);
    try {
        const size_t ids = list.kept.size() + list.pinyinAll.size();
        CachedList& kept = cache_.Add(m, code, list.pending.size() + ids / 6 + 12);
        // The cache's own bookkeeping stays; everything else is the list built aside.
        list.units = kept.units;
        kept = std::move(list);
    } catch (...) {
        cache_.Clear();  // no room to keep it: the list is built again next time
    }
    list = CachedList{};
    return true;
}

bool Engine::MayBePromoted(uint32_t hash) {
    if (promotedFor_ != promotions.size()) {
        promotedFor_ = SIZE_MAX;
        promotedBits_.assign(kPromotedBits / 64, 0);
        for (const auto& promotion : promotions) {
            const std::wstring& key = promotion.first;
            const size_t sep = key.find(L'\x0001');
            if (sep == std::wstring::npos) continue;
            const uint32_t h = TextHash(std::wstring_view(key).substr(sep + 1)) & (kPromotedBits - 1);
            promotedBits_[h >> 6] |= uint64_t{1} << (h & 63);
        }
        promotedFor_ = promotions.size();
    }
    const uint32_t h = hash & (kPromotedBits - 1);
    return ((promotedBits_[h >> 6] >> (h & 63)) & 1) != 0;
}

void Engine::AddUserData(PendingList& pending, const std::vector<std::wstring_view>* texts, bool counts) {
    const bool uses = counts && !userFreq.empty();
    const bool promoted = !promotions.empty();
    if (!uses && !promoted) return;
    if (promoted) {
        promoteKey_.assign(code.begin(), code.end());
        promoteKey_.push_back(L'\x0001');
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        Pending& p = pending[i];
        // A text never counted has no count; its bit in the filter spares the lookup.
        const bool lookUse = uses && learned_.MayHave(p.hash);
        // Built here, every text is in hand; taken from the short lists, only the texts
        // a promotion may name are read again.
        const bool lookPromote = promoted && (texts != nullptr || MayBePromoted(p.hash));
        if (!lookUse && !lookPromote) continue;
        std::wstring_view text;
        if (texts) {
            text = (*texts)[i];
        } else {
            DictEntry e;
            if (!dict.GetEntry(p.source, e)) continue;
            text = dict.Text(e);
        }
        if (lookUse) {
            textKey_.assign(text);  // reuses its room: no allocation per candidate
            const auto count = userFreq.find(textKey_);
            if (count != userFreq.end()) p.userCount = count->second;
        }
        if (lookPromote) {
            promoteKey_.resize(code.size() + 1);
            promoteKey_.append(text);
            const auto stamp = promotions.find(promoteKey_);
            if (stamp != promotions.end()) p.promote = stamp->second;
        }
    }
}

void Engine::BuildList(Mode m, bool presearched) {
    const ListBuilder::PinyinSearch search = [this, m, presearched](const std::string& typed,
                                                                     std::vector<uint32_t>& out, uint64_t max) {
        // The mixed scheme's search of this code ran already, to tell whether the
        // letter extends it.
        if (presearched && m == kModeMixed)
            out.swap(pinyinIds_);
        else
            SearchPinyin(typed, out, max);
    };
    builder_.Build(dict, m, code, config.gbkOnly != 0, search);
    PendingList& pending = builder_.pending;
    AddUserData(pending, &builder_.texts, true);
    wubiCount = builder_.wubiCount;
    exactCount = builder_.exactCount;
    pinyinLonger = builder_.pinyinLonger;
    ranker_.Rank(pending, config.freqAdjust != 0, kept_);
    EmitCandidates(pending, kept_);
    try {
        const bool allKnown = m != kModeWubi && pinyinWholeKnown_ && pinyinWhole_ == code;
        // In candidates' size: ids take a sixth of one; the list's own fields about 12.
        const size_t ids = kept_.size() + (allKnown ? pinyinWholeIds_.size() : 0);
        CachedList& list = cache_.Add(m, code, pending.size() + ids / 6 + 12);
        builder_.Keep(list);
        list.gbkOnly = config.gbkOnly != 0;
        list.freqAdjust = config.freqAdjust != 0;
        list.kept = kept_;
        list.pinyinAllKnown = allKnown;
        if (allKnown) list.pinyinAll = pinyinWholeIds_;
    } catch (...) {
        cache_.Clear();  // no room to keep it: the list is built again next time
    }
}

}  // namespace zl
