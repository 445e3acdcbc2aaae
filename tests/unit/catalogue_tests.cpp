#include "engine/archive_catalogue.h"
#include "engine/path_helpers.h"

#include <gtest/gtest.h>

namespace {

ArchiveEntry Entry(const std::string& path, const std::string& attributes = ".....")
{
    ArchiveEntry e;
    e.Path = path;
    e.Columns[ArchiveEntry::Attributes] = attributes;
    return e;
}

TEST(ArchiveEntry, ParentDirectoryWalksUpToTheRoot)
{
    std::string parent;
    EXPECT_FALSE(Entry("\\").ParentDirectory(parent));
    EXPECT_EQ(parent, "\\");
    EXPECT_TRUE(Entry("\\a").ParentDirectory(parent));
    EXPECT_EQ(parent, "\\");
    EXPECT_TRUE(Entry("\\a\\b").ParentDirectory(parent));
    EXPECT_EQ(parent, "\\a");
    EXPECT_TRUE(Entry("plain").ParentDirectory(parent));
    EXPECT_EQ(parent, "");
}

TEST(ArchiveEntry, DirectoryAndArchiveTests)
{
    EXPECT_TRUE(Entry("\\d", "....D").IsDirectory());
    EXPECT_FALSE(Entry("\\d", "...D").IsDirectory());
    EXPECT_FALSE(Entry("\\f", ".....").IsDirectory());
    EXPECT_TRUE(Entry("\\x\\a.j").IsArchiveFile());
    EXPECT_FALSE(Entry("\\A.J").IsArchiveFile());
    EXPECT_FALSE(Entry("\\a.jar").IsArchiveFile());
    EXPECT_FALSE(Entry("\\dir.j\\file").IsArchiveFile());
}

TEST(ArchiveEntry, CopiesDropComments)
{
    ArchiveEntry original = Entry("\\a\\b.txt");
    original.Comment = {"first", "second"};
    original.Columns[ArchiveEntry::Source] = "\\a";
    ArchiveEntry copy(original);
    EXPECT_TRUE(copy.Comment.empty());
    EXPECT_EQ(copy.Path, "\\a\\b.txt");
    EXPECT_EQ(copy.Columns[ArchiveEntry::Source], "\\a");

    ArchiveEntry assigned;
    assigned.Comment = {"stale"};
    assigned = original;
    EXPECT_TRUE(assigned.Comment.empty());
    EXPECT_EQ(assigned.Columns, original.Columns);
}

TEST(PathHelpers, ParentAndLeaf)
{
    std::string out;
    EXPECT_FALSE(ParentPath("\\", out));
    EXPECT_EQ(out, "\\");
    EXPECT_TRUE(ParentPath("\\a", out));
    EXPECT_EQ(out, "\\");
    EXPECT_TRUE(ParentPath("c:\\x\\y.txt", out));
    EXPECT_EQ(out, "c:\\x");
    EXPECT_FALSE(ParentPath("c:", out));
    EXPECT_EQ(out, "");

    EXPECT_FALSE(LeafName("\\", out));
    EXPECT_EQ(out, "\\");
    EXPECT_TRUE(LeafName("c:\\x\\y.txt", out));
    EXPECT_EQ(out, "y.txt");
    EXPECT_FALSE(LeafName("name", out));
    EXPECT_EQ(out, "name");
}

TEST(PathHelpers, ExtensionAndDriveRoot)
{
    EXPECT_EQ(FileExtension("c:\\v1.2\\notes"), "2\\notes");
    EXPECT_EQ(FileExtension("a.tar.j"), "j");
    EXPECT_EQ(FileExtension("none"), "");
    EXPECT_EQ(DriveRoot("C:\\x\\y"), "C:\\");
    EXPECT_EQ(DriveRoot("C:"), "");
    EXPECT_EQ(DriveRoot("1:\\x"), "");
    EXPECT_EQ(DriveRoot("\\\\server\\share"), "");
}

TEST(ArchiveCatalogue, ChapterTableGrowsAndClears)
{
    ArchiveCatalogue catalogue;
    catalogue.ArchivePath = "c:\\a.j";
    catalogue.Ratio = "0.50";
    catalogue.SetChapter(3, std::make_unique<ChapterInfo>());
    catalogue.SetChapter(1, std::make_unique<ChapterInfo>());
    catalogue.LastChapter = 3;
    EXPECT_EQ(catalogue.Chapters.size(), 4u);
    EXPECT_NE(catalogue.Chapter(1), nullptr);
    EXPECT_EQ(catalogue.Chapter(2), nullptr);
    EXPECT_EQ(catalogue.Chapter(0), nullptr);
    EXPECT_EQ(catalogue.Chapter(4), nullptr);
    EXPECT_EQ(catalogue.ChapterNumbers(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(ArchiveCatalogue().ChapterNumbers().empty());
    EXPECT_EQ(ChapterLabel(10), "Chapter 10");

    catalogue.Chapter(3)->Directories.Obtain("\\").Add(Entry("\\x"));
    catalogue.Chapter(3)->Directories.Obtain("\\docs");
    EXPECT_EQ(catalogue.Chapter(3)->Directories.Find("\\")->size(), 1u);
    // A folder is shown again only where the chapter still has it (case-sensitive), else the root.
    EXPECT_EQ(catalogue.FolderOrRoot(3, "\\docs"), "\\docs");
    EXPECT_EQ(catalogue.FolderOrRoot(3, "\\Docs"), "\\");
    EXPECT_EQ(catalogue.FolderOrRoot(3, "\\gone"), "\\");
    EXPECT_EQ(catalogue.FolderOrRoot(2, "\\docs"), "\\");
    catalogue.Chapter(3)->Clear();
    EXPECT_EQ(catalogue.Chapter(3)->Directories.Find("\\"), nullptr);

    catalogue.Clear();
    EXPECT_EQ(catalogue.LastChapter, 0);
    EXPECT_TRUE(catalogue.Chapters.empty());
    EXPECT_EQ(catalogue.ArchivePath, "c:\\a.j");
    EXPECT_EQ(catalogue.Ratio, "0.50");
}

} // namespace
