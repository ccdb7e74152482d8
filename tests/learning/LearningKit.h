// Engines whose user folder is the test's own temporary folder, and helpers to look
// at the learning files there.
#pragma once

#include <string>
#include <vector>

#include "../compose/EngineKit.h"
#include "ScopedEnv.h"
#include "LearnFormat.h"

namespace zltest {

class LearningTest : public EngineTest {
protected:
    ScopedEnv userDir_{L"ZLWB_USERDIR", dir.Path().c_str()};

    std::wstring UserDat() const { return dir.File(L"user.dat"); }
    std::wstring PromoteDat() const { return dir.File(L"promote.dat"); }
    // The file's bytes; "<missing>" when it cannot be read.
    std::string Bytes(const std::wstring& path) const;
    // Names in the folder that end in ".tmp".
    std::vector<std::wstring> TempFiles() const;
};

// A CJK text with a number, distinct per (prefix, n).
std::wstring NumberedText(const std::wstring& prefix, int n);

}  // namespace zltest
