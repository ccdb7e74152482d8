// Manifest bytes to wide text: strict UTF-8 (any number of leading byte-order marks),
// UTF-16LE with its byte-order mark, else GBK.
#pragma once

#include <string>

namespace zl {

std::wstring DecodeText(const std::string& bytes);

}  // namespace zl
