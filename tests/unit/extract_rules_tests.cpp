#include "operations/extract_rules.h"

#include "dialogs/extract_switches.h"

#include <gtest/gtest.h>

using namespace extractopt;

TEST(ExtractRules, CompareStampsGivesDiskMinusEntryOfTheFirstDifferingField)
{
    EXPECT_EQ(CompareStamps("2024-05-01 10:00:00", "2024-05-01 10:00:00"), 0);
    EXPECT_LT(CompareStamps("2024-05-01 10:00:01", "2024-05-01 10:00:00"), 0);  // archived copy newer
    EXPECT_GT(CompareStamps("2023-12-31 23:59:59", "2024-01-01 00:00:00"), 0);
    // The year decides before the month however large the later difference.
    EXPECT_LT(CompareStamps("2025-01-01 00:00:00", "2024-12-31 23:59:59"), 0);
    EXPECT_EQ(CompareStamps("2024-05-01 10:00:00", "2024-05-01 10:07:00"), 7);
}

TEST(ExtractRules, RelativePartBelowTheShownArchiveFolder)
{
    // Started at the archive root: the separating backslash stays.
    EXPECT_EQ(MoveRelativePart("d:\\~TorvexTemp\\a.txt", "d:\\~TorvexTemp\\"), "\\a.txt");
    EXPECT_EQ(MoveRelativePart("d:\\~TorvexTemp\\docs\\a.txt", "d:\\~TorvexTemp\\"), "\\docs\\a.txt");
    // Started in \dir: paths below it.
    EXPECT_EQ(MoveRelativePart("d:\\~TorvexTemp\\dir\\sub\\a.txt", "d:\\~TorvexTemp\\dir"), "\\sub\\a.txt");
    EXPECT_EQ(MoveRelativePart("d:\\~TorvexTemp\\dir\\sub", "d:\\~TorvexTemp\\dir"), "\\sub");
    // At the root of the destination's volume: its drive, or its share.
    EXPECT_EQ(ExtractTempFolder("d:\\out\\x"), "d:\\~TorvexTemp");
    EXPECT_EQ(ExtractTempFolder("C:"), "C:\\~TorvexTemp");
    EXPECT_EQ(ExtractTempFolder("\\\\server\\share\\dir\\sub"), "\\\\server\\share\\~TorvexTemp");
    EXPECT_EQ(ExtractTempFolder("\\\\server\\share"), "\\\\server\\share\\~TorvexTemp");
    EXPECT_EQ(ExtractTempFolder("\\\\?\\C:\\out"), "\\\\?\\C:\\~TorvexTemp");
    EXPECT_EQ(ExtractTempFolder("\\\\?\\UNC\\server\\share\\dir"), "\\\\?\\UNC\\server\\share\\~TorvexTemp");
}

TEST(ExtractRules, MovesWithoutUpdateRules)
{
    MoveFacts f;
    EXPECT_EQ(DecideMove(f, false, UpdateNone, NewerFiles), MoveAction::MoveWhole);
    f.isDirectory = true;
    EXPECT_EQ(DecideMove(f, false, Update, NewerFiles), MoveAction::MoveWhole);  // a new folder moves in one rename
    f.targetExists = true;
    EXPECT_EQ(DecideMove(f, false, UpdateNone, NewerFiles), MoveAction::Descend);
    f.isDirectory = false;
    EXPECT_EQ(DecideMove(f, true, UpdateNone, NewerFiles), MoveAction::Replace);
    EXPECT_EQ(DecideMove(f, false, UpdateNone, NewerFiles), MoveAction::AskThenReplace);
}

TEST(ExtractRules, FreshenAndUpdateCriteria)
{
    MoveFacts missing;
    EXPECT_EQ(DecideMove(missing, true, Freshen, NewerFiles), MoveAction::Drop);  // freshen creates nothing
    missing.isDirectory = true;
    EXPECT_EQ(DecideMove(missing, true, Freshen, NewerFiles), MoveAction::Descend);

    MoveFacts f;
    f.targetExists = true;
    f.entryStamp = "2024-05-02 10:00:00";
    f.targetStamp = "2024-05-01 10:00:00";  // the disk copy is older
    f.entrySize = "100";
    f.targetSize = 100;
    EXPECT_EQ(DecideMove(f, true, Freshen, NewerFiles), MoveAction::Replace);
    EXPECT_EQ(DecideMove(f, false, Update, NewerFiles), MoveAction::AskThenReplace);
    EXPECT_EQ(DecideMove(f, true, Freshen, OlderFiles), MoveAction::Drop);
    EXPECT_EQ(DecideMove(f, true, Update, DateOrSizeChanged), MoveAction::Replace);

    f.targetStamp = "2024-05-03 10:00:00";  // the disk copy is newer
    EXPECT_EQ(DecideMove(f, true, Freshen, NewerFiles), MoveAction::Drop);
    EXPECT_EQ(DecideMove(f, true, Freshen, OlderFiles), MoveAction::Replace);

    f.targetStamp = f.entryStamp;
    EXPECT_EQ(DecideMove(f, true, Freshen, DateOrSizeChanged), MoveAction::Drop);
    EXPECT_EQ(DecideMove(f, true, Freshen, NewerFiles), MoveAction::Drop);
    f.targetSize = 101;
    EXPECT_EQ(DecideMove(f, true, Freshen, DateOrSizeChanged), MoveAction::Replace);
}

