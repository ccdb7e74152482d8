// Loading checks, and damaged files: nothing outside the file or a pool is ever read.
#include <gtest/gtest.h>

#include <memory>

#include "DictKit.h"

using namespace zltest;
using Ids = std::vector<uint32_t>;
using WStrs = std::vector<std::wstring>;

namespace {

std::vector<zl::DictSource> Sample() {
    return {Wubi(L"工", "a", 10), Wubi(L"式", "aa", 9), Wubi(L"一", "ggll", 8), Pinyin(L"中国", {"zhong", "guo"}, 7),
            Pinyin(L"种", {"zhong"}, 6)};
}

class DictLoad : public ::testing::Test {
protected:
    TempDir dir;
    std::vector<uint8_t> image = BuildImage(Sample());

    // Loads image into a fresh dictionary and returns what "a" (Wubi) and "zh" (pinyin) find.
    bool LoadAndSearch(const std::vector<uint8_t>& img, Ids& wubi, Ids& pinyin) {
        zl::Dict d;
        const bool ok = LoadImage(dir, img, d);
        d.SearchWubi("a", wubi, 100);
        d.SearchPinyin("zh", pinyin, 100);
        return ok;
    }
};

}  // namespace

TEST_F(DictLoad, AHeaderOnlyFileLoadsAndFindsNothing) {
    zl::DictHeader h{};
    std::memcpy(h.magic, zl::kDictMagic, 8);
    h.version = 1;
    std::vector<uint8_t> img(sizeof h);
    SetHeader(img, h);
    Ids w, p;
    EXPECT_TRUE(LoadAndSearch(img, w, p));
    EXPECT_TRUE(w.empty());
    EXPECT_TRUE(p.empty());
}

TEST_F(DictLoad, RejectsWrongMagicVersionAndShortFiles) {
    Ids w, p;
    ASSERT_TRUE(LoadAndSearch(image, w, p));
    EXPECT_EQ(w.size(), 2u);
    EXPECT_EQ(p.size(), 2u);

    auto lower = image;
    lower[0] = 'z';
    EXPECT_FALSE(LoadAndSearch(lower, w, p));
    auto v2 = image;
    SetU32(v2, 8, 2);
    EXPECT_FALSE(LoadAndSearch(v2, w, p));
    EXPECT_FALSE(LoadAndSearch(std::vector<uint8_t>(image.begin(), image.begin() + 71), w, p));
    EXPECT_FALSE(LoadAndSearch({}, w, p));

    zl::Dict missing;
    EXPECT_FALSE(missing.Load(dir.File(L"none.dat")));
    missing.SearchWubi("a", w, 100);
    EXPECT_TRUE(w.empty());
}

TEST_F(DictLoad, EveryRegionMustEndInsideTheFile) {
    Ids w, p;
    const uint32_t size = static_cast<uint32_t>(image.size());
    struct Case {
        const char* name;
        size_t offsetField, countField;
        uint32_t unit;
    } cases[] = {
        {"text pool", 16, 20, 2},       {"pinyin pool", 24, 28, 1},    {"code pool", 32, 36, 1},
        {"pinyin index", 44, 48, 4},    {"index 3", 52, 56, 4},        {"index 4", 60, 64, 4},
    };
    for (const Case& c : cases) {
        // A region ending exactly at the end of the file is fine, one byte further is not.
        auto fits = image;
        SetU32(fits, c.countField, 1);
        SetU32(fits, c.offsetField, size - c.unit);
        auto over = image;
        SetU32(over, c.countField, 1);
        SetU32(over, c.offsetField, size - c.unit + 1);
        auto wrap = image;
        SetU32(wrap, c.countField, 0xFFFFFFFFu);
        SetU32(wrap, c.offsetField, 0xFFFFFFF0u);
        if (c.unit != 2) {
            EXPECT_TRUE(LoadAndSearch(fits, w, p)) << c.name;
        }
        EXPECT_FALSE(LoadAndSearch(over, w, p)) << c.name;
        EXPECT_TRUE(w.empty() && p.empty()) << c.name << ": a failed load must find nothing";
        EXPECT_FALSE(LoadAndSearch(wrap, w, p)) << c.name;
    }
    // The entry table and the code index are sized by the entry count.
    auto many = image;
    SetU32(many, 12, size / 20);
    EXPECT_FALSE(LoadAndSearch(many, w, p));
    EXPECT_TRUE(w.empty() && p.empty());
    auto codeIdx = image;
    SetU32(codeIdx, 40, size - 4);
    EXPECT_FALSE(LoadAndSearch(codeIdx, w, p));
}

