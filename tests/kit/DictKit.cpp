#include "DictKit.h"

#include <atomic>
#include <fstream>

namespace zltest {

zl::DictSource Wubi(const std::wstring& text, const std::string& code, uint32_t weight) {
    return zl::DictSource{text, code, {}, weight};
}

zl::DictSource Pinyin(const std::wstring& text, const std::vector<std::string>& syllables, uint32_t weight) {
    return zl::DictSource{text, {}, syllables, weight};
}

std::vector<uint8_t> BuildImage(const std::vector<zl::DictSource>& entries) {
    zl::DictWriter w;
    for (const auto& e : entries) w.Add(e);
    std::vector<uint8_t> image;
    std::string error;
    if (!w.Build(image, error)) image.clear();
    return image;
}

zl::DictHeader HeaderOf(const std::vector<uint8_t>& image) {
    zl::DictHeader h{};
    std::memcpy(&h, image.data(), sizeof h);
    return h;
}

void SetHeader(std::vector<uint8_t>& image, const zl::DictHeader& h) { std::memcpy(image.data(), &h, sizeof h); }

zl::DictEntry EntryOf(const std::vector<uint8_t>& image, uint32_t id) {
    zl::DictEntry e{};
    std::memcpy(&e, image.data() + zl::kDictEntryTableOffset + id * sizeof e, sizeof e);
    return e;
}

void SetEntry(std::vector<uint8_t>& image, uint32_t id, const zl::DictEntry& e) {
    std::memcpy(image.data() + zl::kDictEntryTableOffset + id * sizeof e, &e, sizeof e);
}

void SetU32(std::vector<uint8_t>& image, size_t offset, uint32_t value) {
    std::memcpy(image.data() + offset, &value, sizeof value);
}

bool LoadImage(const TempDir& dir, const std::vector<uint8_t>& image, zl::Dict& dict) {
    static std::atomic<unsigned> n{0};
    const std::wstring path = dir.File(L"dict" + std::to_wstring(n++) + L".dat");
    if (!WriteBytes(path, image)) return false;
    return dict.Load(path);
}

std::vector<std::string> KeyCorpus(const std::string& dir, const std::string& name, const zl::Dict& dict) {
    std::vector<std::string> lines;
    std::ifstream in(dir + "/" + name);
    for (std::string line; in && std::getline(in, line);) lines.push_back(line);
    if (in.is_open() || !dict.Valid()) return lines;
    const bool wubi = name.rfind("wubi", 0) == 0;
    const size_t most = wubi ? 5000 : 3000;
    // A stride prime to the entry count visits the whole table once, in a spread order.
    const uint64_t n = dict.EntryCount();
    const uint64_t stride = n % 7919 == 0 ? 7907 : 7919;
    for (uint64_t i = 0, id = 0; i < n && lines.size() < most; ++i, id = (id + stride) % n) {
        zl::DictEntry e;
        if (!dict.GetEntry(static_cast<uint32_t>(id), e)) continue;
        std::string keys;
        if (wubi) {
            keys = std::string(dict.Code(e));
        } else if (e.syllableCount != 0) {
            for (char c : dict.Pinyin(e).substr(0, 64)) {
                if (c == '\0') break;
                if (c != '\'') keys += c;
            }
        }
        if (!keys.empty()) lines.push_back(keys + " ");
    }
    return lines;
}

std::vector<std::wstring> Texts(const zl::Dict& dict, const std::vector<uint32_t>& ids) {
    std::vector<std::wstring> out;
    for (uint32_t id : ids) {
        zl::DictEntry e;
        out.push_back(dict.GetEntry(id, e) ? std::wstring(dict.Text(e)) : L"<absent>");
    }
    return out;
}

std::vector<std::string> Codes(const zl::Dict& dict, const std::vector<uint32_t>& ids) {
    std::vector<std::string> out;
    for (uint32_t id : ids) {
        zl::DictEntry e;
        out.push_back(dict.GetEntry(id, e) ? std::string(dict.Code(e)) : "<absent>");
    }
    return out;
}

}  // namespace zltest
