// Searching, filtering and merging a code's candidates.
#include "ListBuilder.h"

#include <algorithm>

#include "GbkText.h"
#include "JoinedPinyin.h"
#include "Prefault.h"

namespace zl {

namespace {

constexpr size_t kMixedCompletions = 24;
constexpr size_t kReserve = 128;
constexpr size_t kMergeSlots = 2048;  // power of two

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

}  // namespace

void ListBuilder::Reserve() {
    const size_t n = Dict::PinyinCap(kWubiMax);
    Prefault(ids, n);
    Prefault(pending, n);
    Prefault(texts, n);
    if (slots_.size() < kMergeSlots) slots_.assign(kMergeSlots, 0);
}

void ListBuilder::Keep(CachedList& list) const {
    list.pending = pending;
    list.wubiCount = wubiCount;
    list.exactCount = exactCount;
    list.pinyinLonger = pinyinLonger;
    list.pinyinSearched = pinyinSearched;
    list.pinyinFound = pinyinFound;
}

void ListBuilder::Build(const Dict& dict, Mode m, const std::string& code, bool gbkOnly,
                        const PinyinSearch& search) {
    code_ = &code;
    gbkOnly_ = gbkOnly;
    wubiCount = 0;
    exactCount = 0;
    pinyinLonger = false;
    pinyinSearched = false;
    pinyinFound = false;
    pending.clear();
    pending.reserve(kReserve);
    texts.clear();
    texts.reserve(kReserve);
    std::fill(slots_.begin(), slots_.end(), 0);

    int32_t pinyinExact = 0, pinyinOther = 1;
    if (m == kModeMixed) {
        pinyinExact = code.size() == 1 ? 1 : 0;
        pinyinOther = 2;
    }

    if (m == kModePinyin) {
        search(code, ids, kWubiMax);
        for (uint32_t id : ids) {
            DictEntry e;
            if (dict.GetEntry(id, e)) Add(dict, id, e, pinyinExact, pinyinOther, true);
        }
        return;
    }
    if (code.size() <= 4) {
        dict.SearchWubi(code, ids, kWubiMax);
        size_t completions = 0;
        for (uint32_t id : ids) {
            DictEntry e;
            if (!dict.GetEntry(id, e)) continue;
            if (dict.Code(e) == code) {
                ++exactCount;
            } else {
                if (m == kModeMixed && completions >= kMixedCompletions) continue;
                ++completions;
            }
            Add(dict, id, e, 0, 1, false);
        }
    }
    wubiCount = pending.size();

    if (m == kModeMixed && pending.size() < kMaxCandidates) {
        pinyinSearched = true;
        search(code, ids, kMixedPinyinMax);
        pinyinFound = !ids.empty();
        for (uint32_t id : ids) {
            DictEntry e;
            if (!dict.GetEntry(id, e) || e.syllableCount == 0) continue;
            JoinPinyin(dict.Pinyin(e), e.syllableCount, joined_);
            if (joined_.size() > code.size() && joined_.compare(0, code.size(), code) == 0) {
                pinyinLonger = true;
                break;
            }
        }
        for (uint32_t id : ids) {
            if (pending.size() >= kMaxCandidates) break;
            DictEntry e;
            if (dict.GetEntry(id, e)) Add(dict, id, e, pinyinExact, pinyinOther, true);
        }
    }
}

void ListBuilder::Add(const Dict& dict, uint32_t id, const DictEntry& e, int32_t exactTier, int32_t otherTier,
                      bool fromPinyin) {
    const std::wstring_view text = dict.Text(e);
    if (text.empty()) return;
    if (gbkOnly_ && !IsGbkTextMemo(text)) return;

    const std::string& code = *code_;
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
    const size_t found = Find(text, hash, slot);
    if (found != SIZE_MAX) {
        PendingCandidate& listed = pending[found];
        if (tier < listed.tier || (tier == listed.tier && e.freq > listed.freq)) {
            listed.tier = static_cast<int8_t>(tier);
            listed.freq = e.freq;
            listed.source = id;
            listed.pinyin = fromPinyin;
        }
        return;
    }
    slots_[slot] = static_cast<uint32_t>(pending.size() + 1);
    pending.push_back(PendingCandidate{hash, id, e.freq, 0, 0, static_cast<int8_t>(tier), fromPinyin});
    texts.push_back(text);
}

size_t ListBuilder::Find(std::wstring_view text, uint32_t hash, size_t& slot) {
    // At most half full, so probing ends at a free slot. The searches' caps bound the
    // entries of one list, so the table rarely grows; it is cleared per list.
    if (slots_.size() < 2 * (pending.size() + 1)) {
        std::vector<uint32_t> grown(std::max<size_t>(kMergeSlots, 2 * slots_.size()), 0);
        for (size_t i = 0; i < pending.size(); ++i) {
            size_t s = pending[i].hash & (grown.size() - 1);
            while (grown[s] != 0) s = (s + 1) & (grown.size() - 1);
            grown[s] = static_cast<uint32_t>(i + 1);
        }
        slots_.swap(grown);
    }
    const size_t mask = slots_.size() - 1;
    for (slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        const size_t at = slots_[slot] - 1;
        if (texts[at] == text) return at;
    }
    return SIZE_MAX;
}

}  // namespace zl
