#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "CandLayout.h"

namespace {

using zl::CandCellSize;
using zl::CandMetricsFor;

TEST(CandMetrics, FollowTheFontHeight) {
    auto m20 = CandMetricsFor(20);
    EXPECT_EQ(6, m20.padX);
    EXPECT_EQ(4, m20.padY);
    EXPECT_EQ(34, m20.lineH);
    EXPECT_EQ(17, m20.indexCol);
    EXPECT_EQ(12, m20.smallPx);
    auto m30 = CandMetricsFor(30);
    EXPECT_EQ(10, m30.padX);
    EXPECT_EQ(6, m30.padY);
    EXPECT_EQ(51, m30.lineH);
    EXPECT_EQ(25, m30.indexCol);
    EXPECT_EQ(18, m30.smallPx);
    // Small font: 11 below 3f = 60, then 3f/5.
    EXPECT_EQ(11, CandMetricsFor(19).smallPx);
    EXPECT_EQ(28, CandMetricsFor(48).smallPx);
    // The padding thresholds are inclusive.
    EXPECT_EQ(7, CandMetricsFor(21).padX);
    EXPECT_EQ(4, CandMetricsFor(24).padY);
    EXPECT_EQ(5, CandMetricsFor(25).padY);
}

TEST(CandMetrics, GarbageFontHeightsAreClamped) {
    EXPECT_EQ(zl::kCandMinFontPx, zl::ClampCandFontPx(0));
    EXPECT_EQ(12, zl::ClampCandFontPx(12));
    EXPECT_EQ(48, zl::ClampCandFontPx(48));
    EXPECT_EQ(zl::kCandMaxFontPx, zl::ClampCandFontPx(0xFFFFFFFFu));
}

TEST(CandPage, SlicesPagesAndCountsThem) {
    auto p0 = zl::SliceCandPage(7, 0, 5);
    EXPECT_EQ(0u, p0.first);
    EXPECT_EQ(5u, p0.count);
    EXPECT_EQ(2u, p0.pageCount);
    auto p1 = zl::SliceCandPage(7, 1, 5);
    EXPECT_EQ(5u, p1.first);
    EXPECT_EQ(2u, p1.count);
    auto exact = zl::SliceCandPage(10, 1, 5);
    EXPECT_EQ(2u, exact.pageCount);
    EXPECT_EQ(5u, exact.count);
    EXPECT_EQ(0u, zl::SliceCandPage(7, 2, 5).count);  // past the end
    EXPECT_EQ(0u, zl::SliceCandPage(0, 0, 5).count);
}

TEST(CandPage, ZeroAndHugeValuesNeitherDivideByZeroNorWrap) {
    EXPECT_EQ(0u, zl::SliceCandPage(7, 0, 0).count);
    const uint64_t big = std::numeric_limits<uint64_t>::max();
    // pageSize + size - 1 would wrap to a small number of pages.
    auto whole = zl::SliceCandPage(7, 0, big);
    EXPECT_EQ(1u, whole.pageCount);
    EXPECT_EQ(7u, whole.count);
    // page * pageSize would wrap back into the list.
    EXPECT_EQ(0u, zl::SliceCandPage(7, (big / 5) + 1, 5).count);
    EXPECT_EQ(0u, zl::SliceCandPage(7, big, big).count);
}

TEST(CandLayout, HorizontalCellsSitSideBySide) {
    auto m = CandMetricsFor(20);
    const int fixed = 6 + 17 + 4 + 6;
    auto l = zl::LayoutCandCells(m, {{40, 0}, {20, 30}}, 0, true);
    ASSERT_EQ(2u, l.cells.size());
    EXPECT_EQ(42, l.height);  // lineH + 2 padY
    EXPECT_EQ((RECT{0, 0, fixed + 40, 42}.right), l.cells[0].right);
    EXPECT_EQ(0, l.cells[0].left);
    EXPECT_EQ(l.cells[0].right, l.cells[1].left);
    EXPECT_EQ(l.cells[1].left + fixed + 50, l.cells[1].right);
    EXPECT_EQ(0, l.cells[1].top);
    EXPECT_EQ(42, l.cells[1].bottom);
    EXPECT_EQ(l.cells[1].right, l.width);
    auto withIndicator = zl::LayoutCandCells(m, {{40, 0}, {20, 30}}, 35, true);
    EXPECT_EQ(l.width + 35, withIndicator.width);
}

TEST(CandLayout, VerticalRowsShareTheWidestTextAndCode) {
    auto m = CandMetricsFor(30);
    auto l = zl::LayoutCandCells(m, {{40, 0}, {90, 10}, {20, 30}}, 12, false);
    const int rowW = 10 + 25 + 4 + 90 + 30 + 10;
    ASSERT_EQ(3u, l.cells.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(0, l.cells[i].left);
        EXPECT_EQ(rowW, l.cells[i].right);
        EXPECT_EQ(6 + i * 51, l.cells[i].top);
        EXPECT_EQ(6 + (i + 1) * 51, l.cells[i].bottom);
    }
    EXPECT_EQ(rowW + 12, l.width);
    EXPECT_EQ(3 * 51 + 12, l.height);
}

TEST(CandPlacement, StaysInsideTheWorkArea) {
    const RECT work{0, 0, 1280, 1000};
    const SIZE size{200, 42};
    POINT p = zl::PlaceCandWindow({100, 100}, size, work, 20);
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(100, p.y);
    // Right edge: moved left so that the window ends at the work area's edge.
    EXPECT_EQ(1080, zl::PlaceCandWindow({1200, 100}, size, work, 20).x);
    EXPECT_EQ(1080, zl::PlaceCandWindow({1080, 100}, size, work, 20).x);
    // Bottom: opens above the caret line, lifted by its height and 1.9 f.
    EXPECT_EQ(990 - 42 - 38, zl::PlaceCandWindow({100, 990}, size, work, 20).y);
    EXPECT_EQ(958, zl::PlaceCandWindow({100, 958}, size, work, 20).y);
    // Never left of or above the work area.
    EXPECT_EQ(0, zl::PlaceCandWindow({-50, -20}, size, work, 20).x);
    EXPECT_EQ(0, zl::PlaceCandWindow({-50, -20}, size, work, 20).y);
    EXPECT_EQ(0, zl::PlaceCandWindow({100, 990}, SIZE{200, 2000}, work, 20).y);
}

TEST(CandPlacement, WorksOnMonitorsLeftOfThePrimaryAndAtExtremeCoordinates) {
    const RECT left{-1920, 0, 0, 1040};
    POINT p = zl::PlaceCandWindow({-100, 500}, SIZE{200, 42}, left, 20);
    EXPECT_EQ(-200, p.x);
    EXPECT_EQ(500, p.y);
    const LONG big = std::numeric_limits<LONG>::max() - 10;
    POINT q = zl::PlaceCandWindow({big, big}, SIZE{200, 42}, RECT{0, 0, 1280, 1000}, 20);
    EXPECT_EQ(1080, q.x);
    EXPECT_EQ(958, q.y);  // inside the work area, not wrapped round to the top
}

TEST(CandPlacement, CaretBelowTheWorkAreaStillShowsTheWindow) {
    // A window dragged partly off the bottom of the screen reports its caret there.
    const RECT work{0, 0, 1280, 1000};
    const SIZE size{200, 42};
    const struct {
        LONG caretY;
        LONG top;
    } rows[] = {
        {1000, 1000 - 42 - 38},  // just below: opening above is enough
        {1038, 958},             // the lift reaches the work area's bottom exactly
        {1039, 958},
        {1500, 958},
        {40000, 958},
    };
    for (const auto& r : rows) {
        const POINT p = zl::PlaceCandWindow({100, r.caretY}, size, work, 20);
        EXPECT_EQ(r.top, p.y) << "caret y " << r.caretY;
        EXPECT_LE(p.y + size.cy, work.bottom) << "caret y " << r.caretY;
    }
}

TEST(CandHitTest, EdgesFollowRectangleRules) {
    std::vector<RECT> cells{{0, 0, 50, 42}, {50, 0, 90, 42}};
    EXPECT_EQ(0, zl::HitTestCells(cells, {0, 0}));
    EXPECT_EQ(0, zl::HitTestCells(cells, {49, 41}));
    EXPECT_EQ(1, zl::HitTestCells(cells, {50, 20}));
    EXPECT_EQ(-1, zl::HitTestCells(cells, {90, 20}));
    EXPECT_EQ(-1, zl::HitTestCells(cells, {20, 42}));
    EXPECT_EQ(-1, zl::HitTestCells(cells, {-1, 5}));
    std::vector<RECT> rows{{0, 4, 80, 38}, {0, 38, 80, 72}};
    EXPECT_EQ(-1, zl::HitTestCells(rows, {10, 2}));  // top padding
    EXPECT_EQ(1, zl::HitTestCells(rows, {10, 38}));
}

TEST(CandText, PageIndicatorAndCodes) {
    EXPECT_EQ(L"1/2", zl::FormatPageIndicator(0, 2));
    EXPECT_EQ(L"2/2", zl::FormatPageIndicator(1, 2));
    EXPECT_EQ(L"13/200", zl::FormatPageIndicator(12, 200));
    EXPECT_EQ(L"wqvb", zl::CodeToWide("wqvb"));
    EXPECT_EQ(L"", zl::CodeToWide(""));
    EXPECT_EQ(L"\x4e2d", zl::CodeToWide("\xe4\xb8\xad"));
    EXPECT_FALSE(zl::CodeToWide("\xff\xfe").empty());  // invalid bytes still draw something
}

}  // namespace
