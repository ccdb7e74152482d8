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
    // The third and fourth indexes are unused: empty, placed at the end.
    h.index3Offset = h.index4Offset = static_cast<uint32_t>(out.size());
    if (out.size() > UINT32_MAX) {
        error = "dictionary exceeds 4 GiB";
        return false;
    }
    std::memcpy(out.data(), &h, sizeof h);
    return true;
}

}  // namespace zl
