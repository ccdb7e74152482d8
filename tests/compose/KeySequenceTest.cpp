// Arbitrary keys in arbitrary order: the engine's state stays within its bounds.
#include <random>

#include "EngineKit.h"

using namespace zltest;

namespace {

class KeySequence : public EngineTest {
protected:
    void CheckBounds(const char* after) {
        ASSERT_EQ(engine.shownCode, std::wstring(engine.code.begin(), engine.code.end())) << after;
        const bool pinyin = engine.mode == zl::kModePinyin || engine.tempPinyin;
        const size_t limit = pinyin ? 24 : engine.mode == zl::kModeMixed ? 20 : 4;
        ASSERT_LE(engine.code.size(), limit) << after;
        ASSERT_LE(engine.candidates.size(), 100u) << after;
        if (!engine.candidates.empty()) {
            ASSERT_LT(engine.page, engine.pageCount()) << after;
        }
    }

    // Every key the owner can send, plus the state it writes directly.
    void Replay(uint32_t seed, int steps, const char* letters) {
        std::mt19937 rng(seed);
        const size_t nLetters = std::strlen(letters);
        for (int i = 0; i < steps; ++i) {
            const char* op = "letter";
            switch (rng() % 16) {
            case 0: op = "backspace"; engine.OnBackspace(); break;
            case 1: op = "space"; engine.OnSpace(); break;
            case 2: op = "digit"; engine.OnDigit(static_cast<int>(rng() % 12) - 1); break;
            case 3: op = "enter"; if (rng() % 4 == 0) engine.OnEnter(); break;
            case 4: op = "escape"; if (rng() % 4 == 0) engine.OnEscape(); break;
            case 5: op = "page"; engine.OnPageKey(rng() % 2 == 0); break;
            case 6: op = "click"; engine.SelectOnPage(rng() % 10); break;
            case 7: op = "temp"; engine.BeginTempPinyin(); break;
            case 8:
                op = "scheme";
                engine.mode = static_cast<zl::Mode>(rng() % 3);
                engine.Clear();
                break;
            case 9:
                op = "settings";
                engine.config.pageSize = static_cast<int>(rng() % 12) - 2;
                engine.config.autoCommit4 = rng() % 2;
                engine.config.autoCommit5 = rng() % 2;
                engine.Update();
                break;
            default: engine.OnLetter(letters[rng() % nLetters]); break;
            }
            CheckBounds(op);
            std::wstring out;
            if (rng() % 3 == 0) engine.TakeCommit(out);
        }
    }
};

TEST_F(KeySequence, SmallDictionary) {
    std::vector<zl::DictSource> entries;
    const char* syl[] = {"a", "ai", "an", "ba", "bai", "ca", "zhong", "guo", "zha", "ang"};
    for (int i = 0; i < 300; ++i) {
        std::string c;
        for (int k = 0; k <= i % 4; ++k) c += static_cast<char>('a' + (i * 7 + k * 3) % 3 + (k == 0 ? 0 : 1));
        entries.push_back(Wubi(Han(i), c, i % 17));
        entries.push_back(Pinyin(Han(i % 250), {syl[i % 10], syl[(i / 10) % 10]}, i % 13));
    }
    entries.push_back(Wubi(L"\U00020000", "abc", 5));
    Load(entries);
    Replay(1, 20000, "abcdzhongui");
}

TEST_F(KeySequence, GeneratedDictionary) {
    ASSERT_TRUE(engine.dict.Load(ZL_TEST_DICT));
    Replay(7, 6000, "abcdefghijklmnopqrstuvwxyz");
    Replay(8, 4000, "zzxjianghen");
}

}  // namespace
