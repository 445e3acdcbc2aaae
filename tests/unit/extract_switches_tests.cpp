#include "dialogs/extract_switches.h"

#include <gtest/gtest.h>

namespace {
// Full Path into d:\out, overwrite on, no update, chapter 3 shown: the common case.
ExtractSwitchOptions Base()
{
    ExtractSwitchOptions o;
    o.pathOption = PathOption::Full;
    o.directory = "d:\\out";
    o.currentChapter = 3;
    return o;
}
} // namespace

TEST(BuildExtractSwitches, PathOptionsTargetsAndRecursion)
{
    ExtractSwitchOptions o = Base();
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"d:\\out\" -r-");
    o.pathOption = PathOption::Partial;  // carried out by the caller: the archiver keeps paths
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"d:\\out\" -r-");
    o.pathOption = PathOption::None;
    EXPECT_EQ(BuildExtractSwitches(o), " e -jb3 -y -o\"d:\\out\" -r-");

    o = Base();
    o.directory = "d:";
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"d:\\\" -r-");
    o.directory = "c:\\";
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"c:\\\" -r-");
    o.directory = "c:\\out\\";
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"c:\\out\\\" -r-");
    o.directory = "c:\\a\"b";  // inserted as it stands
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"c:\\a\"b\" -r-");

    o = Base();
    o.overwriteWithoutPrompting = false;
    o.wholeArchiveMode = true;
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -o\"d:\\out\" -r");
    o.wholeArchiveMode = false;
    o.recurse = true;  // everything below a folder of other chapters
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -o\"d:\\out\" -r");
}

TEST(BuildExtractSwitches, UpdateModesAndCriteria)
{
    ExtractSwitchOptions o = Base();
    const char* expected[3][3] = {
        {" x -jb3 -y -o\"d:\\out\" -r-", " x -jb3 -y -o\"d:\\out\" -r-", " x -jb3 -y -o\"d:\\out\" -r-"},
        {" x -jb3 -f -y -o\"d:\\out\" -r-", " x -jb3 -f1 -y -o\"d:\\out\" -r-", " x -jb3 -f2 -y -o\"d:\\out\" -r-"},
        {" x -jb3 -u -y -o\"d:\\out\" -r-", " x -jb3 -u1 -y -o\"d:\\out\" -r-", " x -jb3 -u2 -y -o\"d:\\out\" -r-"},
    };
    for (int mode = 0; mode < 3; ++mode) {
        for (int criterion = 0; criterion < 3; ++criterion) {
            o.updateMode = mode;
            o.updateCriterion = criterion;
            EXPECT_EQ(BuildExtractSwitches(o), expected[mode][criterion]) << mode << " " << criterion;
        }
    }
}

TEST(BuildExtractSwitches, ChapterRanges)
{
    ExtractSwitchOptions o = Base();
    o.extractChapters = true;
    o.chapterFrom = 2;
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb2 -y -o\"d:\\out\" -r-");
    o.chapterTo = "5";
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb2-5 -y -o\"d:\\out\" -r-");
    o.chapterTo = "0";
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb2- -y -o\"d:\\out\" -r-");
    o.chapterTo = "x";  // reads as 0: open range
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb2- -y -o\"d:\\out\" -r-");
    o.chapterTo = "07";  // as typed
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb2-07 -y -o\"d:\\out\" -r-");

    // The range counts only while "Extract chapters" is on.
    o.extractChapters = false;
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"d:\\out\" -r-");
    o.extractChapters = true;
    o.chapterFrom = 0;
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb3 -y -o\"d:\\out\" -r-");
}

TEST(BuildExtractSwitches, NoChapterKnownLeavesTheNewestToTheArchiver)
{
    ExtractSwitchOptions o = Base();
    o.currentChapter = 0;
    o.wholeArchiveMode = true;
    EXPECT_EQ(BuildExtractSwitches(o), " x -y -o\"d:\\out\" -r");
    o.extractChapters = true;
    o.chapterFrom = 4;
    EXPECT_EQ(BuildExtractSwitches(o), " x -jb4 -y -o\"d:\\out\" -r");
}

TEST(ExtractDialogRules, ToFollowsFromAndPartialPathNeedsOneChapter)
{
    // "To" below "From" takes the text of "From" when "From" changes.
    ChapterRuleResult r = ApplyChapterRules("4", "2", true, true);
    EXPECT_TRUE(r.toReplaced);
    EXPECT_TRUE(r.partialPathAllowed);
    // Not when "To" was the one edited, nor when it reads as 0.
    EXPECT_FALSE(ApplyChapterRules("4", "2", true, false).toReplaced);
    EXPECT_FALSE(ApplyChapterRules("4", "0", true, true).toReplaced);

    EXPECT_FALSE(ApplyChapterRules("2", "5", true, false).partialPathAllowed);
    EXPECT_FALSE(ApplyChapterRules("2", "0", true, false).partialPathAllowed);  // open range
    EXPECT_TRUE(ApplyChapterRules("2", "2", true, false).partialPathAllowed);
    EXPECT_TRUE(ApplyChapterRules("2", "", true, false).partialPathAllowed);
    EXPECT_TRUE(ApplyChapterRules("2", "5", false, false).partialPathAllowed);
}

TEST(ExtractDialogRules, OkRefusals)
{
    EXPECT_EQ(ExtractOkRefusal("", false, "1", ""), "You must select a directory");
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "2", "1"), "'To' must be greater or equal to 'From'");
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "2", "0"), "");
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "2", "2"), "");
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "2", ""), "");
    EXPECT_EQ(ExtractOkRefusal("c:\\out", false, "2", "1"), "");
    // A chapter beyond 32 bits would wrap in -jb: the range message, for To as for From.
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "1", "2147483648"), kChapterRangeMessage);
    EXPECT_EQ(ExtractOkRefusal("c:\\out", true, "1", "2147483647"), "");
    EXPECT_EQ(ChapterRangeRefusal("4294967297", ""), kChapterRangeMessage);
    EXPECT_EQ(ChapterRangeRefusal("2147483647", "2147483647"), "");
}

TEST(ExtractDialogRules, BrowseStartsAtTheNearestExistingFolder)
{
    auto exists = [](const std::string& p) { return p == "c:" || p == "c:\\data" || p == "d:\\last"; };
    EXPECT_EQ(BrowseStartFolder("c:\\data", "d:\\last", exists), "c:\\data");
    EXPECT_EQ(BrowseStartFolder("c:\\data\\new\\deeper", "d:\\last", exists), "c:\\data");
    EXPECT_EQ(BrowseStartFolder("", "d:\\last", exists), "d:\\last");
    EXPECT_EQ(BrowseStartFolder("x:\\gone", "d:\\last", exists), "d:\\last");
    EXPECT_EQ(BrowseStartFolder("gone", "", exists), "c:");
}

#include "dialogs/command_line_dialog.h"

TEST(CommandLineChoices, SlotsZeroToFourWithoutTheEmptyOnes)
{
    HistoryPool pool;
    pool[0] = "a";
    pool[2] = "c";
    pool[4] = "e";
    pool[5] = "f";
    EXPECT_EQ(CommandLineChoices(pool), (std::vector<std::string>{"a", "c", "e"}));
}