TEST(ExtractRules, ExtractWhatOffered)
{
    ExtractWhatChoice c = ChooseExtractWhat(true, false);
    EXPECT_EQ(c.extractWhat, FilesList);
    EXPECT_TRUE(c.filesListAvailable);
    EXPECT_FALSE(c.selectionAvailable);
    c = ChooseExtractWhat(false, true);
    EXPECT_EQ(c.extractWhat, SelectedFiles);
    EXPECT_FALSE(c.filesListAvailable);
    EXPECT_TRUE(c.selectionAvailable);
    c = ChooseExtractWhat(false, false);
    EXPECT_EQ(c.extractWhat, AllFiles);
    EXPECT_FALSE(c.selectionAvailable);
}

TEST(ExtractRules, PartialPathAdjustment)
{
    // At the root with nothing gathered: full paths, restored afterwards.
    PartialPathAdjustment a = AdjustPartialPath(PathOption::Partial, true, true, false, false, true, true);
    EXPECT_EQ(a.pathOption, PathOption::Full);
    EXPECT_TRUE(a.restore);
    // Only plain files selected: no paths for this run.
    a = AdjustPartialPath(PathOption::Partial, false, true, false, false, true, false);
    EXPECT_EQ(a.pathOption, PathOption::None);
    EXPECT_TRUE(a.restore);
    // A folder among them keeps partial paths; so does nothing selected.
    a = AdjustPartialPath(PathOption::Partial, false, true, false, false, true, true);
    EXPECT_EQ(a.pathOption, PathOption::Partial);
    EXPECT_FALSE(a.restore);
    a = AdjustPartialPath(PathOption::Partial, false, true, false, false, false, false);
    EXPECT_FALSE(a.restore);
    // The files list, when it has items, decides instead of the selection.
    a = AdjustPartialPath(PathOption::Partial, true, false, true, false, true, true);
    EXPECT_EQ(a.pathOption, PathOption::None);
    a = AdjustPartialPath(PathOption::Partial, true, false, true, true, true, false);
    EXPECT_EQ(a.pathOption, PathOption::Partial);
    // Other choices are left alone.
    a = AdjustPartialPath(PathOption::None, true, true, false, false, false, false);
    EXPECT_EQ(a.pathOption, PathOption::None);
    EXPECT_FALSE(a.restore);
}

TEST(ExtractRules, ListLinesPutDirectoriesBeforeTheirContents)
{
    auto entry = [](const std::string& path, bool dir) {
        ArchiveEntry e;
        e.Path = path;
        e.Columns[ArchiveEntry::Attributes] = dir ? "....D" : ".....";
        return e;
    };
    DirectoryMap dirs;
    dirs.Obtain("\\docs").Add(entry("\\docs\\b.txt", false));
    dirs.Obtain("\\docs").Add(entry("\\docs\\img", true));
    dirs.Obtain("\\docs").Add(entry("\\docs\\a.txt", false));
    dirs.Obtain("\\docs\\img").Add(entry("\\docs\\img\\p.png", false));
    dirs.Obtain("\\docs\\empty");
    EntryList set;
    set.Add(entry("\\readme", false));
    set.Add(entry("\\docs", true));
    set.Add(entry("\\other", true));  // listed nowhere: the line alone
    EXPECT_EQ(ExtractListLines(set, dirs),
              (std::vector<std::string>{"\\readme", "\\docs", "\\docs\\b.txt", "\\docs\\img", "\\docs\\img\\p.png",
                                        "\\docs\\a.txt", "\\other"}));
}

TEST(ExtractRules, PresetDirectoryFollowsTheSetting)
{
    EXPECT_EQ(PresetExtractDirectory(0, "c:\\last", "c:\\shown", "c:\\fixed"), "c:\\last");
    EXPECT_EQ(PresetExtractDirectory(1, "c:\\last", "c:\\shown", "c:\\fixed"), "c:\\shown");
    EXPECT_EQ(PresetExtractDirectory(2, "c:\\last", "c:\\shown", "c:\\fixed"), "c:\\fixed");
}

TEST(ExtractRules, ChaptersOfARunAndWhatIsSaidWhenTheyLeaveOutTheShownOne)
{
    struct Case {
        bool extractChapters;
        int from;
        const char* to;
        int shown;
        bool includes;
    };
    const Case cases[] = {
        {false, 1, "", 2, true},    // no range: the shown chapter
        {true, 0, "", 2, true},     // From 0 names no range either
        {true, 2, "", 2, true},     {true, 1, "", 2, false},   {true, 1, "1", 2, false},
        {true, 1, "3", 2, true},    {true, 3, "5", 2, false},  {true, 1, "0", 2, true},
        {true, 3, "0", 2, false},   {true, 2, "2x", 2, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractedChaptersInclude(c.extractChapters, c.from, c.to, c.shown), c.includes)
            << c.from << "-" << c.to << " shown " << c.shown;

    EXPECT_EQ(WholeFolderListLine("\\"), "*");
    EXPECT_EQ(WholeFolderListLine("\\dir\\sub"), "\\dir\\sub\\*");
    EXPECT_EQ(ShownEntriesOnlyText(false, 2, 1, "1"),
              "Only the selected entries of chapter 2 are extracted, in their versions of chapter 1.\n"
              "Files of chapter 1 that chapter 2 does not hold are left out: choose All Files to extract everything.");
    EXPECT_NE(ShownEntriesOnlyText(true, 4, 1, "3").find("Only the entries of the files list are extracted, in their "
                                                          "versions of chapters 1 to 3."),
              std::string::npos);
    EXPECT_EQ(ExtractedChaptersText(5, "0"), "chapters 5 onwards");
}
