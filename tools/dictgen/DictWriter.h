// Builds the bytes of a zlwb.dat file from entries; used by the build tool and the test kit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zl {

struct DictSource {
    std::wstring text;
    std::string code;                    // Wubi code; empty for none
    std::vector<std::string> syllables;  // pinyin; empty for none
    uint32_t weight = 0;
};

class DictWriter {
public:
    // Entry ids are given in the order of Add.
    void Add(DictSource entry) { entries_.push_back(std::move(entry)); }
    size_t Size() const { return entries_.size(); }

    // The whole file. False (with a message) when an entry cannot be represented.
    bool Build(std::vector<uint8_t>& out, std::string& error) const;

private:
    std::vector<DictSource> entries_;
};

}  // namespace zl
