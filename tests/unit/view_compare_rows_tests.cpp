#include "ui/compare_rows.h"
#include "ui/view_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ArchiveEntry Row(const std::string& name, const std::string& size = "", const std::string& modified = "",
                 const std::string& chapter = "", const std::string& block = "", bool directory = false)
{
    ArchiveEntry e;
    e.Path = "\\" + name;
    e.Columns[ArchiveEntry::Name] = name;
    e.Columns[ArchiveEntry::Size] = size;
    e.Columns[ArchiveEntry::Modified] = modified;
    e.Columns[ArchiveEntry::Attributes] = directory ? "....D" : ".....";
    e.Columns[ArchiveEntry::Chapter] = chapter;
    e.Columns[ArchiveEntry::Block] = block;
    return e;
}

ArchiveEntry Dir(const std::string& name) { return Row(name, "0", "", "", "", true); }

// Sorts a list through ViewRows, as the list does, and returns the names in display order.
std::vector<std::string> SortedNames(const EntryList& list, int column, bool parent = true, bool descending = false)
{
    ViewRows rows;
    rows.Fill(&list, parent, 2, [](const ArchiveEntry&) { return 3; });
    rows.Sort(column, descending);
    std::vector<std::string> names;
    for (int i = 0; i < rows.Count(); ++i)
        names.push_back(rows.Entry(i).Columns[ArchiveEntry::Name]);
    return names;
}

EntryList Sample()
{
    EntryList list;
    list.Add(Row("b.txt", "1000", "2024-01-02 10:00:00", "2-3", "7"));
    list.Add(Dir("zeta"));
    list.Add(Row("A.txt", "234", "2025-06-01 00:00:00", "2-5", "12"));
    list.Add(Dir("Alpha"));
    list.Add(Row("c.bin", "3000000000", "", "3-3", "9"));
    return list;
}

using Names = std::vector<std::string>;

TEST(CompareRows, NameAttributesAndMethodPutDirectoriesFirstThenNamesIgnoringCase)
{
    EntryList list = Sample();
    Names expected{". .", "Alpha", "zeta", "A.txt", "b.txt", "c.bin"};
    EXPECT_EQ(SortedNames(list, 0), expected);
    EXPECT_EQ(SortedNames(list, 4), expected);
    EXPECT_EQ(SortedNames(list, 6), expected);
    EXPECT_EQ(SortedNames(list, 42), expected);
    // Reversed (a second click on the header): the whole order turns, the parent row stays on top.
    EXPECT_EQ(SortedNames(list, 0, true, true), (Names{". .", "c.bin", "b.txt", "A.txt", "zeta", "Alpha"}));
}

TEST(CompareRows, SizePutsDirectoriesFirstThenLargestFileFirst)
{
    EntryList list = Sample();
    // 3,000,000,000 does not fit 32 bits and must still come first.
    EXPECT_EQ(SortedNames(list, 1), (Names{". .", "Alpha", "zeta", "c.bin", "b.txt", "A.txt"}));
    EXPECT_EQ(CompareRows(Row("x", "12abc"), Row("y", "12"), 1), 0);
}

TEST(CompareRows, DatesPutNewestFirstWithoutDirectoryRuleAndEmptyDatesByName)
{
    ArchiveEntry newer = Row("z", "1", "2025-06-01 00:00:00");
    ArchiveEntry older = Row("a", "1", "2024-12-31 23:59:59");
    ArchiveEntry laterSecond = Row("m", "1", "2024-12-31 23:59:58");
    EXPECT_LT(CompareRows(newer, older, 2), 0);
    EXPECT_LT(CompareRows(older, laterSecond, 2), 0);
    // No directory-first rule: a newer file goes before an older directory.
    ArchiveEntry oldDir = Dir("d");
    oldDir.Columns[ArchiveEntry::Modified] = "2000-01-01 00:00:00";
    EXPECT_LT(CompareRows(newer, oldDir, 2), 0);
    // An empty date compares by name (with directories first).
    EXPECT_LT(CompareRows(Row("a"), newer, 2), 0);
    EXPECT_GT(CompareRows(Row("zz"), newer, 2), 0);
    EXPECT_LT(CompareRows(Dir("zz"), Row("a", "1", "2025-01-01 00:00:00"), 3), 0);
    // Equal stamps fall back to the name.
    EXPECT_LT(CompareRows(Row("a", "", "2024-01-01 00:00:00"), Row("b", "", "2024-01-01 00:00:00"), 2), 0);
    // A text that is not a date sorts after every real date.
    EXPECT_GT(CompareRows(Row("a", "", "garbage"), older, 2), 0);
}

