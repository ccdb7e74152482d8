// Lists served from those the engine keeps must equal lists built afresh, after every key
// of both key corpora, while commits change use counts, promotions are made and the
// settings that shape the list change.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Engine.h"
#include "UserFolder.h"

using namespace zltest;

namespace {

std::vector<std::string> ReadCorpus(const char* name, size_t most) {
    std::vector<std::string> actions;
    std::ifstream in(std::string(ZL_TEST_BENCH_DIR) + "/" + name);
    for (std::string line; std::getline(in, line) && actions.size() < most;) {
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
    // More commits than the engine logs, so that lists older than its log are met too.
    constexpr size_t kActions = 1500;
    for (const char* corpus : {"wubi_keys.txt", "pinyin_keys.txt"}) {
        const std::vector<std::string> actions = ReadCorpus(corpus, kActions);
        if (actions.empty()) GTEST_SKIP() << "no key corpus at " << ZL_TEST_BENCH_DIR;
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
                    Press(typed, actions[a][k]);
                    std::wstring committed;
                    if (typed.TakeCommit(committed)) fresh.Learn(committed);
                    if (a % 40 == 7 && k == 0 && typed.PromoteOnPage(1)) fresh.promotions = typed.promotions;
                    fresh.code = typed.code;
                    fresh.tempPinyin = typed.tempPinyin;
                    fresh.Update();
                    ASSERT_TRUE(SameList(typed, fresh))
                        << corpus << " mode " << mode << " action " << a << " code " << typed.code;
                }
                typed.Clear();
            }
            EXPECT_EQ(typed.userFreq, fresh.userFreq);
        }
    }
}
