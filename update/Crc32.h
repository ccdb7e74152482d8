// CRC-32 (reflected polynomial 0xEDB88320) of memory blocks and files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zl {

// Continues `crc` over `len` bytes; starting from 0 and feeding a file block by block
// gives the CRC-32 of the whole file.
uint32_t Crc32(uint32_t crc, const void* data, size_t len);

// False when the file cannot be opened or read to its end.
bool Crc32File(const std::wstring& path, uint32_t* crcOut, uint64_t* sizeOut);

}  // namespace zl
