// Test seams of Hosts.cpp: the wait after the close messages, the forced end and the
// Restart Manager can be replaced, so that tests wait on events instead of the clock and
// can play the Restart Manager that Wine lacks.
#pragma once

#include <windows.h>
#include <restartmanager.h>

#include <functional>
#include <vector>

namespace zl {

struct RestartManagerApi {
    decltype(&::RmStartSession) start;
    decltype(&::RmRegisterResources) registerResources;
    decltype(&::RmGetList) getList;
    decltype(&::RmEndSession) end;
};

struct HostSeams {
    // Gets the handles of the hosts that were asked to close; returns when done waiting.
    std::function<void(const std::vector<HANDLE>& asked)> waitForClose;
    // Ends one host; false when it could not.
    std::function<bool(HANDLE process)> terminate;
    // Used in place of rstrtmgr.dll when set.
    const RestartManagerApi* restartManager = nullptr;
};

// An empty member keeps the real behaviour; HostSeams{} restores all of it.
void SetHostSeamsForTest(HostSeams seams);

}  // namespace zl
