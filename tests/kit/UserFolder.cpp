#include "UserFolder.h"

#include <vector>

namespace zltest {

std::string UserFolder::Trace() const {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(dir_.File(L"trace.log"), bytes)) return {};
    return std::string(bytes.begin(), bytes.end());
}

size_t UserFolder::TraceCount(const char* text) const {
    const std::string all = Trace();
    const std::string needle = text;
    size_t n = 0;
    for (size_t at = all.find(needle); at != std::string::npos; at = all.find(needle, at + 1)) ++n;
    return n;
}

}  // namespace zltest
