#include "ui/files_list.h"

#include <gtest/gtest.h>

#include "ui/format_thousands.h"

namespace {

ArchiveEntry Row(const std::string& path, const std::string& size = "0", bool directory = false)
{
    ArchiveEntry e;
    e.Path = path;
    e.Columns[ArchiveEntry::Name] = path.substr(path.rfind('\\') + 1);
    e.Columns[ArchiveEntry::Size] = size;
    e.Columns[ArchiveEntry::Attributes] = directory ? "....D" : ".....";
    return e;
}

EntryList Rows(const std::vector<ArchiveEntry>& rows)
{
    EntryList list;
    for (const auto& r : rows)
        list.Add(r);
    return list;
}

std::vector<std::string> Texts(const FilesListItems& items)
{
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item->text);
    return texts;
}

std::vector<std::string> Paths(const EntryList& list)
{
    std::vector<std::string> paths;
    for (const auto& e : list)
        paths.push_back(e->Path);
    return paths;
}

int FileImage(const ArchiveEntry&) { return 7; }

using Strings = std::vector<std::string>;

TEST(FilesList, TopLevelItemsAreOnePerPathInTextOrderWithTheirSource)
{
    FilesList list;
    EXPECT_TRUE(list.Empty());
    ASSERT_NE(list.AddTop(Row("\\src\\a.txt"), "\\src", 7), nullptr);
    ASSERT_NE(list.AddTop(Row("\\docs\\a.txt"), "\\docs", 7), nullptr);
    // The same path again, from anywhere, is not a second item.
    EXPECT_EQ(list.AddTop(Row("\\docs\\a.txt"), "\\docs", 7), nullptr);
    ASSERT_NE(list.AddTop(Row("\\DOCS\\b"), "\\DOCS", 0), nullptr);
    ASSERT_NE(list.AddTop(Row("\\docs\\img", "0", true), "\\docs", 7), nullptr);

    EXPECT_EQ(Texts(list.Items()), (Strings{"\\docs\\a.txt", "\\DOCS\\b", "\\docs\\img", "\\src\\a.txt"}));
    const FilesListItem& folder = *list.Items()[2];
    EXPECT_TRUE(folder.folder);
    EXPECT_EQ(folder.image, 0);  // a folder shows the folder image whatever it was given
    EXPECT_EQ(list.Items()[0]->image, 7);
    EXPECT_EQ(list.Items()[0]->entry.Columns[ArchiveEntry::Source], "\\docs");
    EXPECT_EQ(list.Items()[3]->entry.Columns[ArchiveEntry::Source], "\\src");
    EXPECT_EQ(list.FindTop("\\src\\a.txt"), list.Items()[3].get());
    EXPECT_EQ(list.FindTop("\\SRC\\a.txt"), nullptr);  // paths match exactly
}

TEST(FilesList, ExpandingFillsOnceSortsFoldersFirstAndCarriesTheFoldersSource)
{
    FilesList list;
    FilesListItem& docs = *list.AddTop(Row("C:\\data\\docs", "0", true), "C:\\data", 0);
    EntryList rows = Rows({Row("C:\\data\\docs\\zeta.txt", "5"), Row("C:\\data\\docs\\Beta.txt", "6"),
                           Row("C:\\data\\docs\\img", "0", true), Row("C:\\data\\docs\\alpha.txt", "7")});
    EXPECT_TRUE(FilesList::Expand(docs, rows, FileImage));
    EXPECT_EQ(Texts(docs.children), (Strings{"img", "alpha.txt", "Beta.txt", "zeta.txt"}));
    for (const auto& child : docs.children) {
        EXPECT_EQ(child->entry.Columns[ArchiveEntry::Source], "C:\\data");
        EXPECT_EQ(child->parent, &docs);
    }
    EXPECT_EQ(docs.children[0]->image, 0);
    EXPECT_EQ(docs.children[1]->image, 7);

    // Collapsing and expanding again neither duplicates nor reorders.
    EXPECT_FALSE(FilesList::Expand(docs, rows, FileImage));
    EXPECT_EQ(docs.children.size(), 4u);

    // A file is never expanded; an empty folder stays a leaf.
    FilesListItem& file = *list.AddTop(Row("C:\\x.txt"), "C:", 7);
    EXPECT_FALSE(FilesList::Expand(file, rows, FileImage));
    EXPECT_TRUE(file.children.empty());
    FilesListItem& empty = *list.AddTop(Row("C:\\empty", "0", true), "C:", 0);
    EXPECT_FALSE(FilesList::Expand(empty, EntryList(), FileImage));
    EXPECT_TRUE(empty.children.empty());

    // The image list rebuilt (a new density): every file, nested or not, takes its new index.
    list.Reimage([](const ArchiveEntry&) { return 9; });
    EXPECT_EQ(file.image, 9);
    EXPECT_EQ(docs.children[3]->image, 9);
    EXPECT_EQ(docs.children[0]->image, 0);
    EXPECT_EQ(docs.image, 0);
}

