// The system colour dialog, its custom colours seeded with the presets once per run.
#include <windows.h>
#include <commdlg.h>

#include "DemoApp.h"
#include "Options.h"

namespace zldemo {

bool PickColor(HWND owner, COLORREF initial, COLORREF* result) {
    static COLORREF custom[16];
    static bool seeded = false;
    if (!seeded) {
        for (int i = 0; i < kAccentCount; ++i) custom[i] = kAccentPresets[i] ? kAccentPresets[i] : kAccentFallback;
        for (int i = 0; i < kCardCount; ++i) custom[8 + i] = kCardPresets[i] ? kCardPresets[i] : kCardFallback;
        custom[15] = 0xFFFFFF;
        seeded = true;
    }
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    *result = cc.rgbResult;
    return true;
}

}  // namespace zldemo
