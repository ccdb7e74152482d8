// The kept lists' pool: blocks in use never share a byte, whatever the order blocks of
// mixed sizes (the heap's too) are taken and given back in, from adopted slabs or its own.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "BlockPool.h"

TEST(BlockPool, BlocksInUseKeepTheirBytesThroughMixedTakingAndGivingBack) {
    zl::BlockPool pool;
    struct Block {
        unsigned char* at;
        size_t size;
        unsigned char mark;
    };
    std::mt19937 rng(5);
    for (int round = 0; round < 2; ++round) {
        pool.Adopt(zl::BlockPool::MakeSlabs(2));  // used first, then slabs of its own
        std::vector<Block> live;
        for (int step = 0; step < 20000; ++step) {
            if (!live.empty() && rng() % 3 == 0) {
                const size_t i = rng() % live.size();
                pool.deallocate(live[i].at, live[i].size);
                live[i] = live.back();
                live.pop_back();
                continue;
            }
            // Mostly pooled sizes, now and then one for the heap.
            const size_t size = rng() % 50 == 0 ? zl::BlockPool::kLargest + 1 + rng() % 4096 : 1 + rng() % 5000;
            auto* at = static_cast<unsigned char*>(pool.allocate(size));
            ASSERT_EQ(reinterpret_cast<uintptr_t>(at) % alignof(std::max_align_t), 0u);
            const auto mark = static_cast<unsigned char>(step);
            std::memset(at, mark, size);
            live.push_back({at, size, mark});
        }
        for (const Block& b : live) {
            for (size_t k = 0; k < b.size; ++k) ASSERT_EQ(b.at[k], b.mark) << "block of " << b.size;
            pool.deallocate(b.at, b.size);
        }
        pool.Release();  // and the pool serves a second round from new slabs
    }
}
