// Reading the Rime tables: where data starts, comments, weights, pinyin spelling, errors.
#include <gtest/gtest.h>

#include "RimeTable.h"

TEST(RimeTable, ReadsRowsAfterTheDataMarkerOnly) {
    const std::string yaml =
        "\xEF\xBB\xBF# header\r\n---\r\nname: x\r\ncolumns:\r\n  - text\r\n...\r\n\r\n"
        "工\ta\t99454797\taa\r\n#子\tb\t1\r\n了\tb\t4250000000\r\nχ\tzzxx\t450.5\r\n无\twu\r\n";
    std::vector<zl::RimeRow> rows;
    std::string error;
    ASSERT_TRUE(zl::ParseRimeTable(yaml, rows, error)) << error;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].text, L"工");
    EXPECT_EQ(rows[0].key, "a");
    EXPECT_EQ(rows[0].weight, 99454797u);
    EXPECT_EQ(rows[0].line, 8u);
    EXPECT_EQ(rows[1].weight, 4250000000u) << "weights above 2^31 stay unsigned";
    EXPECT_EQ(rows[2].weight, 450u) << "a fraction is dropped";
    EXPECT_EQ(rows[3].weight, 0u) << "a missing weight is 0";
}

TEST(RimeTable, MalformedLinesNameTheirLine) {
    std::vector<zl::RimeRow> rows;
    std::string error;
    EXPECT_FALSE(zl::ParseRimeTable("...\n工\ta\t1\n了\n", rows, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_FALSE(zl::ParseRimeTable("...\n工\ta\t4294967296\n", rows, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(zl::ParseRimeTable("...\n工\ta\t-1\n", rows, error));
    EXPECT_FALSE(zl::ParseRimeTable("...\n工\ta\t12x\n", rows, error));
    EXPECT_FALSE(zl::ParseRimeTable("...\n\xFF\xFE\ta\t1\n", rows, error));
    EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
    EXPECT_FALSE(zl::ParseRimeTable("工\ta\t1\n", rows, error)) << "no data marker";
}

TEST(RimeTable, WeightsUseAllThirtyTwoBits) {
    uint32_t w = 0;
    EXPECT_TRUE(zl::ParseWeight("4294967295", w));
    EXPECT_EQ(w, 4294967295u);
    EXPECT_FALSE(zl::ParseWeight("4294967296", w));
    EXPECT_FALSE(zl::ParseWeight("99999999999999999999999", w));
    EXPECT_TRUE(zl::ParseWeight("7.", w));
    EXPECT_EQ(w, 7u);
    EXPECT_FALSE(zl::ParseWeight(".5", w));
    EXPECT_FALSE(zl::ParseWeight("", w));
}

TEST(RimeTable, PinyinIsSplitWithUmlautWrittenV) {
    std::vector<std::string> s;
    ASSERT_TRUE(zl::SplitPinyin("zhong guo", s));
    EXPECT_EQ(s, (std::vector<std::string>{"zhong", "guo"}));
    ASSERT_TRUE(zl::SplitPinyin("lue nue lv jue", s));
    EXPECT_EQ(s, (std::vector<std::string>{"lve", "nve", "lv", "jue"})) << "only l and n take ü before e";
    ASSERT_TRUE(zl::SplitPinyin("l\xC3\xBC", s));
    EXPECT_EQ(s, (std::vector<std::string>{"lv"}));
    EXPECT_FALSE(zl::SplitPinyin("zhong1", s));
    EXPECT_FALSE(zl::SplitPinyin("Zhong", s));
    EXPECT_FALSE(zl::SplitPinyin("  ", s));
}
