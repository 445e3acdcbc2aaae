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

TEST(DeleteChapters, ItemsSkipMissingChaptersAndTheCommandNamesTheChosen)
{
    ArchiveCatalogue catalogue;
    for (int n : {1, 4, 5})
        catalogue.SetChapter(n, std::make_unique<ChapterInfo>());
    EXPECT_EQ(ChapterItems(catalogue), (std::vector<std::string>{"Chapter 1", "Chapter 4", "Chapter 5"}));
    EXPECT_TRUE(ChapterItems(ArchiveCatalogue()).empty());

    EXPECT_EQ(DeleteChaptersCommand("C:\\a b\\x.j", {"Chapter 2", "Chapter 3"}), " dc \"C:\\a b\\x.j\" 2 3");
    EXPECT_EQ(DeleteChaptersCommand("C:\\x.j", {}), " dc \"C:\\x.j\"");
    EXPECT_EQ(DeleteChaptersCommand("C:\\x.j", {"Chapter 12", "junk"}), " dc \"C:\\x.j\" 12");
}

TEST(DeleteList, DirectoriesBringEverythingBelowThem)
{
    DirectoryMap dirs;
    auto add = [&dirs](const std::string& folder, const std::string& path, bool dir) {
        ArchiveEntry e;
        e.Path = path;
        e.Columns[ArchiveEntry::Attributes] = dir ? "....D" : ".....";
        dirs.Obtain(folder).Add(e);
    };
    add("\\", "\\docs", true);
    add("\\", "\\top.txt", false);
    add("\\docs", "\\docs\\a.txt", false);
    add("\\docs", "\\docs\\img", true);
    add("\\docs\\img", "\\docs\\img\\p.png", false);
    EntryList chosen;
    chosen.Add((*dirs.Find("\\"))[1]);
    chosen.Add((*dirs.Find("\\"))[0]);
    EXPECT_EQ(DeleteListText(chosen, dirs),
              "\\top.txt\r\n\\docs\r\n\\docs\\a.txt\r\n\\docs\\img\r\n\\docs\\img\\p.png\r\n");
    EXPECT_EQ(DeleteListText(EntryList(), dirs), "");
}

} // namespace