TEST(FilesList, RemovingTheLastChildTakesEmptyParentsAlongUpwards)
{
    FilesList list;
    FilesListItem& a = *list.AddTop(Row("\\a", "0", true), "\\", 0);
    list.AddTop(Row("\\z.txt"), "\\", 7);
    FilesList::Expand(a, Rows({Row("\\a\\b", "0", true)}), FileImage);
    FilesListItem& b = *a.children[0];
    FilesList::Expand(b, Rows({Row("\\a\\b\\c.txt"), Row("\\a\\b\\d.txt")}), FileImage);
    FilesListItem& c = *b.children[0];

    // With a sibling left, only the item goes.
    EXPECT_EQ(&FilesList::RemovalRoot(c), &c);
    list.Remove(c);
    ASSERT_EQ(b.children.size(), 1u);
    EXPECT_EQ(b.children[0]->text, "d.txt");

    // The only child of the only child: everything up to the top-level folder goes.
    FilesListItem& d = *b.children[0];
    EXPECT_EQ(&FilesList::RemovalRoot(d), &a);
    list.Remove(d);
    EXPECT_EQ(Texts(list.Items()), (Strings{"\\z.txt"}));

    list.Remove(*list.Items()[0]);
    EXPECT_TRUE(list.Empty());
}

TEST(FilesList, CollectingGivesUnexpandedFoldersThemselvesAndExpandedOnesTheirLeaves)
{
    FilesList list;
    list.AddTop(Row("\\closed", "0", true), "\\", 0);
    FilesListItem& open = *list.AddTop(Row("\\open", "0", true), "\\", 0);
    list.AddTop(Row("\\file.txt"), "\\", 7);
    FilesList::Expand(open, Rows({Row("\\open\\y.txt"), Row("\\open\\sub", "0", true), Row("\\open\\x.txt")}), FileImage);

    EntryList work;
    work.Add(Row("\\left over"));
    work.Clear();
    list.CollectLeaves(work);
    // Depth first in tree order: \closed, then \file.txt, then \open's children (folders first).
    EXPECT_EQ(Paths(work), (Strings{"\\closed", "\\file.txt", "\\open\\sub", "\\open\\x.txt", "\\open\\y.txt"}));
    EXPECT_EQ(work[3].Columns[ArchiveEntry::Source], "\\");
}

TEST(FilesList, TheDialogsCopyIsDeepSortedByTextAndLeavesTheOriginalAlone)
{
    FilesList list;
    FilesListItem& docs = *list.AddTop(Row("\\docs", "0", true), "\\", 0);
    FilesList::Expand(docs, Rows({Row("\\docs\\b.txt"), Row("\\docs\\img", "0", true), Row("\\docs\\a.txt")}), FileImage);
    list.AddTop(Row("\\a.txt", "10"), "\\", 7);

    FilesList copy = list.Copy();
    ASSERT_EQ(Texts(copy.Items()), (Strings{"\\a.txt", "\\docs"}));
    const FilesListItem& copied = *copy.Items()[1];
    EXPECT_NE(&copied, &docs);
    // Children of a copy are in text order (not folders first), and point at their new parent.
    EXPECT_EQ(Texts(copied.children), (Strings{"a.txt", "b.txt", "img"}));
    EXPECT_EQ(copied.children[0]->parent, &copied);
    EXPECT_EQ(copied.children[0]->entry.Columns[ArchiveEntry::Source], "\\");

    // Editing the copy (what Cancel throws away) changes nothing in the original.
    copy.Remove(*copy.Items()[1]->children[0]);
    copy.Remove(*copy.Items()[0]);
    EXPECT_EQ(Texts(list.Items()), (Strings{"\\a.txt", "\\docs"}));
    EXPECT_EQ(docs.children.size(), 3u);
    EXPECT_EQ(Texts(copy.Items()), (Strings{"\\docs"}));
}

TEST(FilesList, TotalsAreWideAndPrintedWhole)
{
    DirectoryMap dirs;
    dirs.Obtain("\\");
    ArchiveEntry big = Row("\\big", "0", true);
    dirs.Obtain("\\big").Add(Row("\\big\\one.iso", "3000000000"));
    dirs.Obtain("\\big").Add(Row("\\big\\two.iso", "3000000000"));
    FilesList list;
    list.AddTop(big, "\\", 0);
    list.AddTop(Row("\\small.txt", "1234567"), "\\", 7);
    auto archiveLeaf = [&dirs](const ArchiveEntry& e, SizeTotals& t) { AddUpArchiveEntry(e, dirs, t); };

    SizeTotals totals;
    list.AddUpAll(archiveLeaf, totals);
    EXPECT_EQ(totals.files, 3);
    EXPECT_EQ(totals.bytes, 6001234567LL);
    EXPECT_EQ(SizeLineText(totals), "6,001,234,567 bytes in 3 file(s)");

    // An expanded folder adds up through its children, not through its own entry.
    FilesListItem& folder = *list.FindTop("\\big");
    FilesList::Expand(folder, *dirs.Find("\\big"), FileImage);
    list.Remove(*folder.children[0]);
    SizeTotals item;
    FilesList::AddUp(folder, archiveLeaf, item);
    EXPECT_EQ(SizeLineText(item), "3,000,000,000 bytes in 1 file(s)");

    EXPECT_EQ(SizeLineText({1002, 1234567}), "1,234,567 bytes in 1,002 file(s)");
    EXPECT_EQ(FormatThousands(9223372036854775807LL), "9,223,372,036,854,775,807");
}

} // namespace
