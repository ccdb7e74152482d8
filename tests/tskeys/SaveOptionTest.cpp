// Load-modify-save of the numbered single settings.
#include <gtest/gtest.h>

#include "ConfigSync.h"
#include "UserFolder.h"

namespace {

TEST(SaveOption, OneFieldEachOtherWritersKeysSurvive) {
    zltest::UserFolder folder;
    zl::Config mine;
    mine.Save();
    FILETIME seen;
    ASSERT_TRUE(zl::ReadWriteTime(mine.Path().c_str(), &seen));
    int zl::Config::*const fields[] = {&zl::Config::fullWidth, &zl::Config::numpadSelect, &zl::Config::statusBar,
                                       &zl::Config::scheme, &zl::Config::manualFreq, &zl::Config::statusTranslucent,
                                       &zl::Config::handwriting, &zl::Config::statusSkin, &zl::Config::vertical};
    const int values[] = {1, 0, 0, 2, 0, 0, 1, 2, 1};  // each unlike its default
    for (int option = 0; option < 9; ++option) {
        mine.*fields[option] = values[option];
        mine.pageSize = 9;  // no option's key: stays as in the file
        zl::SaveOption(option, mine, &seen);
        zl::Config back;
        back.Load();
        EXPECT_EQ(back.*fields[option], values[option]) << option;
        if (option < 8) {
            EXPECT_EQ(back.*fields[option + 1], zl::Config().*fields[option + 1]) << option;
        }
        EXPECT_EQ(back.pageSize, 5) << option;
        FILETIME now;
        ASSERT_TRUE(zl::ReadWriteTime(back.Path().c_str(), &now));
        EXPECT_TRUE(zl::SameFileTime(seen, now)) << option;  // its own save is adopted
    }
    // Another writer's change not yet seen: kept in the file, its time not adopted.
    zl::Config other;
    other.Load();
    other.fontSize = 30;
    other.Save();
    FILETIME stale = seen;
    stale.dwLowDateTime -= 1;
    FILETIME kept = stale;
    zl::SaveOption(0, mine, &kept);
    zl::Config back;
    back.Load();
    EXPECT_EQ(back.fontSize, 30);
    EXPECT_TRUE(zl::SameFileTime(kept, stale));
}

}  // namespace