TEST(CompareRows, ChapterRangesCompareFirstThenLastLargerFirst)
{
    EntryList list = Sample();
    EXPECT_EQ(SortedNames(list, 5), (Names{". .", "Alpha", "zeta", "c.bin", "A.txt", "b.txt"}));
    EXPECT_EQ(CompareRows(Row("x", "", "", "2-5"), Row("y", "", "", "2-5"), 5), 0);
    // A lone chapter number reads as a one-chapter range.
    EXPECT_EQ(CompareRows(Row("x", "", "", "4"), Row("y", "", "", "4-4"), 5), 0);
    EXPECT_LT(CompareRows(Row("x", "", "", "4"), Row("y", "", "", "4-3"), 5), 0);
}

TEST(CompareRows, BlockLargerFirst)
{
    EntryList list = Sample();
    EXPECT_EQ(SortedNames(list, 7), (Names{". .", "Alpha", "zeta", "A.txt", "c.bin", "b.txt"}));
}

TEST(CompareRows, ParentRowStaysOnTopForEveryColumnAndSortingTwiceKeepsTheOrder)
{
    ArchiveEntry parent = Row(". .");
    parent.Columns[ArchiveEntry::Attributes] = "....D";
    for (int column = 0; column <= 8; ++column) {
        EXPECT_LT(CompareRows(parent, Dir("!"), column), 0) << column;
        EXPECT_GT(CompareRows(Row("a", "9", "2099-01-01 00:00:00", "99-99", "99"), parent, column), 0) << column;
        EXPECT_EQ(CompareRows(parent, parent, column), 0);
        EntryList list = Sample();
        Names once = SortedNames(list, column);
        EXPECT_EQ(once.front(), ". .");
        EXPECT_EQ(SortedNames(list, column), once);
    }
}

TEST(ViewRows, FillsImagesAndKeepsEntriesByAddress)
{
    EntryList list = Sample();
    ViewRows rows;
    rows.Fill(&list, true, 2, [](const ArchiveEntry& e) { return e.Columns[0] == "c.bin" ? 7 : 5; });
    ASSERT_EQ(rows.Count(), 6);
    EXPECT_TRUE(rows.HasParentRow());
    EXPECT_EQ(rows.Image(0), 2);
    EXPECT_EQ(rows.Entry(0).Columns[ArchiveEntry::Attributes], "....D");
    EXPECT_EQ(&rows.Entry(1), &list[0]);
    EXPECT_EQ(rows.Image(2), 0); // directory
    EXPECT_EQ(rows.Image(5), 7);
    rows.Sort(0);
    EXPECT_EQ(rows.FindName("C.BIN"), 5);
    EXPECT_EQ(rows.FindName("missing"), -1);

    rows.Fill(&list, false, 0, [](const ArchiveEntry&) { return 3; });
    EXPECT_FALSE(rows.HasParentRow());
    EXPECT_EQ(rows.FirstRealRow(), 0);
    EXPECT_EQ(rows.Count(), 5);
    rows.Fill(nullptr, true, 0, [](const ArchiveEntry&) { return 3; });
    EXPECT_EQ(rows.Count(), 1);
}

TEST(ViewRows, ReimagingAfterTheIconsWereRebuiltKeepsOrderParentAndFolders)
{
    EntryList list = Sample();
    ViewRows rows;
    rows.Fill(&list, true, 2, [](const ArchiveEntry&) { return 9; });
    rows.Sort(1);
    std::vector<const ArchiveEntry*> order;
    for (int i = 0; i < rows.Count(); ++i)
        order.push_back(&rows.Entry(i));
    rows.Reimage([](const ArchiveEntry& e) { return e.Columns[0] == "b.txt" ? 6 : 5; });
    for (int i = 0; i < rows.Count(); ++i) {
        EXPECT_EQ(&rows.Entry(i), order[i]);
        const std::string& name = rows.Entry(i).Columns[0];
        int expected = i == 0 ? 2 : rows.Entry(i).IsDirectory() ? 0 : name == "b.txt" ? 6 : 5;
        EXPECT_EQ(rows.Image(i), expected) << name;
    }
}

} // namespace
