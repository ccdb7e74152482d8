// Damaged dictionary files: whatever bytes a file holds, loading, searching and typing
// over it neither crash nor return ids of entries that cannot be read.
#include <iterator>
#include <random>

#include "EngineKit.h"

using namespace zltest;

namespace {

// What the reads add up to, kept so that none of them is left out.
volatile size_t g_sink;

// Every search and key below, over one image; false when the load refused it.
bool Exercise(const TempDir& dir, const std::vector<uint8_t>& image) {
    zl::Engine engine;
    if (!LoadImage(dir, image, engine.dict)) return false;
    const zl::Dict& d = engine.dict;
    size_t touched = 0;
    auto touch = [&](const std::vector<uint32_t>& ids, const std::string& code) {
        for (uint32_t id : ids) {
            zl::DictEntry e;
            ASSERT_TRUE(d.GetEntry(id, e)) << "search for " << code << " returned an unreadable id " << id;
            for (wchar_t u : d.Text(e)) touched += u;
            for (char c : d.Code(e)) touched += static_cast<unsigned char>(c);
            for (char c : d.Pinyin(e).substr(0, 64)) touched += static_cast<unsigned char>(c);
        }
    };
    std::vector<uint32_t> ids, filtered;
    for (const char* code : {"a", "g", "s", "z", "zz", "zzzz", "az", "gz", "za", "yzzz", "ggll", "abcd", "sh", "zh",
                             "zho", "zhong", "zhongguo", "zg", "lu", "lv", "nu", "xiang", "eee", "aaaaaaaaaaaa"}) {
        for (uint64_t max : {0, 1, 100}) {
            d.SearchWubi(code, ids, max);
            touch(ids, code);
            d.SearchPinyin(code, ids, max);
            touch(ids, code);
            d.FilterPinyin(std::string(code) + "a", ids, filtered, 1000);
            touch(filtered, code);
            d.SearchPinyinPlain(code, ids, max);
            touch(ids, code);
        }
    }
    for (zl::Mode mode : {zl::kModeWubi, zl::kModePinyin, zl::kModeMixed}) {
        engine.mode = mode;
        for (const char* keys : {"a", "ggll", "gz", "zz", "zhongguo", "xiangx", "lue", "sh"}) {
            engine.Clear();
            for (const char* k = keys; *k; ++k) {
                engine.OnLetter(*k);
                EXPECT_LE(engine.candidates.size(), zl::Engine::kMaxCandidates);
                for (const zl::Candidate& c : engine.candidates) {
                    EXPECT_FALSE(c.text.empty()) << keys;
                    touched += c.text.size() + c.code.size();
                }
            }
            engine.OnBackspace();
            engine.OnSpace();
            std::wstring taken;
            engine.TakeCommit(taken);
            touched += taken.size();
        }
    }
    g_sink = touched;
    return true;
}

}  // namespace

TEST(DamagedDict, AnyDamageIsRefusedOrSkipped) {
    std::mt19937 random(2024);
    const char* syllables[] = {"a", "ai", "zhong", "guo", "zhuang", "shi", "lve", "nv", "xiang", "e", "er", "qiong"};
    std::vector<zl::DictSource> entries;
    for (int i = 0; i < 96; ++i) {
        if (i % 2 == 0) {
            std::string code;
            for (size_t n = 1 + random() % 4; code.size() < n;) code += static_cast<char>('a' + random() % 25);
            entries.push_back(Wubi(Han(i % 40), code, random() % 1000));
        } else {
            std::vector<std::string> reading;
            for (size_t n = 1 + random() % 3; reading.size() < n;) reading.push_back(syllables[random() % 12]);
            entries.push_back(Pinyin(Han(i % 40), reading, random() % 1000));
        }
    }
    const std::vector<uint8_t> image = BuildImage(entries);
    ASSERT_FALSE(image.empty());
    const zl::DictHeader h = HeaderOf(image);
    const uint32_t size = static_cast<uint32_t>(image.size());
    // Each region of the file, so that damage lands in every one of them.
    const uint32_t jump2 = h.index3Offset + 4 * (2 + 26 * 26 + 1), jump3 = h.index4Offset + 4 * (2 + 26 * 26 * 26 + 1);
    const std::pair<uint32_t, uint32_t> regions[] = {
        {0, 72},
        {72, h.textPoolOffset},
        {h.textPoolOffset, h.codeIndexOffset},
        {h.codeIndexOffset, h.pinyinIndexOffset},
        {h.pinyinIndexOffset, h.codePoolOffset},
        {h.codePoolOffset, h.pinyinPoolOffset},
        {h.pinyinPoolOffset, h.index3Offset},
        {h.index3Offset, h.index3Offset + 16},
        {jump2, h.index4Offset},
        {h.index4Offset, h.index4Offset + 16},
        {jump3, size},
    };
    const uint32_t values[] = {0, 1, 2, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, size, size - 1, size / 2, 676};

    TempDir dir;
    ASSERT_TRUE(Exercise(dir, image));
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad = image;
        for (int edit = 1 + random() % 6; edit > 0; --edit) {
            const auto& region = regions[random() % std::size(regions)];
            ASSERT_LT(region.first, region.second);
            const uint32_t at = region.first + random() % (region.second - region.first);
            switch (random() % 4) {
            case 0:
                bad[at] ^= static_cast<uint8_t>(1u << random() % 8);
                break;
            case 1:
                bad[at] = static_cast<uint8_t>("\0'az\x80\xff"[random() % 6]);
                break;
            default:
                if (at / 4 * 4 + 4 <= bad.size()) SetU32(bad, at / 4 * 4, values[random() % std::size(values)]);
                break;
            }
        }
        if (random() % 4 == 0) bad.resize(random() % bad.size());
        loaded += Exercise(dir, bad);
        if (HasFatalFailure()) return;
    }
    // Most damage leaves a file that loads, so the searches did run over it.
    EXPECT_GT(loaded, 150);
}
