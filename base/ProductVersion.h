// The version every deliverable was built as; it also stands where installed.ver is missing.
#pragma once

namespace zl {

constexpr wchar_t kProductVersion[] = L"4.5.3";

}  // namespace zl
