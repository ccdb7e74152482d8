// From table rows to dictionary file: merging, the GBK filter, index order, and the
// tool's all-or-nothing output.
#include <gtest/gtest.h>

#include <windows.h>

#include "DictBuild.h"
#include "DictKit.h"

using namespace zltest;
using Ids = std::vector<uint32_t>;
using WStrs = std::vector<std::wstring>;

namespace {

zl::RimeRow Row(const std::wstring& text, const std::string& key, uint32_t weight, size_t line = 1) {
    return zl::RimeRow{text, key, weight, line};
}

const std::wstring kOutsideGbk = L"\U00020000";  // a surrogate pair: never GBK

}  // namespace

TEST(DictBuild, MergesDuplicatesKeepingTheHeaviestWeight) {
    zl::DictWriter w;
    zl::DictBuildStats st;
    std::string error;
    ASSERT_TRUE(zl::BuildDictSources({Row(L"日", "jjjj", 5), Row(L"日", "jjjj", 9), Row(L"日", "j", 1)},
                                     {Row(L"日", "ri", 3), Row(L"日", "ri", 2), Row(L"中国", "zhong guo", 8)}, {}, w,
                                     st, error))
        << error;
    EXPECT_EQ(st.wubiEntries, 2u);
    EXPECT_EQ(st.pinyinEntries, 2u);
    EXPECT_EQ(st.duplicates, 2u);

    TempDir dir;
    std::vector<uint8_t> image;
    ASSERT_TRUE(w.Build(image, error));
    zl::Dict d;
    ASSERT_TRUE(LoadImage(dir, image, d));
    Ids ids;
    d.SearchWubi("jjjj", ids, 100);
    ASSERT_EQ(ids.size(), 1u) << "one entry per (text, code) keeps four-letter auto-commit possible";
    zl::DictEntry e;
    ASSERT_TRUE(d.GetEntry(ids[0], e));
    EXPECT_EQ(e.freq, 9u);
    EXPECT_EQ(e.syllableCount, 0u) << "Wubi entries carry no pinyin";
    d.SearchPinyin("zg", ids, 100);
    ASSERT_EQ(Texts(d, ids), WStrs{L"中国"});
    ASSERT_TRUE(d.GetEntry(ids[0], e));
    EXPECT_EQ(e.codeLen, 0u) << "pinyin entries carry no Wubi code";
    EXPECT_EQ(std::string(d.Pinyin(e).substr(0, 10)), std::string("zhong'guo\0", 10));
}

TEST(DictBuild, EntriesLieInSearchOrderWithTiesInTableOrder) {
    zl::DictWriter w;
    zl::DictBuildStats st;
    std::string error;
    ASSERT_TRUE(zl::BuildDictSources({Row(L"乙", "b", 1), Row(L"甲", "a", 1), Row(L"丙", "a", 1), Row(L"丁", "a", 7)},
                                     {Row(L"戊", "wu", 1), Row(L"己", "ji", 1), Row(L"庚", "jing", 1)}, {}, w, st,
                                     error))
        << error;
    TempDir dir;
    std::vector<uint8_t> image;
    ASSERT_TRUE(w.Build(image, error));
    zl::Dict d;
    ASSERT_TRUE(LoadImage(dir, image, d));
    Ids all(d.EntryCount());
    for (uint32_t id = 0; id < all.size(); ++id) all[id] = id;
    // Wubi by code, heavier first; then pinyin by first letter; equals in table order.
    EXPECT_EQ(Texts(d, all), (WStrs{L"丁", L"甲", L"丙", L"乙", L"己", L"庚", L"戊"}));
}

TEST(DictBuild, DropsNonGbkTextsUnlessAskedForEveryCharacter) {
    const std::vector<zl::RimeRow> wubi = {Row(kOutsideGbk, "fffa", 1), Row(L"一", "ggll", 2), Row(L"€", "zzoo", 3)};
    zl::DictBuildStats st;
    std::string error;
    zl::DictWriter gbk;
    ASSERT_TRUE(zl::BuildDictSources(wubi, {}, {}, gbk, st, error));
    EXPECT_EQ(st.droppedNonGbk, 1u);
    EXPECT_EQ(gbk.Size(), 2u) << "the euro sign is in code page 936 as Windows sees it";
    zl::DictWriter all;
    ASSERT_TRUE(zl::BuildDictSources(wubi, {}, zl::DictBuildOptions{true}, all, st, error));
    EXPECT_EQ(all.Size(), 3u);
}

TEST(DictBuild, BadRowsAreReportedWithTheirTableAndLine) {
    zl::DictWriter w;
    zl::DictBuildStats st;
    std::string error;
    EXPECT_FALSE(zl::BuildDictSources({Row(L"工", "A1", 1, 42)}, {}, {}, w, st, error));
    EXPECT_NE(error.find("wubi line 42"), std::string::npos) << error;
    EXPECT_FALSE(zl::BuildDictSources({}, {Row(L"工", "gong2", 1, 7)}, {}, w, st, error));
    EXPECT_NE(error.find("pinyin line 7"), std::string::npos) << error;
}

TEST(DictBuild, IndexesOrderCodesThenWeight) {
    const auto image = BuildImage({Wubi(L"b", "ab", 1), Wubi(L"a", "a", 1), Wubi(L"c", "ab", 7), Pinyin(L"p", {"ba"}, 1),
                                   Pinyin(L"q", {"a"}, 2), Pinyin(L"r", {"bo"}, 5)});
    const zl::DictHeader h = HeaderOf(image);
    std::vector<uint32_t> code(h.entryCount), py(h.pinyinIndexCount);
    std::memcpy(code.data(), image.data() + h.codeIndexOffset, 4 * code.size());
    std::memcpy(py.data(), image.data() + h.pinyinIndexOffset, 4 * py.size());
    EXPECT_EQ(code, (std::vector<uint32_t>{5, 4, 3, 1, 2, 0})) << "code-less first, then a, then ab; heavier first";
    EXPECT_EQ(py, (std::vector<uint32_t>{4, 5, 3}));
}

TEST(DictGenTool, AFailedRunLeavesTheOldFileWhole) {
    TempDir dir;
    const std::wstring out = dir.File(L"zlwb.dat");
    const std::wstring wubi = dir.File(L"wubi.yaml");
    const std::wstring pinyin = dir.File(L"pinyin.yaml");
    ASSERT_TRUE(WriteBytes(out, std::string("previous")));
    ASSERT_TRUE(WriteBytes(wubi, std::string("...\n工\ta\t1\n")));
    ASSERT_TRUE(WriteBytes(pinyin, std::string("...\n工\tgong\t1\n错\n")));

    auto run = [&]() {
        std::wstring cmd = L"\"" ZL_DICTGEN L"\" --wubi \"" + wubi + L"\" --pinyin \"" + pinyin + L"\" --out \"" + out + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return static_cast<int>(code);
    };
    EXPECT_EQ(run(), 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadBytes(out, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "previous");
    EXPECT_EQ(GetFileAttributesW((out + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(WriteBytes(pinyin, std::string("...\n工\tgong\t1\n")));
    EXPECT_EQ(run(), 0);
    zl::Dict d;
    ASSERT_TRUE(d.Load(out));
    EXPECT_EQ(d.EntryCount(), 2u);
}
