// The boundary of a COM method: nothing thrown inside (running out of memory in a string
// or container) may reach the host application.
#pragma once

#include <windows.h>

namespace zl {

template <typename F>
HRESULT NoThrow(F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// The same for our callbacks out of a window procedure: what is thrown ends there.
template <typename F>
void NoThrowCall(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace zl
