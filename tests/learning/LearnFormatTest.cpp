// The two file formats as bytes: what is written, and what survives damaged input.
#include <gtest/gtest.h>

#include "LearnFormat.h"

using zl::Promotions;
using zl::UseCounts;

namespace {

std::wstring Key(const std::wstring& code, const std::wstring& text) { return code + zl::kPromoteSep + text; }

TEST(LearnFormat, CountsParseLikeUnsignedDecimals) {
    uint32_t v = 7;
    EXPECT_TRUE(zl::ParseCount("12", v));
    EXPECT_EQ(v, 12u);
    EXPECT_TRUE(zl::ParseCount("  +5\r", v));
    EXPECT_EQ(v, 5u);
    EXPECT_TRUE(zl::ParseCount("0", v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(zl::ParseCount("42abc", v));
    EXPECT_EQ(v, 42u);
    EXPECT_TRUE(zl::ParseCount("4294967295", v));
    EXPECT_EQ(v, 4294967295u);
    EXPECT_TRUE(zl::ParseCount("99999999999999999999999", v));
    EXPECT_EQ(v, 4294967295u);

    v = 7;
    for (const char* bad : {"", " ", "-1", "-0", "+", "abc", "\t-3", "+-2"}) {
        EXPECT_FALSE(zl::ParseCount(bad, v)) << bad;
        EXPECT_EQ(v, 7u) << bad;
    }
}

TEST(LearnFormat, UseCountsWriteOneLinePerText) {
    UseCounts counts{{L"\x4E2D\x6587", 3}};
    std::string out;
    zl::FormatUseCounts(counts, out);
    EXPECT_EQ(out, "\xE4\xB8\xAD\xE6\x96\x87\t3\n");

    zl::FormatUseCounts({}, out);
    EXPECT_EQ(out, "");
}

TEST(LearnFormat, UseCountsRoundTrip) {
    UseCounts counts{{L"\x4E2D", 1},           {L"\x4E2D\x6587\x8F93\x5165", 100000},
                     {L"\xD83D\xDE00", 4},     {L"abc def", 0},
                     {L"\x00E9\x00DF", 4294967295u}};
    std::string out;
    zl::FormatUseCounts(counts, out);
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_NE(out.substr(0, 3), "\xEF\xBB\xBF");
    UseCounts back;
    zl::ParseUseCounts(out, back);
    EXPECT_EQ(back, counts);
}

TEST(LearnFormat, TextsThatWouldSplitALineAreNotWritten) {
    UseCounts counts{{L"ok", 1}, {L"a\tb", 2}, {L"a\rb", 3}, {L"a\nb", 4}, {L"", 5}};
    std::string out;
    zl::FormatUseCounts(counts, out);
    EXPECT_EQ(out, "ok\t1\n");

    Promotions promotions{{Key(L"gg", L"ok"), 1}, {Key(L"gg", L"x\ty"), 2}, {Key(L"gg", L""), 3},
                          {L"no separator", 4},  {Key(L"g\ng", L"z"), 5}};
    zl::FormatPromotions(promotions, out);
    EXPECT_EQ(out, "gg\tok\t1\n");
}

TEST(LearnFormat, DamagedUseCountLinesAreSkippedOneByOne) {
    const std::string bytes =
        "good\t5\n"
        "no tab at all\n"
        "\t9\n"                 // empty text
        "crlf\t12\r\n"          // the CR stops the number
        "neg\t-4\n"             // negative: would become huge
        "letters\tabc\n"        // no digits
        "blank\t\n"
        "twice\t1\n"
        "plus\t+8\n"
        "twice\t2\n"            // a later line wins
        "in\rner\t6\n"          // a CR inside the text
        "\xFF\xFE\t7\n"         // invalid UTF-8
        "\n\n"
        "last\t3";              // no final LF
    UseCounts counts;
    zl::ParseUseCounts(bytes, counts);
    const UseCounts expected{{L"good", 5}, {L"crlf", 12}, {L"twice", 2},
                             {L"plus", 8}, {L"\xFFFD\xFFFD", 7}, {L"last", 3}};
    EXPECT_EQ(counts, expected);
}

TEST(LearnFormat, PromotionsRoundTrip) {
    Promotions promotions{{Key(L"ggg", L"\x738B"), 3}, {Key(L"", L"\x4E00"), 1}, {Key(L"abcd", L"\xD83D\xDE00"), 9}};
    std::string out;
    zl::FormatPromotions(promotions, out);
    Promotions back;
    uint32_t max = 0;
    zl::ParsePromotions(out, back, max);
    EXPECT_EQ(back, promotions);
    EXPECT_EQ(max, 9u);

    zl::FormatPromotions({{Key(L"ggg", L"\x738B"), 3}}, out);
    EXPECT_EQ(out, "ggg\t\xE7\x8E\x8B\t3\n");
}

TEST(LearnFormat, DamagedPromotionLinesAreSkippedOneByOne) {
    const std::string bytes =
        "aa\tone tab only\n"
        "bb\tcrlf\t4\r\n"
        "cc\t\t5\n"              // empty text
        "\tnocode\t6\n"          // an empty code is allowed
        "dd\tneg\t-1\n"          // strtoul would make this the largest stamp
        "ee\tnone\tx\n"
        "ff\tbig\t99999999999\n" // saturates
        "g\x01g\tsep\t2\n"       // the key separator inside the code
        "hh\tlast\t3";
    Promotions promotions;
    uint32_t max = 0;
    zl::ParsePromotions(bytes, promotions, max);
    const Promotions expected{{Key(L"bb", L"crlf"), 4},
                              {Key(L"", L"nocode"), 6},
                              {Key(L"ff", L"big"), 4294967295u},
                              {Key(L"hh", L"last"), 3}};
    EXPECT_EQ(promotions, expected);
    EXPECT_EQ(max, 4294967295u);
}

TEST(LearnFormat, ByteOrderMarkFromAnEditorDoesNotJoinTheFirstLine) {
    UseCounts counts;
    zl::ParseUseCounts("\xEF\xBB\xBF\xE4\xB8\xAD\t7\nb\t2\n", counts);
    EXPECT_EQ(counts, (UseCounts{{L"\x4E2D", 7}, {L"b", 2}}));

    Promotions promotions;
    uint32_t max = 0;
    zl::ParsePromotions("\xEF\xBB\xBFggg\t\xE7\x8E\x8B\t3\r\n", promotions, max);
    EXPECT_EQ(promotions, (Promotions{{Key(L"ggg", L"\x738B"), 3}}));

    // Only a mark at the very start is one: elsewhere it is part of the text.
    counts.clear();
    zl::ParseUseCounts("a\t1\n\xEF\xBB\xBF" "b\t2\n", counts);
    EXPECT_EQ(counts, (UseCounts{{L"a", 1}, {L"\xFEFF" L"b", 2}}));
}

TEST(LearnFormat, FilesSavedAsUtf16ByAnEditorLoadWhole) {
    const std::wstring useCounts = L"\x4E2D\t7\r\n\xD83D\xDE00\t2\r\n";
    const std::wstring promotionLines = L"ggg\t\x738B\t3\r\naa\t\x5DE5\t9";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        const auto encode = [&](const std::wstring& text) {
            std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (const wchar_t u : text) {
                const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
                bytes += bigEndian ? std::string{high, low} : std::string{low, high};
            }
            return bytes;
        };
        UseCounts counts;
        zl::ParseUseCounts(encode(useCounts), counts);
        EXPECT_EQ(counts, (UseCounts{{L"\x4E2D", 7}, {L"\xD83D\xDE00", 2}}));

        Promotions promotions;
        uint32_t max = 0;
        zl::ParsePromotions(encode(promotionLines), promotions, max);
        EXPECT_EQ(promotions, (Promotions{{Key(L"ggg", L"\x738B"), 3}, {Key(L"aa", L"\x5DE5"), 9}}));
        EXPECT_EQ(max, 9u);
    }
}

TEST(LearnFormat, GarbageNeverCrashesTheParsers) {
    // Every byte value in every position of short lines, and long runs without LF.
    std::string bytes;
    for (int i = 0; i < 256 * 8; ++i) bytes.push_back(static_cast<char>((i * 131) & 0xFF));
    bytes += std::string(100000, '\t') + std::string(100000, '\xE4');
    UseCounts counts;
    Promotions promotions;
    uint32_t max = 0;
    zl::ParseUseCounts(bytes, counts);
    zl::ParsePromotions(bytes, promotions, max);
    std::string out;
    zl::FormatUseCounts(counts, out);
    UseCounts back;
    zl::ParseUseCounts(out, back);
    EXPECT_EQ(back, counts);
}

// Whatever a file held, a save must write back every entry that was read: load, save and
// load again give the same map.
TEST(LearnFormat, EveryLoadedEntrySurvivesASave) {
    const std::string fixed[] = {
        std::string("a\rb\t\xE5\xB7\xA5\t5\n"),              // CR inside a promotion's code
        std::string("x\t1\n\xEF\xBB\xBF" "b\t2\n"),          // U+FEFF starting a later line
        std::string("\xEF\xBB\xBF\xEF\xBB\xBFq\t\xEF\xBB\xBFw\t3\n"),
        std::string("n\0ul\tt\0x\t4\n", 12),                // NUL bytes
        std::string("\xC3\t\xFF\xFE\t7\r\r\n"),              // invalid UTF-8, CRs before LF
        std::string("c\t\xED\xA0\x80\t8\n"),                 // an encoded surrogate
    };
    std::vector<std::string> inputs(std::begin(fixed), std::end(fixed));
    // Random lines over the bytes that matter to the two formats.
    const char alphabet[] = {'a', '\t', '\r', '\n', '\0', '\x01', '\xEF', '\xBB', '\xBF', '\xE5', '\xB7', '\xA5', '5'};
    uint32_t seed = 7;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int len = static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % 24;
        for (int i = 0; i < len; ++i) bytes.push_back(alphabet[((seed = seed * 1103515245u + 12345u) >> 16) % 13]);
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs) {
        UseCounts counts, countsBack;
        zl::ParseUseCounts(bytes, counts);
        std::string out;
        zl::FormatUseCounts(counts, out);
        zl::ParseUseCounts(out, countsBack);
        EXPECT_EQ(countsBack, counts) << ::testing::PrintToString(bytes);

        Promotions promotions, promotionsBack;
        uint32_t max = 0, maxBack = 0;
        zl::ParsePromotions(bytes, promotions, max);
        zl::FormatPromotions(promotions, out);
        zl::ParsePromotions(out, promotionsBack, maxBack);
        EXPECT_EQ(promotionsBack, promotions) << ::testing::PrintToString(bytes);
    }
}

}  // namespace
