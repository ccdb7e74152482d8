#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DictKit.h"
#include "InputKeys.h"
#include "Options.h"
#include "UserFolder.h"

namespace {

// The demonstration box over a small hand-made dictionary, its settings file in a
// private user folder.
class InputBoxTest : public ::testing::Test {
protected:
    zltest::UserFolder user;
    zltest::TempDir dictDir;
    zl::Engine engine;
    zl::Config cfg;
    std::wstring text;

    void SetUp() override {
        ASSERT_TRUE(zltest::LoadImage(dictDir,
                                      zltest::BuildImage({
                                          zltest::Wubi(L"一", "g", 100),
                                          zltest::Wubi(L"五", "gg", 90),
                                          zltest::Wubi(L"王", "ggg", 80),
                                          zltest::Wubi(L"天", "gd", 70),
                                          zltest::Wubi(L"经", "xca", 50),
                                          zltest::Pinyin(L"你好", {"ni", "hao"}, 50),
                                      }),
                                      engine.dict));
        zldemo::ApplyOptions(engine, cfg);
    }

    // Key-downs: letters by their lower-case characters, anything else by its key.
    bool Keys(const std::vector<UINT>& keys, bool shift = false) {
        bool repaint = false;
        for (UINT vk : keys) repaint = zldemo::InputKeyDown(engine, cfg, text, vk, shift);
        return repaint;
    }
    void Type(const char* letters) {
        for (const char* p = letters; *p; ++p) Keys({static_cast<UINT>(*p - 'a' + 'A')});
    }
};

}  // namespace

TEST_F(InputBoxTest, SpaceDigitsEnterEscapeAndBackspace) {
    Type("xca");
    EXPECT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(Keys({VK_SPACE}));  // nothing typed: a space
    EXPECT_FALSE(Keys({'3'}));      // nothing typed: no digit
    Type("g");
    ASSERT_GE(engine.candidates.size(), 2u);
    const std::wstring second = engine.candidates[1].text;
    EXPECT_TRUE(Keys({'2'}));
    EXPECT_EQ(text, L"经 " + second);

    Type("gg");
    EXPECT_TRUE(Keys({VK_BACK}));
    EXPECT_EQ(engine.code, "g");
    EXPECT_TRUE(Keys({VK_RETURN}));  // clears the code, adds no line feed
    EXPECT_EQ(text, L"经 " + second);
    EXPECT_TRUE(Keys({VK_RETURN}));
    EXPECT_EQ(text, L"经 " + second + L"\n");
    Type("gd");
    EXPECT_TRUE(Keys({VK_ESCAPE}));
    EXPECT_FALSE(Keys({VK_ESCAPE}));

    EXPECT_TRUE(Keys({VK_BACK, VK_BACK, VK_BACK}));  // nothing typed: the text shrinks
    EXPECT_EQ(text, L"经");
    EXPECT_TRUE(Keys({VK_BACK}));
    EXPECT_FALSE(Keys({VK_BACK}));
    EXPECT_FALSE(Keys({VK_F5}));
}

TEST_F(InputBoxTest, PageKeysAndArrows) {
    cfg.pageSize = 2;
    zldemo::ApplyOptions(engine, cfg);
    Type("g");
    ASSERT_GE(engine.candidates.size(), 3u);
    EXPECT_FALSE(Keys({VK_PRIOR}));
    EXPECT_TRUE(Keys({VK_NEXT, VK_UP, VK_DOWN}));
    EXPECT_EQ(engine.page, 1u);
    const std::wstring third = engine.candidates[2].text;
    Keys({VK_SPACE});  // the first candidate of the shown page
    EXPECT_EQ(text, third);
}

TEST_F(InputBoxTest, TabCyclesSchemeDropsCodeAndSaves) {
    for (int scheme : {1, 2, 0}) {
        Type("gg");
        EXPECT_TRUE(Keys({VK_TAB}));
        EXPECT_EQ(engine.mode, scheme);
        EXPECT_TRUE(engine.code.empty());
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"方案", L"默认", -1, cfg.Path().c_str())), scheme);
        EXPECT_EQ(zldemo::StatusLine(engine),
                  std::wstring(L"当前方案：") + zldemo::SchemeName(scheme) + L"    候选数：0    编码：");
    }
    EXPECT_TRUE(text.empty());
    Keys({VK_TAB});
    Type("nihao");
    EXPECT_EQ(engine.candidates.at(0).text, L"你好");
    // The menu's scheme items: the current one keeps the code, another drops it.
    zldemo::SelectScheme(engine, cfg, 1);
    EXPECT_EQ(engine.code, "nihao");
    zldemo::SelectScheme(engine, cfg, 2);
    EXPECT_TRUE(engine.code.empty());
}

TEST_F(InputBoxTest, PunctuationKeys) {
    const struct {
        UINT vk;
        bool shift;
        const wchar_t* chinese;
        const wchar_t* plain;  // with Chinese punctuation off
    } cases[] = {
        {VK_OEM_COMMA, false, L"，", L","}, {VK_OEM_1, true, L"：", L":"},
        {VK_OEM_4, false, L"【", L"["},     {VK_OEM_MINUS, true, L"——", L"_"},
    };
    for (int chinese : {1, 0}) {
        cfg.chinesePunct = chinese;
        zldemo::ApplyOptions(engine, cfg);
        for (const auto& c : cases) {
            text.clear();
            EXPECT_TRUE(Keys({c.vk}, c.shift));
            EXPECT_EQ(text, chinese ? c.chinese : c.plain) << c.vk;
        }
    }
    cfg.chinesePunct = 1;
    zldemo::ApplyOptions(engine, cfg);
    text.clear();
    Keys({VK_OEM_7, VK_OEM_7}, true);  // double quotes open and close
    EXPECT_EQ(text, L"“”");
}

TEST_F(InputBoxTest, CandidateWindowRequest) {
    EXPECT_FALSE(zldemo::WantsCandidates(engine));
    cfg.fontSize = 20;
    cfg.pageSize = 3;
    cfg.vertical = 1;
    cfg.showCode = 0;
    zldemo::ApplyOptions(engine, cfg);
    Type("g");
    ASSERT_TRUE(zldemo::WantsCandidates(engine));
    const zl::CandShow s = zldemo::CandShowFor(engine, cfg, POINT{100, 200});
    EXPECT_EQ(std::make_pair(s.x, s.y), std::make_pair(120, 248));
    EXPECT_EQ(s.pageSize, 3u);
    EXPECT_EQ(s.horizontal, 0);
    EXPECT_EQ(s.showCode, 0);
    EXPECT_EQ(s.showPageIndicator, 1);
    cfg.fontSize = 13;
    EXPECT_EQ(zldemo::CandShowFor(engine, cfg, POINT{0, 0}).y, 31);  // 31.2 rounded down
}
