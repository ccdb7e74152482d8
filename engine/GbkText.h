// The GBK filter: whether a text can be written in code page 936 unit by unit.
#pragma once

#include <string_view>

namespace zl {

// True when every UTF-16 unit converts on its own to code page 936 without best fit
// and without the default character. Surrogate pairs therefore fail; empty text passes.
bool IsGbkText(std::wstring_view text);

// IsGbkText answered from a table of the units already asked about, shared by every
// thread of the process: asking the code page costs about a microsecond a unit.
bool IsGbkTextMemo(std::wstring_view text);

// Asks the code page about every unit of units not yet in the table.
void LearnGbkUnits(std::wstring_view units);

}  // namespace zl
