// ZLWB_USERDIR pointed at a fresh folder while the object lives (inherited by child
// processes started meanwhile), with readers for what the code under test wrote there.
#pragma once

#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"

namespace zltest {

class UserFolder {
public:
    UserFolder() : env_(L"ZLWB_USERDIR", dir_.Path().c_str()) {}
    UserFolder(const UserFolder&) = delete;
    UserFolder& operator=(const UserFolder&) = delete;

    const TempDir& Dir() const { return dir_; }
    std::string Trace() const;  // trace.log as UTF-8, empty when missing
    size_t TraceCount(const char* text) const;
    bool TraceHas(const char* text) const { return TraceCount(text) > 0; }

private:
    TempDir dir_;
    ScopedEnv env_;
};

}  // namespace zltest
