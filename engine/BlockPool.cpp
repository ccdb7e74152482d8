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
        slabs_.push_back(std::make_unique<std::byte[]>(kSlab));
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

void BlockPool::Release() {
    for (FreeBlock*& list : free_) list = nullptr;
    slabs_.clear();
    next_ = nullptr;
    left_ = 0;
}

}  // namespace zl
