#include <gtest/gtest.h>

#include <windows.h>

#include "Version.h"

TEST(CompareVersion, Table) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int want;
    } cases[] = {
        {L"4.10", L"4.9", 1},
        {L"4.5", L"4.5.0", 0},
        {L"4.5", L"4.5.0.0", 0},
        {L"4.5.0.1", L"4.5", 1},
        {L"04.05", L"4.5", 0},
        {L"V4.5.3", L"4.5.3", 0},
        {L"v4.5.3", L"4.5.3", 0},
        {L"  4.5.3", L"4.5.3", 0},
        {L"\t4.5.3", L"4.5.3", 0},
        {L"4.5.3-beta", L"4.5.3", 0},
        {L"4.5.3 (test)", L"4.5.3", 0},
        {L"1..2", L"1.0.2", 0},
        {L"abc", L"", 0},
        {L"0", L"", 0},
        {L"V 4", L"", 0},
        {L"", L"0.0.1", -1},
        {L"4.6", L"4.5.9", 1},
        {L".5", L"0.5", 0},
        // Parts beyond 64 bits compare by value instead of wrapping.
        {L"1.18446744073709551616", L"1.18446744073709551615", 1},
        {L"1.99999999999999999999999", L"1.100000000000000000000000", -1},
        {L"1.000000000000000000000000002", L"1.2", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zl::CompareVersion(c.a, c.b), c.want) << c.a << " vs " << c.b;
        EXPECT_EQ(zl::CompareVersion(c.b, c.a), -c.want) << c.b << " vs " << c.a;
    }
}

TEST(CompareBuildStamp, OnlyFourteenDigitsCompare) {
    EXPECT_EQ(zl::CompareBuildStamp(L"20250102000000", L"20250101235959"), 1);
    EXPECT_EQ(zl::CompareBuildStamp(L"20250101000000", L"20250102000000"), -1);
    EXPECT_EQ(zl::CompareBuildStamp(L"20250101000000", L"20250101000000"), 0);
    EXPECT_EQ(zl::CompareBuildStamp(L"2025010100000a", L"10000000000000"), 0);
    EXPECT_EQ(zl::CompareBuildStamp(L"2025010100000", L"10000000000000"), 0);
    EXPECT_EQ(zl::CompareBuildStamp(L"202501010000000", L"10000000000000"), 0);
    EXPECT_EQ(zl::CompareBuildStamp(L"", L""), 0);
}

TEST(UpdateGuards, Downgrade) {
    EXPECT_TRUE(zl::IncUpdateWouldDowngrade(L"4.6", L"4.5", L"", true));
    EXPECT_TRUE(zl::IncUpdateWouldDowngrade(L"4.6", L"", L"4.5.9", true));
    EXPECT_TRUE(zl::IncUpdateWouldDowngrade(L"4.6", L"4.7", L"4.5", true));
    EXPECT_FALSE(zl::IncUpdateWouldDowngrade(L"4.6", L"", L"", true));
    EXPECT_FALSE(zl::IncUpdateWouldDowngrade(L"4.6", L"4.6.0", L"4.7", true));
    EXPECT_FALSE(zl::IncUpdateWouldDowngrade(L"4.6", L"4.5", L"4.5", false));
    EXPECT_FALSE(zl::IncUpdateWouldDowngrade(L"", L"4.5", L"4.5", true));
}

TEST(UpdateGuards, StaleBuild) {
    const wchar_t* later = L"20250102120000";
    const wchar_t* earlier = L"20250101120000";
    EXPECT_TRUE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3.0", later, earlier, true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3", earlier, later, true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3", later, later, true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3", later, L"2025010112000", true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.4", later, earlier, true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"", later, earlier, true, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3", later, earlier, false, true));
    EXPECT_FALSE(zl::IncUpdateIsStaleBuild(L"4.5.3", L"4.5.3", later, earlier, true, false));
}

TEST(StampFromUtcFileTime, LocalTimeFourteenDigits) {
    SYSTEMTIME utc{};
    utc.wYear = 2024;
    utc.wMonth = 2;
    utc.wDay = 29;
    utc.wHour = 13;
    utc.wMinute = 5;
    utc.wSecond = 9;
    utc.wMilliseconds = 999;
    FILETIME ft, local;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &ft));
    ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local));
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
    wchar_t want[32];
    wsprintfW(want, L"%04d%02d%02d%02d%02d%02d", st.wYear, st.wMonth, st.wDay, st.wHour,
              st.wMinute, st.wSecond);
    EXPECT_EQ(zl::StampFromUtcFileTime(ft), want);
    EXPECT_TRUE(zl::IsBuildStamp(zl::StampFromUtcFileTime(ft)));

    FILETIME bad{0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ(zl::StampFromUtcFileTime(bad), L"");
}
