// Building the candidate list: tiers, weights, merging, the GBK filter, learning keys, the cap.
#include <algorithm>
#include <random>

#include "EngineKit.h"
#include "GbkText.h"
#include "UserFolder.h"

using namespace zltest;
using WStrs = std::vector<std::wstring>;
using Strs = std::vector<std::string>;

namespace {

const std::wstring kBeyondBmp = L"\U00020000";

class CandidateList : public EngineTest {
protected:
    void Search(const std::string& typed) {
        engine.code = typed;
        engine.shownCode.assign(typed.begin(), typed.end());
        engine.Update();
    }
};

TEST_F(CandidateList, ExactCodesFirstThenWeightThenSearchOrder) {
    Load({Wubi(Han(0), "ggga", 900), Wubi(Han(1), "ggg", 10), Wubi(Han(2), "gggb", 500), Wubi(Han(3), "ggg", 20),
          Wubi(Han(4), "gggc", 500)});
    Search("ggg");
    EXPECT_EQ(Texts(), (WStrs{Han(3), Han(1), Han(0), Han(2), Han(4)}));
    EXPECT_EQ(Tiers(), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(Codes(), (Strs{"ggg", "ggg", "ggga", "gggb", "gggc"}));
    EXPECT_EQ(engine.exactCount, 2u);
    EXPECT_EQ(engine.wubiCount, 5u);
    EXPECT_EQ(engine.candidates[2].freq, 900u);
}

TEST_F(CandidateList, EmptyCodeClearsListAndFacts) {
    Load({Wubi(Han(0), "a", 1)});
    Search("a");
    engine.page = 3;
    ASSERT_EQ(engine.candidates.size(), 1u);
    Search("");
    EXPECT_TRUE(engine.candidates.empty());
    EXPECT_EQ(engine.page, 0u);
    EXPECT_EQ(engine.wubiCount, 0u);
    EXPECT_EQ(engine.exactCount, 0u);
    EXPECT_FALSE(engine.pinyinLonger);
}

TEST_F(CandidateList, OneTextReachedTwiceIsListedOnceWithTheBetterEntry) {
    Load({Wubi(Han(0), "kh", 10), Wubi(Han(0), "khk", 900), Wubi(Han(1), "khj", 50),
          // same tier: the heavier entry's code; equal weight keeps the first
          Wubi(Han(2), "khka", 5), Wubi(Han(2), "khkb", 9), Wubi(Han(3), "khkc", 3), Wubi(Han(3), "khkd", 3)});
    Search("kh");
    ASSERT_EQ(Texts(), (WStrs{Han(0), Han(1), Han(2), Han(3)}));
    EXPECT_EQ(engine.candidates[0].code, "kh");
    EXPECT_EQ(engine.candidates[0].freq, 10u);
    EXPECT_EQ(engine.candidates[0].tier, 0);
    EXPECT_EQ(engine.exactCount, 1u);

    Search("khk");
    ASSERT_EQ(Texts(), (WStrs{Han(0), Han(2), Han(3)}));
    EXPECT_EQ(engine.candidates[1].code, "khkb");
    EXPECT_EQ(engine.candidates[1].freq, 9u);
    EXPECT_EQ(engine.candidates[2].code, "khkc");
}

TEST_F(CandidateList, MixedPinyinExactEntryUpgradesAWubiCompletion) {
    Load({Wubi(Han(0), "shia", 100), Pinyin(Han(0), {"shi"}, 7), Wubi(Han(1), "shib", 50)}, zl::kModeMixed);
    Search("shi");
    ASSERT_EQ(Texts(), (WStrs{Han(0), Han(1)}));
    EXPECT_EQ(engine.candidates[0].tier, 0);
    EXPECT_EQ(engine.candidates[0].code, "shi");
    EXPECT_EQ(engine.candidates[0].freq, 7u);
    EXPECT_EQ(engine.wubiCount, 2u);
}

TEST_F(CandidateList, GbkFilterDropsTextsButExactCountSeesThem) {
    Load({Wubi(kBeyondBmp, "aaa", 900), Wubi(Han(0), "aaa", 1)});
    Search("aaa");
    EXPECT_EQ(Texts(), (WStrs{Han(0)}));
    EXPECT_EQ(engine.exactCount, 2u);
    EXPECT_EQ(engine.wubiCount, 1u);

    engine.config.gbkOnly = 0;
    Search("aaa");
    EXPECT_EQ(Texts(), (WStrs{kBeyondBmp, Han(0)}));
}

TEST(GbkText, UnitByUnitCodePage936) {
    EXPECT_TRUE(zl::Engine::IsGbkText(L""));
    EXPECT_TRUE(zl::Engine::IsGbkText(L"\u4E2D\u6587abc"));
    EXPECT_FALSE(zl::Engine::IsGbkText(kBeyondBmp));
    EXPECT_FALSE(zl::Engine::IsGbkText(L"\u4E2D\xD800"));
}

TEST(GbkText, TheKeptAnswersAreTheCodePagesForEveryUnit) {
    std::wstring all;
    for (uint32_t u = 0; u < 65536; ++u) all.push_back(static_cast<wchar_t>(u));
    // Half learnt in bulk, half asked one by one: both roads fill the same table.
    zl::LearnGbkUnits(std::wstring_view(all).substr(0, 32768));
    for (uint32_t u = 0; u < 65536; ++u) {
        const std::wstring_view unit(&all[u], 1);
        ASSERT_EQ(zl::IsGbkTextMemo(unit), zl::IsGbkText(unit)) << std::hex << u;
    }
    EXPECT_FALSE(zl::IsGbkTextMemo(L"\u4E2D\xD800"));
    EXPECT_TRUE(zl::IsGbkTextMemo(L"\u4E2D\u6587abc"));
}

TEST_F(CandidateList, KeepsTheBestHundredInWubiAndPinyin) {
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 150; ++i) {
        const std::string tail{static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)};
        entries.push_back(Wubi(Han(i), "a" + tail, 1 + i));
        entries.push_back(Pinyin(Han(200 + i), {"a" + tail}, 1 + i));
    }
    Load(entries);
    for (zl::Mode m : {zl::kModeWubi, zl::kModePinyin}) {
        engine.mode = m;
        Search("a");
        ASSERT_EQ(engine.candidates.size(), 100u) << m;
        EXPECT_EQ(engine.candidates[0].freq, 150u);
        EXPECT_EQ(engine.candidates[99].freq, 51u);
        for (size_t i = 1; i < engine.candidates.size(); ++i)
            EXPECT_GT(engine.candidates[i - 1].freq, engine.candidates[i].freq);
    }
}

