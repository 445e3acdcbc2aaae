#include "ui/selection_size.h"

#include <gtest/gtest.h>

namespace {

ArchiveEntry& Add(DirectoryMap& dirs, const std::string& folder, const std::string& path, const std::string& size,
                  bool directory = false)
{
    ArchiveEntry e;
    e.Path = path;
    e.Columns[ArchiveEntry::Name] = path.substr(path.rfind('\\') + 1);
    e.Columns[ArchiveEntry::Size] = size;
    e.Columns[ArchiveEntry::Attributes] = directory ? "....D" : ".....";
    if (directory)
        dirs.Obtain(path);
    return dirs.Obtain(folder).Add(e);
}

TEST(SelectionSize, ArchiveDirectoriesAddUpEverythingBelowThem)
{
    DirectoryMap dirs;
    dirs.Obtain("\\");
    ArchiveEntry& docs = Add(dirs, "\\", "\\docs", "0", true);
    ArchiveEntry& top = Add(dirs, "\\", "\\top.txt", "1000");
    Add(dirs, "\\docs", "\\docs\\a.txt", "200");
    Add(dirs, "\\docs", "\\docs\\img", "0", true);
    Add(dirs, "\\docs\\img", "\\docs\\img\\p.png", "34");
    Add(dirs, "\\docs\\img", "\\docs\\img\\huge.iso", "3000000000");

    SizeTotals totals;
    AddUpArchiveEntry(top, dirs, totals);
    AddUpArchiveEntry(docs, dirs, totals);
    EXPECT_EQ(totals.files, 4);
    EXPECT_EQ(totals.bytes, 3000001234LL);
    EXPECT_EQ(SizeLineText(totals), "3,000,001,234 bytes in 4 file(s)");

    // A listing that puts a folder inside itself must not loop.
    Add(dirs, "\\docs\\img", "\\docs", "0", true);
    SizeTotals again;
    AddUpArchiveEntry(docs, dirs, again);
    EXPECT_EQ(again.files, 3);
}

TEST(SelectionSize, FileRowsAndTheSizeLine)
{
    ArchiveEntry a, b;
    a.Columns[ArchiveEntry::Size] = "1000";
    b.Columns[ArchiveEntry::Size] = "234";
    SizeTotals totals;
    AddUpFileRow(a, totals);
    AddUpFileRow(b, totals);
    EXPECT_EQ(SizeLineText(totals), "1,234 bytes in 2 file(s)");
    EXPECT_EQ(SizeLineText(SizeTotals{}), "0 bytes in 0 file(s)");
    // The status bar's pane: only for two rows or more.
    EXPECT_EQ(SelectionStatusText(1, totals), "");
    EXPECT_EQ(SelectionStatusText(1200, totals), "1,200 selected: 1,234 bytes in 2 file(s)");
}

} // namespace
