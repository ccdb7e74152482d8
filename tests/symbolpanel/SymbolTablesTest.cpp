#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "SymbolPanel.h"

namespace {

// Code points of each category's items, as hexadecimal text: categories 0 to 4 one row
// of one-character items per string, category 5 one emoticon per string.
const char* const kExpect0[] = {
    "FF0C 3002 3001 FF1B FF1A FF1F FF01 2026 2014 FF5E 00B7",
    "300A 300B 300C 300D 300E 300F 3010 3011 3008 3009 FF08",
    "FF09 3014 3015 201C 201D 2018 2019 FF05 FF03 FF06 FF0A",
    "FFE5 FF20 00D7 00F7 00B1 03A6 00A7 00B6",
};
const char* const kExpect1[] = {
    "FF0B FF0D 00D7 00F7 FF1D 2260 2248 FF1C FF1E 2264 2265",
    "00B1 221D 221E 2211 220F 221A 221F 2220 2312 2299 222B",
    "2234 2235 2227 2228 2229 222A 2208 2236 00B0 2032 2033",
    "2030 2261 223D 22A5 2225 03A6 2300 FF05",
};
const char* const kExpect2[] = {
    "2460 2461 2462 2463 2464 2465 2466 2467 2468 2469 2474 2475 2476",
    "2477 2478 2479 247A 247B 247C 247D 2488 2489 248A 248B 248C 248D",
    "248E 248F 2490 2491 2160 2161 2162 2163 2164 2165 2166 2167 2168",
    "2169 3220 3221 3222 3223 3224 3225 3226 3227 3228 3229",
};
const char* const kExpect3[] = {
    "2190 2191 2192 2193 2194 2195 2196 2197 2198 2199 25B2",
    "25BC 25C0 25B6 25C6 25C7 25CB 25CF 25CE 25B3 25BD 25A1",
    "25A0 2606 2605 203B 25E2 25E3 25E4 25E5 2581 2582 2583",
    "2584 2585 2586 2587 2588 2591 2592",
};
const char* const kExpect4[] = {
    "203B 00A7 00B6 00A9 00AE 2122 2116 2606 2605 266A 266B",
    "266D 266F 2660 2663 2665 2666 2600 2601 2602 2603 260E",
    "260F 261C 261E 263A 263B 2640 2642 262F 2016 2237 222E",
    "224C 226E 226F 2103 00A4 3013 FE62",
};
const char* const kExpect5[] = {
    "FF08 FF3E 25BD FF3E FF09",
    "FF08 FFE3 25BD FFE3 FF09",
    "0028 005E 005F 005E 0029",
    "0028 0054 005F 0054 0029",
    "0028 003E 005F 003C 0029",
    "0028 FFE3 30FC FFE3 0029",
    "FF08 FF20 FF3F FF20 FF09",
    "FF08 FFE3 FE36 FFE3 FF09",
    "0028 FF1D FF3F FF1D 0029",
    "FF08 2267 25BD 2266 FF09",
    "0028 2299 FF3F 2299 0029",
    "FF08 FF1E FE4F FF1C FF09",
};

std::vector<std::string> Split(const char* text) {
    std::vector<std::string> out;
    const char* p = text;
    while (*p) {
        while (*p == ' ') ++p;
        const char* start = p;
        while (*p && *p != ' ') ++p;
        if (p > start) out.emplace_back(start, p);
    }
    return out;
}

std::wstring FromHex(const std::vector<std::string>& codes) {
    std::wstring s;
    for (const std::string& c : codes) s.push_back(static_cast<wchar_t>(std::strtoul(c.c_str(), nullptr, 16)));
    return s;
}

// The items a category should hold, flattened into display order.
std::vector<std::wstring> Expected(int category) {
    const char* const* rows[] = {kExpect0, kExpect1, kExpect2, kExpect3, kExpect4, kExpect5};
    const size_t counts[] = {std::size(kExpect0), std::size(kExpect1), std::size(kExpect2),
                             std::size(kExpect3), std::size(kExpect4), std::size(kExpect5)};
    std::vector<std::wstring> out;
    for (size_t r = 0; r < counts[category]; ++r) {
        const std::vector<std::string> codes = Split(rows[category][r]);
        if (category == 5) {
            out.push_back(FromHex(codes));
        } else {
            for (const std::string& c : codes) out.push_back(FromHex({c}));
        }
    }
    return out;
}

TEST(SymbolTables, LabelsColumnsAndCounts) {
    struct Row {
        const wchar_t* label;
        int columns;
        int count;
    } const rows[] = {{L"常用", 11, 41}, {L"数学", 11, 41}, {L"序号", 13, 50},
                      {L"箭头", 11, 40}, {L"符号", 11, 40}, {L"颜文字", 3, 12}};
    const wchar_t* const* tables[] = {zl::kCat0, zl::kCat1, zl::kCat2, zl::kCat3, zl::kCat4, zl::kCat5};
    for (int i = 0; i < zl::kSymbolCategoryCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(rows[i].label, zl::kCats[i].label);
        EXPECT_EQ(rows[i].columns, zl::kCats[i].columns);
        EXPECT_EQ(rows[i].count, zl::kCats[i].count);
        EXPECT_EQ(tables[i], zl::kCats[i].items);
        EXPECT_EQ(rows[i].columns, zl::SymbolPanel::ColsOf(i));
        EXPECT_EQ(rows[i].count, zl::SymbolItemCount(i));
        // Every category fits the four rows.
        EXPECT_LE((rows[i].count + rows[i].columns - 1) / rows[i].columns, zl::SymbolPanel::RowsOf(i));
    }
    EXPECT_EQ(41u, std::size(zl::kCat0));
    EXPECT_EQ(41u, std::size(zl::kCat1));
    EXPECT_EQ(50u, std::size(zl::kCat2));
    EXPECT_EQ(40u, std::size(zl::kCat3));
    EXPECT_EQ(40u, std::size(zl::kCat4));
    EXPECT_EQ(12u, std::size(zl::kCat5));
}

TEST(SymbolTables, EveryItemHasItsCodePoints) {
    for (int c = 0; c < zl::kSymbolCategoryCount; ++c) {
        const std::vector<std::wstring> want = Expected(c);
        ASSERT_EQ(static_cast<size_t>(zl::kCats[c].count), want.size()) << "category " << c;
        for (size_t k = 0; k < want.size(); ++k) {
            const std::wstring have = zl::kCats[c].items[k];
            EXPECT_EQ(want[k], have) << "category " << c << " item " << k;
            EXPECT_EQ(c == 5 ? 5u : 1u, have.size()) << "category " << c << " item " << k;
        }
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
