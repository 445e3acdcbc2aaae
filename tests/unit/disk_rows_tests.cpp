#include "ui/disk_rows.h"

#include <gtest/gtest.h>

namespace {

TEST(DiskRows, RowCellsFromAFolderItem)
{
    DiskItem item;
    item.name = "a.txt";
    item.size = 1234;
    item.modified = {2026, 3, 4, 5, 6, 7};
    item.created = {1999, 12, 31, 23, 59, 59};
    ArchiveEntry row = MakeDiskRow("C:\\data", item);
    EXPECT_EQ(row.Path, "C:\\data\\a.txt");
    EXPECT_EQ(row.Columns[ArchiveEntry::Name], "a.txt");
    EXPECT_EQ(row.Columns[ArchiveEntry::Size], "1234");
    EXPECT_EQ(row.Columns[ArchiveEntry::Modified], "2026-03-04 05:06:07");
    EXPECT_EQ(row.Columns[ArchiveEntry::Created], "1999-12-31 23:59:59");
    EXPECT_EQ(row.Columns[ArchiveEntry::Attributes], ".....");
    EXPECT_FALSE(row.IsDirectory());
    for (int c = ArchiveEntry::Chapter; c < ArchiveEntry::ColumnCount; ++c)
        EXPECT_TRUE(row.Columns[c].empty());

    item.name = "sub";
    item.directory = true;
    item.size = 0;
    row = MakeDiskRow("C:", item); // at a drive root
    EXPECT_EQ(row.Path, "C:\\sub");
    EXPECT_TRUE(row.IsDirectory());
}

TEST(DiskRows, SizesOfTwoGibibytesAndMoreArePrintedWhole)
{
    DiskItem item;
    item.name = "big.iso";
    item.size = 2147483648ULL;
    EXPECT_EQ(MakeDiskRow("C:", item).Columns[ArchiveEntry::Size], "2147483648");
    item.size = 5000000000ULL;
    EXPECT_EQ(MakeDiskRow("C:", item).Columns[ArchiveEntry::Size], "5000000000");
}

TEST(DiskRows, DotNamesWatchedPathsAndDriveText)
{
    EXPECT_TRUE(IsDotName("."));
    EXPECT_TRUE(IsDotName(".."));
    EXPECT_FALSE(IsDotName("...x"));
    EXPECT_EQ(WatchedPath("C:"), "C:\\");
    EXPECT_EQ(WatchedPath("C:\\data"), "C:\\data");
    EXPECT_EQ(DriveNotReadyText("A:\\"), "Drive A:\\ not ready");
}

} // namespace
