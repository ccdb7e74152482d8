// Brings a freshly loaded dictionary in on a thread of its own: its pages (under Wine a
// first touch of each 64 KB of the mapping costs tens of microseconds) and the GBK
// answers of its texts' units. Otherwise the first keys after a load pay for both, a
// millisecond and more on the host's UI thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include <cstdint>
#include <string_view>

namespace zl {

class Warmup {
public:
    Warmup() = default;
    ~Warmup() { Stop(); }
    Warmup(const Warmup&) = delete;
    Warmup& operator=(const Warmup&) = delete;

    // Work for the same thread once the pages are in, given the flag that asks it to stop.
    using Then = std::function<void(const std::atomic<bool>& stop)>;

    // Starts touching size bytes from bytes and learning the GBK answers of texts, then
    // runs then; all must stay valid until Stop. Without a thread nothing is warmed: it
    // only saves time.
    void Start(const uint8_t* bytes, uint64_t size, std::wstring_view texts, Then then = {});
    // Ends the thread, waiting at most for the page or unit in hand.
    void Stop();
    // True once the last Start's work is all done (or none was started).
    bool Done() const { return done_.load(std::memory_order_acquire); }

private:
    void Run(const uint8_t* bytes, uint64_t size, std::wstring_view texts, const Then& then);

    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{true};
    std::thread thread_;
};

}  // namespace zl
