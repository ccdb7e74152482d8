// Building and ranking the candidate list for the typed code.
#include <algorithm>
#include <functional>

#include "Engine.h"
#include "GbkText.h"
#include "JoinedPinyin.h"
#include "Prefault.h"

namespace zl {

namespace {

// More raised candidates than this are ranked again by sorting the whole list.
constexpr size_t kRaisedByInsertion = 32;
// Building positions up to this fit the packed order's low 16 bits.
constexpr uint32_t kMaxPackedAt = 0xFFFF;
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
        // do the matches of four or five letters found aside, which are fewer than a
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

Engine::Ranked Engine::RankOf(const Pending& p, uint32_t at) const {
    // The candidate order folded into two numbers, larger first: promotion stamp, then
    // tier (smaller better); use count (when it counts), then weight. Ties fall back to
    // the building order, as in a stable sort.
    const bool byUse = config.freqAdjust != 0;
    return Ranked{(uint64_t{p.promote} << 32) | static_cast<uint32_t>(INT32_MAX - p.tier),
                  ((byUse ? uint64_t{p.userCount} : 0) << 32) | p.freq, at};
}

void Engine::RankPending(const PendingList& pending, std::vector<uint32_t>& kept) {
    // Most candidates have no promotion and no use that counts: their order is tier,
    // weight, building order, packed into one number each (larger first). The others,
    // when few, go in afterwards as raised ones do.
    const bool byUse = config.freqAdjust != 0;
    bool packed = pending.size() <= kMaxPackedAt + 1;
    lifted_.clear();
    packedKeys_.clear();
    for (uint32_t i = 0; packed && i < pending.size(); ++i) {
        const Pending& p = pending[i];
        if (p.promote != 0 || (byUse && p.userCount != 0) || p.tier < 0) {
            lifted_.push_back(i);
            packed = lifted_.size() <= kRaisedByInsertion;
        } else {
            packedKeys_.push_back((uint64_t(INT8_MAX - p.tier) << 48) | (uint64_t{p.freq} << 16) | (kMaxPackedAt - i));
        }
    }
    if (packed) {
        const size_t keep = std::min(packedKeys_.size(), kMaxCandidates);
        const auto first = packedKeys_.begin();
        if (keep < packedKeys_.size()) std::nth_element(first, first + keep, packedKeys_.end(), std::greater<>());
        std::sort(first, first + keep, std::greater<>());
        kept.resize(keep);
        for (size_t i = 0; i < keep; ++i) kept[i] = kMaxPackedAt - static_cast<uint32_t>(packedKeys_[i] & kMaxPackedAt);
        if (!lifted_.empty()) RankRaised(pending, lifted_, kept);
        return;
    }
    ranked_.resize(pending.size());
    for (uint32_t i = 0; i < ranked_.size(); ++i) ranked_[i] = RankOf(pending[i], i);
    // The order is total (building order breaks every tie), so selecting the best 100
    // and sorting them gives the list a full sort would.
    const size_t keep = std::min(ranked_.size(), kMaxCandidates);
    if (keep < ranked_.size())
        std::nth_element(ranked_.begin(), ranked_.begin() + keep, ranked_.end(), Ranked::Before);
    std::sort(ranked_.begin(), ranked_.begin() + keep, Ranked::Before);
    kept.resize(keep);
    for (size_t i = 0; i < keep; ++i) kept[i] = ranked_[i].at;
}

void Engine::RankRaised(const PendingList& pending, const std::vector<uint32_t>& raised,
                        std::vector<uint32_t>& kept) {
    // Only the raised candidates moved, and only up: any other one left out still ranks
    // below all those kept, so the best are among the kept and the raised. The kept
    // ones that did not move stay in order; each raised one goes in at its new place.
    const size_t keep = std::min(pending.size(), kMaxCandidates);
    const auto before = [&](uint32_t x, uint32_t y) {
        return Ranked::Before(RankOf(pending[x], x), RankOf(pending[y], y));
    };
    for (uint32_t at : raised) {
        const auto was = std::find(kept.begin(), kept.end(), at);
        if (was != kept.end()) kept.erase(was);
    }
    for (uint32_t at : raised) kept.insert(std::lower_bound(kept.begin(), kept.end(), at, before), at);
    if (kept.size() > keep) kept.resize(keep);
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
    if (list->countsSeen != cache_.CountsMade()) {
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
                raised_.push_back(static_cast<uint32_t>(&p - list->pending.data()));
            else
                fell = true;
            p.userCount = now;
        };
        // Usually a few commits went by: their hashes, sieved by a bit per hash range,
        // find the candidates to read in one pass over the list.
        countedHashes_.clear();
        uint64_t sieve[kCountedSieveWords] = {};
        const auto bitOf = [](uint32_t hash) { return hash >> (32 - kCountedSieveBits); };
        const bool few = cache_.ForEachCountedSince(list->countsSeen, [&](uint32_t hash) {
            countedHashes_.push_back(hash);
            sieve[bitOf(hash) >> 6] |= uint64_t{1} << (bitOf(hash) & 63);
        });
        if (few) {
            std::sort(countedHashes_.begin(), countedHashes_.end());
            for (Pending& p : list->pending) {
                if (((sieve[bitOf(p.hash) >> 6] >> (bitOf(p.hash) & 63)) & 1) != 0 &&
                    std::binary_search(countedHashes_.begin(), countedHashes_.end(), p.hash))
                    readAgain(p);
            }
        } else {
            for (Pending& p : list->pending)
                if (cache_.MayHaveCounted(p.hash, list->countsSeen)) readAgain(p);
        }
        if (list->freqAdjust && (fell || !raised_.empty())) {
            if (fell || raised_.size() > kRaisedByInsertion)
                RankPending(list->pending, list->kept);
            else
                RankRaised(list->pending, raised_, list->kept);
        }
        list->countsSeen = cache_.CountsMade();
    }
    wubiCount = list->wubiCount;
    exactCount = list->exactCount;
    pinyinLonger = list->pinyinLonger;
    EmitCandidates(list->pending, list->kept);
    return true;
}

void Engine::ReserveScratch() {
    // The first lists would otherwise grow each of these: fresh heap on the first keys,
    // whose pages fault in as they are first written (tens of microseconds a page on
    // some hosts). So the room is written once here.
    const size_t ids = Dict::PinyinCap(ListBuilder::kWubiMax);
    builder_.Reserve();
    Prefault(ranked_, ids);
    Prefault(packedKeys_, ids);
    Prefault(lifted_, kRaisedByInsertion + 1);
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

void Engine::StartShortLists(Mode m) {
    if (!dict.Valid()) return;
    std::shared_ptr<ShortLists> lists;
    Warmup::Then build;
    try {
        lists = std::make_shared<ShortLists>();
        lists->mode = m;
        lists->gbkOnly = config.gbkOnly != 0;
        lists->dictLoads = dict.Loads();
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

    AddUserData(list.pending, nullptr);
    RankPending(list.pending, kept_);
    wubiCount = list.wubiCount;
    exactCount = list.exactCount;
    pinyinLonger = list.pinyinLonger;
    EmitCandidates(list.pending, kept_);
    try {
        const size_t ids = kept_.size() + list.pinyinAll.size();
        CachedList& kept = cache_.Add(m, code, list.pending.size() + ids / 6 + 12);
        // The cache's own bookkeeping stays; everything else is the list built aside.
        list.units = kept.units;
        list.countsSeen = kept.countsSeen;
        list.freqAdjust = config.freqAdjust != 0;
        list.kept = kept_;
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

void Engine::AddUserData(PendingList& pending, const std::vector<std::wstring_view>* texts) {
    const bool uses = !userFreq.empty();
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
    AddUserData(pending, &builder_.texts);
    wubiCount = builder_.wubiCount;
    exactCount = builder_.exactCount;
    pinyinLonger = builder_.pinyinLonger;
    RankPending(pending, kept_);
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
