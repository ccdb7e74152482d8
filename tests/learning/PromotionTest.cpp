// Manual promotions: ranking, promote.dat, trimming, stamp overflow and clearing.
#include <windows.h>

#include "LearningKit.h"
#include "UniqueHandle.h"

using namespace zltest;

namespace {

std::wstring Key(const std::string& code, const std::wstring& text) {
    return std::wstring(code.begin(), code.end()) + zl::kPromoteSep + text;
}

class Promotion : public LearningTest {
protected:
    // Sixteen candidates for "g" (Han(0) heaviest), and Han(20) under "hhh" and "hhhh".
    void SetUp() override {
        std::vector<zl::DictSource> entries;
        for (int i = 0; i < 16; ++i)
            entries.push_back(Wubi(Han(i), std::string("g") + static_cast<char>('a' + i), 100 - i));
        entries.push_back(Wubi(Han(20), "hhh", 1));
        entries.push_back(Wubi(Han(21), "hhh", 50));
        entries.push_back(Wubi(Han(20), "hhhh", 1));
        entries.push_back(Wubi(Han(22), "hhhh", 50));
        Load(entries);
        engine.config.autoCommit4 = 0;
    }
    void Retype(const std::string& letters) {
        engine.Clear();
        Type(letters);
    }
    zl::Promotions LoadedPromotions(uint32_t* max = nullptr) {
        zl::Engine other;
        other.LoadPromote();
        if (max) *max = other.promoteMax;
        return other.promotions;
    }
};

TEST_F(Promotion, LatestPromotionLeadsAndIsSaved) {
    Type("g");
    EXPECT_TRUE(engine.PromoteGlobal(7));
    EXPECT_EQ(engine.candidates[0].text, Han(7));
    EXPECT_TRUE(engine.PromoteGlobal(4));  // Han(3) now, behind Han(7)
    EXPECT_EQ(Texts()[0], Han(3));
    EXPECT_EQ(Texts()[1], Han(7));
    EXPECT_EQ(Texts()[2], Han(0));
    EXPECT_EQ(engine.page, 0u);
    EXPECT_EQ(engine.code, "g");  // promoting commits nothing

    uint32_t max = 0;
    const zl::Promotions expected{{Key("g", Han(7)), 1}, {Key("g", Han(3)), 2}};
    EXPECT_EQ(LoadedPromotions(&max), expected);
    EXPECT_EQ(max, 2u);

    // Promoting the leader again keeps it first with a newer stamp.
    EXPECT_TRUE(engine.PromoteGlobal(1));
    EXPECT_EQ(Texts()[0], Han(7));
    EXPECT_EQ(engine.promotions[Key("g", Han(7))], 3u);

    // Loaded back from the file, the list ranks the same way.
    engine.LoadPromote();
    Retype("g");
    EXPECT_EQ(Texts()[0], Han(7));
    EXPECT_EQ(Texts()[1], Han(3));
}

TEST_F(Promotion, BoundToTheExactCodeTyped) {
    Type("hhh");
    ASSERT_EQ(Texts()[0], Han(21));
    EXPECT_TRUE(engine.PromoteGlobal(1));
    EXPECT_EQ(Texts()[0], Han(20));
    Retype("hhhh");
    EXPECT_EQ(Texts()[0], Han(22));
    Retype("hhh");
    EXPECT_EQ(Texts()[0], Han(20));
    EXPECT_EQ(engine.candidates[0].promote, 1u);
}

TEST_F(Promotion, OnPageCountsFromTheShownPage) {
    Type("g");
    ASSERT_TRUE(engine.NextPage());
    ASSERT_TRUE(engine.NextPage());
    EXPECT_TRUE(engine.PromoteOnPage(3));  // global index 13
    EXPECT_EQ(Texts()[0], Han(13));
    EXPECT_EQ(engine.page, 0u);

    Retype("g");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(engine.NextPage());
    EXPECT_FALSE(engine.PromoteOnPage(1));  // the last page holds index 15 only
    EXPECT_TRUE(engine.PromoteOnPage(0));
    EXPECT_EQ(Texts()[0], Han(15));

    engine.config.pageSize = 0;  // counts as 5
    Retype("g");
    ASSERT_TRUE(engine.NextPage());
    EXPECT_TRUE(engine.PromoteOnPage(3));  // 3 + 5 x 1 of H15 H13 H0 ... H12 H14
    EXPECT_EQ(Texts()[0], Han(6));
}

TEST_F(Promotion, SwitchedOffOrOutOfRangeChangesNothing) {
    Type("g");
    EXPECT_FALSE(engine.PromoteGlobal(16));
    engine.config.manualFreq = 0;
    EXPECT_FALSE(engine.PromoteGlobal(3));
    EXPECT_FALSE(engine.PromoteOnPage(3));
    EXPECT_TRUE(engine.promotions.empty());
    EXPECT_EQ(engine.promoteMax, 0u);
    EXPECT_EQ(Texts()[0], Han(0));
    EXPECT_EQ(Bytes(PromoteDat()), "<missing>");

    engine.config.manualFreq = 1;
    engine.candidates[3].text = L"tab\there";
    EXPECT_FALSE(engine.PromoteGlobal(3));
    engine.candidates[3].text.clear();
    EXPECT_FALSE(engine.PromoteGlobal(3));
    EXPECT_TRUE(engine.promotions.empty());
}

TEST_F(Promotion, MoreThan4000AreTrimmedByAge) {
    std::string bytes;
    for (int i = 1; i <= 4000; ++i) bytes += "old\t" + std::to_string(i) + "\t" + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteBytes(PromoteDat(), bytes));
    engine.LoadPromote();
    ASSERT_EQ(engine.promoteMax, 4000u);
    Type("g");
    EXPECT_TRUE(engine.PromoteGlobal(5));
    // 4001 stamps; the one at index 1000 (stamp 1001) and all below it go.
    EXPECT_EQ(engine.promotions.size(), 3000u);
    EXPECT_EQ(engine.promotions.count(Key("old", L"1001")), 0u);
    EXPECT_EQ(engine.promotions.count(Key("old", L"1002")), 1u);
    EXPECT_EQ(engine.promotions[Key("g", Han(5))], 4001u);
    EXPECT_EQ(LoadedPromotions().size(), 3000u);

