// An engine over a small hand-made dictionary, and short ways to type and read it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DictKit.h"
#include "Engine.h"

namespace zltest {

// One CJK ideograph per number: distinct texts that are all in GBK.
std::wstring Han(int i);

class EngineTest : public ::testing::Test {
protected:
    TempDir dir;
    zl::Engine engine;

    void Load(const std::vector<zl::DictSource>& entries, zl::Mode mode = zl::kModeWubi);
    void Type(const std::string& letters);
    std::vector<std::wstring> Texts() const;
    std::vector<std::string> Codes() const;
    std::vector<int> Tiers() const;
    // The pending commit text, taken.
    std::wstring Taken();
};

}  // namespace zltest
