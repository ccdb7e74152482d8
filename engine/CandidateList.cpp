// Candidates whose text and code are read from the dictionary when first read.
#include "CandidateList.h"

#include <utility>

#include "Dict.h"
#include "JoinedPinyin.h"

namespace zl {

void CandidateList::clear() {
    items_.clear();
    sources_.clear();
}

void CandidateList::Reserve(size_t n) {
    const size_t had = items_.size();
    if (had >= n) return;
    items_.resize(n);
    items_.resize(had);
    sources_.reserve(n);
}

void CandidateList::Assign(std::vector<Candidate> list) {
    sources_.assign(list.size(), Source{0, false, true});
    items_ = std::move(list);
}

void CandidateList::Start(const Dict& dict, size_t count) {
    // The sources grow first: should growing items_ run out of memory, the old list
    // stays readable. Resized, not cleared: the candidates kept keep their strings' room.
    sources_.resize(count);
    items_.resize(count);
    for (Source& s : sources_) s.made = false;
    dict_ = &dict;
}

void CandidateList::Set(size_t i, uint32_t source, bool pinyin, uint32_t freq, uint32_t userCount,
                        uint32_t promote, int32_t tier) {
    sources_[i] = Source{source, pinyin, false};
    Candidate& c = items_[i];
    c.freq = freq;
    c.userCount = userCount;
    c.promote = promote;
    c.tier = tier;
}

void CandidateList::Make(size_t i) const {
    Candidate& c = items_[i];
    DictEntry e{};
    // Cannot fail: the entry was read while building.
    if (dict_ == nullptr || !dict_->GetEntry(sources_[i].entry, e)) {
        c.text.clear();
        c.code.clear();
    } else {
        c.text.assign(dict_->Text(e));
        if (sources_[i].pinyin)
            JoinPinyin(dict_->Pinyin(e), e.syllableCount, c.code);
        else
            c.code.assign(dict_->Code(e));
    }
    // Only now: a read that ran out of memory leaves it to be made again, not an old text.
    sources_[i].made = true;
}

}  // namespace zl
