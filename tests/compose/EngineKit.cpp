#include "EngineKit.h"

namespace zltest {

std::wstring Han(int i) { return std::wstring(1, static_cast<wchar_t>(0x4E00 + i)); }

void EngineTest::Load(const std::vector<zl::DictSource>& entries, zl::Mode mode) {
    const std::vector<uint8_t> image = BuildImage(entries);
    ASSERT_FALSE(image.empty());
    ASSERT_TRUE(LoadImage(dir, image, engine.dict));
    engine.mode = mode;
}

void EngineTest::Type(const std::string& letters) {
    for (char c : letters) engine.OnLetter(c);
}

std::vector<std::wstring> EngineTest::Texts() const {
    std::vector<std::wstring> out;
    for (const auto& c : engine.candidates) out.push_back(c.text);
    return out;
}

std::vector<std::string> EngineTest::Codes() const {
    std::vector<std::string> out;
    for (const auto& c : engine.candidates) out.push_back(c.code);
    return out;
}

std::vector<int> EngineTest::Tiers() const {
    std::vector<int> out;
    for (const auto& c : engine.candidates) out.push_back(c.tier);
    return out;
}

std::wstring EngineTest::Taken() {
    std::wstring out;
    engine.TakeCommit(out);
    return out;
}

}  // namespace zltest
