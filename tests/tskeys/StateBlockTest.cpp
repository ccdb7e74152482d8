// The named block and the config.ini poll and saves, in one process.
#include <gtest/gtest.h>
#include <windows.h>

#include "ChineseStateBlock.h"
#include "ConfigSync.h"
#include "UserFolder.h"

namespace {

TEST(ChineseStateBlock, TwoMappingsShareOneBlock) {
    HANDLE m1, m2;
    zl::ChineseStateBlock *b1, *b2;
    ASSERT_TRUE(zl::MapChineseStateBlock(&m1, &b1));
    EXPECT_EQ(InterlockedCompareExchange(&b1->magic, 0, 0), zl::kChineseBlockMagic);
    // A later mapper finds the magic set and leaves it; writes are seen by both views.
    InterlockedExchange(&b1->magic, 0x12345678);
    ASSERT_TRUE(zl::MapChineseStateBlock(&m2, &b2));
    EXPECT_NE(b1, b2);
    EXPECT_EQ(InterlockedCompareExchange(&b2->magic, 0, 0), 0x12345678);
    InterlockedExchange(&b1->magic, zl::kChineseBlockMagic);
    zl::WriteSharedState(b1, false);
    EXPECT_EQ(zl::ReadSharedState(b2), zl::kStateEnglish);
    zl::WriteSharedState(b2, true);
    EXPECT_EQ(zl::ReadSharedState(b1), zl::kStateChinese);
    EXPECT_EQ(InterlockedCompareExchange(&b1->reserved, 0, 0), 0);
    zl::UnmapChineseStateBlock(&m2, &b2);
    EXPECT_EQ(m2, nullptr);
    EXPECT_EQ(b2, nullptr);
    zl::UnmapChineseStateBlock(&m2, &b2);  // twice is harmless
    zl::UnmapChineseStateBlock(&m1, &b1);
}

TEST(ConfigSync, PollIntervals) {
    uint32_t last = 0;
    const uint32_t t = 0xFFFFFF00u;  // across the tick counter's wrap
    ASSERT_TRUE(zl::ReloadDue(t, false, &last));
    EXPECT_FALSE(zl::ReloadDue(t + 699, false, &last));
    EXPECT_TRUE(zl::ReloadDue(t + 700, false, &last));
    EXPECT_FALSE(zl::ReloadDue(t + 849, true, &last));
    EXPECT_TRUE(zl::ReloadDue(t + 850, true, &last));
    EXPECT_EQ(last, t + 850);
}

TEST(ConfigSync, SaveOptionKeepsOtherWritersKeys) {
    zltest::UserFolder folder;
    zl::Config other;
    other.Save();
    zl::Config mine;  // this instance's copy, with the file's time as last seen
    FILETIME seen = {};
    ASSERT_TRUE(zl::ReadWriteTime(mine.Path().c_str(), &seen));
    struct Case {
        int option;
        int zl::Config::*field;
        int value;
    };
    const Case cases[] = {
        {0, &zl::Config::fullWidth, 1},     {1, &zl::Config::numpadSelect, 0},
        {2, &zl::Config::statusBar, 0},     {3, &zl::Config::scheme, 2},
        {4, &zl::Config::manualFreq, 0},    {5, &zl::Config::statusTranslucent, 0},
        {6, &zl::Config::handwriting, 1},   {7, &zl::Config::statusSkin, 2},
        {8, &zl::Config::vertical, 1},
    };
    for (const Case& c : cases) {
        mine.*c.field = c.value;
        zl::SaveOption(c.option, mine, &seen);
        zl::Config back;
        back.Load();
        EXPECT_EQ(back.*c.field, c.value) << c.option;
        FILETIME onDisk;
        ASSERT_TRUE(zl::ReadWriteTime(back.Path().c_str(), &onDisk));
        EXPECT_TRUE(zl::SameFileTime(seen, onDisk)) << c.option;  // own save adopted
    }
    // An unknown number saves the file unchanged.
    mine.fullWidth = 0;
    zl::SaveOption(9, mine, &seen);
    zl::Config back;
    back.Load();
    EXPECT_EQ(back.fullWidth, 1);
    EXPECT_EQ(back.vertical, 1);

    // Another writer's change survives the next save; its time is not adopted, so this
    // instance's poll still sees that the file changed.
    back.fontSize = 30;
    back.Save();
    FILETIME before = seen;
    before.dwLowDateTime -= 1;  // whatever the file system's resolution, "not seen"
    FILETIME kept = before;
    mine.fullWidth = 0;
    zl::SaveOption(0, mine, &kept);
    zl::Config after;
    after.Load();
    EXPECT_EQ(after.fontSize, 30);
    EXPECT_EQ(after.fullWidth, 0);
    EXPECT_TRUE(zl::SameFileTime(kept, before));
}

TEST(ConfigSync, DeltaOfAReload) {
    zl::Config a, b;
    EXPECT_FALSE(zl::CompareConfig(a, b).statusBar || zl::CompareConfig(a, b).position ||
                 zl::CompareConfig(a, b).ctrlSpaceTurnedOff);
    b.statusY = 5;
    b.ctrlSpace = 0;
    const zl::ConfigDelta d = zl::CompareConfig(a, b);
    EXPECT_TRUE(d.position);
    EXPECT_TRUE(d.ctrlSpaceTurnedOff);
    EXPECT_FALSE(zl::CompareConfig(b, a).ctrlSpaceTurnedOff);  // off -> on is not
}

}  // namespace
