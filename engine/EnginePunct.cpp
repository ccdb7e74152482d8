// Punctuation and full-width conversion of one typed character.
#include "Engine.h"

namespace zl {

namespace {

// Chinese punctuation for U+0021..U+007E; null leaves the character as typed. The
// quotes are handled apart because they alternate.
const wchar_t* const kPunct[] = {
    L"\xFF01",        // !
    nullptr,          // "
    L"\xFF03",        // #
    L"\xFFE5",        // $
    L"\xFF05",        // %
    L"\xFF06",        // &
    nullptr,          // '
    L"\xFF08",        // (
    L"\xFF09",        // )
    L"\x00D7",        // *
    L"\xFF0B",        // +
    L"\xFF0C",        // ,
    L"\xFF0D",        // -
    L"\x3002",        // .
    L"\x3001",        // /
    nullptr, nullptr, nullptr, nullptr, nullptr,  // 0..4
    nullptr, nullptr, nullptr, nullptr, nullptr,  // 5..9
    L"\xFF1A",        // :
    L"\xFF1B",        // ;
    L"\x300A",        // <
    L"\xFF1D",        // =
    L"\x300B",        // >
    L"\xFF1F",        // ?
    L"\xFF20",        // @
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // A..I
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // J..R
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,           // S..Z
    L"\x3010",        // [
    L"\x3001",        // backslash
    L"\x3011",        // ]
    L"\x2026\x2026",  // ^
    L"\x2014\x2014",  // _
    L"\x00B7",        // `
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // a..i
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // j..r
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,           // s..z
    L"\x300E",        // {
    nullptr,          // |
    L"\x300F",        // }
    L"\xFF5E",        // ~
};
static_assert(sizeof kPunct / sizeof kPunct[0] == 0x7E - 0x21 + 1, "one entry per printable ASCII character");

}  // namespace

std::wstring Engine::punct(wchar_t c) {
    if (!config.chinesePunct) return ToWidth(std::wstring(1, c));
    if (c == L'"') {
        dquoteOpen = !dquoteOpen;
        return dquoteOpen ? L"\x201C" : L"\x201D";
    }
    if (c == L'\'') {
        squoteOpen = !squoteOpen;
        return squoteOpen ? L"\x2018" : L"\x2019";
    }
    if (c >= 0x21 && c <= 0x7E && kPunct[c - 0x21]) return kPunct[c - 0x21];
    return std::wstring(1, c);
}

std::wstring Engine::ToWidth(const std::wstring& s) const {
    if (!config.fullWidth) return s;
    std::wstring out(s);
    for (wchar_t& u : out) {
        if (u == L' ')
            u = L'\x3000';
        else if (u >= 0x21 && u <= 0x7E)
            u = static_cast<wchar_t>(u + 0xFEE0);
    }
    return out;
}

}  // namespace zl
