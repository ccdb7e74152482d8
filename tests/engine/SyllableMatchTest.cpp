// The pinyin syllable matcher: the documented examples, the edge rules, and agreement
// with a plain backtracking matcher on random inputs.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Dict.h"

namespace {

// Every match also checks that the letters it read are among PinyinLetters, which the
// searches use to rule entries out before matching.
bool Match(const std::string& pinyin, int n, const std::string& input) {
    const bool matched = zl::Dict::SylMatch(pinyin, n, input.data(), static_cast<int>(input.size()));
    if (matched) {
        EXPECT_EQ(zl::Dict::TypedLetters(input) & ~zl::Dict::PinyinLetters(pinyin, n), 0u) << pinyin << " / " << input;
    }
    return matched;
}

// The matcher as first described: for k = n..1, cut the input greedily with backtracking.
bool Letter(char in, char s) { return in == s || (in == 'u' && s == 'v'); }

bool Cut(const std::vector<std::string>& syl, size_t i, size_t k, const std::string& in, size_t p) {
    if (i == k - 1) {
        const std::string& s = syl[i];
        const size_t rest = in.size() - p;
        if (s.empty() || rest == 0 || rest > s.size()) return false;
        for (size_t j = 0; j < rest; ++j)
            if (!Letter(in[p + j], s[j])) return false;
        return true;
    }
    const std::string& s = syl[i];
    if (s.empty()) return Cut(syl, i + 1, k, in, p);
    if (p >= in.size()) return false;
    bool whole = p + s.size() <= in.size();
    for (size_t j = 0; whole && j < s.size(); ++j) whole = Letter(in[p + j], s[j]);
    if (whole && Cut(syl, i + 1, k, in, p + s.size())) return true;
    return Letter(in[p], s[0]) && Cut(syl, i + 1, k, in, p + 1);
}

bool Reference(const std::string& pinyin, int n, const std::string& in) {
    if (n < 1 || in.empty()) return false;
    std::vector<std::string> syl;
    size_t pos = 0;
    bool ended = false;
    for (int i = 0; i < n; ++i) {
        if (ended) {
            syl.emplace_back();
            continue;
        }
        size_t end = pos;
        while (end < pinyin.size() && pinyin[end] != '\'' && pinyin[end] != '\0') ++end;
        syl.push_back(pinyin.substr(pos, end - pos));
        if (end >= pinyin.size() || pinyin[end] == '\0')
            ended = true;
        else
            pos = end + 1;
    }
    for (size_t k = syl.size(); k >= 1; --k)
        if (Cut(syl, 0, k, in, 0)) return true;
    return false;
}

const std::string kZhongguo("zhong'guo\0", 10);

}  // namespace

TEST(SylMatch, AcceptsWholeSyllablesInitialsAndAPrefixOfTheLast) {
    for (const char* in : {"zhongguo", "zhonggu", "zhongg", "zg", "zguo", "zhong", "zho", "z"})
        EXPECT_TRUE(Match(kZhongguo, 2, in)) << in;
    for (const char* in : {"zhg", "zhongguox", "hg", "g", "zgx", "zhonguo"})
        EXPECT_FALSE(Match(kZhongguo, 2, in)) << in;
}

TEST(SylMatch, TypedUStandsForStoredV) {
    const std::string lv("lv\0", 3), lu("lu\0", 3);
    EXPECT_TRUE(Match(lv, 1, "lu"));
    EXPECT_TRUE(Match(lv, 1, "lv"));
    EXPECT_TRUE(Match(lu, 1, "lu"));
    EXPECT_FALSE(Match(lu, 1, "lv"));
    EXPECT_TRUE(Match(std::string("nv'er\0", 6), 2, "nuer"));
}

