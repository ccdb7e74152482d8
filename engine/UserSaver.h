// Writes user.dat on a thread of its own, so that a commit by a user with many known
// texts never waits for formatting and writing the whole file. The thread keeps its own
// copy of the counts, fed one change at a time; saves asked for while one is being
// written are done together afterwards.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "LearnFormat.h"

namespace zl {

class UserSaver {
public:
    // Starts the thread; throws std::system_error when it cannot. The thread asks path
    // for the file at every save: finding the user folder takes the shell's time, which
    // must not be the typing thread's.
    explicit UserSaver(std::function<std::wstring()> path);
    // Finishes the work already asked for, then ends the thread.
    ~UserSaver();
    UserSaver(const UserSaver&) = delete;
    UserSaver& operator=(const UserSaver&) = delete;

    // Each call is stamped with the caller's change number, which only grows. None of
    // them waits for a save in progress.
    // Copies counts as a flat list, which the thread makes its map of: copying the map
    // itself would allocate every entry on the caller's thread, tens of milliseconds
    // for a heavy user.
    void Replace(const UseCounts& counts, uint64_t change);
    // Replace with the counts ParseUseCounts reads from bytes, parsed by the thread: a
    // load hands over the file it read instead of copying what it parsed.
    void ReplaceFromFile(std::shared_ptr<const std::string> bytes, uint64_t change);
    void Count(const std::wstring& text, uint32_t count, uint64_t change);
    void Save();

    // Waits until everything asked for is done.
    void Drain();
    // The change number of the counts the last successful save wrote; 0 before one.
    uint64_t SavedChange();

private:
    void Run();
    bool HasWork() const { return replace_ || !counts_.empty() || save_; }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    // Guarded by mutex_.
    struct Replacement {
        std::vector<std::pair<std::wstring, uint32_t>> counts;
        std::shared_ptr<const std::string> file;  // parsed instead of counts when fromFile
        bool fromFile = false;
    };
    void Take(std::unique_ptr<Replacement> replacement, uint64_t change);
    std::unique_ptr<Replacement> replace_;
    std::vector<std::pair<std::wstring, uint32_t>> counts_;
    uint64_t change_ = 0;
    bool save_ = false;
    uint64_t saved_ = 0;
    bool busy_ = false;
    bool stop_ = false;

    const std::function<std::wstring()> path_;
    UseCounts mirror_;  // the thread's own
    bool broken_ = false;  // the thread's own: mirror_ may miss a change
    std::thread thread_;
};

}  // namespace zl
