// Use counts: counting, and reading and writing user.dat in the user folder.
#include "Engine.h"
#include "LearnFormat.h"
#include "UserDir.h"
#include "WholeFile.h"

namespace zl {

namespace {

constexpr uint32_t kMaxUseCount = 100000;
constexpr size_t kSaveEveryUseAbove = 8000;
constexpr size_t kHandOverAbove = kSaveEveryUseAbove / 4;

std::wstring UserFile() { return UserDir() + L"\\user.dat"; }

}  // namespace

void Engine::Learn(const std::wstring& text) {
    // Such a text would split its line in the file.
    if (text.empty() || !IsStorableText(text)) return;
    uint32_t& count = userFreq[text];
    learned_.Add(text);
    if (count < kMaxUseCount) {
        ++count;
        // A count the kept lists were not told of: lists counted before cannot catch up.
        if (!cache_.Counted(text)) ++userCounts_;
    }
    userDirty = true;
    ++userChange_;
    if (userMirrored_) {
        try {
            userSaver_->Count(text, count, userChange_);
        } catch (...) {
            // The writer's copy misses this use now: it must not claim the save, so
            // the next save hands it the whole map again.
            userMirrored_ = false;
        }
    }
    if (userFreq.size() > kSaveEveryUseAbove) SaveUserSoon();
}

void Engine::SaveUserSoon() {
    // Counts that could not be read stay on disk; ours wait, still marked changed.
    if (userUnreadable_) return;
    try {
        if (!userSaver_) userSaver_ = std::make_unique<UserSaver>(UserFile);
        if (!userMirrored_) {
            // Once per load, for a user who had few texts when they loaded.
            userSaver_->Replace(userFreq, userChange_);
            userMirrored_ = true;
        }
        userSaver_->Save();
    } catch (...) {
        // No thread or no memory for it: save here, as without a writer.
        userMirrored_ = false;
        SaveUser();
    }
}

void Engine::LoadUser() { LoadUser(nullptr); }

void Engine::LoadUser(std::shared_ptr<const std::string>* keep) {
    // A save still on its way would land after this load and undo it.
    if (userSaver_) userSaver_->Drain();
    userMirrored_ = false;
    ++userCounts_;
    userFreq.clear();
    learned_.Rebuild(userFreq);
    cache_.Clear();
    const std::wstring path = UserFile();
    RemoveStaleSaves(path);
    std::string bytes;
    const FileRead read = ReadWholeFile(path, bytes);
    userUnreadable_ = read == FileRead::Failed;
    if (read != FileRead::Read) return;
    ParseUseCounts(bytes, userFreq);
    // Shared by the threads that parse them again: the writer, and the short lists'.
    std::shared_ptr<const std::string> file;
    try {
        file = std::make_shared<const std::string>(std::move(bytes));
    } catch (...) {
    }
    learned_.Rebuild(userFreq);
    const size_t loaded = userFreq.size();
    // Room for a quarter more texts: growing the map rehashes every entry, which for a
    // heavy user costs milliseconds on the commit that crosses it. Here it is at load.
    userFreq.reserve(userFreq.size() + userFreq.size() / 4 + 256);
    userDirty = false;
    // A user within reach of the saving size gets the writer now, while loading, rather
    // than on the keystroke that crosses it; it parses the same bytes on its own thread.
    if (loaded > kHandOverAbove && file) {
        try {
            if (!userSaver_) userSaver_ = std::make_unique<UserSaver>(UserFile);
            userSaver_->ReplaceFromFile(file, userChange_);
            userMirrored_ = true;
        } catch (...) {
        }
    }
    if (keep) *keep = std::move(file);
}

void Engine::SaveUser() {
    if (userSaver_) userSaver_->Drain();
    if (!userDirty || userUnreadable_) return;
    // The writer already saved every change: nothing left to write.
    if (userMirrored_ && userSaver_->SavedChange() == userChange_) {
        userDirty = false;
        return;
    }
    std::string bytes;
    FormatUseCounts(userFreq, bytes);
    if (SaveWholeFile(UserFile(), bytes)) userDirty = false;
}

void Engine::Reload() {
    Clear();
    LoadUser();
    LoadPromote();
}

}  // namespace zl
