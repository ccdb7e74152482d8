// The programs that still hold the old component: the only way the updater reaches the
// search and termination of the hosts library.
#pragma once

#include <string>
#include <vector>

namespace zl {

// Executable names of the hosts found, in the order found.
std::vector<std::wstring> HostNamesOfOldComponents();

// Ends the hosts found by a fresh search; returns how many there were.
int EndHostsOfOldComponents();

// "--list-hosts": each host as "name (pid N)", and the count.
std::vector<std::wstring> HostListLines();

}  // namespace zl
