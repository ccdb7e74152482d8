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
                                          zltest::Wubi(L"经", "xca", 50),
                                          zltest::Pinyin(L"你好", {"ni", "hao"}, 50),
                                      }),
                                      engine.dict));
        zldemo::ApplyOptions(engine, cfg);
    }

    // Key-downs: lower-case letters stand for their keys; the result of the last one.
    bool Keys(const std::string& letters, std::vector<UINT> keys = {}, bool shift = false) {
        bool repaint = false;
        for (char c : letters) repaint = zldemo::InputKeyDown(engine, cfg, text, static_cast<UINT>(c - 'a' + 'A'), shift);
        for (UINT vk : keys) repaint = zldemo::InputKeyDown(engine, cfg, text, vk, shift);
        return repaint;
    }
};

}  // namespace

TEST_F(InputBoxTest, KeysOverTheEngineAndTheText) {
    const struct {
        const char* letters;
        std::vector<UINT> keys;
        bool repaint;
        const wchar_t* text;
        const char* code;
    } steps[] = {
        {"xca", {VK_SPACE}, true, L"经", ""},
        {"", {VK_SPACE}, true, L"经 ", ""},  // nothing typed: a space
        {"", {'3'}, false, L"经 ", ""},      // nothing typed: no digit
        {"g", {'2'}, true, L"经 五", ""},
        {"gg", {VK_BACK}, true, L"经 五", "g"},
        {"", {VK_RETURN}, true, L"经 五", ""},  // Enter while typing adds no line feed
        {"", {VK_RETURN}, true, L"经 五\n", ""},
        {"g", {VK_ESCAPE}, true, L"经 五\n", ""},
        {"", {VK_ESCAPE}, false, L"经 五\n", ""},
        {"", {VK_BACK, VK_BACK}, true, L"经 ", ""},  // nothing typed: the text shrinks
        {"", {VK_F5}, false, L"经 ", ""},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(Keys(s.letters, s.keys), s.repaint) << s.letters;
        EXPECT_EQ(text, s.text) << s.letters;
        EXPECT_EQ(engine.code, s.code);
    }
    text = L"a\U00020000";  // Backspace takes a character outside the BMP whole
    EXPECT_TRUE(Keys("", {VK_BACK}));
    EXPECT_EQ(text, L"a");
    EXPECT_TRUE(Keys("", {VK_BACK}));
    EXPECT_FALSE(Keys("", {VK_BACK}));
    EXPECT_EQ(text, L"");
}

TEST_F(InputBoxTest, PageKeysAndArrows) {
    cfg.pageSize = 2;
    zldemo::ApplyOptions(engine, cfg);
    EXPECT_FALSE(Keys("g", {VK_PRIOR}));
    EXPECT_TRUE(Keys("", {VK_NEXT, VK_UP, VK_DOWN}));
    EXPECT_EQ(engine.page, 1u);
    Keys("", {VK_SPACE});  // the first candidate of the shown page
    EXPECT_EQ(text, L"王");
}

TEST_F(InputBoxTest, TabCyclesSchemeDropsCodeAndSaves) {
    const std::wstring ini = cfg.Path();
    cfg.Save();
    for (int scheme : {1, 2, 0}) {
        // Changed on disk by the input method meanwhile: Tab keeps it.
        WritePrivateProfileStringW(L"界面", L"竖排", std::to_wstring(scheme).c_str(), ini.c_str());
        EXPECT_TRUE(Keys("gg", {VK_TAB}));
        EXPECT_EQ(engine.mode, scheme);
        EXPECT_TRUE(engine.code.empty());
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"方案", L"默认", -1, ini.c_str())), scheme);
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"界面", L"竖排", -1, ini.c_str())), scheme);
        EXPECT_EQ(engine.config.vertical, scheme);
        EXPECT_EQ(zldemo::StatusLine(engine),
                  std::wstring(L"当前方案：") + zldemo::SchemeName(scheme) + L"    候选数：0    编码：");
    }
    EXPECT_TRUE(text.empty());
    Keys("", {VK_TAB});
    Keys("nihao");
    ASSERT_FALSE(engine.candidates.empty());
    EXPECT_EQ(engine.candidates[0].text, L"你好");
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
        {VK_OEM_7, true, L"“", L"\""},
    };
    for (int chinese : {1, 0}) {
        cfg.chinesePunct = chinese;
        zldemo::ApplyOptions(engine, cfg);
        for (const auto& c : cases) {
            text.clear();
            EXPECT_TRUE(Keys("", {c.vk}, c.shift));
            EXPECT_EQ(text, chinese ? c.chinese : c.plain) << c.vk;
        }
    }
}

TEST_F(InputBoxTest, CandidateWindowRequest) {
    EXPECT_FALSE(zldemo::WantsCandidates(engine));
    cfg.fontSize = 20;
    cfg.pageSize = 3;
    cfg.vertical = 1;
    cfg.showCode = 0;
    zldemo::ApplyOptions(engine, cfg);
    Keys("g");
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
