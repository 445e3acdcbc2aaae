#include "shellext/context_menu_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace shellext;

namespace {

constexpr unsigned kNormal = 0x0, kDefaultOnly = 0x1, kVerbsOnly = 0x2, kExplore = 0x4, kCanRename = 0x10;

MenuPlan Plan(const std::vector<std::string>& paths, bool firstIsFolder = false, unsigned flags = kNormal,
              int extract = 1, int compress = 1)
{
    return PlanContextMenu(flags, paths, firstIsFolder, MenuSettings{extract, compress});
}

TEST(ContextMenuPlan, SingleArchiveOffersTheThreeExtractItems)
{
    MenuPlan plan = Plan({"C:\\data\\backup.j"});
    EXPECT_EQ(plan.mode, MenuMode::Extract);
    EXPECT_EQ(plan.archivePath, "C:\\data\\backup.j");
    EXPECT_EQ(plan.items, (std::vector<std::string>{"Extract Here", "Extract to C:\\data\\backup", "Extract to ..."}));

    // Switched off, a single archive gets nothing at all, not the add item.
    EXPECT_EQ(Plan({"C:\\data\\backup.j"}, false, kNormal, 0, 1).mode, MenuMode::None);
    EXPECT_TRUE(Plan({"C:\\data\\backup.j"}, false, kNormal, 0, 1).items.empty());
}

TEST(ContextMenuPlan, AddItemNamesTheArchiveBuiltFromTheFirstPath)
{
    struct Case {
        std::vector<std::string> paths;
        bool folder;
        std::string archive, item;
    } cases[] = {
        {{"C:\\docs\\report.txt"}, false, "C:\\docs\\report.j", "Add to report.j"},
        // Two archives: only the add item, for the first one.
        {{"C:\\x\\a.j", "C:\\x\\b.j"}, false, "C:\\x\\a.j", "Add to a.j"},
        // An upper-case extension is not an archive.
        {{"C:\\x\\ARCHIVE.J"}, false, "C:\\x\\ARCHIVE.j", "Add to ARCHIVE.j"},
        {{"C:\\data\\photos"}, true, "C:\\data\\photos.j", "Add to photos.j"},
        // A folder keeps its dots; a file is cut at the last dot of the whole path.
        {{"C:\\data\\my.pics"}, true, "C:\\data\\my.pics.j", "Add to my.pics.j"},
        {{"C:\\v1.2\\notes"}, false, "C:\\v1.j", "Add to v1.j"},
        {{"C:\\plain\\README"}, false, "C:\\plain\\README.j", "Add to README.j"},
        {{"C:\\x\\archive.tar.gz", "C:\\x\\y"}, false, "C:\\x\\archive.tar.j", "Add to archive.tar.j"},
    };
    for (const Case& c : cases) {
        MenuPlan plan = Plan(c.paths, c.folder);
        EXPECT_EQ(plan.mode, MenuMode::Add) << c.paths[0];
        EXPECT_EQ(plan.archivePath, c.archive) << c.paths[0];
        EXPECT_EQ(plan.items, std::vector<std::string>{c.item}) << c.paths[0];
    }
    EXPECT_EQ(Plan({"C:\\docs\\report.txt"}, false, kNormal, 1, 0).mode, MenuMode::None);
}

TEST(ContextMenuPlan, OnlyOrdinaryAndExplorerMenusGetItems)
{
    EXPECT_EQ(Plan({"C:\\a.j"}, false, kExplore).items.size(), 3u);
    EXPECT_EQ(Plan({"C:\\a.txt"}, false, kExplore | kCanRename).items.size(), 1u);
    EXPECT_TRUE(Plan({"C:\\a.j"}, false, kDefaultOnly).items.empty());
    EXPECT_TRUE(Plan({"C:\\a.txt"}, false, kVerbsOnly).items.empty());
    EXPECT_TRUE(Plan({"C:\\a.txt"}, false, kExplore | kDefaultOnly).items.empty());
    EXPECT_TRUE(Plan({}).items.empty());
}

TEST(JarCommandLines, ExtractCommandsAreExact)
{
    EXPECT_EQ(JarCommandLine("C:\\Torvex", ExtractHereSwitches("C:\\data\\backup.j"), "C:\\data\\backup.j", ""),
              "C:\\Torvex\\jar32.exe  x -r -jf -y  \"C:\\data\\backup.j\"");
    EXPECT_EQ(JarCommandLine("C:\\Torvex", ExtractToFolderSwitches("C:\\data\\backup.j"), "C:\\data\\backup.j", ""),
              "C:\\Torvex\\jar32.exe  x -r -jf -y -o\"C:\\data\\backup\"  \"C:\\data\\backup.j\"");
    EXPECT_EQ(ProgramCommandLine("C:\\Program Files\\Torvex", "D:\\a b\\x.j"),
              "\"C:\\Program Files\\Torvex\\torvex.exe\" \"D:\\a b\\x.j\"");
    EXPECT_EQ(JarConfigFile("C:\\Torvex"), "C:\\Torvex\\Torvex.cfg");
}

TEST(JarCommandLines, AddSwitchesFollowCompressionAndWorkFolder)
{
    EXPECT_EQ(AddSwitches(0, 0, "c:"), "a -y -r- -jf -m4");
    EXPECT_EQ(AddSwitches(3, 0, "c:"), "a -y -r- -jf -m1");
    // A drive alone gets its root; a folder is taken as it is.
    EXPECT_EQ(AddSwitches(1, 1, "d:"), "a -y -r- -jf -m3 -w\"d:\\\"");
    EXPECT_EQ(AddSwitches(2, 1, "D:\\work"), "a -y -r- -jf -m2 -w\"D:\\work\"");
    // Values the settings dialog cannot produce stay valid switches.
    EXPECT_EQ(AddSwitches(7, 0, ""), "a -y -r- -jf -m1");
    EXPECT_EQ(AddSwitches(-1, 0, ""), "a -y -r- -jf -m4");
    EXPECT_EQ(JarCommandLine("C:\\T", AddSwitches(0, 0, ""), "C:\\x\\a.j", AddTail("C:\\Temp\\~TorvexAdd")),
              "C:\\T\\jar32.exe a -y -r- -jf -m4 \"C:\\x\\a.j\" !\"C:\\Temp\\~TorvexAdd\"");
}

TEST(JarCommandLines, JarRunsInTheArchiveFolder)
{
    EXPECT_EQ(FolderPart("C:\\data\\a.j"), "C:\\data");
    EXPECT_EQ(FolderPart("\\a.j"), "\\");
    EXPECT_EQ(FolderPart("a.j"), "");
    EXPECT_EQ(WorkingFolderFor("C:\\data\\a.j"), "C:\\data");
    // "C:" alone would be whatever folder the child thinks current on C:.
    EXPECT_EQ(WorkingFolderFor("C:\\a.j"), "C:\\");
    EXPECT_EQ(WorkingFolderFor("\\\\server\\share\\a.j"), "\\\\server\\share");
    // No process starts in a folder this long: JAR starts where the shell is, with full paths.
    std::string longest = "C:\\" + std::string(254, 'd');
    EXPECT_EQ(WorkingFolderFor(longest + "\\a.j"), longest);
    EXPECT_EQ(WorkingFolderFor(longest + "d\\a.j"), "");
    EXPECT_EQ(ExtractHereSwitches(longest + "d\\a.j"), " x -r -jf -y -o\"" + longest + "d\" ");
}

// A small disk: folder -> names in the order a search returns them.
class FakeDisk : public DiskLister {
public:
    std::map<std::string, std::vector<std::string>> folders;
    std::set<std::string> links;
    bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
    bool IsLink(const std::string& path) override { return links.count(path) != 0; }
    std::vector<std::string> Names(const std::string& folder) override
    {
        ++listed[folder];
        std::vector<std::string> names{".", ".."};
        auto it = folders.find(folder);
        if (it != folders.end())
            names.insert(names.end(), it->second.begin(), it->second.end());
        return names;
    }
    std::map<std::string, int> listed;
};

std::vector<std::string> Lines(const std::vector<std::string>& paths, bool skipDir, DiskLister& disk)
{
    std::vector<std::string> lines;
    WriteAddList(paths, skipDir, disk, [&](const std::string& line) { lines.push_back(line); });
    return lines;
}

class AddListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        disk.folders["C:\\data\\photos"] = {"b.jpg", "trip", "a.jpg"};
        disk.folders["C:\\data\\photos\\trip"] = {"day1.jpg"};
        disk.folders["C:\\data\\empty"] = {};
    }
    FakeDisk disk;
};

