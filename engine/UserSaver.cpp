#include "UserSaver.h"

#include "WholeFile.h"

namespace zl {

UserSaver::UserSaver(std::function<std::wstring()> path) : path_(std::move(path)), thread_([this] { Run(); }) {}

UserSaver::~UserSaver() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void UserSaver::Replace(const UseCounts& counts, uint64_t change) {
    auto replacement = std::make_unique<Replacement>();
    replacement->counts.assign(counts.begin(), counts.end());
    Take(std::move(replacement), change);
}

void UserSaver::ReplaceFromFile(std::shared_ptr<const std::string> bytes, uint64_t change) {
    auto replacement = std::make_unique<Replacement>();
    replacement->file = std::move(bytes);
    replacement->fromFile = true;
    Take(std::move(replacement), change);
}

void UserSaver::Take(std::unique_ptr<Replacement> replacement, uint64_t change) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        replace_ = std::move(replacement);
        counts_.clear();  // older than the replacement
        change_ = change;
    }
    wake_.notify_one();
}

void UserSaver::Count(const std::wstring& text, uint32_t count, uint64_t change) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        counts_.emplace_back(text, count);
        change_ = change;
    }
    wake_.notify_one();
}

void UserSaver::Save() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        save_ = true;
    }
    wake_.notify_one();
}

void UserSaver::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !HasWork(); });
}

uint64_t UserSaver::SavedChange() {
    std::lock_guard<std::mutex> lock(mutex_);
    return saved_;
}

void UserSaver::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::vector<std::pair<std::wstring, uint32_t>> counts;
    std::string bytes;
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || HasWork(); });
        if (!HasWork()) break;  // stopping, with nothing left to do
        std::unique_ptr<Replacement> replace = std::move(replace_);
        counts.clear();
        counts.swap(counts_);
        const bool save = save_;
        save_ = false;
        const uint64_t change = change_;
        busy_ = true;
        lock.unlock();

        bool saved = false;
        try {
            if (replace) {
                mirror_.clear();
                if (replace->fromFile) {
                    ParseUseCounts(*replace->file, mirror_);
                } else {
                    mirror_.reserve(replace->counts.size());
                    for (auto& [text, count] : replace->counts) mirror_.emplace(std::move(text), count);
                }
            }
            for (auto& [text, count] : counts) mirror_[std::move(text)] = count;
            // A copy that lost a change must not replace the file either: it could
            // hold fewer counts than the file.
            if (save && !broken_) {
                FormatUseCounts(mirror_, bytes);
                saved = SaveWholeFile(path_(), bytes);
            }
        } catch (...) {
            // Out of memory: the copy may have lost a change, so it never again claims
            // a save; the owner's own save at focus loss writes the counts.
            broken_ = true;
        }

        lock.lock();
        busy_ = false;
        if (saved) saved_ = change;
        if (!HasWork()) idle_.notify_all();
    }
}

}  // namespace zl
