// Building and ranking the candidate list for the typed code.
#include <algorithm>
#include <functional>

#include "Engine.h"
#include "GbkText.h"
#include "JoinedPinyin.h"

namespace zl {

namespace {

constexpr size_t kMixedCompletions = 24;
constexpr uint64_t kWubiMax = 100;
constexpr uint64_t kMixedPinyinMax = 60;
constexpr size_t kReserve = 128;
constexpr size_t kMergeSlots = 2048;  // power of two
// More raised candidates than this are ranked again by sorting the whole list.
constexpr size_t kRaisedByInsertion = 32;
// Building positions up to this fit the packed order's low 16 bits.
constexpr uint32_t kMaxPackedAt = 0xFFFF;
// The sieve of recently counted hashes: 1024 bits, a few of them set per count.
constexpr unsigned kCountedSieveBits = 10;
constexpr size_t kCountedSieveWords = (size_t{1} << kCountedSieveBits) / 64;

enum class Spelled { Dropped, Exactly, Otherwise };

// Whether the joined pinyin (as JoinPinyin makes it) is typed, without making it.
Spelled CompareJoined(std::string_view pinyin, int syllableCount, std::string_view typed) {
    size_t length = 0;
    bool same = true;
    const bool whole = ForEachJoinedLetter(pinyin, syllableCount, [&](char ch) {
        same = same && length < typed.size() && typed[length] == ch;
        ++length;
    });
    if (!whole || length == 0) return Spelled::Dropped;
    return same && length == typed.size() ? Spelled::Exactly : Spelled::Otherwise;
}

// Room for n elements in v, written once; v's elements stay as they were.
template <typename V>
void Prefault(V& v, size_t n) {
    const size_t had = v.size();
    if (had >= n) return;
    v.resize(n);
    v.resize(had);
}

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

void Engine::BuildCandidate(uint32_t id, const DictEntry& e, int32_t exactTier, int32_t otherTier, bool fromPinyin) {
    const std::wstring_view text = dict.Text(e);
    if (text.empty()) return;
    if (config.gbkOnly && !IsGbkTextMemo(text)) return;

    bool exact;
    if (fromPinyin) {
        if (e.syllableCount == 0) return;
        const Spelled spelled = CompareJoined(dict.Pinyin(e), e.syllableCount, code);
        if (spelled == Spelled::Dropped) return;
        exact = spelled == Spelled::Exactly;
    } else {
        const std::string_view entryCode = dict.Code(e);
        if (entryCode.empty()) return;
        exact = entryCode == code;
    }
    const int32_t tier = exact ? exactTier : otherTier;

    const uint32_t hash = TextHash(text);
    size_t slot = 0;
    const size_t found = FindPending(text, hash, slot);
    if (found != SIZE_MAX) {
        Pending& listed = pending_[found];
        if (tier < listed.tier || (tier == listed.tier && e.freq > listed.freq)) {
            listed.tier = static_cast<int8_t>(tier);
            listed.freq = e.freq;
            listed.source = id;
            listed.pinyin = fromPinyin;
        }
        return;
    }

    Pending p{hash, id, e.freq, 0, 0, static_cast<int8_t>(tier), fromPinyin};
    if (!userFreq.empty() && learned_.MayHave(hash)) {
        textKey_.assign(text);  // reuses its room: no allocation per id
        const auto count = userFreq.find(textKey_);
        if (count != userFreq.end()) p.userCount = count->second;
    }
    if (!promotions.empty()) {
        promoteKey_.resize(code.size() + 1);
        promoteKey_.append(text);
        const auto stamp = promotions.find(promoteKey_);
        if (stamp != promotions.end()) p.promote = stamp->second;
    }
    textSlots_[slot] = static_cast<uint32_t>(pending_.size() + 1);
    pending_.push_back(p);
    pendingText_.push_back(text);
}

size_t Engine::FindPending(std::wstring_view text, uint32_t hash, size_t& slot) {
    // At most half full, so probing ends at a free slot. The searches' caps bound the
    // entries of one Update, so the table rarely grows; it is cleared per Update.
    if (textSlots_.size() < 2 * (pending_.size() + 1)) {
        std::vector<uint32_t> grown(std::max<size_t>(kMergeSlots, 2 * textSlots_.size()), 0);
        for (size_t i = 0; i < pending_.size(); ++i) {
            size_t s = pending_[i].hash & (grown.size() - 1);
            while (grown[s] != 0) s = (s + 1) & (grown.size() - 1);
            grown[s] = static_cast<uint32_t>(i + 1);
        }
        textSlots_.swap(grown);
    }
    const size_t mask = textSlots_.size() - 1;
    for (slot = hash & mask; textSlots_[slot] != 0; slot = (slot + 1) & mask) {
        const size_t at = textSlots_[slot] - 1;
        if (pendingText_[at] == text) return at;
    }
    return SIZE_MAX;
}

void Engine::SearchPinyin(const std::string& typed, std::vector<uint32_t>& out, uint64_t max) {
    const uint64_t cap = Dict::PinyinCap(max);
    auto extends = [&] {
        return pinyinWholeKnown_ && !pinyinWhole_.empty() && typed.compare(0, pinyinWhole_.size(), pinyinWhole_) == 0;
    };
    if (!extends()) {
        // Typing a kept code again skips its search: the kept list knows its matches.
        const Mode m = EffectiveMode();
        for (size_t n = typed.size(); n > 0; --n) {
            prefix_.assign(typed, 0, n);
            const CachedList* kept = cache_.Find(m, prefix_);
            if (kept && kept->pinyinAllKnown) {
                pinyinWhole_ = prefix_;
                pinyinWholeIds_ = kept->pinyinAll;
                pinyinWholeKnown_ = true;
                break;
            }
        }
    }
    if (extends()) {
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
    SearchPinyin(longer, pinyinIds_, kMixedPinyinMax);
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

void Engine::RankPending(const std::vector<Pending>& pending, std::vector<uint32_t>& kept) {
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

void Engine::RankRaised(const std::vector<Pending>& pending, const std::vector<uint32_t>& raised,
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

void Engine::EmitCandidates(const std::vector<Pending>& pending, const std::vector<uint32_t>& kept) {
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
    const size_t ids = Dict::PinyinCap(kWubiMax);
    Prefault(ids_, ids);
    Prefault(pending_, ids);
    Prefault(pendingText_, ids);
    if (textSlots_.size() < kMergeSlots) textSlots_.assign(kMergeSlots, 0);
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
    if (!RefreshFromCache(m)) BuildList(m, presearched);
}

void Engine::BuildList(Mode m, bool presearched) {
    bool pinyinSearched = false, pinyinFound = false;  // by the mixed scheme's pinyin search
    pending_.clear();
    pending_.reserve(kReserve);
    pendingText_.clear();
    pendingText_.reserve(kReserve);
    std::fill(textSlots_.begin(), textSlots_.end(), 0);
    if (!promotions.empty()) {
        promoteKey_.assign(code.begin(), code.end());
        promoteKey_.push_back(L'\x0001');
    }

    int32_t pinyinExact = 0, pinyinOther = 1;
    if (m == kModeMixed) {
        pinyinExact = code.size() == 1 ? 1 : 0;
        pinyinOther = 2;
    }

    if (m == kModePinyin) {
        SearchPinyin(code, ids_, kWubiMax);
        for (uint32_t id : ids_) {
            DictEntry e;
            if (dict.GetEntry(id, e)) BuildCandidate(id, e, pinyinExact, pinyinOther, true);
        }
    } else {
        if (code.size() <= 4) {
            dict.SearchWubi(code, ids_, kWubiMax);
            size_t completions = 0;
            for (uint32_t id : ids_) {
                DictEntry e;
                if (!dict.GetEntry(id, e)) continue;
                if (dict.Code(e) == code) {
                    ++exactCount;
                } else {
                    if (m == kModeMixed && completions >= kMixedCompletions) continue;
                    ++completions;
                }
                BuildCandidate(id, e, 0, 1, false);
            }
        }
        wubiCount = pending_.size();

        if (m == kModeMixed && pending_.size() < kMaxCandidates) {
            pinyinSearched = true;
            if (presearched)
                ids_.swap(pinyinIds_);
            else
                SearchPinyin(code, ids_, kMixedPinyinMax);
            pinyinFound = !ids_.empty();
            for (uint32_t id : ids_) {
                DictEntry e;
                if (!dict.GetEntry(id, e) || e.syllableCount == 0) continue;
                JoinPinyin(dict.Pinyin(e), e.syllableCount, joined_);
                if (joined_.size() > code.size() && joined_.compare(0, code.size(), code) == 0) {
                    pinyinLonger = true;
                    break;
                }
            }
            for (uint32_t id : ids_) {
                if (pending_.size() >= kMaxCandidates) break;
                DictEntry e;
                if (dict.GetEntry(id, e)) BuildCandidate(id, e, pinyinExact, pinyinOther, true);
            }
        }
    }
    RankPending(pending_, kept_);
    EmitCandidates(pending_, kept_);
    try {
        const bool allKnown = m != kModeWubi && pinyinWholeKnown_ && pinyinWhole_ == code;
        // In candidates' size: ids take a sixth of one; the list's own fields about 12.
        const size_t ids = kept_.size() + (allKnown ? pinyinWholeIds_.size() : 0);
        CachedList& list = cache_.Add(m, code, pending_.size() + ids / 6 + 12);
        list.gbkOnly = config.gbkOnly != 0;
        list.freqAdjust = config.freqAdjust != 0;
        list.pending = pending_;
        list.kept = kept_;
        list.wubiCount = wubiCount;
        list.exactCount = exactCount;
        list.pinyinLonger = pinyinLonger;
        list.pinyinSearched = pinyinSearched;
        list.pinyinFound = pinyinFound;
        list.pinyinAllKnown = allKnown;
        if (allKnown) list.pinyinAll = pinyinWholeIds_;
    } catch (...) {
        cache_.Clear();  // no room to keep it: the list is built again next time
    }
}

}  // namespace zl
