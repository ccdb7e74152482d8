// The user guide shown in the main window and the help window: read from 使用说明.txt
// beside the program, or the built-in short guide.
#pragma once

#include <string>

namespace zldemo {

// UTF-8 bytes of a guide as shown: a leading byte-order mark dropped, invalid sequences
// replaced, carriage returns dropped and every line feed written as CR LF.
std::wstring DecodeHelpBytes(std::string bytes);

// The first non-empty guide among 使用说明.txt, dist\使用说明.txt and ..\dist\使用说明.txt
// under folder; empty when there is none.
std::wstring LoadHelpFile(const std::wstring& folder);

std::wstring BuiltInHelpText();
std::wstring ShortcutListText();

}  // namespace zldemo
