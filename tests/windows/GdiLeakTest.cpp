#include <gtest/gtest.h>

#include <windows.h>

#include "CandSamples.h"
#include "CandWindow.h"
#include "Canvas.h"
#include "GdiLeak.h"
#include "Pump.h"

namespace {

TEST(CandGdi, CreateShowPaintDestroyLeaksNothing) {
    auto list = candtest::Sample(7);
    EXPECT_TRUE(zltest::LeavesNoGdiObjects(
        [&](int i) {
            zl::CandWindow w;
            if (!w.Create(GetModuleHandleW(nullptr))) return false;
            for (uint64_t page = 0; page < 3; ++page) {  // page 2 hides: that path counts too
                auto req = candtest::Request(list, page, i % 2 == 0);
                req.fontPx = 12 + i % 30;
                w.Show(req);
                zltest::Canvas canvas(w.clientSize.cx > 0 ? w.clientSize.cx : 1,
                                      w.clientSize.cy > 0 ? w.clientSize.cy : 1);
                w.PaintTo(canvas.Dc());
                w.OnPaint();
                zltest::PumpPending();
            }
            w.Destroy();
            return true;
        },
        150));
}

}  // namespace
