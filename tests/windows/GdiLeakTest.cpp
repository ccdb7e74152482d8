#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "CandSamples.h"
#include "CandWindow.h"
#include "Canvas.h"
#include "GdiHeadroom.h"
#include "Pump.h"

namespace {

TEST(CandGdi, CreateShowPaintDestroyLeaksNothing) {
    auto list = candtest::Sample(7);
    // Warm up once: the first use of a font may allocate caches that live for the process.
    {
        zl::CandWindow w;
        ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
        w.Show(candtest::Request(list));
        zltest::PumpPending();
    }
    const int before = zltest::GdiHeadroom();
    ASSERT_GT(before, 1000);
    for (int i = 0; i < 150; ++i) {
        zl::CandWindow w;
        ASSERT_TRUE(w.Create(GetModuleHandleW(nullptr)));
        for (uint64_t page = 0; page < 3; ++page) {  // page 2 hides: that path counts too
            auto req = candtest::Request(list, page, i % 2 == 0);
            req.fontPx = 12 + i % 30;
            w.Show(req);
            zltest::Canvas canvas(w.clientSize.cx > 0 ? w.clientSize.cx : 1, w.clientSize.cy > 0 ? w.clientSize.cy : 1);
            w.PaintTo(canvas.Dc());
            w.OnPaint();
            zltest::PumpPending();
        }
        w.Destroy();
    }
    const int after = zltest::GdiHeadroom();
    std::printf("GDI headroom before %d, after %d\n", before, after);
    // One object lost per cycle would cost 150 to 900 here.
    EXPECT_GE(after, before - 20) << "before " << before << ", after " << after;
}

}  // namespace
