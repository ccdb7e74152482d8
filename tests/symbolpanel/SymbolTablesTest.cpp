#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SymbolPanel.h"

namespace {

TEST(SymbolTables, LabelsColumnsAndCounts) {
    struct Row {
        const wchar_t* label;
        int columns;
        int count;
    } const rows[] = {{L"常用", 11, 41}, {L"数学", 11, 41}, {L"序号", 13, 50},
                      {L"箭头", 11, 40}, {L"符号", 11, 40}, {L"颜文字", 3, 12}};
    for (int i = 0; i < zl::kSymbolCategoryCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(rows[i].label, zl::kCats[i].label);
        EXPECT_EQ(rows[i].columns, zl::SymbolPanel::ColsOf(i));
        EXPECT_EQ(rows[i].count, zl::SymbolItemCount(i));
        // Every category fits the four rows.
        EXPECT_LE((rows[i].count + rows[i].columns - 1) / rows[i].columns, zl::SymbolPanel::RowsOf(i));
    }
}

// The invariants of every table, and a few known items: the first and last of each
// category and the ones the fonts make hard (a wrong or shifted entry shows here).
TEST(SymbolTables, ItemsAreWholeDistinctAndInPlace) {
    for (int c = 0; c < zl::kSymbolCategoryCount; ++c) {
        std::set<std::wstring> seen;
        for (int k = 0; k < zl::kCats[c].count; ++k) {
            ASSERT_NE(nullptr, zl::kCats[c].items[k]) << "category " << c << " item " << k;
            const std::wstring item = zl::kCats[c].items[k];
            // One character each; the emoticons five.
            EXPECT_EQ(c == 5 ? 5u : 1u, item.size()) << "category " << c << " item " << k;
            EXPECT_TRUE(seen.insert(item).second) << "category " << c << " repeats item " << k;
        }
    }
    struct Known {
        int category, item;
        const wchar_t* text;
    } const known[] = {
        {0, 0, L"\xFF0C"},  {0, 10, L"\x00B7"}, {0, 11, L"\x300A"}, {0, 40, L"\x00B6"},
        {1, 0, L"\xFF0B"},  {1, 38, L"\x03A6"}, {1, 39, L"\x2300"}, {1, 40, L"\xFF05"},
        {2, 0, L"\x2460"},  {2, 34, L"\x2164"}, {2, 39, L"\x2169"}, {2, 49, L"\x3229"},
        {3, 0, L"\x2190"},  {3, 38, L"\x2591"}, {3, 39, L"\x2592"},
        {4, 0, L"\x203B"},  {4, 10, L"\x266B"}, {4, 17, L"\x2600"}, {4, 29, L"\x262F"},
        {4, 36, L"\x2103"}, {4, 39, L"\xFE62"},
        {5, 0, L"\xFF08\xFF3E\x25BD\xFF3E\xFF09"}, {5, 2, L"(^_^)"},
        {5, 11, L"\xFF08\xFF1E\xFE4F\xFF1C\xFF09"},
    };
    for (const Known& k : known) {
        EXPECT_STREQ(k.text, zl::kCats[k.category].items[k.item]) << "category " << k.category << " item " << k.item;
    }
}

TEST(SymbolTables, OutOfRangeCategoriesAreHarmless) {
    EXPECT_EQ(10, zl::SymbolPanel::ColsOf(6));
    EXPECT_EQ(10, zl::SymbolPanel::ColsOf(100));
    EXPECT_EQ(10, zl::SymbolPanel::ColsOf(-1));
    EXPECT_EQ(0, zl::SymbolItemCount(-1));
    EXPECT_EQ(0, zl::SymbolItemCount(6));
    EXPECT_EQ(-1, zl::SymbolHitTest(-3, POINT{100, 60}, nullptr));
    EXPECT_EQ(4, zl::SymbolPanel::RowsOf(0));
    EXPECT_EQ(190, zl::SymbolPanel::PanelH());
}

}  // namespace
