// Memory for the kept candidate lists: blocks of a few sizes, carved from large slabs and
// taken back onto a free list per size. The heap's own blocks of a few kilobytes, freed
// and taken again in any order as lists come and go, cost tens of microseconds now and
// then (under Wine about one in a dozen does), on a keystroke; here a block costs a few
// instructions. Only the engine's thread uses a pool.
#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <vector>

namespace zl {

class BlockPool : public std::pmr::memory_resource {
public:
    // Larger blocks come from the heap.
    static constexpr size_t kLargest = 16 * 1024;

    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // Frees every slab; no block handed out may be in use.
    void Release();

private:
    static constexpr size_t kSmallest = 64;
    static constexpr size_t kClasses = 9;  // 64 to 16384 bytes, each twice the last
    static constexpr size_t kSlab = 256 * 1024;

    struct FreeBlock {
        FreeBlock* next;
    };

    static size_t ClassOf(size_t bytes);
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* p, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    FreeBlock* free_[kClasses] = {};
    std::vector<std::unique_ptr<std::byte[]>> slabs_;
    std::byte* next_ = nullptr;  // the unused rest of the last slab
    size_t left_ = 0;
};

}  // namespace zl
