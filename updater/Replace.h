// Putting one downloaded file in place of an installed one that may be in use. The
// target is never left missing or cut short: the new bytes are copied beside it first
// and only renames touch the target itself.
#pragma once

#include <functional>
#include <string>

namespace zl {

enum class ReplaceResult {
    Direct,      // the new file is in place
    MovedAside,  // in place; the old one, still in use, lives on under `oldName`
    Staged,      // Windows moves the new file in at the next restart
    Failed,      // nothing changed
};

struct ReplaceOutcome {
    ReplaceResult result = ReplaceResult::Failed;
    std::wstring oldName;  // MovedAside only
};

// target + suffix, or target + suffix + 1..199 when taken; 199 is used untested.
std::wstring FreeSuffixName(const std::wstring& target, const std::wstring& suffix,
                            const std::function<bool(const std::wstring&)>& exists);

// Replaces `target` with a copy of `source`.
ReplaceOutcome ReplaceInstalledFile(const std::wstring& source, const std::wstring& target);

// Creates the folders between the install folder and the target. False when one of
// them could not be made.
bool EnsureParentFolders(const std::wstring& installDir, const std::wstring& target);

// Removes copies staged for `target` by earlier runs, so that a restart cannot put an
// older file over the one just written. False when one of them stays in place.
bool RemoveStalePending(const std::wstring& target);

}  // namespace zl
