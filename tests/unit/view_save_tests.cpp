// View copies: finding them again, the save list, grouping by archive, the journal that outlives a
// killed program, the open verb and the double-click/View pairing.
#include "operations/transfer_rules.h"
#include <gtest/gtest.h>

#include <map>

#include "operations/open_verb.h"
#include "operations/view_records.h"

namespace {
ViewRecord Record(const std::string& archive, const std::string& entry, int chapter, const std::string& dir)
{
    ViewRecord r;
    r.archivePath = archive;
    r.entryPath = entry;
    r.chapter = chapter;
    r.tempDir = dir;
    r.extractedFile = dir + entry;
    r.stamp = 133000000000000000ull + chapter;
    return r;
}
} // namespace

TEST(ViewRecords, FoundByArchiveEntryAndChapterCaseSensitively)
{
    ViewedFiles files{Record("C:\\a.j", "\\doc\\Read.txt", 2, "C:\\T\\TTmp1"),
                      Record("C:\\a.j", "\\doc\\Read.txt", 3, "C:\\T\\TTmp2")};
    EXPECT_EQ(FindViewRecord(files, "C:\\a.j", "\\doc\\Read.txt", 3), &files[1]);
    EXPECT_EQ(FindViewRecord(files, "C:\\a.j", "\\doc\\read.txt", 2), nullptr);
    EXPECT_EQ(FindViewRecord(files, "c:\\a.j", "\\doc\\Read.txt", 2), nullptr);
    EXPECT_EQ(FindViewRecord(files, "C:\\a.j", "\\doc\\Read.txt", 1), nullptr);
}

TEST(ViewRecords, SaveListLineMarksWhereTheStoredPathBegins)
{
    EXPECT_EQ(SaveListLine(Record("C:\\a.j", "\\doc\\x.txt", 1, "C:\\Temp\\TTmp123")),
              "C:\\Temp\\TTmp123\\.\\doc\\x.txt\r\n");
}

TEST(ViewRecords, MarkedRecordsGroupByArchiveInListOrderAndMarksClear)
{
    ViewedFiles files{Record("C:\\b.j", "\\1", 1, "T1"), Record("C:\\a.j", "\\2", 1, "T2"),
                      Record("C:\\b.j", "\\3", 1, "T3"), Record("C:\\a.j", "\\4", 1, "T4")};
    files[0].saveMark = files[1].saveMark = files[2].saveMark = true;
    std::vector<SaveGroup> groups = TakeMarkedGroups(files);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].archivePath, "C:\\b.j");
    EXPECT_EQ(groups[0].records, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(groups[1].records, (std::vector<std::size_t>{1}));
    for (const ViewRecord& r : files)
        EXPECT_FALSE(r.saveMark);
    EXPECT_TRUE(TakeMarkedGroups(files).empty());
}

TEST(ViewJournal, RoundTripsAndKeepsWholeRecordsBeforeACut)
{
    ViewedFiles files{Record("C:\\My Files\\a.j", "\\doc\\x y.txt", 2, "C:\\Temp\\TTmp9"),
                      Record("D:\\b.j", "\\z", 1, "C:\\Temp\\TTmp10")};
    std::string text = JournalText(files);
    ViewedFiles back = ParseJournal(text);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].archivePath, "C:\\My Files\\a.j");
    EXPECT_EQ(back[0].entryPath, "\\doc\\x y.txt");
    EXPECT_EQ(back[0].extractedFile, "C:\\Temp\\TTmp9\\doc\\x y.txt");
    EXPECT_EQ(back[0].chapter, 2);
    EXPECT_EQ(back[0].stamp, files[0].stamp);
    EXPECT_EQ(back[1].tempDir, "C:\\Temp\\TTmp10");

    // A kill in the middle of the last line leaves it without its line end: it is dropped.
    EXPECT_EQ(ParseJournal(text.substr(0, text.size() - 5)).size(), 1u);
    // Damaged lines are skipped, the rest is kept; a file of another kind gives nothing.
    EXPECT_EQ(ParseJournal("TorvexViewJournal 1\r\nx\tq\r\n" + text.substr(text.find('\n') + 1)).size(), 2u);
    EXPECT_TRUE(ParseJournal("something else\r\n" + text.substr(text.find('\n') + 1)).empty());
    EXPECT_TRUE(ParseJournal("").empty());
}

TEST(ViewJournal, FileNameCarriesTheProcessId)
{
    EXPECT_EQ(JournalFileName(4242), "~TTmpJournal4242.txt");
    EXPECT_EQ(JournalProcessId("~TTmpJournal4242.txt"), 4242ul);
    EXPECT_FALSE(JournalProcessId("~TTmpJournal.txt"));
    EXPECT_FALSE(JournalProcessId("~TTmpJournal12x.txt"));
    EXPECT_FALSE(JournalProcessId("~TTmpSave"));
    // The per-drag folders of a process: the same rule, without a suffix.
    EXPECT_EQ(TransferFolderName(4242), "~TDrag4242");
    EXPECT_EQ(TransferFolderProcessId("~TDrag4242"), 4242ul);
    EXPECT_FALSE(TransferFolderProcessId("~TDrag"));
    EXPECT_FALSE(TransferFolderProcessId("~TDrag12-3"));
    EXPECT_FALSE(TransferFolderProcessId("~TTmpJournal4242.txt"));
}

namespace {
class FakeClassRegistry : public ClassRegistry {
public:
    std::map<std::string, std::string> defaults;
    std::map<std::string, std::vector<std::string>> subkeys;
    std::optional<std::string> DefaultValue(const std::string& key) override
    {
        auto it = defaults.find(key);
        return it == defaults.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::vector<std::string> SubkeyNames(const std::string& key) override
    {
        auto it = subkeys.find(key);
        return it == subkeys.end() ? std::vector<std::string>() : it->second;
    }
};
} // namespace

TEST(OpenVerb, FollowsTheTypesShellKey)
{
    FakeClassRegistry reg;
    EXPECT_EQ(FindOpenVerb(reg, "readme"), "");
    EXPECT_EQ(FindOpenVerb(reg, "a.txt"), "");  // no type registered
    reg.defaults[".txt"] = "";
    EXPECT_EQ(FindOpenVerb(reg, "a.txt"), "");  // empty type name
    reg.defaults[".txt"] = "txtfile";
    reg.defaults["txtfile\\shell"] = "";
    EXPECT_EQ(FindOpenVerb(reg, "a.txt"), "");  // no verb at all
    reg.subkeys["txtfile\\shell"] = {"edit"};
    EXPECT_EQ(FindOpenVerb(reg, "a.txt"), "edit");
    reg.subkeys["txtfile\\shell"] = {"edit", "print"};
    EXPECT_EQ(FindOpenVerb(reg, "a.txt"), "open");
    reg.defaults["txtfile\\shell"] = "print";
    EXPECT_EQ(FindOpenVerb(reg, "a.b.txt"), "print");
}

TEST(OpenVerb, ViewAlwaysLaunchesTheOtherOfDoubleClick)
{
    EXPECT_EQ(DoubleClickLauncher(0), FileLauncher::Association);
    EXPECT_EQ(ViewCommandLauncher(0), FileLauncher::Viewer);
    EXPECT_STREQ(ViewCommandLabel(0), "View File\tCtrl+V");
    EXPECT_EQ(DoubleClickLauncher(1), FileLauncher::Viewer);
    EXPECT_EQ(ViewCommandLauncher(1), FileLauncher::Association);
    EXPECT_STREQ(ViewCommandLabel(1), "Open File\tCtrl+V");
}
