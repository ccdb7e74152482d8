#include "BlockPool.h"

#include <new>

namespace zl {

size_t BlockPool::ClassOf(size_t bytes) {
    size_t c = 0;
    for (size_t size = kSmallest; size < bytes; size *= 2) ++c;
    return c;
}

void* BlockPool::do_allocate(size_t bytes, size_t alignment) {
    if (bytes > kLargest || alignment > alignof(std::max_align_t))
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    const size_t c = ClassOf(bytes);
    if (FreeBlock* block = free_[c]) {
        free_[c] = block->next;
        return block;
    }
    const size_t size = kSmallest << c;
    if (left_ < size) {
        slabs_.reserve(slabs_.size() + 1);  // may throw before the slab is taken
        if (!spare_.empty()) {
            slabs_.push_back(std::move(spare_.back()));
            spare_.pop_back();
        } else {
            slabs_.push_back(std::make_unique<std::byte[]>(kSlab));  // written: zeroed
        }
        next_ = slabs_.back().get();
        left_ = kSlab;
    }
    void* block = next_;
    next_ += size;
    left_ -= size;
    return block;
}

void BlockPool::do_deallocate(void* p, size_t bytes, size_t alignment) {
    if (bytes > kLargest || alignment > alignof(std::max_align_t)) {
        std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
        return;
    }
    const size_t c = ClassOf(bytes);
    free_[c] = new (p) FreeBlock{free_[c]};
}

std::vector<BlockPool::Slab> BlockPool::MakeSlabs(size_t count) {
    std::vector<Slab> slabs;
    slabs.reserve(count);
    for (size_t i = 0; i < count; ++i) slabs.push_back(std::make_unique<std::byte[]>(kSlab));
    return slabs;
}

void BlockPool::Adopt(std::vector<Slab>&& slabs) {
    spare_.reserve(spare_.size() + slabs.size());
    for (Slab& slab : slabs) spare_.push_back(std::move(slab));
    slabs.clear();
}

void BlockPool::Release() {
    for (FreeBlock*& list : free_) list = nullptr;
    slabs_.clear();
    spare_.clear();
    next_ = nullptr;
    left_ = 0;
}

}  // namespace zl
