// The Directories dialog's OK checks and the Miscellaneous dialog's minutes range.
#include <gtest/gtest.h>

#include <set>

#include "dialogs/directories_checks.h"
#include "dialogs/miscellaneous_settings.h"
#include "dialogs/setting_names.h"

namespace {
struct Disk {
    std::set<std::string> folders{"c:", "d:", "d:\\work", "c:\\Torvex"};
    std::set<std::string> files{"c:\\Torvex\\jar32.exe", "c:\\Torvex\\Torvex.exe"};
    DirectoriesProbe Probe()
    {
        return {[this](const std::string& f) { return folders.count(f) > 0; },
                [this](const std::string& f) { return files.count(f) > 0; }};
    }
};

DirectoriesInput ValidInput()
{
    DirectoriesInput in;
    in.jarEdit = "c:\\Torvex";
    in.torvexEdit = "c:\\Torvex";
    return in;
}
} // namespace

TEST(DirectoriesChecks, StripsTrailingBackslashesAndAcceptsABareDrive)
{
    EXPECT_EQ(StripTrailingBackslashes("d:\\work\\\\"), "d:\\work");
    EXPECT_EQ(StripTrailingBackslashes("d:\\"), "d:");
    EXPECT_EQ(StripTrailingBackslashes("\\\\"), "");
    Disk disk;
    DirectoriesInput in = ValidInput();
    in.addDir = 2;
    in.addEdit = "d:\\work\\\\";
    in.tempDir = 1;
    in.tempEdit = "d:\\";
    in.jarEdit = "c:\\Torvex\\";
    EXPECT_TRUE(CheckDirectories(in, disk.Probe()).message.empty());
    EXPECT_EQ(in.addEdit, "d:\\work");
    EXPECT_EQ(in.tempEdit, "d:");
    EXPECT_EQ(in.jarEdit, "c:\\Torvex");
}

TEST(DirectoriesChecks, FirstFailureInOrderWinsAndOnlyDirectoryRadiosAreChecked)
{
    Disk disk;
    DirectoriesInput in = ValidInput();
    in.addEdit = in.extractEdit = in.startupEdit = in.tempEdit = "x:\\gone";
    EXPECT_TRUE(CheckDirectories(in, disk.Probe()).message.empty());  // no "Directory" radio

    in.extractDir = 2;
    in.startupDir = 1;
    in.tempDir = 1;
    DirectoriesCheck c = CheckDirectories(in, disk.Probe());
    EXPECT_EQ(c.failed, DirectoriesField::Extract);
    EXPECT_EQ(c.message, "Invalid Extract Directory");
    in.extractDir = 1;
    EXPECT_EQ(CheckDirectories(in, disk.Probe()).message, "Invalid Startup Directory");
    in.startupDir = 0;
    EXPECT_EQ(CheckDirectories(in, disk.Probe()).message,
              "Invalid Temporary Directory\n(no '\\' at the end the directory)");
    in.tempDir = 0;
    in.addDir = 2;
    EXPECT_EQ(CheckDirectories(in, disk.Probe()).message, "Invalid Add Directory");
}

TEST(DirectoriesChecks, MissingExecutablesBlockOk)
{
    Disk disk;
    DirectoriesInput in = ValidInput();
    disk.files.erase("c:\\Torvex\\jar32.exe");
    EXPECT_EQ(CheckDirectories(in, disk.Probe()).message, "Invalid Jar Directory");
    disk.files.insert("c:\\Torvex\\jar32.exe");
    in.torvexEdit = "c:";
    DirectoriesCheck c = CheckDirectories(in, disk.Probe());
    EXPECT_EQ(c.failed, DirectoriesField::Torvex);
    EXPECT_EQ(c.message, "Invalid Torvex Directory");

    EXPECT_EQ(MissingExecutablesMessage(true, true), "Please fill in the Jar32.exe and Torvex.exe directories.");
    EXPECT_EQ(MissingExecutablesMessage(true, false), "Please fill in the Jar32.exe directory.");
    EXPECT_EQ(MissingExecutablesMessage(false, true), "Please fill in the Torvex.exe directory.");
    EXPECT_EQ(MissingExecutablesMessage(false, false), "");
}

TEST(MiscellaneousSettings, MinutesRangeAndDialogDefaults)
{
    EXPECT_EQ(ParseBeepMinutes("0"), 0);
    EXPECT_EQ(ParseBeepMinutes(" 32000 "), 32000);
    EXPECT_FALSE(ParseBeepMinutes("32001"));
    EXPECT_FALSE(ParseBeepMinutes("-1"));
    EXPECT_FALSE(ParseBeepMinutes("5x"));
    EXPECT_FALSE(ParseBeepMinutes(""));
    EXPECT_FALSE(ParseBeepMinutes("99999999999"));

    MemorySettingsStore store;
    MiscellaneousSettings misc;
    misc.Load(store);
    EXPECT_EQ(misc.beepMinutes, 5);  // the dialog's own default; the runner's is 10
    EXPECT_EQ(ReadSetting(store, setting::BeepEditRunner), 10);
    misc.viewerPath = "c:\\tools\\view.exe";
    misc.Save(store);
    EXPECT_EQ(ReadSetting(store, setting::AssocProg), 0);
    EXPECT_EQ(ReadSetting(store, setting::BeepEditRunner), 5);
    EXPECT_EQ(ReadSetting(store, setting::FileViewer), "c:\\tools\\view.exe");
}