TEST_F(DictLoad, IdsOutsideTheTableAreSkipped) {
    const zl::DictHeader h = HeaderOf(image);
    auto img = image;
    for (uint32_t i = 0; i < h.entryCount; ++i) {
        // Any index slot holding the id of 工 now points past the table.
        uint32_t id;
        std::memcpy(&id, img.data() + h.codeIndexOffset + 4 * i, 4);
        if (id == 0) SetU32(img, h.codeIndexOffset + 4 * i, 0xFFFFFFF0u);
    }
    for (uint32_t i = 0; i < h.pinyinIndexCount; ++i) SetU32(img, h.pinyinIndexOffset + 4 * i, h.entryCount);
    zl::Dict d;
    ASSERT_TRUE(LoadImage(dir, img, d));
    Ids ids;
    d.SearchWubi("a", ids, 100);
    EXPECT_EQ(Texts(d, ids), (WStrs{L"式"}));
    d.SearchWubi("z", ids, 100);
    EXPECT_EQ(ids.size(), 2u);
    d.SearchPinyin("zh", ids, 100);
    EXPECT_TRUE(ids.empty());
    zl::DictEntry e;
    EXPECT_FALSE(d.GetEntry(h.entryCount, e));
}

TEST_F(DictLoad, EntriesPointingOutsideTheirPoolsAreAbsent) {
    const zl::DictHeader h = HeaderOf(image);
    auto img = image;
    zl::DictEntry gong = EntryOf(img, 0);
    gong.textOff = h.textPoolUnits;  // text runs past its pool
    SetEntry(img, 0, gong);
    zl::DictEntry shi = EntryOf(img, 1);
    shi.codeOff = h.codePoolBytes - 1;  // code runs past its pool
    SetEntry(img, 1, shi);
    zl::DictEntry zhong = EntryOf(img, 4);
    zhong.pinyinOff = h.pinyinPoolBytes;  // pinyin starts past its pool
    SetEntry(img, 4, zhong);
    zl::Dict d;
    ASSERT_TRUE(LoadImage(dir, img, d));
    Ids ids;
    d.SearchWubi("a", ids, 100);
    EXPECT_TRUE(ids.empty());
    d.SearchWubi("zz", ids, 100);
    EXPECT_EQ(Texts(d, ids), (WStrs{L"一"}));
    d.SearchPinyin("zhong", ids, 100);
    EXPECT_EQ(Texts(d, ids), (WStrs{L"中国"}));
}

TEST_F(DictLoad, PinyinWithoutTerminatorStopsAtThePoolEnd) {
    // One entry whose pinyin fills the pool to its last byte with no NUL, and claims
    // more syllables than the pool holds.
    auto img = BuildImage({Pinyin(L"啊", {"a", "b"}, 1)});
    zl::DictHeader h = HeaderOf(img);
    img[h.pinyinPoolOffset + h.pinyinPoolBytes - 1] = 'c';
    zl::DictEntry e = EntryOf(img, 0);
    e.syllableCount = 200;
    SetEntry(img, 0, e);
    // Without the jump tables, which were made for the pool as it was.
    SetU32(img, 56, 0);
    SetU32(img, 64, 0);
    zl::Dict d;
    ASSERT_TRUE(LoadImage(dir, img, d));
    Ids ids;
    d.SearchPinyin("abc", ids, 100);
    EXPECT_EQ(ids.size(), 1u);
    d.SearchPinyin("abcd", ids, 100);
    EXPECT_TRUE(ids.empty());
}

