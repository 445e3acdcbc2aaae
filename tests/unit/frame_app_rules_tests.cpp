#include "dialogs/settings_store.h"
#include "framework/command_line.h"
#include "framework/recent_file_list.h"

#include <gtest/gtest.h>

TEST(RecentFiles, NewestFirstAtMostFourAndNoDuplicatesOfOneFile)
{
    RecentFileList list("Recent File List", 4);
    for (const char* path : {"C:\\a.j", "C:\\b.j", "C:\\c.j", "C:\\d.j", "C:\\e.j"})
        list.Add(path);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], "C:\\e.j");
    EXPECT_EQ(list[3], "C:\\b.j");

    list.Add("c:\\C.J");  // the same file in other case moves up instead of appearing twice
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], "c:\\C.J");
    EXPECT_EQ(list[1], "C:\\e.j");
    EXPECT_EQ(list[3], "C:\\b.j");

    list.Add("");
    EXPECT_EQ(list.GetCount(), 4);
}

TEST(RecentFiles, StoredAsFile1ToFile4AndRemovedEntriesDisappearFromTheStore)
{
    MemorySettingsStore store;
    RecentFileList list("Recent File List", 4);
    list.Add("C:\\old.j");
    list.Add("C:\\new.j");
    list.Save(store);
    EXPECT_EQ(store.GetProfileString("Recent File List", "File1", "?"), "C:\\new.j");
    EXPECT_EQ(store.GetProfileString("Recent File List", "File2", "?"), "C:\\old.j");

    list.Remove(0);
    list.Save(store);
    RecentFileList again("Recent File List", 4);
    again.Load(store);
    ASSERT_EQ(again.GetCount(), 1);
    EXPECT_EQ(again[0], "C:\\old.j");
}

TEST(RecentFiles, LoadSkipsGapsAndRepeats)
{
    MemorySettingsStore store;
    store.WriteProfileString("Recent File List", "File1", "C:\\a.j");
    store.WriteProfileString("Recent File List", "File3", "C:\\A.J");
    store.WriteProfileString("Recent File List", "File4", "D:\\b.j");
    RecentFileList list("Recent File List", 4);
    list.Load(store);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list[1], "D:\\b.j");
}

TEST(RecentFiles, MenuTextIsNumberedAndShowsAmpersands)
{
    RecentFileList list("Recent File List", 4);
    list.Add("C:\\R&D\\x.j");
    list.Add("C:\\a.j");
    EXPECT_EQ(list.MenuText(0), "&1 C:\\a.j");
    EXPECT_EQ(list.MenuText(1), "&2 C:\\R&&D\\x.j");
}

TEST(CommandLine, QuotesGroupAndBackslashesStay)
{
    EXPECT_EQ(SplitCommandLine("torvex.exe \"C:\\My Files\\a b.j\""),
              (std::vector<std::string>{"torvex.exe", "C:\\My Files\\a b.j"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Torvex\\torvex.exe\"   d:\\x.j  "),
              (std::vector<std::string>{"C:\\Program Files\\Torvex\\torvex.exe", "d:\\x.j"}));
    EXPECT_EQ(SplitCommandLine("torvex.exe \"C:\\\\\""), (std::vector<std::string>{"torvex.exe", "C:\\\\"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(CommandLine, FirstPlainArgumentIsTheFileAndFlagsAreRecognised)
{
    CommandLineInfo none;
    none.Parse({});
    EXPECT_EQ(none.action, CommandLineInfo::FileNew);

    CommandLineInfo open;
    open.Parse({"C:\\a.j", "C:\\b.j"});
    EXPECT_EQ(open.action, CommandLineInfo::FileOpen);
    EXPECT_EQ(open.fileName, "C:\\a.j");

    CommandLineInfo embedded;
    embedded.Parse({"/Embedding", "-automation"});
    EXPECT_TRUE(embedded.embedding);
    EXPECT_TRUE(embedded.automation);
    EXPECT_EQ(embedded.action, CommandLineInfo::FileNew);
}
