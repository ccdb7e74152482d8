#include "Crc32.h"

#include <windows.h>

#include <array>
#include <vector>

#include "UniqueHandle.h"

namespace zl {

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
        t[i] = c;
    }
    return t;
}

// Built by the compiler, so no thread can see it half filled.
constexpr std::array<uint32_t, 256> kTable = MakeTable();

constexpr DWORD kBlock = 65536;

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t len) {
    if (len == 0) return crc;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t r = ~crc;
    for (size_t i = 0; i < len; ++i) r = (r >> 8) ^ kTable[(r ^ p[i]) & 0xFF];
    return ~r;
}

bool Crc32File(const std::wstring& path, uint32_t* crcOut, uint64_t* sizeOut) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f.Valid()) return false;
    // Per call, so that two threads may hash at once.
    std::vector<uint8_t> buf(kBlock);
    uint32_t crc = 0;
    uint64_t size = 0;
    for (;;) {
        DWORD got = 0;
        // A read error must not pass for the end of the file: the CRC would be of a prefix.
        if (!ReadFile(f.Get(), buf.data(), kBlock, &got, nullptr)) return false;
        if (got == 0) break;
        crc = Crc32(crc, buf.data(), got);
        size += got;
    }
    if (crcOut) *crcOut = crc;
    if (sizeOut) *sizeOut = size;
    return true;
}

}  // namespace zl
