// Search rules of the dictionary: prefix walk, caps, wildcard order, pinyin grouping.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "DictKit.h"

using namespace zltest;
using Ids = std::vector<uint32_t>;
using Strs = std::vector<std::string>;
using WStrs = std::vector<std::wstring>;

namespace {

std::wstring T(int i) { return L"t" + std::to_wstring(i); }

// Straight from the rules, scanning the whole index: the reference for the wildcard search.
Ids ReferenceWildcard(const zl::Dict& d, const std::vector<uint32_t>& codeIndex, const std::string& code,
                      uint64_t cap) {
    Ids out;
    auto codeOf = [&](uint32_t id) {
        zl::DictEntry e;
        if (!d.GetEntry(id, e)) return std::string();
        return std::string(d.Code(e));
    };
    auto first = std::find_if(codeIndex.begin(), codeIndex.end(), [&](uint32_t id) { return codeOf(id) >= code; });
    for (auto it = first; it != codeIndex.end() && out.size() < cap && codeOf(*it) == code; ++it) out.push_back(*it);
    for (uint32_t id : codeIndex) {
        if (out.size() >= cap) break;
        const std::string c = codeOf(id);
        if (c == code || c.size() < code.size()) continue;
        if (zl::Dict::WildMatch(c, code)) out.push_back(id);
    }
    return out;
}

std::vector<uint32_t> CodeIndexOf(const std::vector<uint8_t>& image) {
    const zl::DictHeader h = HeaderOf(image);
    std::vector<uint32_t> ids(h.entryCount);
    std::memcpy(ids.data(), image.data() + h.codeIndexOffset, 4 * ids.size());
    return ids;
}

class DictSearch : public ::testing::Test {
protected:
    TempDir dir;
    zl::Dict dict;
    void Load(const std::vector<zl::DictSource>& entries) { ASSERT_TRUE(LoadImage(dir, BuildImage(entries), dict)); }
    Strs WubiCodes(const std::string& code, uint64_t max = 100) {
        Ids ids;
        dict.SearchWubi(code, ids, max);
        return Codes(dict, ids);
    }
    WStrs Pin(const std::string& code, uint64_t max = 100) {
        Ids ids;
        dict.SearchPinyin(code, ids, max);
        return Texts(dict, ids);
    }
};

}  // namespace

TEST(DictCaps, FollowTheLimitsTheEngineUses) {
    EXPECT_EQ(zl::Dict::WubiCap(100), 416u);
    EXPECT_EQ(zl::Dict::WubiCap(0), 400u);
    EXPECT_EQ(zl::Dict::PinyinCap(100), 624u);
    EXPECT_EQ(zl::Dict::PinyinCap(60), 384u);
    EXPECT_EQ(zl::Dict::PinyinCap(1), 30u);
    EXPECT_EQ(zl::Dict::PinyinCap(0), 400u);
    EXPECT_EQ(zl::Dict::WubiCap(UINT64_MAX), UINT64_MAX);
}

TEST(DictWildMatch, NeedsTheWholePatternAndTakesZAsAnyLetter) {
    EXPECT_TRUE(zl::Dict::WildMatch("gab", "gz"));
    EXPECT_TRUE(zl::Dict::WildMatch("ga", "zz"));
    EXPECT_FALSE(zl::Dict::WildMatch("g", "gz"));
    EXPECT_FALSE(zl::Dict::WildMatch("hab", "gz"));
    EXPECT_TRUE(zl::Dict::WildMatch("abc", ""));
}

TEST_F(DictSearch, PrefixWalkGivesExactCodesThenLongerOnesInIndexOrder) {
    Load({Wubi(L"a", "gg", 5), Wubi(L"b", "ggg", 1), Wubi(L"c", "gggh", 9), Wubi(L"d", "ggg", 7),
          Wubi(L"e", "gggg", 3), Wubi(L"f", "ggh", 100), Wubi(L"g", "gg", 1)});
    EXPECT_EQ(WubiCodes("ggg"), (Strs{"ggg", "ggg", "gggg", "gggh"}));
    Ids ids;
    dict.SearchWubi("ggg", ids, 100);
    EXPECT_EQ(Texts(dict, ids), (WStrs{L"d", L"b", L"e", L"c"})) << "same code: heavier first";
    EXPECT_EQ(WubiCodes("g").size(), 7u);
    EXPECT_TRUE(WubiCodes("gggga").empty()) << "shorter codes are never returned";
    EXPECT_TRUE(WubiCodes("").empty());
    EXPECT_TRUE(WubiCodes("x").empty());
}

TEST_F(DictSearch, StopsExactlyAtTheCap) {
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 300; ++i) entries.push_back(Wubi(T(i), "ggg", 1000 - i));
    for (int i = 0; i < 300; ++i) entries.push_back(Wubi(T(1000 + i), "gggh", 1));
    Load(entries);
    Strs r = WubiCodes("ggg", 100);
    ASSERT_EQ(r.size(), 416u);
    EXPECT_EQ(std::count(r.begin(), r.end(), "ggg"), 300);
    EXPECT_EQ(r.back(), "gggh");
    EXPECT_EQ(WubiCodes("ggg", 0).size(), 400u);
    EXPECT_EQ(WubiCodes("ggg", 1).size(), 20u);
    EXPECT_EQ(WubiCodes("gz", 1).size(), 20u);
}

