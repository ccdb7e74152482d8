// Where an update run stands, shared by the worker and the close button: the process may
// end at a close only while no installed file is being replaced.
#pragma once

#include <atomic>

namespace zl {

class RunStage {
public:
    // A new worker run starts.
    void Reset() { stage_.store(kFree); }
    // Worker, before replacing files: false when the window was closed first.
    bool BeginWriting() {
        int expected = kFree;
        return stage_.compare_exchange_strong(expected, kWriting);
    }
    void EndWriting() { stage_.store(kFree); }
    // Close button: true when the process may end now (no file will be written by this
    // run any more); false while files are being written, the close must wait.
    bool TryAbandon() {
        int expected = kFree;
        return stage_.compare_exchange_strong(expected, kAbandoned) || expected == kAbandoned;
    }

private:
    static constexpr int kFree = 0;
    static constexpr int kWriting = 1;
    static constexpr int kAbandoned = 2;
    std::atomic<int> stage_{kFree};
};

}  // namespace zl
