// Which manifest paths the updater may write. It usually runs elevated and replaces DLLs
// loaded into every process, so a path must name a plain file inside the install folder.
#pragma once

#include <string>
#include <vector>

namespace zl {

// The manifest path with '/' turned into '\'.
std::wstring NormalisedManifestPath(const std::wstring& path);

// The rules a path must follow as text: not empty, relative, no ':' or <>"|?* or control
// characters, no empty, "." or ".." segment, no segment ending in a dot or space, no DOS
// device name (with or without extension), not inside update_tmp.
bool IsSafeManifestPath(const std::wstring& path);

// The first path of the list that needs another one of the list as its folder (names
// compared without regard to case), or null when none does: the run would have to put
// a file and a folder under one name, and replacing the one destroys the other.
const std::wstring* PathNeedingAFileAsFolder(const std::vector<std::wstring>& paths);

// installDir + "\" + the normalised path.
std::wstring LocalPathOf(const std::wstring& installDir, const std::wstring& path);

// True when something on disk along the path is a reparse point, or the target itself
// is a folder: writing there would leave the install folder or destroy a folder.
bool TargetIsUnsafeOnDisk(const std::wstring& installDir, const std::wstring& path);

}  // namespace zl
