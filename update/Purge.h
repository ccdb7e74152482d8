// Removal of the files an update leaves behind (renamed-away old files, new files not yet
// moved in, pending copies) from an install folder and its data subfolder.
#pragma once

#include <string>

namespace zl {

// True when zlwb64.dll or zlwb32.dll stands in folder.
bool IsInstallFolder(const std::wstring& folder);

// Deletes every file of folder and folder\data whose name holds ".old", ".new" or
// ".pending" (any case). Does nothing unless folder is an installation, so a program
// started from a download or build folder never touches a user's "report.new.docx".
// A file that cannot be deleted is tried once more after 60 ms; `left` (may be null)
// receives how many stayed. Blocks for those retries: run it off any UI thread that
// must stay responsive.
void PurgeBackupFiles(const std::wstring& folder, unsigned* left);

}  // namespace zl