TEST_F(DictSearch, WildcardGivesLiteralMatchesFirstThenPrefixMatchesWithoutRepeats) {
    Load({Wubi(L"1", "ga", 1), Wubi(L"2", "gz", 1), Wubi(L"3", "g", 1), Wubi(L"4", "gzk", 1),
          Wubi(L"5", "ha", 1), Wubi(L"6", "gb", 1), Wubi(L"7", "gz", 2), Wubi(L"8", "fz", 1), Wubi(L"9", "", 1)});
    Ids ids;
    dict.SearchWubi("gz", ids, 100);
    EXPECT_EQ(Texts(dict, ids), (WStrs{L"7", L"2", L"1", L"6", L"4"}));
    dict.SearchWubi("z", ids, 100);
    EXPECT_EQ(Codes(dict, ids), (Strs{"fz", "g", "ga", "gb", "gz", "gz", "gzk", "ha"}))
        << "a lone z: every coded entry, no literal z here";
    dict.SearchWubi("zz", ids, 100);
    EXPECT_EQ(Codes(dict, ids), (Strs{"fz", "ga", "gb", "gz", "gz", "gzk", "ha"}));
    dict.SearchWubi("zk", ids, 100);
    EXPECT_TRUE(ids.empty());
    dict.SearchWubi("zzk", ids, 100);
    EXPECT_EQ(Codes(dict, ids), (Strs{"gzk"}));
}

// Searched from the mapping, then from the codes the warm-up packs; a code that does not
// pack (five letters here) leaves the searches on the mapping.
TEST_F(DictSearch, WubiSearchesMatchAFullScanOnRandomDictionaries) {
    std::mt19937 rng(7);
    const char letters[] = "ghijz";
    for (const bool packable : {true, false}) {
        std::vector<zl::DictSource> entries;
        for (int i = 0; i < 2000; ++i) {
            std::string code;
            const int len = 1 + rng() % 4;
            for (int k = 0; k < len; ++k) code += letters[rng() % 5];
            entries.push_back(Wubi(T(i), code, rng() % 50));
        }
        if (!packable) entries.push_back(Wubi(L"long", "ghijg", 1));
        const auto image = BuildImage(entries);
        zl::Dict d;
        ASSERT_TRUE(LoadImage(dir, image, d));
        const auto index = CodeIndexOf(image);
        for (const bool warm : {false, true}) {
            if (warm) {
                d.WarmUp();
                while (!d.WarmedUp()) Sleep(1);
            }
            ASSERT_EQ(d.CodesPacked(), warm && packable);
            for (int round = 0; round < 300; ++round) {
                std::string code;
                const int len = 1 + rng() % 4;
                for (int k = 0; k < len; ++k) code += letters[rng() % 5];
                if (round % 4 != 0 && code.find('z') == std::string::npos) code[rng() % len] = 'z';
                const uint64_t max = rng() % 3 == 0 ? 0 : rng() % 120;
                Ids got;
                d.SearchWubi(code, got, max);
                EXPECT_EQ(got, ReferenceWildcard(d, index, code, zl::Dict::WubiCap(max)))
                    << code << " max " << max << " packed " << d.CodesPacked();
            }
        }
    }
}

TEST_F(DictSearch, PinyinTypedUMatchesStoredVButNotTheReverse) {
    Load({Pinyin(L"路", {"lu"}, 10), Pinyin(L"绿", {"lv"}, 9), Pinyin(L"略", {"lve"}, 8), Pinyin(L"来", {"lai"}, 7)});
    EXPECT_EQ(Pin("lu"), (WStrs{L"路", L"绿", L"略"}));
    EXPECT_EQ(Pin("lv"), (WStrs{L"绿", L"略"}));
    EXPECT_EQ(Pin("lue"), (WStrs{L"略"}));
    EXPECT_EQ(Pin("l"), (WStrs{L"路", L"绿", L"略", L"来"}));
}

TEST_F(DictSearch, PinyinKeepsIndexOrderWithinTheFirstLetterAndStopsAtTheNextLetter) {
    Load({Pinyin(L"是", {"shi"}, 900), Pinyin(L"说", {"shuo"}, 800), Pinyin(L"什么", {"shen", "me"}, 850),
          Pinyin(L"他", {"ta"}, 1000), Pinyin(L"人", {"ren"}, 990), Wubi(L"工", "a", 5),
          Pinyin(L"中国", {"zhong", "guo"}, 5)});
    EXPECT_EQ(Pin("s"), (WStrs{L"是", L"什么", L"说"}));
    EXPECT_EQ(Pin("sm"), (WStrs{L"什么"}));
    EXPECT_EQ(Pin("zg"), (WStrs{L"中国"}));
    EXPECT_TRUE(Pin("a").empty());
    EXPECT_TRUE(Pin("b").empty());
    EXPECT_TRUE(Pin("").empty());
}

