// Manual promotions: a candidate moved to the top for the exact code typed, kept in
// promote.dat in the user folder.
#include <algorithm>
#include <vector>

#include "Engine.h"
#include "LearnFormat.h"
#include "UserDir.h"
#include "WholeFile.h"

namespace zl {

namespace {

constexpr size_t kTrimAbove = 4000;

std::wstring PromoteFile() { return UserDir() + L"\\promote.dat"; }

}  // namespace

void Engine::LoadPromote() {
    promotions.clear();
    promoteMax = 0;
    cache_.Clear();
    promotedFor_ = SIZE_MAX;
    const std::wstring path = PromoteFile();
    RemoveStaleSaves(path);
    std::string bytes;
    const FileRead read = ReadWholeFile(path, bytes);
    promoteUnreadable_ = read == FileRead::Failed;
    if (read == FileRead::Read) ParsePromotions(bytes, promotions, promoteMax);
}

void Engine::SavePromote() {
    if (promoteUnreadable_) return;
    std::string bytes;
    FormatPromotions(promotions, bytes);
    SaveWholeFile(PromoteFile(), bytes);
}

bool Engine::PromoteGlobal(uint64_t i) {
    if (!config.manualFreq || i >= candidates.size()) return false;
    const std::wstring& text = candidates[i].text;
    if (text.empty() || !IsStorableText(text)) return false;

    std::wstring key(code.begin(), code.end());
    key.push_back(kPromoteSep);
    key.append(text);
    // A damaged file can carry the largest stamp; the next one must still rank newest.
    if (promoteMax == UINT32_MAX) RenumberStamps();
    promotions[key] = ++promoteMax;
    if (promotions.size() > kTrimAbove) TrimPromotions();

    Rebuild();
    SavePromote();
    return true;
}

bool Engine::PromoteOnPage(uint64_t i) {
    if (!config.manualFreq) return false;
    const uint64_t first = PageStart();
    if (first >= candidates.size() || i >= candidates.size() - first) return false;
    return PromoteGlobal(first + i);
}

void Engine::ClearPromotions(const std::wstring& under) {
    if (under.empty()) {
        // promoteMax stays, so later stamps stay above any a peer still has on disk.
        promotions.clear();
    } else {
        const std::wstring prefix = under + kPromoteSep;
        for (auto it = promotions.begin(); it != promotions.end();) {
            if (it->first.compare(0, prefix.size(), prefix) == 0)
                it = promotions.erase(it);
            else
                ++it;
        }
    }
    cache_.Clear();
    if (!code.empty()) Rebuild();
    SavePromote();
}

void Engine::RenumberStamps() {
    std::vector<uint32_t> stamps;
    stamps.reserve(promotions.size());
    for (const auto& entry : promotions) stamps.push_back(entry.second);
    std::sort(stamps.begin(), stamps.end());
    stamps.erase(std::unique(stamps.begin(), stamps.end()), stamps.end());
    // Equal stamps stay equal and 0 (not promoted) stays 0.
    const uint32_t base = !stamps.empty() && stamps.front() == 0 ? 0 : 1;
    for (auto& entry : promotions) {
        const size_t rank = std::lower_bound(stamps.begin(), stamps.end(), entry.second) - stamps.begin();
        entry.second = static_cast<uint32_t>(rank + base);
    }
    promoteMax = stamps.empty() ? 0 : static_cast<uint32_t>(stamps.size() - 1 + base);
}

void Engine::TrimPromotions() {
    std::vector<uint32_t> stamps;
    stamps.reserve(promotions.size());
    for (const auto& entry : promotions) stamps.push_back(entry.second);
    const auto at = stamps.begin() + stamps.size() / 4;
    std::nth_element(stamps.begin(), at, stamps.end());
    const uint32_t threshold = *at;
    for (auto it = promotions.begin(); it != promotions.end();) {
        if (it->second <= threshold)
            it = promotions.erase(it);
        else
            ++it;
    }
}

}  // namespace zl
