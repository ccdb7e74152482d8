// Use counts: counting, and reading and writing user.dat in the user folder.
#include "Engine.h"
#include "LearnFormat.h"
#include "UserDir.h"
#include "WholeFile.h"

namespace zl {

namespace {

constexpr uint32_t kMaxUseCount = 100000;
constexpr size_t kSaveEveryUseAbove = 8000;

std::wstring UserFile() { return UserDir() + L"\\user.dat"; }

}  // namespace

void Engine::Learn(const std::wstring& text) {
    // Such a text would split its line in the file.
    if (text.empty() || !IsStorableText(text)) return;
    uint32_t& count = userFreq[text];
    if (count < kMaxUseCount) ++count;
    userDirty = true;
    if (userFreq.size() > kSaveEveryUseAbove) SaveUser();
}

void Engine::LoadUser() {
    userFreq.clear();
    const std::wstring path = UserFile();
    RemoveStaleSaves(path);
    std::string bytes;
    const FileRead read = ReadWholeFile(path, bytes);
    userUnreadable_ = read == FileRead::Failed;
    if (read != FileRead::Read) return;
    ParseUseCounts(bytes, userFreq);
    userDirty = false;
}

void Engine::SaveUser() {
    // Counts that could not be read stay on disk; ours wait, still marked changed.
    if (!userDirty || userUnreadable_) return;
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
