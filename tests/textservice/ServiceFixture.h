// A text service over the fake TSF kit, with its own user folder, a small dictionary and
// a mouse position of its own.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Seams.h"
#include "TempDir.h"
#include "TextService.h"
#include "TsfKit.h"
#include "UserFolder.h"

namespace zltest {

// What a test compares before and after: the fakes' references, their sinks and keys,
// and the transient objects still alive.
struct TsfState {
    LONG threadMgr, document, context, compartment;
    bool threadSink, keySink, compartmentSink;
    size_t preservedKeys;
    int ranges, compositions, properties, views;
    bool operator==(const TsfState& o) const;
};
std::ostream& operator<<(std::ostream& os, const TsfState& s);

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TsfState State() const;
    // Activates and focuses the document, then loads the test dictionary.
    void ActivateFocused();
    // Types letters into the engine and brings the document up to date.
    HRESULT Type(const char* letters);
    // The engine's pending text goes to the document.
    HRESULT Commit(const std::wstring& text);

    UserFolder user;
    TempDir dictDir;
    zl::Seams seams = zl::Seams::Real();
    POINT cursor{300, 400};
    bool cursorOk = true;
    std::unique_ptr<zl::ScopedSeams> scoped;
    tsfkit::FakeThreadMgr* tm = nullptr;
    tsfkit::FakeDocumentMgr* doc = nullptr;
    tsfkit::FakeContext* ctx = nullptr;
    zl::CTextService* svc = nullptr;
};

}  // namespace zltest