TEST_F(DictLoad, AnUnalignedTextPoolIsRejected) {
    auto img = image;
    SetU32(img, 16, HeaderOf(img).textPoolOffset + 1);
    SetU32(img, 20, 0);
    Ids w, p;
    EXPECT_FALSE(LoadAndSearch(img, w, p));
}

TEST_F(DictLoad, DamagedIdsDoNotHideTheirNeighbours) {
    std::vector<zl::DictSource> entries;
    const char* codes[] = {"a", "aa", "ab", "b", "ba", "bb", "bc", "c"};
    for (int i = 0; i < 64; ++i) entries.push_back(Wubi(std::to_wstring(i), codes[i % 8], 100 - i));
    for (int i = 0; i < 64; ++i) entries.push_back(Pinyin(std::to_wstring(100 + i), {codes[i % 8]}, 100 - i));
    auto img = BuildImage(entries);
    const zl::DictHeader h = HeaderOf(img);
    for (int stride : {2, 3, 5}) {
        auto bad = img;
        for (uint32_t i = 0; i < h.entryCount; i += stride) SetU32(bad, h.codeIndexOffset + 4 * i, 0xFFFFFFFFu);
        for (uint32_t i = 0; i < h.pinyinIndexCount; i += stride) SetU32(bad, h.pinyinIndexOffset + 4 * i, 0xFFFFFFFFu);
        zl::Dict d;
        ASSERT_TRUE(LoadImage(dir, bad, d));
        for (const char* code : {"a", "aa", "ab", "b", "ba", "bb", "bc", "c", "z", "zz", "az", "zb", "zzz"}) {
            // Expected: the present entries of the walk, found by a plain scan of the index.
            size_t wubi = 0, pinyin = 0;
            for (uint32_t i = 0; i < h.entryCount; ++i) {
                uint32_t id;
                std::memcpy(&id, bad.data() + h.codeIndexOffset + 4 * i, 4);
                zl::DictEntry e;
                if (!d.GetEntry(id, e)) continue;
                const bool wild = std::strchr(code, 'z') != nullptr;
                if (wild ? zl::Dict::WildMatch(d.Code(e), code) : d.Code(e).substr(0, std::strlen(code)) == code) ++wubi;
            }
            for (uint32_t i = 0; i < h.pinyinIndexCount; ++i) {
                uint32_t id;
                std::memcpy(&id, bad.data() + h.pinyinIndexOffset + 4 * i, 4);
                zl::DictEntry e;
                if (d.GetEntry(id, e) && d.Pinyin(e).substr(0, std::strlen(code)) == code) ++pinyin;
            }
            Ids ids;
            d.SearchWubi(code, ids, 100);
            EXPECT_EQ(ids.size(), wubi) << code << " stride " << stride;
            d.SearchPinyin(code, ids, 100);
            EXPECT_EQ(ids.size(), pinyin) << code << " stride " << stride;
        }
    }
}

TEST_F(DictLoad, ReloadingOrDroppingADictionaryWhileItWarmsUpIsSafe) {
    // A large enough file that the warm-up is still touching pages when it is stopped.
    std::vector<zl::DictSource> many;
    for (int i = 0; i < 20000; ++i) many.push_back(Wubi(std::wstring(1, static_cast<wchar_t>(0x4E00 + i)), "abcd", i));
    const auto big = BuildImage(many);
    for (int round = 0; round < 20; ++round) {
        auto d = std::make_unique<zl::Dict>();
        ASSERT_TRUE(LoadImage(dir, big, *d));
        d->WarmUp();
        if (round % 2 == 0) {
            ASSERT_TRUE(LoadImage(dir, image, *d));  // unmaps what the warm-up was reading
            Ids w;
            d->SearchWubi("a", w, 100);
            EXPECT_EQ(w.size(), 2u);
        }
        d.reset();
    }
}
