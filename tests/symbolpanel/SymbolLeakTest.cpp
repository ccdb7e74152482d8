#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "Canvas.h"
#include "Foreground.h"
#include "GdiHeadroom.h"
#include "Pump.h"
#include "SymTestUtil.h"
#include "SymbolPanel.h"

namespace {

TEST(SymbolLeak, ManyOpenCloseCyclesLeaveNoGdiObjectOrHook) {
    zltest::OwnForegroundWindow front;
    symtest::UserFolder folder;
    const POINT anchor = symtest::MidAnchor();
    // Warm up once: the first use of a font may allocate caches that live for the process.
    {
        zl::SymbolPanel p;
        ASSERT_TRUE(p.Create(GetModuleHandleW(nullptr)));
        p.Show(anchor);
        zltest::PumpPending();
    }
    const int before = zltest::GdiHeadroom();
    ASSERT_GT(before, 1000);
    int hooksLeft = 0;
    for (int i = 0; i < 120; ++i) {
        zl::SymbolPanel p;
        ASSERT_TRUE(p.Create(GetModuleHandleW(nullptr)));
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
            if (!p.hwnd) {
                ASSERT_TRUE(p.Create(GetModuleHandleW(nullptr)));
            }
        }
        p.Destroy();
    }
    EXPECT_EQ(0, hooksLeft);
    const int after = zltest::GdiHeadroom();
    std::printf("GDI headroom before %d, after %d\n", before, after);
    // One object lost per cycle would cost 120 to 360 here.
    EXPECT_GE(after, before - 20) << "before " << before << ", after " << after;
}

}  // namespace
