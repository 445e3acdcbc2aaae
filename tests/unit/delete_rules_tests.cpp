#include "operations/delete_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(DeleteDialogStart, ChoicesFollowFilesListAndSelection)
{
    DeleteDialogStart s = DecideDeleteDialogStart(false, true);
    EXPECT_EQ(s.deleteWhat, 0);
    EXPECT_TRUE(s.selectedEnabled);
    EXPECT_FALSE(s.filesListEnabled);
    EXPECT_TRUE(s.inAllChaptersEnabled);

    s = DecideDeleteDialogStart(true, true);
    EXPECT_EQ(s.deleteWhat, 1);
    EXPECT_TRUE(s.selectedEnabled);
    EXPECT_TRUE(s.filesListEnabled);

    s = DecideDeleteDialogStart(true, false);
    EXPECT_EQ(s.deleteWhat, 1);
    EXPECT_FALSE(s.selectedEnabled);
    EXPECT_TRUE(s.inAllChaptersEnabled);

    // Nothing to delete file by file: chapters only.
    s = DecideDeleteDialogStart(false, false);
    EXPECT_EQ(s.deleteWhat, 2);
    EXPECT_FALSE(s.selectedEnabled);
    EXPECT_FALSE(s.filesListEnabled);
    EXPECT_FALSE(s.inAllChaptersEnabled);
}

TEST(DeleteChapters, TheCommandNamesTheChosenInListOrder)
{
    EXPECT_EQ(DeleteChaptersCommand("C:\\a b\\x.j", {2, 3}), " dc \"C:\\a b\\x.j\" 2 3");
    EXPECT_EQ(DeleteChaptersCommand("C:\\x.j", {}), " dc \"C:\\x.j\"");
}

} // namespace
