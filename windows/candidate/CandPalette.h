// Colours of the candidate window (COLORREF, 0x00BBGGRR).
#pragma once

#include <windows.h>

namespace zl {

struct CandPalette {
    COLORREF background;
    COLORREF border;
    COLORREF selectedFill;
    COLORREF accent;     // index number of the selected cell
    COLORREF text;       // candidate texts
    COLORREF secondary;  // other index numbers, codes, the page indicator
};

constexpr CandPalette kCandLight{0xFDFCFC, 0xDAD2CE, 0xFFE8D6, 0xB46018, 0x221E1C, 0xA69C96};
constexpr CandPalette kCandDark{0x302C2A, 0x544C48, 0x704626, 0xF0B07A, 0xF2EEEC, 0x9C928C};

inline const CandPalette& CandPaletteFor(bool dark) { return dark ? kCandDark : kCandLight; }

}  // namespace zl
