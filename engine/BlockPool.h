// Memory for the kept candidate lists: blocks of a few sizes, carved from slabs and taken
// back onto a free list per size. The heap's own blocks of a few kilobytes, freed and
// taken again in any order as lists come and go, cost tens of microseconds now and then
// (under Wine about one in a dozen does), on a keystroke; here a block costs a few
// instructions. A slab's pages are all written when it is made, so that their first
// touches (each can take microseconds) fall on one key, or, for the slabs made ahead on
// another thread, on none. Only the engine's thread uses a pool.
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

    static constexpr size_t kSlab = 64 * 1024;
    using Slab = std::unique_ptr<std::byte[]>;
    // Slabs with their pages written, made on any thread for a pool to adopt.
    static std::vector<Slab> MakeSlabs(size_t count);
    // Takes slabs to use before making any.
    void Adopt(std::vector<Slab>&& slabs);

    // Frees every slab; no block handed out may be in use.
    void Release();

private:
    static constexpr size_t kSmallest = 64;
    static constexpr size_t kClasses = 9;  // 64 to 16384 bytes, each twice the last

    struct FreeBlock {
        FreeBlock* next;
    };

    static size_t ClassOf(size_t bytes);
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* p, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    FreeBlock* free_[kClasses] = {};
    std::vector<Slab> slabs_;  // in use
    std::vector<Slab> spare_;  // adopted, not yet in use
    std::byte* next_ = nullptr;  // the unused rest of the last slab
    size_t left_ = 0;
};

}  // namespace zl
