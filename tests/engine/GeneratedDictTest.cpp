// The dictionary the build generates from the Wubi-86 and pinyin tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <cstring>

#include "DictKit.h"
#include "Engine.h"
#include "GbkText.h"
#include "UserFolder.h"

using namespace zltest;
using Ids = std::vector<uint32_t>;

namespace {

class GeneratedDict : public ::testing::Test {
protected:
    static zl::Dict* dict;
    static void SetUpTestSuite() {
        dict = new zl::Dict;
        ASSERT_TRUE(dict->Load(ZL_TEST_DICT));
    }
    static void TearDownTestSuite() { delete dict; }

    std::vector<std::wstring> WubiTexts(const std::string& code, size_t first = 9) {
        Ids ids;
        dict->SearchWubi(code, ids, 100);
        auto t = Texts(*dict, ids);
        if (t.size() > first) t.resize(first);
        return t;
    }
    std::vector<std::wstring> Pin(const std::string& code, size_t first = 9) {
        Ids ids;
        dict->SearchPinyin(code, ids, 100);
        auto t = Texts(*dict, ids);
        if (t.size() > first) t.resize(first);
        return t;
    }
    bool Has(const std::vector<std::wstring>& v, const std::wstring& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    }
};

zl::Dict* GeneratedDict::dict = nullptr;

}  // namespace

TEST_F(GeneratedDict, EveryTextPassesTheGbkTestAndEveryEntryIsReadable) {
    ASSERT_GT(dict->EntryCount(), 100000u);
    std::set<std::pair<std::wstring, std::string>> wubiPairs;
    for (uint32_t id = 0; id < dict->EntryCount(); ++id) {
        zl::DictEntry e;
        ASSERT_TRUE(dict->GetEntry(id, e)) << id;
        const std::wstring_view text = dict->Text(e);
        ASSERT_FALSE(text.empty()) << id;
        ASSERT_TRUE(zl::IsGbkText(text)) << id;
        ASSERT_TRUE((e.codeLen == 0) != (e.syllableCount == 0)) << "either a Wubi or a pinyin entry: " << id;
        if (e.codeLen) {
            ASSERT_TRUE(wubiPairs.emplace(text, std::string(dict->Code(e))).second) << "duplicate " << id;
        }
    }
}

TEST_F(GeneratedDict, WellKnownCodesFindTheirCharacters) {
    EXPECT_EQ(WubiTexts("a").front(), L"工");
    EXPECT_EQ(WubiTexts("ggll").front(), L"一");
    EXPECT_TRUE(Has(WubiTexts("zzxx", 1000), L"χ")) << "the zz symbol codes are kept";
    // Four-letter codes that non-GBK rows used to share: exactly one exact entry now.
    for (const char* code : {"jjjj", "gcfj", "etnh"}) {
        Ids ids;
        dict->SearchWubi(code, ids, 100);
        EXPECT_EQ(ids.size(), 1u) << code;
    }
    EXPECT_EQ(WubiTexts("jjjj"), std::vector<std::wstring>{L"日"});
    EXPECT_EQ(WubiTexts("gcfj"), std::vector<std::wstring>{L"到"});
    EXPECT_EQ(WubiTexts("etnh"), std::vector<std::wstring>{L"用"});
}

TEST_F(GeneratedDict, PinyinOffersTheCommonWordsFirst) {
    const auto s = Pin("s", 3);
    EXPECT_TRUE(Has(s, L"是")) << "the weight order puts the common words inside the cap";
    EXPECT_EQ(Pin("zhongguo", 1).front(), L"中国");
    EXPECT_TRUE(Has(Pin("lue"), L"略")) << "lue is stored as lve and typed u matches v";
    EXPECT_TRUE(Has(Pin("nv"), L"女"));
}

TEST_F(GeneratedDict, WubiWeightsStayAbovePinyinWeights) {
    Ids ids;
    dict->SearchWubi("a", ids, 100);
    zl::DictEntry wubi;
    ASSERT_TRUE(dict->GetEntry(ids.at(0), wubi));
    dict->SearchPinyin("a", ids, 100);
    zl::DictEntry pinyin;
    ASSERT_TRUE(dict->GetEntry(ids.at(0), pinyin));
    EXPECT_GT(wubi.freq, pinyin.freq);
}

