#include "dialogs/delete_choices.h"
#include "operations/delete_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(DeleteDialogStart, ChoicesFollowFilesListAndSelection)
{
    DeleteDialogStart s = DecideDeleteDialogStart(false, true);
    EXPECT_EQ(s.deleteWhat, DeleteWhat::Selected);
    EXPECT_TRUE(s.selectedEnabled);
    EXPECT_FALSE(s.filesListEnabled);
    EXPECT_TRUE(s.inAllChaptersEnabled);

    s = DecideDeleteDialogStart(true, true);
    EXPECT_EQ(s.deleteWhat, DeleteWhat::FilesList);
    EXPECT_TRUE(s.selectedEnabled);
    EXPECT_TRUE(s.filesListEnabled);

    s = DecideDeleteDialogStart(true, false);
    EXPECT_EQ(s.deleteWhat, DeleteWhat::FilesList);
    EXPECT_FALSE(s.selectedEnabled);
    EXPECT_TRUE(s.inAllChaptersEnabled);

    // Nothing to delete file by file: chapters only.
    s = DecideDeleteDialogStart(false, false);
    EXPECT_EQ(s.deleteWhat, DeleteWhat::Chapters);
    EXPECT_FALSE(s.selectedEnabled);
    EXPECT_FALSE(s.filesListEnabled);
    EXPECT_FALSE(s.inAllChaptersEnabled);
}

TEST(DeleteSelectedQuestion, NamesHowManyAndTheFirstFew)
{
    std::vector<ArchiveEntry> rows(7);
    std::vector<const ArchiveEntry*> chosen;
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].Columns[ArchiveEntry::Name] = "f" + std::to_string(i) + ".txt";
        rows[i].Columns[ArchiveEntry::Attributes] = i == 1 ? "....D" : ".....";
        chosen.push_back(&rows[i]);
    }
    EXPECT_EQ(DeleteSelectedQuestion({chosen[0]}), "Delete selected files?\n\n1 entry:\nf0.txt");
    EXPECT_EQ(DeleteSelectedQuestion(chosen),
              "Delete selected files?\n\n7 entries:\nf0.txt\nf1.txt\\\nf2.txt\nf3.txt\nf4.txt\nand 2 more");
}

} // namespace
