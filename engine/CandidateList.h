// The ranked candidates of the typed code. A list holds up to a hundred, and a key
// shows one page of them: so a candidate's text and code are read from the dictionary
// when the candidate is first read, not when the list is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "Candidate.h"

namespace zl {

class Dict;

class CandidateList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Candidate;
        using difference_type = std::ptrdiff_t;
        using pointer = const Candidate*;
        using reference = const Candidate&;

        const_iterator(const CandidateList* list, size_t at) : list_(list), at_(at) {}
        reference operator*() const { return (*list_)[at_]; }
        pointer operator->() const { return &(*list_)[at_]; }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++at_;
            return was;
        }
        bool operator==(const const_iterator& o) const { return at_ == o.at_ && list_ == o.list_; }
        bool operator!=(const const_iterator& o) const { return !(*this == o); }

    private:
        const CandidateList* list_;
        size_t at_;
    };

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    // i < size().
    const Candidate& operator[](size_t i) const {
        if (!sources_[i].made) Make(i);
        return items_[i];
    }
    Candidate& operator[](size_t i) {
        if (!sources_[i].made) Make(i);
        return items_[i];
    }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, items_.size()); }

    void clear();
    // Room for n candidates, written once so that the first lists fault in no pages.
    void Reserve(size_t n);
    // Candidates complete as given.
    void Assign(std::vector<Candidate> list);

    // Making a list of count candidates from the dictionary: Start, then Set each one.
    // Candidate i's text and code will be those of entry `source` (the code its joined
    // pinyin when `pinyin`); dict must outlive the list or the next Start.
    void Start(const Dict& dict, size_t count);
    void Set(size_t i, uint32_t source, bool pinyin, uint32_t freq, uint32_t userCount, uint32_t promote,
             int32_t tier);

private:
    struct Source {
        uint32_t entry;
        bool pinyin;
        bool made;  // items_[i] has its text and code
    };
    void Make(size_t i) const;

    // The strings of earlier lists keep their room: reading a page allocates little.
    mutable std::vector<Candidate> items_;
    // At least as long as items_, so that any i < size() has its source.
    mutable std::vector<Source> sources_;
    const Dict* dict_ = nullptr;
};

}  // namespace zl