TEST_F(CandidateList, MixedSchemeTiers) {
    Load({Wubi(Han(0), "a", 5), Wubi(Han(1), "aa", 50), Wubi(Han(2), "ab", 10), Pinyin(Han(3), {"a"}, 30),
          Wubi(Han(5), "ai", 100), Wubi(Han(6), "aia", 1000), Pinyin(Han(4), {"ai"}, 1), Pinyin(Han(7), {"ai", "ai"}, 5000)},
         zl::kModeMixed);
    // One letter: an exact pinyin syllable ranks among the Wubi completions, by weight.
    Search("a");
    ASSERT_GE(engine.candidates.size(), 4u);
    EXPECT_EQ(engine.candidates[0].text, Han(0));
    EXPECT_EQ(engine.candidates[0].tier, 0);
    for (size_t i = 1; i < engine.candidates.size(); ++i) EXPECT_GE(engine.candidates[i].tier, 1);

    // Longer: exact pinyin joins the exact Wubi codes; other pinyin comes after every completion.
    Search("ai");
    EXPECT_EQ(Texts(), (WStrs{Han(5), Han(4), Han(6), Han(7)}));
    EXPECT_EQ(Tiers(), (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(engine.candidates[3].code, "aiai");
}

TEST_F(CandidateList, MixedSchemeTakesAtMost24WubiCompletions) {
    std::vector<zl::DictSource> entries{Wubi(Han(100), "b", 1), Wubi(Han(101), "b", 2)};
    for (int i = 0; i < 30; ++i)
        entries.push_back(Wubi(Han(i), std::string("b") + static_cast<char>('a' + i / 26) + static_cast<char>('a' + i % 26), 1));
    Load(entries, zl::kModeMixed);
    Search("b");
    EXPECT_EQ(engine.candidates.size(), 26u);
    EXPECT_EQ(engine.wubiCount, 26u);
    EXPECT_EQ(engine.exactCount, 2u);

    engine.mode = zl::kModeWubi;
    Search("b");
    EXPECT_EQ(engine.candidates.size(), 32u);
}

TEST_F(CandidateList, MixedSchemeSearchesFiveLettersByPinyinOnly) {
    Load({Wubi(Han(0), "shij", 1), Pinyin(Han(1), {"shi", "jie"}, 1)}, zl::kModeMixed);
    Search("shiji");
    EXPECT_EQ(Texts(), (WStrs{Han(1)}));
    EXPECT_EQ(engine.wubiCount, 0u);
    EXPECT_EQ(engine.exactCount, 0u);
    EXPECT_TRUE(engine.pinyinLonger);
    EXPECT_EQ(engine.candidates[0].code, "shijie");
    EXPECT_EQ(engine.candidates[0].tier, 2);
}

TEST_F(CandidateList, PinyinSchemeJoinsSyllablesAndRanksExactFirst) {
    Load({Pinyin(Han(0), {"zhong", "guo"}, 10), Pinyin(Han(1), {"zhong"}, 20), Pinyin(Han(2), {"zhong", "guo", "ren"}, 30),
          Wubi(Han(3), "zhon", 99)});
    engine.mode = zl::kModePinyin;
    Search("zhongguo");
    EXPECT_EQ(Texts(), (WStrs{Han(0), Han(2)}));
    EXPECT_EQ(Codes(), (Strs{"zhongguo", "zhongguoren"}));
    EXPECT_EQ(Tiers(), (std::vector<int>{0, 1}));
    EXPECT_EQ(engine.wubiCount, 0u);

    // Temporary pinyin searches the same way whatever the scheme.
    engine.mode = zl::kModeWubi;
    engine.tempPinyin = true;
    Search("zg");
    EXPECT_EQ(Texts(), (WStrs{Han(2), Han(0)}));

    // Longer than any buffer the joining uses: 72 letters.
    engine.tempPinyin = false;
    Load({Pinyin(Han(4), std::vector<std::string>(12, "zhuang"), 1)}, zl::kModePinyin);
    Search(std::string(12, 'z'));
    std::string joined;
    for (int i = 0; i < 12; ++i) joined += "zhuang";
    EXPECT_EQ(Codes(), (Strs{joined}));
}

TEST_F(CandidateList, UseCountsRankOnlyWithFrequencyAdjustment) {
    Load({Wubi(Han(0), "cc", 10), Wubi(Han(1), "cc", 20)});
    engine.userFreq[Han(0)] = 50;
    Search("cc");
    EXPECT_EQ(Texts(), (WStrs{Han(0), Han(1)}));
    EXPECT_EQ(engine.candidates[0].userCount, 50u);

    engine.config.freqAdjust = 0;
    Search("cc");
    EXPECT_EQ(Texts(), (WStrs{Han(1), Han(0)}));
    EXPECT_EQ(engine.candidates[1].userCount, 50u);
}

TEST_F(CandidateList, ACountRanksItsTextHoweverItArrives) {
    zltest::UserFolder user;
    Load({Wubi(Han(0), "cc", 1), Wubi(Han(1), "cd", 1), Wubi(Han(2), "ce", 1), Wubi(Han(9), "cf", 1)});
    Search("cf");  // the engine now knows that no text has a count
    const auto countOfFirst = [&](const std::string& code) {
        engine.Clear();
        Type(code);  // typed, not Update: only the engine's own bookkeeping tells
        return engine.candidates.empty() ? 0u : engine.candidates[0].userCount;
    };
    ASSERT_TRUE(WriteBytes(user.Dir().File(L"user.dat"), "\xE4\xB8\x80\t5\n"));  // Han(0), in UTF-8
    engine.LoadUser();
    EXPECT_EQ(countOfFirst("cc"), 5u) << "loaded";
    engine.Learn(Han(1));
    EXPECT_EQ(countOfFirst("cd"), 1u) << "learned";
    engine.userFreq[Han(2)] = 3;
    Search("ce");
    ASSERT_FALSE(engine.candidates.empty());
    EXPECT_EQ(engine.candidates[0].userCount, 3u) << "set, then Update";
}

TEST_F(CandidateList, PromotionsLeadNewestFirstAndOnlyForTheirCode) {
    Load({Wubi(Han(0), "dd", 100), Wubi(Han(1), "dda", 1), Wubi(Han(2), "ddb", 2)});
    engine.promotions[L"dd\x0001" + Han(1)] = 3;
    engine.promotions[L"ddd\x0001" + Han(2)] = 9;
    Search("dd");
    EXPECT_EQ(Texts(), (WStrs{Han(1), Han(0), Han(2)}));
    EXPECT_EQ(engine.candidates[0].promote, 3u);
    EXPECT_EQ(engine.candidates[0].tier, 1);
    EXPECT_EQ(engine.candidates[2].promote, 0u);

    engine.promotions[L"dd\x0001" + Han(2)] = 4;
    Search("dd");
    EXPECT_EQ(Texts(), (WStrs{Han(2), Han(1), Han(0)}));
}

TEST_F(CandidateList, DamagedDictionaryEntriesAreSkipped) {
    std::vector<uint8_t> image = BuildImage({Wubi(Han(0), "ee", 1), Wubi(Han(1), "ee", 2), Pinyin(Han(2), {"e"}, 3)});
    zl::DictEntry e = EntryOf(image, 1);
    e.textOff = 0xFFFFFF00;
    SetEntry(image, 1, e);
    ASSERT_TRUE(LoadImage(dir, image, engine.dict));
    engine.mode = zl::kModeMixed;
    Search("ee");
    EXPECT_EQ(Texts(), (WStrs{Han(0)}));
    Search("e");
    EXPECT_EQ(Texts(), (WStrs{Han(2), Han(0)}));
}

// The order the rules give, straight from them: each text once, at its first place in
// search order, with its best tier and then its best weight; then a stable sort by
// promotion (newest first), tier, use count (when it counts) and weight.
WStrs RankedByTheRules(const zl::Engine& e, const std::string& typed) {
    struct Row {
        std::wstring text;
        int tier;
        uint32_t freq, count, stamp;
    };
    std::vector<Row> rows;
    std::vector<uint32_t> ids;
    e.dict.SearchWubi(typed, ids, 100);
    for (uint32_t id : ids) {
        zl::DictEntry d;
        if (!e.dict.GetEntry(id, d)) continue;
        const std::wstring text(e.dict.Text(d));
        const int tier = e.dict.Code(d) == typed ? 0 : 1;
        auto same = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.text == text; });
        if (same == rows.end()) {
            const auto count = e.userFreq.find(text);
            const auto stamp = e.promotions.find(std::wstring(typed.begin(), typed.end()) + L'\x0001' + text);
            rows.push_back({text, tier, d.freq, count == e.userFreq.end() ? 0 : count->second,
                            stamp == e.promotions.end() ? 0 : stamp->second});
        } else if (tier < same->tier || (tier == same->tier && d.freq > same->freq)) {
            same->tier = tier;
            same->freq = d.freq;
        }
    }
    const bool byUse = e.config.freqAdjust != 0;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& x, const Row& y) {
        if (x.stamp != y.stamp) return x.stamp > y.stamp;
        if (x.tier != y.tier) return x.tier < y.tier;
        if (byUse && x.count != y.count) return x.count > y.count;
        return x.freq > y.freq;
    });
    WStrs texts;
    for (size_t i = 0; i < rows.size() && i < zl::Engine::kMaxCandidates; ++i) texts.push_back(rows[i].text);
    return texts;
}

}  // namespace

