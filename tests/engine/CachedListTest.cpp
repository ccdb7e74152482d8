// Lists served from those the engine keeps must equal lists built afresh, after every key
// of both key corpora, while commits change use counts, promotions are made and the
// settings that shape the list change.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CandidateCache.h"
#include "DictKit.h"
#include "Engine.h"
#include "LearnFormat.h"
#include "UserFolder.h"

using namespace zltest;

namespace {

std::vector<std::string> ReadCorpus(const char* name, const zl::Dict& dict) {
    std::vector<std::string> actions;
    for (const std::string& line : KeyCorpus(ZL_TEST_BENCH_DIR, name, dict)) {
        std::string keys;
        for (char c : line)
            if ((c >= 'a' && c <= 'z') || (c >= '1' && c <= '9') || c == ' ') keys += c;
        if (!keys.empty()) actions.push_back(keys);
    }
    return actions;
}

// As the text service drives the engine: z starts temporary pinyin in idle Wubi input.
void Press(zl::Engine& engine, char key) {
    if (key == ' ')
        engine.OnSpace();
    else if (key >= '1' && key <= '9')
        engine.OnDigit(key - '0');
    else if (key == 'z' && engine.CanTempPinyin())
        engine.BeginTempPinyin();
    else
        engine.OnLetter(key);
}

::testing::AssertionResult SameList(const zl::Engine& typed, const zl::Engine& fresh) {
    // Clear keeps wubiCount, so the facts count only while composing.
    if (!typed.code.empty() && (typed.wubiCount != fresh.wubiCount || typed.exactCount != fresh.exactCount ||
                                typed.pinyinLonger != fresh.pinyinLonger))
        return ::testing::AssertionFailure() << "search facts differ";
    if (typed.candidates.size() != fresh.candidates.size())
        return ::testing::AssertionFailure() << typed.candidates.size() << " candidates, fresh "
                                             << fresh.candidates.size();
    for (size_t i = 0; i < typed.candidates.size(); ++i) {
        const zl::Candidate& a = typed.candidates[i];
        const zl::Candidate& b = fresh.candidates[i];
        if (a.text != b.text || a.code != b.code || a.freq != b.freq || a.userCount != b.userCount ||
            a.promote != b.promote || a.tier != b.tier)
            return ::testing::AssertionFailure() << "candidate " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(CachedLists, EveryKeyOfTheCorporaGivesTheListOfAFreshBuild) {
    // Every action: the pinyin schemes keep more lists than the cache holds, so lists are
    // dropped and built again.
    zl::Dict generated;
    ASSERT_TRUE(generated.Load(ZL_TEST_DICT));
    for (const char* corpus : {"wubi_keys.txt", "pinyin_keys.txt"}) {
        const std::vector<std::string> actions = ReadCorpus(corpus, generated);
        ASSERT_FALSE(actions.empty());
        for (zl::Mode mode : {zl::kModeWubi, zl::kModePinyin, zl::kModeMixed}) {
            UserFolder user;  // promotions are saved
            zl::Engine typed, fresh;
            for (zl::Engine* e : {&typed, &fresh}) {
                e->mode = mode;
                ASSERT_TRUE(e->dict.Load(ZL_TEST_DICT));
            }
            for (size_t a = 0; a < actions.size(); ++a) {
                if (a == actions.size() / 2 || a == 3 * actions.size() / 4) {
                    // Settings changed by the owner between two compositions.
                    for (zl::Engine* e : {&typed, &fresh}) {
                        e->config.gbkOnly = !e->config.gbkOnly;
                        e->config.freqAdjust = !e->config.freqAdjust;
                    }
                }
                for (size_t k = 0; k < actions[a].size(); ++k) {
                    // fresh takes the same keys; its Update drops what it kept, so each
                    // of its keys searches and builds anew.
                    for (zl::Engine* e : {&typed, &fresh}) Press(*e, actions[a][k]);
                    if (a % 40 == 7 && k == 0) {
                        ASSERT_EQ(typed.PromoteOnPage(1), fresh.PromoteOnPage(1));
                    }
                    std::wstring typedCommit, freshCommit;
                    ASSERT_EQ(typed.TakeCommit(typedCommit), fresh.TakeCommit(freshCommit));
                    ASSERT_EQ(typedCommit, freshCommit);
                    ASSERT_EQ(typed.code, fresh.code) << corpus << " mode " << mode << " action " << a;
                    fresh.Update();
                    ASSERT_TRUE(SameList(typed, fresh))
                        << corpus << " mode " << mode << " action " << a << " code " << typed.code;
                }
                fresh.Clear();
                typed.Clear();
            }
            EXPECT_EQ(typed.userFreq, fresh.userFreq);
            EXPECT_EQ(typed.promotions, fresh.promotions);
        }
    }
}

TEST(CachedLists, AnUpdateAfterTheDictionaryChangedSearchesTheNewOne) {
    // The first dictionary's matches of "zhon" are all known when "g" is typed; they are
    // ids of the old file, which the new one gives to other texts.
    TempDir dir;
    const auto a = BuildImage({Pinyin(L"\u4E2D", {"zhong"}, 9), Pinyin(L"\u949F", {"zhong"}, 8)});
    const auto b = BuildImage({Pinyin(L"\u79CD", {"zhong"}, 9), Pinyin(L"\u5FE0", {"zhong"}, 8),
                               Pinyin(L"\u4E2D", {"zhong"}, 7), Pinyin(L"\u91CD", {"zhong"}, 6)});
    zl::Engine typed, fresh;
    typed.mode = fresh.mode = zl::kModePinyin;
    ASSERT_TRUE(LoadImage(dir, a, typed.dict));
    for (char c : std::string("zhon")) typed.OnLetter(c);
    ASSERT_EQ(typed.candidates.size(), 2u);
    ASSERT_TRUE(LoadImage(dir, b, typed.dict));
    typed.Update();
    typed.OnLetter('g');
    ASSERT_TRUE(LoadImage(dir, b, fresh.dict));
    for (char c : std::string("zhong")) fresh.OnLetter(c);
    EXPECT_EQ(fresh.candidates.size(), 4u);
    EXPECT_TRUE(SameList(typed, fresh));
}

TEST(CandidateCache, DropsTheListsUsedLeastRecentlyToMakeRoom) {
    struct Case {
        const char* name;
        size_t lists;      // added, each of `units`, in order "0", "1", ...
        size_t units;
        size_t findFirst;  // finds "0" again after this many were added
        std::vector<size_t> gone, kept;
    };
    const size_t n = zl::CandidateCache::kMaxLists;
    const size_t big = zl::CandidateCache::kMaxUnits / 4;
    const Case cases[] = {
        {"within the count", n, 1, n, {}, {0, n - 1}},
        {"one over the count", n + 1, 1, n, {1}, {0, 2, n}},
        {"one over the count, untouched", n + 1, 1, SIZE_MAX, {0}, {1, n}},
        {"over the units", 5, big, 2, {1}, {0, 2, 3, 4}},
        {"over the units twice", 6, big, 2, {1, 0}, {2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        zl::CandidateCache cache;
        for (size_t i = 0; i < c.lists; ++i) {
            if (i == c.findFirst) {
                ASSERT_NE(cache.Find(zl::kModeWubi, "0"), nullptr) << c.name;
            }
            cache.Add(zl::kModeWubi, std::to_string(i), c.units).exactCount = i;
        }
        for (size_t i : c.gone) EXPECT_EQ(cache.Find(zl::kModeWubi, std::to_string(i)), nullptr) << c.name << " " << i;
        for (size_t i : c.kept) {
            const zl::CachedList* list = cache.Find(zl::kModeWubi, std::to_string(i));
            ASSERT_NE(list, nullptr) << c.name << " " << i;
            EXPECT_EQ(list->exactCount, i) << c.name;
        }
        // The scheme is part of what a list is kept for.
        EXPECT_EQ(cache.Find(zl::kModePinyin, std::to_string(c.kept[0])), nullptr) << c.name;
    }
}

TEST(CandidateCache, TellsWhichTextsWereCountedSinceAListReadItsCounts) {
    zl::CandidateCache cache;
    const uint32_t a = zl::TextHash(L"\u4E2D"), b = zl::TextHash(L"\u949F");
    EXPECT_FALSE(cache.MayHaveCounted(a, 0));
    cache.Counted(L"\u4E2D");
    const uint32_t seen = cache.CountsMade();
    EXPECT_TRUE(cache.MayHaveCounted(a, 0));
    EXPECT_FALSE(cache.MayHaveCounted(a, seen));
    // However long ago the list read them.
    for (int i = 0; i < 100000; ++i) cache.Counted(L"\u949F");
    EXPECT_TRUE(cache.MayHaveCounted(b, seen));
    EXPECT_TRUE(cache.MayHaveCounted(a, 0));
    EXPECT_EQ(cache.CountsMade(), seen + 100000);
}

TEST(CachedLists, ACandidateThatCatchesUpGoesInByBuildingOrder) {
    // The first and third texts were counted once; the second, built between them, catches
    // up while its list is kept. Ties go by building order, as in a fresh build.
    TempDir dir;
    UserFolder user;
    const std::wstring first = L"\u4E00", second = L"\u4E8C", third = L"\u4E09";
    const auto image = BuildImage({Wubi(first, "gg", 10), Wubi(second, "gg", 10), Wubi(third, "gg", 10)});
    zl::Engine typed, fresh;
    for (zl::Engine* e : {&typed, &fresh}) {
        ASSERT_TRUE(LoadImage(dir, image, e->dict));
        e->Learn(first);
        e->Learn(third);
    }
    for (char c : std::string("gg")) typed.OnLetter(c);
    ASSERT_EQ(typed.candidates.size(), 3u);
    ASSERT_EQ(typed.candidates[1].text, third);
    typed.Clear();
    for (zl::Engine* e : {&typed, &fresh}) e->Learn(second);
    for (char c : std::string("gg")) typed.OnLetter(c);
    fresh.code = "gg";
    fresh.Update();
    ASSERT_EQ(fresh.candidates.size(), 3u);
    EXPECT_EQ(fresh.candidates[1].text, second);
    EXPECT_TRUE(SameList(typed, fresh));
}

// The matches of four-letter pinyin codes are found aside by trying, for each entry, only
// the letters of its own syllables; a stored v is typed as u too, so it must be tried.
// ("jil" matches more entries than a search keeps, so "jilu" is searched among them.)
TEST(ShortLists, FourLetterMatchesTakeAUTypedForAStoredV) {
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 700; ++i) entries.push_back(Pinyin(L"纪" + std::to_wstring(i), {"ji", "li"}, 10 + i));
    entries.push_back(Pinyin(L"记录", {"ji", "lu"}, 8));
    entries.push_back(Pinyin(L"纪律", {"ji", "lv"}, 9));
    UserFolder user;
    ASSERT_TRUE(WriteBytes(user.Dir().File(L"zlwb.dat"), BuildImage(entries)));
    zl::Engine engine;
    engine.mode = zl::kModePinyin;
    ASSERT_TRUE(engine.Init(user.Dir().Path()));
    while (!engine.dict.WarmedUp()) Sleep(1);
    for (char c : std::string("jilu")) engine.OnLetter(c);
    ASSERT_EQ(engine.candidates.size(), 2u);
    EXPECT_EQ(engine.candidates[0].text, L"记录");  // spelled exactly
    EXPECT_EQ(engine.candidates[1].text, L"纪律");
}

// A loaded user's short lists come counted from user.dat and ranked, off the keys. What
// changed the counts or their ranking after the load must show as in a fresh build:
// commits (fewer and more than the cache recalls one by one), the ranking setting, the
// promotions, and counts changed behind an Update.
TEST(ShortLists, ListsCountedAsideEqualFreshBuildsWhateverChangedSinceTheLoad) {
    UserFolder user;
    const std::wstring dictPath = ZL_TEST_DICT;
    zl::Engine probe;
    ASSERT_TRUE(probe.dict.Load(ZL_TEST_DICT));
    std::vector<std::wstring> deep;  // where a count moves a text most
    zl::Promotions promoted;
    for (zl::Mode mode : {zl::kModeWubi, zl::kModePinyin})
        for (const char* code : {"a", "sh", "gg", "x", "yi"}) {
            probe.mode = mode;
            probe.code = code;
            probe.Update();
            for (size_t i = 10; i < probe.candidates.size(); i += 15) deep.push_back(probe.candidates[i].text);
            if (probe.candidates.size() > 40)
                promoted[std::wstring(code, code + strlen(code)) + L'\x0001' + probe.candidates[40].text] = mode + 1;
        }
    ASSERT_GT(deep.size(), 20u);
    // Each text twice: the later line wins.
    std::string file, later;
    for (size_t i = 0; i < deep.size(); ++i) {
        zl::UseCounts one{{deep[i], 1}}, two{{deep[i], static_cast<uint32_t>(i % 7 + 2)}};
        std::string line;
        zl::FormatUseCounts(one, line);
        file += line;
        zl::FormatUseCounts(two, line);
        later += line;
    }
    ASSERT_TRUE(WriteBytes(user.Dir().File(L"user.dat"), file + later));
    std::string promoteFile;
    zl::FormatPromotions(promoted, promoteFile);
    ASSERT_TRUE(WriteBytes(user.Dir().File(L"promote.dat"), promoteFile));

    enum class Since { Nothing, FewCommits, ManyCommits, RankingOff, CountsChanged };
    for (zl::Mode mode : {zl::kModeWubi, zl::kModePinyin})
        for (Since since : {Since::Nothing, Since::FewCommits, Since::ManyCommits, Since::RankingOff,
                            Since::CountsChanged}) {
            zl::Engine typed;
            typed.mode = mode;
            ASSERT_TRUE(typed.Init(dictPath.substr(0, dictPath.find_last_of(L"\\/"))));
            ASSERT_EQ(typed.promotions.size(), promoted.size());
            while (!typed.dict.WarmedUp()) Sleep(1);
            if (since == Since::FewCommits)
                for (size_t i = 0; i < 6; ++i) typed.Learn(deep[i * 3]);
            if (since == Since::ManyCommits)
                for (size_t i = 0; i < 150; ++i) typed.Learn(deep[i % deep.size()]);
            if (since == Since::RankingOff) typed.config.freqAdjust = 0;
            if (since == Since::CountsChanged) {
                typed.userFreq.erase(deep[4]);
                typed.userFreq[deep[5]] = 1;
                typed.Update();
            }
            for (char a = 'a'; a <= 'y'; ++a)
                for (char b = '`'; b <= 'y'; ++b) {
                    const std::string code = b == '`' ? std::string(1, a) : std::string{a, b};
                    typed.Clear();
                    for (char c : code) typed.OnLetter(c);
                    zl::Engine fresh;
                    ASSERT_TRUE(fresh.dict.Load(ZL_TEST_DICT));
                    fresh.mode = mode;
                    fresh.config = typed.config;
                    fresh.userFreq = typed.userFreq;
                    fresh.promotions = typed.promotions;
                    fresh.code = typed.code;
                    fresh.Update();
                    ASSERT_TRUE(SameList(typed, fresh))
                        << code << " mode " << mode << " case " << static_cast<int>(since);
                }
        }
}
