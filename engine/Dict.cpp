#include "Dict.h"

#include <cstring>
#include <utility>

namespace zl {

namespace {

// A region [offset, offset + count * unit) must lie inside a file of size bytes.
bool RegionInside(uint64_t offset, uint64_t count, uint64_t unit, uint64_t size) {
    if (offset > size) return false;
    return count <= (size - offset) / unit;
}

}  // namespace

bool Dict::Load(const std::wstring& path) {
    warmup_.Stop();
    DropPackedCodes();
    valid_ = false;
    ++loads_;
    file_.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.Valid()) return false;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.Get(), &size) || size.QuadPart < static_cast<LONGLONG>(sizeof(DictHeader)))
        return false;
    fileSize_ = static_cast<uint64_t>(size.QuadPart);

    // The size read above bounds every check below, so the mapping must hold exactly that
    // many bytes: a file cut short since then fails here (a read-only mapping cannot grow
    // it) instead of leaving the checks to pass against bytes that are not mapped.
    if (fileSize_ > SIZE_MAX) return false;
    mapping_.Reset(CreateFileMappingW(file_.Get(), nullptr, PAGE_READONLY, static_cast<DWORD>(fileSize_ >> 32),
                                      static_cast<DWORD>(fileSize_), nullptr));
    if (!mapping_.Valid()) return false;
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(fileSize_)));
    if (!view_.Get()) return false;

    const auto* base = static_cast<const uint8_t*>(view_.Get());
    DictHeader h;
    std::memcpy(&h, base, sizeof h);
    if (std::memcmp(h.magic, kDictMagic, sizeof kDictMagic) != 0 || h.version != kDictVersion) return false;

    entryCount_ = h.entryCount;
    pinyinIndexCount_ = h.pinyinIndexCount;
    index3Count_ = h.index3Count;
    index4Count_ = h.index4Count;
    textPoolUnits_ = h.textPoolUnits;
    pinyinPoolBytes_ = h.pinyinPoolBytes;
    codePoolBytes_ = h.codePoolBytes;

    const uint64_t n = fileSize_;
    if (!RegionInside(h.textPoolOffset, h.textPoolUnits, 2, n) ||
        !RegionInside(h.pinyinPoolOffset, h.pinyinPoolBytes, 1, n) ||
        !RegionInside(h.codePoolOffset, h.codePoolBytes, 1, n) ||
        !RegionInside(kDictEntryTableOffset, h.entryCount, sizeof(DictEntry), n) ||
        !RegionInside(h.codeIndexOffset, h.entryCount, 4, n) ||
        !RegionInside(h.pinyinIndexOffset, h.pinyinIndexCount, 4, n) ||
        !RegionInside(h.index3Offset, h.index3Count, 4, n) ||
        !RegionInside(h.index4Offset, h.index4Count, 4, n))
        return false;
    // Text is read as UTF-16 units in place, so the pool must be aligned for them.
    if (h.textPoolOffset % 2 != 0) return false;

    entries_ = base + kDictEntryTableOffset;
    textPool_ = reinterpret_cast<const wchar_t*>(base + h.textPoolOffset);
    pinyinPool_ = reinterpret_cast<const char*>(base + h.pinyinPoolOffset);
    codePool_ = reinterpret_cast<const char*>(base + h.codePoolOffset);
    codeIndex_ = base + h.codeIndexOffset;
    pinyinIndex_ = base + h.pinyinIndexOffset;
    index3_ = base + h.index3Offset;
    index4_ = base + h.index4Offset;
    jump2_ = ReadJumps(index3_, index3Count_, 2);
    jump3_ = ReadJumps(index4_, index4Count_, 3);
    valid_ = true;
    return true;
}

void Dict::WarmUp(Warmup::Then then) {
    if (!valid_) return;
    warmup_.Stop();
    DropPackedCodes();
    warmup_.Start(static_cast<const uint8_t*>(view_.Get()), fileSize_,
                  std::wstring_view(textPool_, static_cast<size_t>(textPoolUnits_)),
                  [this, then = std::move(then)](const std::atomic<bool>& stop) {
                      try {
                          PackCodes(stop);
                      } catch (...) {
                          packed_.clear();  // no memory for it: the searches read the mapping
                      }
                      if (then && !stop.load(std::memory_order_relaxed)) then(stop);
                  });
}

void Dict::DropPackedCodes() {
    packedReady_.store(false, std::memory_order_release);
    packed_.clear();
    packedBase_ = 0;
}

void Dict::PackCodes(const std::atomic<bool>& stop) {
    constexpr uint64_t kPositionsPerLook = 4096;
    auto stopped = [&](uint64_t pos) { return pos % kPositionsPerLook == 0 && stop.load(std::memory_order_relaxed); };
    // The entries without a code sort first: they need no words.
    uint64_t pos = 0;
    for (; pos < entryCount_; ++pos) {
        std::string_view code;
        if (stopped(pos)) return;
        if (!CodeOf(CodeIndexId(pos), code) || !code.empty()) break;
    }
    const uint64_t base = pos;
    packed_.reserve(static_cast<size_t>(entryCount_ - base));
    for (; pos < entryCount_; ++pos) {
        std::string_view code;
        uint32_t word = 0;
        if (stopped(pos)) return;
        // An absent entry, a code that does not pack or one out of order: the searches
        // keep reading the mapping, which copes with each.
        if (!CodeOf(CodeIndexId(pos), code) || !PackedCode::Pack(code, word) ||
            (!packed_.empty() && word < packed_.back())) {
            packed_.clear();
            return;
        }
        packed_.push_back(word);
    }
    // Where each run of first two letters starts, so the walk needs no search for them.
    size_t at = 0;
    for (size_t key = 0; key < twoLetterStarts_.size(); ++key) {
        while (at < packed_.size() && (packed_[at] >> PackedCode::kTwoLetterShift) < key) ++at;
        twoLetterStarts_[key] = static_cast<uint32_t>(base + at);
    }
    packedBase_ = base;
    packedReady_.store(true, std::memory_order_release);
}

Dict::PinyinJumps Dict::ReadJumps(const uint8_t* table, uint64_t count, size_t letters) {
    // Only the header is checked here, to keep the load short; each search checks the
    // offsets and positions it uses.
    uint64_t keys = 1;
    for (size_t i = 0; i < letters; ++i) keys *= 26;
    PinyinJumps j;
    if (count < kPinyinJumpHeader + keys + 1 || U32At(table, 0) != kPinyinJumpMagic || U32At(table, 4) != letters)
        return j;
    j.offsets = table + 4 * kPinyinJumpHeader;
    j.positions = j.offsets + 4 * (keys + 1);
    j.positionCount = count - kPinyinJumpHeader - keys - 1;
    j.letters = letters;
    return j;
}

}  // namespace zl
