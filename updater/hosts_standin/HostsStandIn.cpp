#include "Hosts.h"

namespace zl {

std::vector<HostProc> FindHostsOfOldComponents(const std::wstring&, const std::vector<std::wstring>&,
                                               const HostLog&) {
    return {};
}

int TerminateHostsOfOldComponents(const std::wstring&, const std::vector<std::wstring>&, const HostLog&) {
    return 0;
}

}  // namespace zl
