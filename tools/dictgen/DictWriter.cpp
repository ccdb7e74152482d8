#include "DictWriter.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

#include "DictFormat.h"

namespace zl {

namespace {

template <typename T>
void Append(std::vector<uint8_t>& out, const T& v) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + sizeof v);
}

void AlignTo4(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
}

std::string JoinSyllables(const std::vector<std::string>& syllables) {
    std::string s;
    for (size_t i = 0; i < syllables.size(); ++i) {
        s += syllables[i];
        s += (i + 1 < syllables.size()) ? '\'' : '\0';
    }
    return s;
}

// Calls add(key) for every string of `letters` typed letters that some typing of the
// syllables starts with: each syllable typed whole or as its first letter, an empty one
// passed over, a stored v also typed as u. Keys with other characters cannot be typed.
template <typename Add>
void TypedStarts(const std::vector<std::string>& syllables, size_t letters, Add add) {
    std::string typed;
    auto expand = [&](std::string key, size_t at, auto& self) -> void {
        if (at == key.size()) return add(key);
        if (key[at] < 'a' || key[at] > 'z') return;
        self(key, at + 1, self);
        if (key[at] == 'v') {
            key[at] = 'u';
            self(key, at + 1, self);
        }
    };
    auto walk = [&](size_t i, auto& self) -> void {
        if (typed.size() >= letters) return expand(typed.substr(0, letters), 0, expand);
        if (i >= syllables.size()) return;
        const std::string& s = syllables[i];
        if (s.empty()) return self(i + 1, self);
        const size_t keep = typed.size();
        typed += s;
        self(i + 1, self);
        typed.resize(keep);
        if (s.size() > 1) {
            typed += s[0];
            self(i + 1, self);
            typed.resize(keep);
        }
    };
    walk(0, walk);
}

// The jump table of pinyin-index positions by the first `letters` typed letters.
std::vector<uint32_t> PinyinJumpTable(const std::vector<DictSource>& entries, const std::vector<uint32_t>& pinyinIndex,
                                      size_t letters) {
    size_t keys = 1;
    for (size_t i = 0; i < letters; ++i) keys *= 26;
    std::vector<std::vector<uint32_t>> lists(keys);
    for (uint32_t pos = 0; pos < pinyinIndex.size(); ++pos) {
        std::vector<size_t> seen;
        TypedStarts(entries[pinyinIndex[pos]].syllables, letters, [&](const std::string& key) {
            size_t k = 0;
            for (char c : key) k = k * 26 + static_cast<size_t>(c - 'a');
            if (std::find(seen.begin(), seen.end(), k) != seen.end()) return;
            seen.push_back(k);
            lists[k].push_back(pos);
        });
    }
    std::vector<uint32_t> table = {kPinyinJumpMagic, static_cast<uint32_t>(letters)};
    uint32_t at = 0;
    for (const auto& list : lists) {
        table.push_back(at);
        at += static_cast<uint32_t>(list.size());
    }
    table.push_back(at);
    for (const auto& list : lists) table.insert(table.end(), list.begin(), list.end());
    return table;
}

}  // namespace

