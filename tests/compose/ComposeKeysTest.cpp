// Letters, auto-commit, temporary pinyin, the editing keys and the pending commit.
#include "EngineKit.h"
#include "UserFolder.h"

using namespace zltest;
using WStrs = std::vector<std::wstring>;

namespace {

using ComposeKeys = EngineTest;

TEST_F(ComposeKeys, OnlyLowercaseLettersAndOnlyWhileComposing) {
    Load({Wubi(Han(0), "a", 1)});
    EXPECT_FALSE(engine.OnLetter('A'));
    EXPECT_FALSE(engine.OnLetter('1'));
    EXPECT_FALSE(engine.OnLetter('{'));
    EXPECT_TRUE(engine.code.empty());
    EXPECT_FALSE(engine.OnBackspace());
    EXPECT_FALSE(engine.OnSpace());
    EXPECT_FALSE(engine.OnDigit(1));
    EXPECT_FALSE(engine.OnEnter());
    EXPECT_FALSE(engine.OnEscape());
    EXPECT_FALSE(engine.OnPageKey(true));
    EXPECT_TRUE(engine.commit.empty());
}

TEST_F(ComposeKeys, FourthLetterCommitsTheOnlyExactCandidate) {
    Load({Wubi(Han(0), "wqvb", 10), Wubi(Han(1), "wqv", 5)});
    Type("wqv");
    EXPECT_EQ(engine.candidates.size(), 2u);
    EXPECT_TRUE(engine.OnLetter('b'));
    EXPECT_TRUE(engine.code.empty());
    EXPECT_TRUE(engine.shownCode.empty());
    EXPECT_TRUE(engine.candidates.empty());
    EXPECT_EQ(Taken(), Han(0));
    EXPECT_EQ(engine.userFreq[Han(0)], 1u);
    EXPECT_TRUE(engine.userDirty);

    engine.config.autoCommit4 = 0;
    Type("wqvb");
    EXPECT_EQ(engine.code, "wqvb");
    EXPECT_EQ(Taken(), L"");
}

TEST_F(ComposeKeys, NoAutoCommitWithASecondExactEntryEvenAFilteredOne) {
    Load({Wubi(Han(0), "wqvb", 10), Wubi(L"\U00020000", "wqvb", 5)});
    Type("wqvb");
    EXPECT_EQ(engine.code, "wqvb");
    EXPECT_EQ(engine.candidates.size(), 1u);
    EXPECT_TRUE(engine.commit.empty());
}

TEST_F(ComposeKeys, MixedSchemeWaitsWhenALongerPinyinBeginsWithTheCode) {
    Load({Wubi(Han(0), "hang", 10), Pinyin(Han(1), {"hang", "zhou"}, 5)}, zl::kModeMixed);
    Type("hang");
    EXPECT_EQ(engine.code, "hang");
    EXPECT_TRUE(engine.commit.empty());

    engine.Clear();
    engine.mode = zl::kModeWubi;
    Type("hang");
    EXPECT_EQ(Taken(), Han(0));
}

TEST_F(ComposeKeys, FifthWubiLetter) {
    Load({Wubi(Han(0), "aaaa", 10), Wubi(Han(1), "aaaa", 20), Wubi(Han(2), "b", 5)});
    engine.config.pageSize = 1;
    Type("aaaa");
    ASSERT_EQ(engine.candidates.size(), 2u);
    ASSERT_TRUE(engine.NextPage());
    // Commits the first of the whole list, not of the shown page, and starts over.
    EXPECT_TRUE(engine.OnLetter('b'));
    EXPECT_EQ(Taken(), Han(1));
    EXPECT_EQ(engine.code, "b");
    EXPECT_EQ(engine.shownCode, L"b");
    EXPECT_EQ(Texts(), (WStrs{Han(2)}));
    EXPECT_EQ(engine.page, 0u);

    engine.Clear();
    engine.config.autoCommit5 = 0;
    Type("aaaa");
    EXPECT_TRUE(engine.OnLetter('b'));
    EXPECT_EQ(engine.code, "aaaa");
    EXPECT_TRUE(engine.commit.empty());

    engine.Clear();
    engine.config.autoCommit5 = 1;
    Type("xxxx");
    EXPECT_TRUE(engine.OnLetter('a'));
    EXPECT_EQ(engine.code, "xxxx");
    EXPECT_TRUE(engine.commit.empty());
}

TEST_F(ComposeKeys, MixedSchemeGrowsWhilePinyinMatchesUpToTwentyLetters) {
    Load({Pinyin(Han(0), {"zhuang", "tai"}, 5), Wubi(Han(1), "q", 1),
          Pinyin(Han(2), {"zhuang", "zhuang", "zhuang", "zhuang", "zhuang"}, 1)},
         zl::kModeMixed);
    Type("zhuangtai");
    EXPECT_EQ(engine.code, "zhuangtai");
    EXPECT_EQ(engine.candidates[0].text, Han(0));
    // No pinyin goes on with q: the fifth-letter rule commits.
    EXPECT_TRUE(engine.OnLetter('q'));
    EXPECT_EQ(Taken(), Han(0));
    EXPECT_EQ(engine.code, "q");

    engine.Clear();
    Type("zhuangzhuangzhuangzh");
    ASSERT_EQ(engine.code.size(), 20u);
    EXPECT_TRUE(engine.OnLetter('u'));
    EXPECT_EQ(Taken(), Han(2));
    EXPECT_EQ(engine.code, "u");
}

TEST_F(ComposeKeys, PinyinStopsAtTwentyFourLetters) {
    Load({Pinyin(Han(0), {"a"}, 1)}, zl::kModePinyin);
    for (int i = 0; i < 24; ++i) EXPECT_TRUE(engine.OnLetter('a'));
    EXPECT_TRUE(engine.OnLetter('b'));
    EXPECT_EQ(engine.code, std::string(24, 'a'));
    EXPECT_EQ(engine.shownCode, std::wstring(24, L'a'));
}

TEST_F(ComposeKeys, TemporaryPinyin) {
    Load({Pinyin(Han(0), {"zhong", "guo"}, 10), Wubi(Han(1), "zg", 1)});
    ASSERT_TRUE(engine.CanTempPinyin());
    engine.BeginTempPinyin();
    EXPECT_TRUE(engine.tempPinyin);
    EXPECT_FALSE(engine.CanTempPinyin());
    Type("zhongguo");  // past four letters: pinyin rules
    EXPECT_EQ(engine.code, "zhongguo");
    EXPECT_EQ(Texts(), (WStrs{Han(0)}));
    EXPECT_TRUE(engine.OnSpace());
    EXPECT_EQ(Taken(), Han(0));
    EXPECT_FALSE(engine.tempPinyin);

    // Without it, z is the Wubi wildcard.
    Type("zg");
    EXPECT_EQ(Texts(), (WStrs{Han(1)}));
    EXPECT_FALSE(engine.CanTempPinyin());
    engine.BeginTempPinyin();
    EXPECT_FALSE(engine.tempPinyin);
    engine.Clear();

    for (int key = 0; key < 2; ++key) {
        engine.BeginTempPinyin();
        Type("zg");
        EXPECT_TRUE(key == 0 ? engine.OnEnter() : engine.OnEscape());
        EXPECT_FALSE(engine.tempPinyin);
        EXPECT_TRUE(engine.code.empty());
    }

    // Backspacing every letter keeps it; cancelling ends it.
    engine.BeginTempPinyin();
    Type("z");
    EXPECT_TRUE(engine.OnBackspace());
    EXPECT_TRUE(engine.tempPinyin);
    engine.CancelTempPinyin();
    EXPECT_FALSE(engine.tempPinyin);

    for (zl::Mode m : {zl::kModePinyin, zl::kModeMixed}) {
        engine.mode = m;
        EXPECT_FALSE(engine.CanTempPinyin());
        engine.BeginTempPinyin();
        EXPECT_FALSE(engine.tempPinyin);
    }
    EXPECT_TRUE(Taken().empty());
}

TEST_F(ComposeKeys, BackspaceSpaceEnterAndPendingCommit) {
    Load({Wubi(Han(0), "ab", 1), Wubi(Han(1), "a", 1)});
    Type("ab");
    EXPECT_TRUE(engine.OnBackspace());
    EXPECT_EQ(engine.code, "a");
    EXPECT_EQ(engine.shownCode, L"a");
    EXPECT_EQ(Texts(), (WStrs{Han(1), Han(0)}));
    EXPECT_TRUE(engine.OnBackspace());
    EXPECT_TRUE(engine.candidates.empty());
    EXPECT_EQ(engine.page, 0u);
    EXPECT_FALSE(engine.OnBackspace());

    // Commits accumulate until taken; a failed take leaves its argument alone.
    Type("a");
    engine.OnSpace();
    Type("ab");
    engine.OnSpace();
    EXPECT_EQ(Taken(), Han(1) + Han(0));
    std::wstring keep = L"keep";
    EXPECT_FALSE(engine.TakeCommit(keep));
    EXPECT_EQ(keep, L"keep");

    // Space on an empty list clears; Enter drops what waits and closes the quotes.
    Type("qq");
    EXPECT_TRUE(engine.OnSpace());
    EXPECT_TRUE(engine.code.empty());
    Type("a");
    engine.OnSpace();
    engine.dquoteOpen = engine.squoteOpen = true;
    Type("a");
    EXPECT_TRUE(engine.OnEnter());
    EXPECT_TRUE(engine.code.empty());
    EXPECT_FALSE(engine.dquoteOpen);
    EXPECT_FALSE(engine.squoteOpen);
    EXPECT_TRUE(Taken().empty());
}

TEST_F(ComposeKeys, UseCountsStopAtOneHundredThousand) {
    Load({Wubi(Han(0), "a", 1)});
    engine.userFreq[Han(0)] = 100000;
    Type("a");
    engine.OnSpace();
    EXPECT_EQ(engine.userFreq[Han(0)], 100000u);
    EXPECT_TRUE(engine.userDirty);
}

TEST(EngineInit, LoadsTheDictionaryFromTheDataFolder) {
    zltest::UserFolder user;  // Init reads the learning files from there
    TempDir dir;
    zl::Engine missing;
    EXPECT_FALSE(missing.Init(dir.Path()));
    EXPECT_EQ(missing.dataDir, dir.Path());
    EXPECT_TRUE(missing.OnLetter('a'));
    EXPECT_TRUE(missing.candidates.empty());
    EXPECT_TRUE(missing.OnSpace());
    EXPECT_TRUE(missing.commit.empty());

    ASSERT_TRUE(WriteBytes(dir.File(L"zlwb.dat"), BuildImage({Wubi(Han(0), "a", 1)})));
    zl::Engine engine;
    EXPECT_TRUE(engine.Init(dir.Path()));
    engine.OnLetter('a');
    EXPECT_EQ(engine.candidates.size(), 1u);
    // Loading again (a new activation) keeps the typed code's list.
    EXPECT_TRUE(engine.Init(dir.Path()));
    ASSERT_EQ(engine.candidates.size(), 1u);
    EXPECT_EQ(engine.candidates[0].text, Han(0));
}

}  // namespace
