#include <gtest/gtest.h>

#include <windows.h>

#include "Canvas.h"
#include "Foreground.h"
#include "GdiLeak.h"
#include "Pump.h"
#include "SymTestUtil.h"
#include "SymbolPanel.h"

namespace {

TEST(SymbolLeak, ManyOpenCloseCyclesLeaveNoGdiObjectOrHook) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    const POINT anchor = symtest::MidAnchor();
    int hooksLeft = 0;
    EXPECT_TRUE(zltest::LeavesNoGdiObjects(
        [&](int i) {
            zl::SymbolPanel p;
            if (!p.Create(GetModuleHandleW(nullptr))) return false;
            for (int round = 0; round < 3; ++round) {
                p.Show(anchor);
                p.category = (i + round) % zl::kSymbolCategoryCount;
                p.hoverItem = round;
                p.flashItem = round + 1;
                zltest::Canvas canvas(zl::kSymPanelW, zl::kSymPanelH);
                p.OnPaint(canvas.Dc());
                InvalidateRect(p.hwnd, nullptr, TRUE);
                zltest::PumpPending();  // a real WM_PAINT
                const HHOOK hook = p.hook;
                // Every way of closing: hide, toggle, an outside press, destroy.
                switch ((i + round) % 4) {
                case 0:
                    p.Hide();
                    break;
                case 1:
                    p.Toggle(anchor);
                    break;
                case 2:
                    symtest::FeedHook(WM_RBUTTONDOWN, POINT{anchor.x + 600 + i, anchor.y - 300 + round * 10});
                    zltest::PumpPending();
                    break;
                default:
                    p.Destroy();
                    break;
                }
                if (!symtest::HookGone(hook)) ++hooksLeft;
                if (!p.hwnd && !p.Create(GetModuleHandleW(nullptr))) return false;
            }
            p.Destroy();
            return true;
        },
        120));
    EXPECT_EQ(0, hooksLeft);
}

}  // namespace
