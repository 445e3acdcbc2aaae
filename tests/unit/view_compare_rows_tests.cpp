#include "framework/name_compare.h"
#include "framework/recent_file_list.h"
#include "ui/compare_rows.h"
#include "ui/directory_picker.h"
#include "ui/files_list.h"
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
std::vector<std::string> SortedNames(const EntryList& list, int column, bool parent = true)
{
    ViewRows rows;
    rows.Fill(&list, parent, 2, [](const ArchiveEntry&) { return 3; });
    rows.Sort(column);
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
}

// Names in any script fold case as Windows folds them (ordinal, after upper-casing), wherever the
// program compares names: the list's order and its find, the folder picker, the files list and
// the recent files. Under Wine this runs the system's own comparison, natively the stand-in.
TEST(CompareRows, NamesInAnyScriptAreOneNameInEitherCaseAndSortByUpperCase)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"R\u00e9sum\u00e9.txt", "r\u00e9sum\u00e9.txt", 0},        // Résumé / résumé
        {"R\u00c9SUM\u00c9.TXT", "r\u00e9sum\u00e9.txt", 0},
        {"\u0416\u0443\u043a.txt", "\u0436\u0423\u041a.TXT", 0},  // Жук / жУК
        {"\u0451\u043b\u043a\u0430", "\u0401\u041b\u041a\u0410", 0}, // ёлка / ЁЛКА
        {"\u65e5\u672c\u8a9e.txt", "\u65e5\u672c\u8a9e.TXT", 0},
        {"\U0001F600.txt", "\U0001F600.TXT", 0},
        {"notes.", "notes", 1},    // a trailing dot or blank is part of the name here
        {"notes ", "NOTES", 1},
        {"notes.", "notes.txt", -1},
        {"zeta", "\u00c9mile", -1},       // ordinal: É comes after every ASCII letter
        {"\u0401\u043b\u043a\u0430", "\u0416", -1},
        {"\u0416", "\u65e5", -1},
        {"\u65e5", "\U0001F600", -1},
        {"stra\u00dfe", "STRASSE", 1},    // no one-to-one upper case: not folded
        {"a\xff", "A\xfe", 1},          // not UTF-8: still ordered, and still two names
    };
    auto sign = [](int r) { return r < 0 ? -1 : (r > 0 ? 1 : 0); };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        EXPECT_EQ(sign(CompareNamesIgnoringCase(c.a, c.b)), c.sign);
        EXPECT_EQ(sign(CompareNamesIgnoringCase(c.b, c.a)), -c.sign);
        EXPECT_EQ(FilesListTextBefore(c.a, c.b), c.sign < 0);
    }

    EntryList list;
    for (const char* name : {"\U0001F600.txt", "\u65e5\u672c\u8a9e.txt", "\u0436\u0443\u043a.txt",
                             "\u00e9t\u00e9.txt", "zeta.txt", "Alpha.txt"})
        list.Add(Row(name));
    Names expected{". .", "Alpha.txt", "zeta.txt", "\u00e9t\u00e9.txt", "\u0436\u0443\u043a.txt",
                   "\u65e5\u672c\u8a9e.txt", "\U0001F600.txt"};
    EXPECT_EQ(SortedNames(list, 0), expected);
    ViewRows rows;
    rows.Fill(&list, false, 0, [](const ArchiveEntry&) { return 0; });
    EXPECT_EQ(rows.FindName("\u00c9T\u00c9.TXT"), 3);
    EXPECT_EQ(rows.FindName("\u0416\u0423\u041a.TXT"), 2);

    Names folders{"\u0436\u0443\u043a", "..", "\u00c9t\u00e9", "alpha"};
    SortFolderNames(folders);
    EXPECT_EQ(folders, (Names{"..", "alpha", "\u00c9t\u00e9", "\u0436\u0443\u043a"}));

    RecentFileList recent("Recent File List", 4);
    recent.Add("C:\\\u0416\u0443\u043a.j");
    recent.Add("C:\\\u00e9t\u00e9.j");
    recent.Add("c:\\\u0436\u0423\u041a.J");  // the first one again, in other case
    EXPECT_EQ(recent.GetCount(), 2);
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