    // Shared stamps at the threshold all go.
    engine.promotions.clear();
    for (int i = 0; i < 4000; ++i) engine.promotions[Key("s", std::to_wstring(i))] = i < 2000 ? 7 : 9000 + i;
    engine.promoteMax = 20000;
    EXPECT_TRUE(engine.PromoteGlobal(5));
    EXPECT_EQ(engine.promotions.size(), 2001u);
}

TEST_F(Promotion, LargestStampFromADamagedFileIsRenumbered) {
    ASSERT_TRUE(WriteBytes(PromoteDat(), std::string("g\t" "\xE4\xB8\x87" "\t4294967295\n"  // Han(7)
                                                      "g\t" "\xE4\xB8\x87" "\t4294967295\n"
                                                      "g\t" "\xE4\xB8\x83" "\t70\n"         // Han(3)
                                                      "g\t" "\xE4\xB8\x82" "\t5\n"          // Han(2)
                                                      "x\tother\t70\n")));
    engine.LoadPromote();
    ASSERT_EQ(engine.promoteMax, 4294967295u);
    Type("g");
    ASSERT_EQ(Texts()[0], Han(7));
    EXPECT_TRUE(engine.PromoteGlobal(9));
    EXPECT_EQ(Texts()[0], Han(9));
    EXPECT_EQ(Texts()[1], Han(7));
    EXPECT_EQ(Texts()[2], Han(3));
    EXPECT_EQ(Texts()[3], Han(2));
    EXPECT_EQ(engine.promotions[Key("g", Han(2))], 1u);
    EXPECT_EQ(engine.promotions[Key("g", Han(3))], 2u);
    EXPECT_EQ(engine.promotions[Key("x", L"other")], 2u);
    EXPECT_EQ(engine.promotions[Key("g", Han(7))], 3u);
    EXPECT_EQ(engine.promotions[Key("g", Han(9))], 4u);
    EXPECT_EQ(engine.promoteMax, 4u);

    // Cleared at the limit, the next stamp starts over above nothing.
    engine.promotions.clear();
    engine.promoteMax = 4294967295u;
    EXPECT_TRUE(engine.PromoteGlobal(0));
    EXPECT_EQ(engine.promoteMax, 1u);
    EXPECT_EQ(engine.candidates[0].promote, 1u);
}

TEST_F(Promotion, ClearAllWhileIdleWritesAnEmptyFile) {
    Type("g");
    ASSERT_TRUE(engine.PromoteGlobal(3));
    engine.Clear();
    engine.ClearPromotions(L"");
    EXPECT_TRUE(engine.promotions.empty());
    EXPECT_EQ(engine.promoteMax, 1u);
    EXPECT_TRUE(engine.candidates.empty());
    EXPECT_EQ(Bytes(PromoteDat()), "");

    // Stamps go on above the old ones.
    Type("g");
    ASSERT_TRUE(engine.PromoteGlobal(3));
    EXPECT_EQ(engine.candidates[0].promote, 2u);
}

TEST_F(Promotion, ClearOneCodeLeavesTheOthersAndReranks) {
    Type("hhh");
    ASSERT_TRUE(engine.PromoteGlobal(1));
    Retype("hhhh");
    ASSERT_TRUE(engine.PromoteGlobal(1));
    Retype("g");
    ASSERT_TRUE(engine.PromoteGlobal(11));
    Retype("hhh");
    ASSERT_EQ(Texts()[0], Han(20));

    engine.ClearPromotions(L"hhh");
    EXPECT_EQ(Texts()[0], Han(21));  // re-ranked at once while composing
    EXPECT_EQ(engine.page, 0u);
    const zl::Promotions left{{Key("hhhh", Han(20)), 2}, {Key("g", Han(11)), 3}};
    EXPECT_EQ(engine.promotions, left);
    EXPECT_EQ(LoadedPromotions(), left);

    engine.ClearPromotions(L"hh");  // no promotion was made under exactly hh
    EXPECT_EQ(engine.promotions, left);
}

TEST_F(Promotion, UnreadableFileIsNeverOverwritten) {
    const std::string original = "g\tkept\t3\n";
    ASSERT_TRUE(WriteBytes(PromoteDat(), original));
    {
        zl::UniqueHandle lock(
            CreateFileW(PromoteDat().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock.Valid());
        engine.LoadPromote();
    }
    Type("g");
    EXPECT_TRUE(engine.PromoteGlobal(2));  // still ranks in this process
    EXPECT_EQ(Texts()[0], Han(2));
    engine.ClearPromotions(L"");
    EXPECT_EQ(Bytes(PromoteDat()), original);

    engine.LoadPromote();
    EXPECT_EQ(engine.promoteMax, 3u);
    engine.ClearPromotions(L"");
    EXPECT_EQ(Bytes(PromoteDat()), "");
}

}  // namespace