TEST_F(CandidateList, RanksAsTheRulesSayWithAnyMixOfCountsAndPromotions) {
    // Few weights, so that ties are many; some texts twice. Counted or promoted texts:
    // none, a few (placed among the others), and more than a few (the whole list sorted).
    std::mt19937 random(7);
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 300; ++i) {
        const std::string code{'a', static_cast<char>('a' + random() % 3), static_cast<char>('a' + random() % 25)};
        entries.push_back(Wubi(Han(static_cast<int>(random() % 260)), code.substr(0, 1 + random() % 3), random() % 6));
    }
    Load(entries);
    struct Case {
        int counted, promoted, freqAdjust;
    } cases[] = {{0, 0, 1}, {6, 0, 1}, {0, 4, 1}, {5, 3, 1}, {60, 0, 1}, {10, 30, 1}, {60, 5, 0}};
    for (const Case& c : cases) {
        engine.userFreq.clear();
        engine.promotions.clear();
        engine.config.freqAdjust = c.freqAdjust;
        for (int i = 0; i < c.counted; ++i) engine.userFreq[Han(static_cast<int>(random() % 260))] = 1 + random() % 4;
        for (int i = 0; i < c.promoted; ++i)
            engine.promotions[std::wstring(L"a\x0001") + Han(static_cast<int>(random() % 260))] = 1 + random() % 50;
        for (const std::string typed : {"a", "ab"}) {
            Search(typed);
            EXPECT_EQ(Texts(), RankedByTheRules(engine, typed)) << typed << " " << c.counted << " " << c.promoted;
        }
    }
}