// A pool that lost its apostrophes and NULs makes every syllable run to the pool's end.
// The matcher must stop where the typed letters stop, so a key costs what a healthy one
// does. Without that bound each of these keys took seconds; the bound below is generous
// for a loaded machine and still far from that.
TEST(DamagedGeneratedDict, PinyinKeysStayFastWhenThePoolLostItsSeparators) {
    constexpr double kBoundMs = 250;
    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadBytes(ZL_TEST_DICT, image));
    const zl::DictHeader h = HeaderOf(image);
    ASSERT_LE(uint64_t{h.pinyinPoolOffset} + h.pinyinPoolBytes, image.size());
    std::fill(image.begin() + h.pinyinPoolOffset, image.begin() + h.pinyinPoolOffset + h.pinyinPoolBytes, 'a');
    UserFolder user;
    ASSERT_TRUE(WriteBytes(user.Dir().File(L"zlwb.dat"), image));

    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    for (zl::Mode mode : {zl::kModePinyin, zl::kModeMixed}) {
        zl::Engine engine;
        engine.mode = mode;
        ASSERT_TRUE(engine.Init(user.Dir().Path()));
        for (const char* typed : {"aaaaaaaaaaaaaaaaaaaaab", "ab", "zhongguo"}) {
            for (const char* c = typed; *c; ++c) {
                LARGE_INTEGER t0, t1;
                QueryPerformanceCounter(&t0);
                engine.OnLetter(*c);
                QueryPerformanceCounter(&t1);
                EXPECT_LT(1000.0 * (t1.QuadPart - t0.QuadPart) / f.QuadPart, kBoundMs) << typed << " at " << (c - typed);
                // The pinyin of every entry is damaged, so none can be shown.
                if (mode == zl::kModePinyin) {
                    EXPECT_TRUE(engine.candidates.empty());
                }
            }
            engine.Clear();
        }
    }
}

// Typing letter by letter reuses the previous search; the list must be the one a fresh
// engine builds for the same code, in pinyin and in mixed input, on the pinyin corpus.
TEST(GeneratedDictTyping, EachKeyGivesTheListOfAFreshSearch) {
    zl::Dict generated;
    ASSERT_TRUE(generated.Load(ZL_TEST_DICT));
    std::vector<std::string> runs;
    for (const std::string& line : KeyCorpus(ZL_TEST_BENCH_DIR, "pinyin_keys.txt", generated)) {
        if (runs.size() >= 600) break;
        std::string run;
        for (char c : line)
            if (c >= 'a' && c <= 'z') run += c;
        if (!run.empty()) runs.push_back(run.substr(0, 20));
    }
    auto same = [](const zl::CandidateList& a, const zl::CandidateList& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].text != b[i].text || a[i].code != b[i].code || a[i].freq != b[i].freq || a[i].tier != b[i].tier)
                return false;
        return true;
    };
    for (zl::Mode mode : {zl::kModePinyin, zl::kModeMixed}) {
        zl::Engine typing;
        typing.mode = mode;
        typing.config.autoCommit5 = 0;
        ASSERT_TRUE(typing.dict.Load(ZL_TEST_DICT));
        for (const std::string& run : runs) {
            typing.Clear();
            for (char c : run) {
                typing.OnLetter(c);
                zl::Engine once;  // no earlier search to reuse
                once.mode = mode;
                once.code = typing.code;
                once.userFreq = typing.userFreq;  // four-letter codes commit on their own
                ASSERT_TRUE(once.dict.Load(ZL_TEST_DICT));
                once.Update();
                ASSERT_TRUE(same(typing.candidates, once.candidates)) << typing.code << " mode " << mode;
            }
        }
    }
}

