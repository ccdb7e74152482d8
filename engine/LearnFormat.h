// The two learning files as bytes: user.dat ("text TAB count LF") and promote.dat
// ("code TAB text TAB stamp LF"), UTF-8 without a byte-order mark. The parsers also take
// what an editor may have saved instead: UTF-8 or UTF-16 with a byte-order mark.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zl {

using UseCounts = std::unordered_map<std::wstring, uint32_t>;
using Promotions = std::unordered_map<std::wstring, uint32_t>;

// Separates the typed code from the text in a promotion key.
constexpr wchar_t kPromoteSep = L'\x0001';

// A text with TAB, CR or LF cannot be stored in a line of either file.
bool IsStorableText(std::wstring_view text);

// Unsigned decimal after optional blanks and an optional '+'; stops at the first
// non-digit and saturates at UINT32_MAX. False for a '-' sign or no digits.
bool ParseCount(std::string_view s, uint32_t& value);

// Adds the valid lines of bytes to counts (a later line for a text wins).
void ParseUseCounts(std::string_view bytes, UseCounts& counts);
// Calls f(text, count) for each valid line of bytes, in file order: what ParseUseCounts
// adds, for a reader that keeps only some texts. Once *stop is set, no more calls.
void ForEachUseCount(std::string_view bytes, const std::function<void(const std::wstring&, uint32_t)>& f,
                     const std::atomic<bool>* stop = nullptr);
// Replaces out with the file image of counts; texts that cannot be stored are left out.
void FormatUseCounts(const UseCounts& counts, std::string& out);

// Adds the valid lines of bytes to promotions and raises maxStamp to every stamp read.
void ParsePromotions(std::string_view bytes, Promotions& promotions, uint32_t& maxStamp);
// Replaces out with the file image of promotions; malformed keys are left out.
void FormatPromotions(const Promotions& promotions, std::string& out);

}  // namespace zl
