#include <gtest/gtest.h>

#include <climits>

#include "SymbolPanel.h"

namespace {

TEST(SymbolLayout, TabsAndCellsOfEveryCategory) {
    const int widths[] = {34, 34, 29, 34, 34, 128};
    const int lefts[] = {15, 15, 13, 15, 15, 10};
    const int lastLefts[] = {253, 253, 303, 219, 219, 266};  // every last item is on row 4
    for (int c = 0; c < zl::kSymbolCategoryCount; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(widths[c], zl::SymbolCellWidth(c));
        EXPECT_EQ(lefts[c], zl::SymbolGridLeft(c));
        const RECT first = zl::SymbolItemRect(c, 0);
        EXPECT_EQ(lefts[c], first.left);
        EXPECT_EQ(44, first.top);
        EXPECT_EQ(lefts[c] + widths[c], first.right);
        EXPECT_EQ(78, first.bottom);
        // The last item of the category, in the row and column it falls on.
        const RECT r = zl::SymbolItemRect(c, zl::kCats[c].count - 1);
        EXPECT_EQ(lastLefts[c], r.left);
        EXPECT_EQ(146, r.top);
        EXPECT_LE(r.bottom, zl::kSymPanelH);
        EXPECT_LE(lefts[c] + zl::kCats[c].columns * widths[c], zl::kSymPanelW - zl::kSymMargin);
    }
    for (int i = 0; i < zl::kSymbolCategoryCount; ++i) {
        const RECT t = zl::SymbolTabRect(i);
        EXPECT_EQ(12 + 64 * i, t.left);
        EXPECT_EQ(72 + 64 * i, t.right);
        EXPECT_EQ(10, t.top);
        EXPECT_EQ(36, t.bottom);
    }
}

TEST(SymbolLayout, HitTestingTheTabStrip) {
    bool isTab = false;
    EXPECT_EQ(0, zl::SymbolHitTest(0, POINT{10, 10}, &isTab));
    EXPECT_TRUE(isTab);
    EXPECT_EQ(0, zl::SymbolHitTest(0, POINT{73, 35}, &isTab));
    EXPECT_EQ(1, zl::SymbolHitTest(0, POINT{74, 20}, &isTab));
    EXPECT_EQ(5, zl::SymbolHitTest(3, POINT{393, 20}, &isTab));
    EXPECT_TRUE(isTab);
    // Beyond the last tab: still the strip, but no tab.
    isTab = false;
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{394, 20}, &isTab));
    EXPECT_TRUE(isTab);
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{-200, 20}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{INT_MIN, 20}, &isTab));
    // Above and below the strip it is not a tab.
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{40, 9}, &isTab));
    EXPECT_FALSE(isTab);
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{40, 36}, &isTab));
    EXPECT_FALSE(isTab);
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{40, 43}, nullptr));  // isTab may be null
}

TEST(SymbolLayout, HitTestingTheCells) {
    bool isTab = true;
    EXPECT_EQ(0, zl::SymbolHitTest(0, POINT{15, 44}, &isTab));
    EXPECT_FALSE(isTab);
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{14, 60}, &isTab));  // left of the grid
    EXPECT_EQ(10, zl::SymbolHitTest(0, POINT{15 + 34 * 11 - 1, 60}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{15 + 34 * 11, 60}, &isTab));  // right of the grid
    EXPECT_EQ(11, zl::SymbolHitTest(0, POINT{20, 78}, &isTab));            // second row
    EXPECT_EQ(40, zl::SymbolHitTest(0, POINT{15 + 34 * 7 + 5, 44 + 34 * 3 + 5}, &isTab));
    // The empty cells after the last item of 数学 hit nothing.
    EXPECT_EQ(-1, zl::SymbolHitTest(1, POINT{15 + 34 * 8 + 5, 44 + 34 * 3 + 5}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(1, POINT{15 + 34 * 10 + 5, 44 + 34 * 3 + 5}, &isTab));
    // Below the fourth row (still inside the panel) nothing either.
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{20, 185}, &isTab));
    // 序号: 13 narrower columns; 颜文字: three wide ones.
    EXPECT_EQ(12, zl::SymbolHitTest(2, POINT{13 + 29 * 12 + 1, 50}, &isTab));
    EXPECT_EQ(49, zl::SymbolHitTest(2, POINT{13 + 29 * 10 + 1, 44 + 34 * 3 + 1}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(2, POINT{13 + 29 * 11 + 1, 44 + 34 * 3 + 1}, &isTab));
    EXPECT_EQ(2, zl::SymbolHitTest(5, POINT{10 + 128 * 2 + 127, 77}, &isTab));
    EXPECT_EQ(11, zl::SymbolHitTest(5, POINT{394 - 1, 44 + 34 * 3}, &isTab));
    // Garbage points hit nothing.
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{INT_MIN, INT_MIN}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{INT_MAX, INT_MAX}, &isTab));
    EXPECT_EQ(-1, zl::SymbolHitTest(0, POINT{-32768, 100}, &isTab));
}

