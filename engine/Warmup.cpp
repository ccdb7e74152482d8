#include "Warmup.h"

#include <algorithm>
#include <utility>

#include "GbkText.h"

namespace zl {

namespace {

constexpr uint64_t kPage = 4096;
// Units asked about between looks at the stop flag: a fraction of a millisecond.
constexpr size_t kUnitsPerLook = 256;

}  // namespace

void Warmup::Start(const uint8_t* bytes, uint64_t size, std::wstring_view texts, Then then) {
    Stop();
    stop_.store(false);
    done_.store(false, std::memory_order_release);
    try {
        thread_ = std::thread([this, bytes, size, texts, then = std::move(then)] { Run(bytes, size, texts, then); });
    } catch (...) {
        // No thread, or no memory for its start (bad_alloc): the host must not see either.
        done_.store(true, std::memory_order_release);
    }
}

void Warmup::Stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    done_.store(true, std::memory_order_release);
}

void Warmup::Run(const uint8_t* bytes, uint64_t size, std::wstring_view texts, const Then& then) {
    volatile uint8_t sink = 0;
    for (uint64_t at = 0; at < size && !stop_.load(std::memory_order_relaxed); at += kPage) sink = sink + bytes[at];
    for (size_t at = 0; at < texts.size() && !stop_.load(std::memory_order_relaxed); at += kUnitsPerLook)
        LearnGbkUnits(texts.substr(at, kUnitsPerLook));
    if (then && !stop_.load(std::memory_order_relaxed)) {
        try {
            then(stop_);
        } catch (...) {
            // Out of memory: what it would have made is only a saving of time.
        }
    }
    done_.store(true, std::memory_order_release);
}

}  // namespace zl