TEST_F(AddListTest, FilesAndFoldersBelowTheFirstPathsFolder)
{
    EXPECT_EQ(Lines({"C:\\data\\notes.txt", "C:\\data\\photos", "C:\\data\\empty"}, false, disk),
              (std::vector<std::string>{
                  "C:\\data\\.\\notes.txt",
                  "C:\\data\\.\\photos",
                  "C:\\data\\.\\photos\\b.jpg",
                  "C:\\data\\.\\photos\\trip",
                  "C:\\data\\.\\photos\\trip\\day1.jpg",
                  "C:\\data\\.\\photos\\a.jpg",
                  "C:\\data\\.\\empty",
              }));
    EXPECT_EQ(Lines({"C:\\root.txt"}, false, disk), std::vector<std::string>{"C:\\.\\root.txt"});
}

TEST_F(AddListTest, SkipTopmostDirectoryStoresOneFoldersContentsWithoutItsName)
{
    EXPECT_EQ(Lines({"C:\\data\\photos"}, true, disk),
              (std::vector<std::string>{
                  "C:\\data\\photos\\.\\",
                  "C:\\data\\photos\\.\\b.jpg",
                  "C:\\data\\photos\\.\\trip",
                  "C:\\data\\photos\\.\\trip\\day1.jpg",
                  "C:\\data\\photos\\.\\a.jpg",
              }));
    // It applies to exactly one folder only.
    EXPECT_EQ(Lines({"C:\\data\\notes.txt"}, true, disk), std::vector<std::string>{"C:\\data\\.\\notes.txt"});
    EXPECT_EQ(Lines({"C:\\data\\empty", "C:\\data\\notes.txt"}, true, disk),
              (std::vector<std::string>{"C:\\data\\.\\empty", "C:\\data\\.\\notes.txt"}));
}

TEST_F(AddListTest, LinkedFolderIsListedButNotEntered)
{
    // A junction back to its own ancestor would recurse without end.
    disk.folders["C:\\data\\photos\\loop"] = {"trip"};
    disk.folders["C:\\data\\photos"].push_back("loop");
    disk.links.insert("C:\\data\\photos\\loop");
    std::vector<std::string> lines = Lines({"C:\\data\\photos"}, false, disk);
    EXPECT_EQ(lines.back(), "C:\\data\\.\\photos\\loop");
    EXPECT_EQ(disk.listed.count("C:\\data\\photos\\loop"), 0u);
}

TEST_F(AddListTest, PathsFromOtherFoldersKeepTheirOwnBase)
{
    // Search results can hand over paths from several folders.
    EXPECT_EQ(Lines({"C:\\data\\notes.txt", "C:\\other\\deeper\\x.txt", "C:\\DATA\\y.txt", "C:\\datax.txt"}, false,
                    disk),
              (std::vector<std::string>{"C:\\data\\.\\notes.txt", "C:\\other\\deeper\\.\\x.txt",
                                        "C:\\data\\.\\y.txt", "C:\\.\\datax.txt"}));
}

} // namespace
