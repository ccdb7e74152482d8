// The symbol panel: every tab in both themes, and the first tab with a hovered tab, a
// hovered item and a just-picked item.
#include <string>

#include "Pages.h"
#include "SymbolPanel.h"

namespace zlgallery {

namespace {

void SavePanel(Gallery& g, const zl::SymbolPanel& panel, const std::wstring& name) {
    zltest::Canvas picture(zl::kSymPanelW, zl::kSymPanelH);
    panel.OnPaint(picture.Dc());
    g.SaveFramed(name, picture, CreateRoundRectRgn(0, 0, zl::kSymPanelW + 1, zl::kSymPanelH + 1, 12, 12));
}

}  // namespace

void AddSymbolPages(Gallery& g) {
    zl::SymbolPanel panel;
    if (!panel.Create(g.Instance())) {
        g.Fail(L"sym", "the symbol panel could not be created");
        return;
    }
    for (const bool dark : {false, true}) {
        const std::wstring theme = dark ? L"-dark" : L"-light";
        panel.dark = dark;  // the theme is otherwise the user's
        panel.hoverTab = -1;
        panel.hoverItem = -1;
        panel.flashItem = -1;
        for (int tab = 0; tab < zl::kSymbolCategoryCount; ++tab) {
            panel.category = tab;
            SavePanel(g, panel, L"sym-tab" + std::to_wstring(tab) + theme);
        }
        panel.category = 0;
        panel.hoverTab = 3;
        panel.hoverItem = 13;
        panel.flashItem = 24;
        SavePanel(g, panel, L"sym-hover-flash" + theme);
    }
    panel.Destroy();
}

}  // namespace zlgallery