TEST_F(DictSearch, PinyinStopsExactlyAtTheCap) {
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 700; ++i) entries.push_back(Pinyin(T(i), {"ma"}, 1000 - i));
    Load(entries);
    EXPECT_EQ(Pin("ma", 100).size(), 624u);
    EXPECT_EQ(Pin("ma", 1).size(), 30u);
    EXPECT_EQ(Pin("m", 60).size(), 384u);
    EXPECT_EQ(Pin("m", 0).size(), 400u);
    EXPECT_EQ(Pin("ma", 1).front(), T(0)) << "heaviest first";
}

TEST_F(DictSearch, EmptyPinyinEntriesAreNeverReturned) {
    Load({Pinyin(L"x", {""}, 100), Pinyin(L"y", {"a"}, 1)});
    EXPECT_EQ(Pin("a"), (WStrs{L"y"}));
}

// The jump tables must give exactly the plain scan's ids in its order, with its cap:
// random syllables over few letters (with v for u, empty and over-long syllables). A
// damaged table must still give only matches.
TEST_F(DictSearch, PinyinJumpsGiveThePlainScanOnRandomDictionaries) {
    std::mt19937 rng(19);
    const char letters[] = "abuvhg";
    auto syllable = [&](int most) {
        std::string s;
        const int len = rng() % 9 == 0 ? 0 : 1 + static_cast<int>(rng() % most);
        for (int k = 0; k < len; ++k) s += letters[rng() % 6];
        return s;
    };
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::string> syl;
        const int n = 1 + rng() % 4;
        for (int k = 0; k < n; ++k) syl.push_back(syllable(rng() % 50 == 0 ? 9 : 3));
        entries.push_back(Pinyin(T(i), syl, rng() % 100));
    }
    auto image = BuildImage(entries);
    const zl::DictHeader h = HeaderOf(image);
    for (int damaged = 0; damaged < 2; ++damaged) {
        zl::Dict d;
        TempDir where;
        ASSERT_TRUE(LoadImage(where, image, d));
        EXPECT_TRUE(d.HasPinyinJumps());
        for (int round = 0; round < 4000; ++round) {
            std::string code;
            const int len = 2 + rng() % 7;
            for (int k = 0; k < len; ++k) code += letters[rng() % 6];
            const uint64_t max = round % 4 == 0 ? 0 : std::vector<uint64_t>{1, 60, 100}[rng() % 3];
            Ids jumped, plain;
            d.SearchPinyin(code, jumped, max);
            if (damaged) {
                // A damaged table cannot always be told from a sound one; what it gives
                // must still be matches, within the cap.
                d.FilterPinyin(code, jumped, plain, zl::Dict::PinyinCap(max));
            } else {
                d.SearchPinyinPlain(code, plain, max);
            }
            ASSERT_EQ(jumped, plain) << code << " max " << max;
        }
        // Positions out of order in both tables, and an offset past their end ("ab", "abu").
        for (const auto& [at, count, keys, damagedKey] :
             {std::tuple<uint32_t, uint32_t, size_t, size_t>{h.index3Offset, h.index3Count, 677, 2},
              std::tuple<uint32_t, uint32_t, size_t, size_t>{h.index4Offset, h.index4Count, 17577, 47}}) {
            const size_t offsets = at + 4 * zl::kPinyinJumpHeader;
            std::reverse(image.begin() + offsets + 4 * keys, image.begin() + at + 4 * count);
            SetU32(image, offsets + 4 * damagedKey, 0xFFFFFFFF);
        }
    }
}

// The generated dictionary, for every prefix of every typed run of both key corpora.
TEST(GeneratedDictJumps, GiveThePlainScanForEveryCorpusPrefix) {
    zl::Dict d;
    ASSERT_TRUE(d.Load(ZL_TEST_DICT));
    ASSERT_TRUE(d.HasPinyinJumps());
    std::set<std::string> prefixes;
    for (const char* name : {"wubi_keys.txt", "pinyin_keys.txt"}) {
        std::string run;
        for (const std::string& line : KeyCorpus(ZL_TEST_BENCH_DIR, name, d)) {
            for (char c : line + " ") {
                if (c >= 'a' && c <= 'z') {
                    if (run.size() < 24) prefixes.insert(run += c);
                } else {
                    run.clear();
                }
            }
        }
    }
    ASSERT_GT(prefixes.size(), 1000u);
    for (const std::string& code : prefixes) {
        for (uint64_t max : {1, 60, 100}) {
            Ids jumped, plain;
            d.SearchPinyin(code, jumped, max);
            d.SearchPinyinPlain(code, plain, max);
            ASSERT_EQ(jumped, plain) << code << " max " << max;
        }
    }
}