TEST(SymbolLayout, OpensAboveTheAnchorWithAGap) {
    const RECT work{0, 0, 1280, 984};
    const POINT at = zl::PlaceSymbolPanel(POINT{500, 900}, work);
    EXPECT_EQ(500, at.x);
    EXPECT_EQ(900 - 198, at.y);  // 8 pixels between the panel and the anchor
}

TEST(SymbolLayout, KeepsInsideTheWorkArea) {
    const RECT work{0, 0, 1280, 984};
    // Too far right: flush with the right edge.
    EXPECT_EQ(1280 - 404, zl::PlaceSymbolPanel(POINT{1100, 900}, work).x);
    // Left of the work area: at its left edge.
    EXPECT_EQ(0, zl::PlaceSymbolPanel(POINT{-50, 900}, work).x);
    // No room above: 38 pixels below the anchor.
    EXPECT_EQ(100 + 38, zl::PlaceSymbolPanel(POINT{10, 100}, work).y);
    EXPECT_EQ(38, zl::PlaceSymbolPanel(POINT{10, 0}, work).y);
    // Anchor above the work area: at its top.
    EXPECT_EQ(0, zl::PlaceSymbolPanel(POINT{10, -300}, work).y);
    // Below does not fit either: flush with the bottom.
    const RECT flat{0, 0, 800, 250};
    EXPECT_EQ(250 - 190, zl::PlaceSymbolPanel(POINT{10, 150}, flat).y);
    // Exactly room above.
    EXPECT_EQ(0, zl::PlaceSymbolPanel(POINT{10, 198}, work).y);
    EXPECT_EQ(197 + 38, zl::PlaceSymbolPanel(POINT{10, 197}, work).y);
}

TEST(SymbolLayout, PlacesWithinAMonitorThatIsNotAtTheOrigin) {
    // A second monitor left of and above the primary one.
    const RECT left{-1920, -200, 0, 840};
    const POINT a = zl::PlaceSymbolPanel(POINT{-300, 800}, left);
    EXPECT_EQ(-404, a.x);
    EXPECT_EQ(800 - 198, a.y);
    const POINT b = zl::PlaceSymbolPanel(POINT{-1900, -190}, left);
    EXPECT_EQ(-1900, b.x);
    EXPECT_EQ(-190 + 38, b.y);
    // A monitor to the right, with a task bar at its top.
    const RECT right{1280, 40, 3200, 1080};
    const POINT c = zl::PlaceSymbolPanel(POINT{3100, 100}, right);
    EXPECT_EQ(3200 - 404, c.x);
    EXPECT_EQ(138, c.y);
    EXPECT_EQ(1280, zl::PlaceSymbolPanel(POINT{1000, 600}, right).x);
}

TEST(SymbolLayout, GarbageAnchorsStayInside) {
    const RECT work{0, 0, 1280, 984};
    for (const POINT p : {POINT{INT_MAX, INT_MAX}, POINT{INT_MIN, INT_MIN}, POINT{INT_MIN, INT_MAX}}) {
        const POINT at = zl::PlaceSymbolPanel(p, work);
        EXPECT_GE(at.x, 0);
        EXPECT_LE(at.x + 404, 1280);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.y + 190, 984);
    }
}

}  // namespace