bool DictWriter::Build(std::vector<uint8_t>& out, std::string& error) const {
    if (entries_.size() > UINT32_MAX) {
        error = "too many entries";
        return false;
    }
    std::vector<DictEntry> table(entries_.size());
    std::u16string textPool;
    std::string codePool, pinyinPool;
    std::map<std::wstring, uint32_t> textAt;
    std::map<std::string, uint32_t> codeAt, pinyinAt;

    for (size_t i = 0; i < entries_.size(); ++i) {
        const DictSource& s = entries_[i];
        DictEntry& e = table[i];
        if (s.text.size() > UINT16_MAX || s.code.size() > UINT8_MAX || s.syllables.size() > UINT8_MAX) {
            error = "entry " + std::to_string(i) + " is too long for the file layout";
            return false;
        }
        auto t = textAt.emplace(s.text, static_cast<uint32_t>(textPool.size()));
        if (t.second) textPool.append(s.text.begin(), s.text.end());
        e.textOff = t.first->second;
        e.textLen = static_cast<uint16_t>(s.text.size());

        auto c = codeAt.emplace(s.code, static_cast<uint32_t>(codePool.size()));
        if (c.second) codePool += s.code;
        e.codeOff = c.first->second;
        e.codeLen = static_cast<uint8_t>(s.code.size());

        e.pinyinOff = 0;
        e.syllableCount = static_cast<uint8_t>(s.syllables.size());
        if (!s.syllables.empty()) {
            const std::string py = JoinSyllables(s.syllables);
            auto p = pinyinAt.emplace(py, static_cast<uint32_t>(pinyinPool.size()));
            if (p.second) pinyinPool += py;
            e.pinyinOff = p.first->second;
        }
        e.freq = s.weight;
    }

    // Code index: by code bytes (a prefix first, code-less entries first), heavier first.
    std::vector<uint32_t> codeIndex(entries_.size());
    std::iota(codeIndex.begin(), codeIndex.end(), 0u);
    std::stable_sort(codeIndex.begin(), codeIndex.end(), [this](uint32_t a, uint32_t b) {
        const int c = entries_[a].code.compare(entries_[b].code);
        if (c != 0) return c < 0;
        return entries_[a].weight > entries_[b].weight;
    });
    // Pinyin index: entries with pinyin, by first letter, heavier first, so the search
    // caps keep the most used words.
    std::vector<uint32_t> pinyinIndex;
    for (uint32_t i = 0; i < entries_.size(); ++i)
        if (!entries_[i].syllables.empty() && !entries_[i].syllables[0].empty()) pinyinIndex.push_back(i);
    std::stable_sort(pinyinIndex.begin(), pinyinIndex.end(), [this](uint32_t a, uint32_t b) {
        const unsigned char fa = entries_[a].syllables[0][0], fb = entries_[b].syllables[0][0];
        if (fa != fb) return fa < fb;
        return entries_[a].weight > entries_[b].weight;
    });

    DictHeader h{};
    std::memcpy(h.magic, kDictMagic, sizeof h.magic);
    h.version = kDictVersion;
    h.entryCount = static_cast<uint32_t>(table.size());

    out.clear();
    out.resize(sizeof h);
    for (const DictEntry& e : table) Append(out, e);
    AlignTo4(out);
    h.textPoolOffset = static_cast<uint32_t>(out.size());
    h.textPoolUnits = static_cast<uint32_t>(textPool.size());
    for (char16_t u : textPool) Append(out, u);
    AlignTo4(out);
    h.codeIndexOffset = static_cast<uint32_t>(out.size());
    for (uint32_t id : codeIndex) Append(out, id);
    h.pinyinIndexOffset = static_cast<uint32_t>(out.size());
    h.pinyinIndexCount = static_cast<uint32_t>(pinyinIndex.size());
    for (uint32_t id : pinyinIndex) Append(out, id);
    h.codePoolOffset = static_cast<uint32_t>(out.size());
    h.codePoolBytes = static_cast<uint32_t>(codePool.size());
    out.insert(out.end(), codePool.begin(), codePool.end());
    h.pinyinPoolOffset = static_cast<uint32_t>(out.size());
    h.pinyinPoolBytes = static_cast<uint32_t>(pinyinPool.size());
    out.insert(out.end(), pinyinPool.begin(), pinyinPool.end());
    // The third and fourth indexes: the pinyin jump tables by two and by three letters.
    AlignTo4(out);
    h.index3Offset = static_cast<uint32_t>(out.size());
    const std::vector<uint32_t> jump2 = PinyinJumpTable(entries_, pinyinIndex, 2);
    h.index3Count = static_cast<uint32_t>(jump2.size());
    for (uint32_t v : jump2) Append(out, v);
    h.index4Offset = static_cast<uint32_t>(out.size());
    const std::vector<uint32_t> jump3 = PinyinJumpTable(entries_, pinyinIndex, 3);
    h.index4Count = static_cast<uint32_t>(jump3.size());
    for (uint32_t v : jump3) Append(out, v);
    if (out.size() > UINT32_MAX) {
        error = "dictionary exceeds 4 GiB";
        return false;
    }
    std::memcpy(out.data(), &h, sizeof h);
    return true;
}

}  // namespace zl
