// Candidates whose text and code are read from the dictionary when first read.
#include "CandidateList.h"

#include <utility>

#include "Dict.h"
#include "JoinedPinyin.h"

namespace zl {

void CandidateList::clear() {
    items_.clear();
    made_.clear();
    sources_.clear();
}

void CandidateList::Reserve(size_t n) {
    const size_t had = items_.size();
    if (had >= n) return;
    items_.resize(n);
    items_.resize(had);
    made_.reserve(n);
    sources_.reserve(n);
}

void CandidateList::Assign(std::vector<Candidate> list) {
    items_ = std::move(list);
    made_.assign(items_.size(), 1);
    sources_.clear();
}

void CandidateList::Start(const Dict& dict, size_t count) {
    dict_ = &dict;
    // Resized, not cleared: the candidates kept keep their strings' room.
    items_.resize(count);
    made_.assign(count, 0);
    sources_.resize(count);
}

void CandidateList::Set(size_t i, uint32_t source, bool pinyin, uint32_t freq, uint32_t userCount,
                        uint32_t promote, int32_t tier) {
    sources_[i] = Source{source, pinyin};
    made_[i] = 0;
    Candidate& c = items_[i];
    c.freq = freq;
    c.userCount = userCount;
    c.promote = promote;
    c.tier = tier;
}

void CandidateList::Make(size_t i) const {
    Candidate& c = items_[i];
    made_[i] = 1;
    DictEntry e{};
    // Cannot fail: the entry was read while building.
    if (i >= sources_.size() || dict_ == nullptr || !dict_->GetEntry(sources_[i].entry, e)) {
        c.text.clear();
        c.code.clear();
        return;
    }
    c.text.assign(dict_->Text(e));
    if (sources_[i].pinyin)
        JoinPinyin(dict_->Pinyin(e), e.syllableCount, c.code);
    else
        c.code.assign(dict_->Code(e));
}

}  // namespace zl
