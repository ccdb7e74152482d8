// Pages of the candidate list and selection by space, digit and click.
#include "EngineKit.h"

using namespace zltest;

namespace {

class Paging : public EngineTest {
protected:
    // Twelve candidates for "a", Han(0) first, Han(11) last.
    void SetUp() override {
        std::vector<zl::DictSource> entries;
        for (int i = 0; i < 12; ++i) entries.push_back(Wubi(Han(i), std::string("a") + static_cast<char>('a' + i), 100 - i));
        Load(entries);
        engine.config.freqAdjust = 0;  // commits must not reorder the list
    }
    void Start(uint64_t page = 0) {
        engine.Clear();
        engine.OnLetter('a');
        ASSERT_EQ(engine.candidates.size(), 12u);
        for (uint64_t p = 0; p < page; ++p) ASSERT_TRUE(engine.NextPage());
    }
};

TEST_F(Paging, PagesOfFive) {
    Start();
    EXPECT_EQ(engine.pageCount(), 3u);
    EXPECT_FALSE(engine.PrevPage());
    EXPECT_TRUE(engine.OnPageKey(true));
    EXPECT_TRUE(engine.OnPageKey(true));
    EXPECT_FALSE(engine.OnPageKey(true));
    EXPECT_EQ(engine.page, 2u);
    EXPECT_TRUE(engine.OnPageKey(false));
    EXPECT_EQ(engine.page, 1u);

    EXPECT_TRUE(engine.OnSpace());
    EXPECT_EQ(Taken(), Han(5));

    Start(1);
    EXPECT_TRUE(engine.OnDigit(3));
    EXPECT_EQ(Taken(), Han(7));

    // A digit above the page size reaches into the next page, but not past the list.
    Start(1);
    EXPECT_FALSE(engine.OnDigit(9));
    EXPECT_EQ(engine.code, "a");
    Start(0);
    EXPECT_TRUE(engine.OnDigit(7));
    EXPECT_EQ(Taken(), Han(6));

    Start(2);
    EXPECT_FALSE(engine.OnDigit(0));
    EXPECT_FALSE(engine.OnDigit(10));
    EXPECT_FALSE(engine.SelectOnPage(2));
    EXPECT_TRUE(engine.SelectOnPage(1));
    EXPECT_EQ(Taken(), Han(11));
}

TEST_F(Paging, PageSizeBelowOneCountsAsFive) {
    for (int size : {0, -3}) {
        engine.config.pageSize = size;
        Start();
        EXPECT_EQ(engine.pageCount(), 3u);
        Start(2);
        EXPECT_FALSE(engine.NextPage());
        EXPECT_TRUE(engine.OnSpace());
        EXPECT_EQ(Taken(), Han(10));
        Start(1);
        EXPECT_TRUE(engine.OnDigit(2));
        EXPECT_EQ(Taken(), Han(6));
        Start(1);
        EXPECT_TRUE(engine.SelectOnPage(4));
        EXPECT_EQ(Taken(), Han(9));
    }
}

TEST_F(Paging, LargestPageSize) {
    engine.config.pageSize = 9;
    Start(1);
    EXPECT_EQ(engine.pageCount(), 2u);
    EXPECT_FALSE(engine.OnDigit(4));
    EXPECT_TRUE(engine.OnDigit(3));
    EXPECT_EQ(Taken(), Han(11));
}

TEST_F(Paging, APageNumberPastTheListSelectsNothing) {
    // 5 x this page wraps round to 4 in 64 bits.
    for (uint64_t bad : {uint64_t{3}, uint64_t{0x3333333333333334ULL}, UINT64_MAX}) {
        Start();
        engine.page = bad;
        EXPECT_TRUE(engine.OnSpace()) << bad;
        EXPECT_FALSE(engine.OnDigit(1));
        EXPECT_FALSE(engine.SelectOnPage(0));
        EXPECT_FALSE(engine.NextPage());
        EXPECT_TRUE(engine.commit.empty()) << bad;
    }
    EXPECT_FALSE(engine.SelectGlobal(12));
    Start();
    EXPECT_TRUE(engine.SelectGlobal(11));
    EXPECT_EQ(Taken(), Han(11));
}

}  // namespace