TEST(SylMatch, EdgeRules) {
    EXPECT_FALSE(Match(kZhongguo, 0, "z"));
    EXPECT_FALSE(Match(kZhongguo, -1, "z"));
    EXPECT_FALSE(Match(kZhongguo, 2, ""));
    // An empty syllable is passed over inside the run and matches nothing as the last one.
    const std::string gap("a''b\0", 5);
    EXPECT_TRUE(Match(gap, 3, "ab"));
    EXPECT_TRUE(Match(gap, 3, "a"));
    EXPECT_FALSE(Match(std::string("a'\0", 3), 2, "ab"));
    // Fewer syllables counted than stored: the rest are not looked at.
    EXPECT_FALSE(Match(kZhongguo, 1, "zg"));
    EXPECT_TRUE(Match(kZhongguo, 1, "zhon"));
    // More counted than stored: the missing ones are empty.
    EXPECT_TRUE(Match(kZhongguo, 5, "zg"));
    // Bounded by the view even without a terminator.
    EXPECT_TRUE(Match("zhong", 1, "zhong"));
    EXPECT_FALSE(Match("zhong", 1, "zhongg"));
    // Long input, beyond the matcher's small local buffer.
    std::string longPy, longIn;
    for (int i = 0; i < 100; ++i) {
        longPy += i ? "'ab" : "ab";
        longIn += "ab";
    }
    longPy += '\0';
    EXPECT_TRUE(Match(longPy, 100, longIn));
    EXPECT_FALSE(Match(longPy, 100, longIn + "a"));
    // A syllable longer than any real one is damaged: refused once read that far, also
    // when the typed letters spell it from its start.
    EXPECT_FALSE(Match(std::string("abcdefghij\0", 11), 1, "abcdef"));
    EXPECT_FALSE(Match(std::string("a'bcdefghij\0", 12), 2, "abcdefg"));
    EXPECT_TRUE(Match(std::string("a'bcdefghij\0", 12), 2, "abcdef"));
    EXPECT_TRUE(Match(std::string("abcdef\0", 7), 1, "abcdef"));
    // Empty syllables take no letter: the damaged one after them is read as far.
    EXPECT_FALSE(Match(std::string("''bcdefghij\0", 12), 3, "bcdefg"));
}

TEST(SylMatch, AgreesWithBacktrackingOnRandomInput) {
    std::mt19937 rng(11);
    const char letters[] = "abuv";
    for (int round = 0; round < 20000; ++round) {
        const int n = 1 + rng() % 5;
        std::string py;
        for (int i = 0; i < n; ++i) {
            const int len = rng() % 4;  // empty syllables included
            for (int k = 0; k < len; ++k) py += letters[rng() % 4];
            py += (i + 1 < n) ? '\'' : '\0';
        }
        std::string in;
        const int m = rng() % 8;
        for (int k = 0; k < m; ++k) in += letters[rng() % 4];
        const int count = n + static_cast<int>(rng() % 3) - 1;
        ASSERT_EQ(Match(py, count, in), Reference(py, count, in)) << py << " / " << in << " / " << count;
    }
}

TEST(SylMatch, DamagedEntryWithManySyllablesStaysFast) {
    // Whole syllable and initial are the same piece here, so backtracking would try 2^250 cuts.
    std::string py;
    for (int i = 0; i < 250; ++i) py += i ? "'a" : "a";
    py += '\0';
    const std::string in = std::string(200, 'a') + "b";
    EXPECT_FALSE(Match(py, 250, in));
    EXPECT_TRUE(Match(py, 250, std::string(200, 'a')));
}

// A pool that lost its separators: the letters run on into memory that must not be read.
// The readable bytes end right before a page that faults, so reading past the bound
// fails the test loudly.
TEST(SylMatch, ReadsOnlyWhatTheTypedLettersNeed) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    char* base = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + page, page, PAGE_NOACCESS, &old));
    // readable letters 'a' just before the guard; the view claims far more.
    auto pool = [&](size_t readable) {
        char* at = base + page - readable;
        std::memset(at, 'a', readable);
        return std::string_view(at, readable + (1 << 20));
    };
    // One syllable: the typed letters plus one; with as many letters as the longest real
    // syllable, the one more shows a damaged syllable.
    for (int m = 1; m <= static_cast<int>(zl::Dict::kMaxSyllable); ++m)
        EXPECT_EQ(zl::Dict::SylMatch(pool(m + 1), 1, std::string(m, 'a').data(), m), m < 6) << m;
    // Many syllables: a syllable is never read past the longest real one.
    const size_t longest = zl::Dict::kMaxSyllable + 1;
    for (const std::string in : {"a", "ab", "aaaaaab", "aaaaaaaaaaaaaaaaaaaaaaab"})
        EXPECT_EQ(zl::Dict::SylMatch(pool(longest), 255, in.data(), static_cast<int>(in.size())), in == "a") << in;
    VirtualFree(base, 0, MEM_RELEASE);
}
