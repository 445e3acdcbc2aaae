#include "operations/add_list.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/path_helpers.h"

namespace {

namespace fs = std::filesystem;

// Lists a real folder named with backslashes; sorted, as the order of a native search is not fixed.
void ListNative(const std::string& folder, std::vector<FoundName>& found)
{
    std::string path = folder;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::vector<FoundName> names;
    for (const auto& item : fs::directory_iterator(path))
        names.push_back({item.path().filename().string(), item.is_directory(), false});
    std::sort(names.begin(), names.end(), [](const FoundName& a, const FoundName& b) { return a.name < b.name; });
    found.insert(found.end(), names.begin(), names.end());
}

ArchiveEntry DiskRow(const std::string& path, bool directory, const std::string& source)
{
    ArchiveEntry e = DroppedEntry(path, directory);
    e.Columns[ArchiveEntry::Source] = source;
    return e;
}

class AddListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = (fs::temp_directory_path() / ("torvex_addlist_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))).string();
        fs::remove_all(root);
        fs::create_directories(root + "/data/sub/deeper");
        fs::create_directories(root + "/data/empty");
        for (const char* f : {"/data/b.txt", "/data/sub/a.txt", "/data/sub/deeper/c.bin", "/report.txt"})
            std::ofstream(root + f) << "x";
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Lines(const EntryList& entries, PathOption pathOption) const
    {
        std::string out;
        AppendAddListLines(entries, pathOption, ListNative, out);
        return out;
    }

    std::string root;
};

TEST_F(AddListTest, FilesAndFoldersWithFullPath)
{
    EntryList rows;
    rows.Add(DiskRow(root + "\\report.txt", false, root));
    rows.Add(DiskRow(root + "\\data", true, root));
    const std::string r = root;
    EXPECT_EQ(Lines(rows, PathOption::Full), r + "\\report.txt\r\n" + r + "\\data\r\n" + r + "\\data\\b.txt\r\n" + r + "\\data\\empty\r\n" + r +
                                  "\\data\\sub\r\n" + r + "\\data\\sub\\a.txt\r\n" + r + "\\data\\sub\\deeper\r\n" + r +
                                  "\\data\\sub\\deeper\\c.bin\r\n");
    // No Path lists the same disk paths: the archiver drops them itself.
    EXPECT_EQ(Lines(rows, PathOption::None), Lines(rows, PathOption::Full));
}

TEST_F(AddListTest, PartialPathMarksWhereTheStoredPathBegins)
{
    EntryList rows;
    rows.Add(DiskRow(root + "\\data\\sub", true, root + "\\data"));
    const std::string d = root + "\\data";
    EXPECT_EQ(Lines(rows, PathOption::Partial), d + "\\.\\sub\r\n" + d + "\\.\\sub\\a.txt\r\n" + d + "\\.\\sub\\deeper\r\n" + d +
                                  "\\.\\sub\\deeper\\c.bin\r\n");
    // Seen from a bare drive.
    EXPECT_EQ(AddListLine("C:\\a.txt", "C:", PathOption::Partial), "C:\\.\\a.txt");
    EXPECT_EQ(AddListLine("c:\\data\\sub\\a.txt", "c:\\data", PathOption::Partial), "c:\\data\\.\\sub\\a.txt");
    EXPECT_EQ(AddListLine("c:\\data\\sub\\a.txt", "c:\\data", PathOption::Full), "c:\\data\\sub\\a.txt");
}

TEST_F(AddListTest, DropsAreStoredUnderTheirOwnNames)
{
    EntryList rows;
    rows.Add(DroppedEntry(root + "\\report.txt", false));
    rows.Add(DroppedEntry(root + "\\data\\sub", true));
    const std::string d = root + "\\data";
    EXPECT_EQ(Lines(rows, PathOption::Partial), root + "\\.\\report.txt\r\n" + d + "\\.\\sub\r\n" + d + "\\.\\sub\\a.txt\r\n" + d +
                                  "\\.\\sub\\deeper\r\n" + d + "\\.\\sub\\deeper\\c.bin\r\n");

    ArchiveEntry folder = DroppedEntry("C:\\docs\\src", true);
    EXPECT_EQ(folder.Columns[ArchiveEntry::Name], "src");
    EXPECT_EQ(folder.Columns[ArchiveEntry::Source], "C:\\docs");
    EXPECT_TRUE(folder.IsDirectory());
    EXPECT_FALSE(DroppedEntry("C:\\a.txt", false).IsDirectory());
    EXPECT_EQ(DroppedEntry("C:\\a.txt", false).Columns[ArchiveEntry::Source], "C:");
}

TEST(AddListLinks, ALinkedFolderIsListedButNotEntered)
{
    EntryList rows;
    rows.Add(DiskRow("C:\\d", true, "C:"));
    auto lister = [](const std::string& folder, std::vector<FoundName>& found) {
        if (folder == "C:\\d")
            found.push_back({"loop", true, true});
        else
            found.push_back({"never", false, false});
    };
    std::string out;
    AppendAddListLines(rows, PathOption::Full, lister, out);
    EXPECT_EQ(out, "C:\\d\r\nC:\\d\\loop\r\n");
}

TEST(AddListSpeed, HundredThousandLinesWrittenUnderASecond)
{
    EntryList rows;
    rows.Reserve(100000);
    for (int i = 0; i < 100000; ++i)
        rows.Add(DiskRow("C:\\data\\folder " + std::to_string(i % 97) + "\\file number " + std::to_string(i) + ".txt", false,
                         "C:\\data"));
    std::string path = (fs::temp_directory_path() / "torvex_addlist_speed").string();
    auto start = std::chrono::steady_clock::now();
    std::string out;
    AppendAddListLines(rows, PathOption::Partial, ListNative, out);
    ASSERT_TRUE(WriteTextFile(path, out));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(fs::file_size(path), out.size());
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 100000);
    fs::remove(path);
    EXPECT_LT(seconds, 1.0);
    RecordProperty("seconds", std::to_string(seconds));
}

TEST(ProposedArchive, FolderByTheAddDirectorySetting)
{
    // A file loses its extension, a folder keeps its whole name.
    EXPECT_EQ(ProposedArchiveName("report.txt", false, 1, "D:\\last", "E:\\fixed", "c:\\docs"), "c:\\docs\\report.j");
    EXPECT_EQ(ProposedArchiveName("src", true, 1, "D:\\last", "E:\\fixed", "c:\\docs"), "c:\\docs\\src.j");
    EXPECT_EQ(ProposedArchiveName("v1.2", true, 1, "", "", "c:\\docs"), "c:\\docs\\v1.2.j");
    EXPECT_EQ(ProposedArchiveName("Makefile", false, 1, "", "", "c:\\docs"), "c:\\docs\\Makefile.j");
    EXPECT_EQ(ProposedArchiveName("a.tar.gz", false, 1, "", "", "C:"), "C:\\a.tar.j");
    EXPECT_EQ(ProposedArchiveName("report.txt", false, 0, "D:\\last", "E:\\fixed", "c:\\docs"), "D:\\last\\report.j");
    // An empty last folder falls back to the shown one.
    EXPECT_EQ(ProposedArchiveName("report.txt", false, 0, "", "E:\\fixed", "c:\\docs"), "c:\\docs\\report.j");
    EXPECT_EQ(ProposedArchiveName("report.txt", false, 2, "D:\\last", "E:\\fixed", "c:\\docs"), "E:\\fixed\\report.j");
    EXPECT_EQ(ProposedArchiveName("report.txt", false, 2, "", "e:\\", "c:\\docs"), "e:\\report.j");
    // A dropped path: the extension is looked for in its last part only.
    EXPECT_EQ(ArchiveFileNameFor("C:\\my.dir\\notes", false), "notes.j");
    EXPECT_EQ(ArchiveFileNameFor("C:\\docs\\a.txt", false), "a.j");
}

} // namespace