// The one- and two-letter lists (and the three-letter pinyin ones with many matches, and
// the matches of their four-letter codes) are built aside after a load, with no use counts and no
// promotions, and taken on the keys. Each must equal the list built on the key, in every
// scheme, with the GBK filter off and on, and with counts and promotions to add; a
// change of scheme or filter starts the lists again on the next first letter.
TEST(GeneratedDictTyping, ShortListsBuiltAsideEqualTheListsBuiltOnTheKeys) {
    UserFolder user;
    const std::wstring dictPath = ZL_TEST_DICT;
    zl::Engine aside;
    ASSERT_TRUE(aside.Init(dictPath.substr(0, dictPath.find_last_of(L"\\/"))));
    std::vector<std::string> codes;
    for (char a = 'a'; a <= 'z'; ++a) {
        codes.push_back(std::string(1, a));
        for (char b = 'a'; b <= 'z'; ++b) codes.push_back(std::string{a, b});
    }
    // Three-letter pinyin codes get lists when they match many entries.
    for (const char* two : {"zh", "ji", "xi", "sh", "yi", "hu", "xq"})
        for (char c = 'a'; c <= 'z'; ++c) {
            codes.push_back(two + std::string(1, c));
            codes.push_back(two + std::string(1, c) + "n");  // searched from the list's matches
        }
    // Longer pinyin codes are searched among their first four letters' matches: every
    // prefix of the first words of the pinyin corpus.
    size_t words = 0;
    for (const std::string& line : KeyCorpus(ZL_TEST_BENCH_DIR, "pinyin_keys.txt", aside.dict)) {
        std::string run;
        for (char c : line)
            if (c >= 'a' && c <= 'z' && run.size() < 12) run += c;
        for (size_t n = 4; n <= run.size(); ++n) codes.push_back(run.substr(0, n));
        if (++words == 300) break;
    }
    struct Case {
        zl::Mode mode;
        int gbkOnly;
    };
    for (const Case& c : {Case{zl::kModeWubi, 0}, Case{zl::kModePinyin, 0}, Case{zl::kModeMixed, 1},
                          Case{zl::kModeMixed, 0}, Case{zl::kModeWubi, 1}}) {
        zl::Engine onKeys;  // never takes a short list: its dictionary was not loaded by Init
        ASSERT_TRUE(onKeys.dict.Load(ZL_TEST_DICT));
        onKeys.mode = c.mode;
        onKeys.config.gbkOnly = c.gbkOnly;
        // Counts and promotions for texts deep in some lists, where they move most.
        aside.userFreq.clear();
        aside.promotions.clear();
        for (const char* code : {"a", "sh", "gg", "x"}) {
            onKeys.code = code;
            onKeys.Update();
            for (size_t i = 20; i < onKeys.candidates.size(); i += 25) {
                aside.userFreq[onKeys.candidates[i].text] = static_cast<uint32_t>(i);
                aside.promotions[std::wstring(code, code + std::strlen(code)) + L'\x0001' +
                                 onKeys.candidates[i + 3 < onKeys.candidates.size() ? i + 3 : i].text] =
                    static_cast<uint32_t>(i);
            }
        }
        onKeys.userFreq = aside.userFreq;
        onKeys.promotions = aside.promotions;

        aside.Clear();
        aside.mode = c.mode;
        aside.config.gbkOnly = c.gbkOnly;
        aside.Update();
        aside.OnLetter('q');  // a first letter in other settings starts the lists again
        while (!aside.dict.WarmedUp()) Sleep(1);
        for (const std::string& code : codes) {
            aside.Clear();
            for (char letter : code) aside.OnLetter(letter);
            if (aside.code != code) continue;  // a letter the scheme does not take here
            onKeys.userFreq = aside.userFreq;  // four Wubi letters may commit on their own
            onKeys.code = code;
            onKeys.Update();
            ASSERT_EQ(aside.candidates.size(), onKeys.candidates.size()) << code << " mode " << c.mode;
            for (size_t i = 0; i < onKeys.candidates.size(); ++i) {
                const zl::Candidate& x = aside.candidates[i];
                const zl::Candidate& y = onKeys.candidates[i];
                ASSERT_TRUE(x.text == y.text && x.code == y.code && x.freq == y.freq && x.userCount == y.userCount &&
                            x.promote == y.promote && x.tier == y.tier)
                    << code << " mode " << c.mode << " gbk " << c.gbkOnly << " at " << i;
            }
            ASSERT_EQ(aside.wubiCount, onKeys.wubiCount) << code;
            ASSERT_EQ(aside.exactCount, onKeys.exactCount) << code;
            ASSERT_EQ(aside.pinyinLonger, onKeys.pinyinLonger) << code;
        }
    }
}
