// On-disk layout of zlwb.dat, shared by the reader, the build tool and the test kit.
#pragma once

#include <cstdint>

namespace zl {

constexpr char kDictMagic[8] = {'Z', 'L', 'W', 'B', 'D', 'I', 'C', '1'};
constexpr uint32_t kDictVersion = 1;

// All fields little-endian.
struct DictHeader {
    char magic[8];
    uint32_t version;
    uint32_t entryCount;
    uint32_t textPoolOffset;
    uint32_t textPoolUnits;  // UTF-16 units
    uint32_t pinyinPoolOffset;
    uint32_t pinyinPoolBytes;
    uint32_t codePoolOffset;
    uint32_t codePoolBytes;
    uint32_t codeIndexOffset;  // entryCount ids
    uint32_t pinyinIndexOffset;
    uint32_t pinyinIndexCount;
    uint32_t index3Offset;
    uint32_t index3Count;
    uint32_t index4Offset;
    uint32_t index4Count;
    uint32_t reserved;
};

struct DictEntry {
    uint32_t textOff;    // UTF-16 units into the text pool
    uint32_t pinyinOff;  // bytes into the pinyin pool
    uint32_t codeOff;    // bytes into the code pool
    uint16_t textLen;
    uint8_t codeLen;        // 0: no Wubi code
    uint8_t syllableCount;  // 0: no pinyin
    uint32_t freq;
};

static_assert(sizeof(DictHeader) == 72, "header layout");
static_assert(sizeof(DictEntry) == 20, "entry layout");

constexpr uint32_t kDictEntryTableOffset = sizeof(DictHeader);

// Pinyin jump tables, kept in the third index (keyed by the first two typed letters) and
// the fourth (first three). The search of typed letters c0 c1 ... need only look at the
// pinyin-index positions listed under their first letters, ascending, each an entry
// that some typing of its syllables starts with those letters; it checks every listed
// entry as the plain scan of the first-letter group would, in the same order.
// Layout in u32 units: magic, key length L, 26^L + 1 offsets into the positions that
// follow (list k is positions[offsets[k], offsets[k + 1])), then the positions. The key
// of letters l0..l(L-1) is the base-26 number l0 l1 ... ('a' = 0).
constexpr uint32_t kPinyinJumpMagic = 0x314A5950;  // "PYJ1"
constexpr uint32_t kPinyinJumpHeader = 2;

}  // namespace zl
