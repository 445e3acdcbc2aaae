#include "dialogs/add_settings.h"
#include "dialogs/directories_settings.h"
#include "dialogs/extract_settings.h"
#include "dialogs/setting_names.h"

#include <gtest/gtest.h>

namespace {
const char* const kFolderNames[] = {"addEdit", "addLast", "extractEdit", "extractLast", "startupEdit",
                                    "startupLast", "tempEdit", "jarEdit", "torvexEdit"};
const char* const kChoiceNames[] = {"addDir", "extractDir", "startupDir", "tempDir", "ViewType"};
} // namespace

TEST(DirectoriesSettings, AFreshUserGetsTheDefaults)
{
    MemorySettingsStore store;
    DirectoriesSettings dirs;
    dirs.Load(store);
    for (const std::string* folder : {&dirs.addEdit, &dirs.addLast, &dirs.extractEdit, &dirs.extractLast, &dirs.startupEdit,
                                      &dirs.startupLast, &dirs.tempEdit, &dirs.jarEdit, &dirs.torvexEdit})
        EXPECT_EQ(*folder, "c:");
    EXPECT_EQ(dirs.addDir, 1);      // current directory
    EXPECT_EQ(dirs.extractDir, 1);  // current directory
    EXPECT_EQ(dirs.startupDir, 0);  // last opened archive
    EXPECT_EQ(dirs.tempDir, 0);     // archive directory
    EXPECT_EQ(dirs.viewType, 1);    // details
}

TEST(DirectoriesSettings, SavesFourteenValuesWithTheirTypesAndReadsThemBack)
{
    MemorySettingsStore store;
    DirectoriesSettings dirs;
    dirs.Load(store);
    dirs.addDir = 2;
    dirs.startupDir = 1;
    dirs.viewType = 0;
    dirs.jarEdit = "D:\\Tools\\Jar";
    dirs.startupLast = "E:\\archives";
    dirs.Save(store);

    // Folders are strings, choices are integers: a read of the other type finds nothing.
    for (const char* name : kFolderNames) {
        EXPECT_TRUE(store.Has("Settings", name)) << name;
        EXPECT_EQ(store.GetProfileInt("Settings", name, -77), -77) << name;
    }
    for (const char* name : kChoiceNames) {
        EXPECT_TRUE(store.Has("Settings", name)) << name;
        EXPECT_EQ(store.GetProfileString("Settings", name, "none"), "none") << name;
    }

    DirectoriesSettings again;
    again.Load(store);
    EXPECT_EQ(again.addDir, 2);
    EXPECT_EQ(again.startupDir, 1);
    EXPECT_EQ(again.viewType, 0);
    EXPECT_EQ(again.jarEdit, "D:\\Tools\\Jar");
    EXPECT_EQ(again.startupLast, "E:\\archives");
    EXPECT_EQ(again.tempEdit, "c:");
}

TEST(DirectoriesSettings, AValueOfTheWrongTypeReadsAsMissing)
{
    MemorySettingsStore store;
    store.WriteProfileString("Settings", "addDir", "2");
    store.WriteProfileInt("Settings", "jarEdit", 5);
    DirectoriesSettings dirs;
    dirs.Load(store);
    EXPECT_EQ(dirs.addDir, 1);
    EXPECT_EQ(dirs.jarEdit, "c:");
}

TEST(DialogSettings, ExtractAndAddGroupsKeepTheirOwnNames)
{
    MemorySettingsStore store;
    ExtractSettings extract;
    extract.directoryPool.Insert("C:\\out");
    extract.commandLinePool.Insert("-y -jf");
    extract.Save(store);
    EXPECT_EQ(store.GetProfileString("Settings", "Extract Pool0", "?"), "C:\\out");
    EXPECT_EQ(store.GetProfileString("Settings", "ExtractLine Pool0", "?"), "-y -jf");

    AddSettings add;
    add.Load(store);
    EXPECT_EQ(add.compression, 0);  // "Best"
    EXPECT_TRUE(add.archiveTree);
    add.compression = 3;
    add.archiveTree = false;
    add.commandLinePool.Insert("-m1");
    add.Save(store);
    EXPECT_EQ(store.GetProfileInt("Settings", "Compression", -1), 3);
    EXPECT_EQ(store.GetProfileInt("Settings", "TreeView", -1), 0);
    EXPECT_EQ(store.GetProfileString("Settings", "AddLine Pool0", "?"), "-m1");

    ExtractSettings back;
    back.Load(store);
    EXPECT_EQ(back.directoryPool[0], "C:\\out");
    EXPECT_EQ(back.commandLinePool[0], "-y -jf");
}

TEST(DialogSettings, ReadAtUseValuesHaveTheirDocumentedDefaults)
{
    MemorySettingsStore store;
    EXPECT_EQ(ReadSetting(store, setting::FirstRun), 1);
    EXPECT_EQ(ReadSetting(store, setting::ExtractDirect), 0);
    // The runner waits ten minutes while the dialog proposes five, until the dialog stores one.
    EXPECT_EQ(ReadSetting(store, setting::BeepEditRunner), 10);
    EXPECT_EQ(ReadSetting(store, setting::BeepEditDialog), 5);
    WriteSetting(store, setting::BeepEditDialog, 7);
    EXPECT_EQ(ReadSetting(store, setting::BeepEditRunner), 7);
    EXPECT_EQ(ReadSetting(store, setting::TipStartUp), 0);
    EXPECT_STREQ(setting::TipStartUp.section, "Tip");
}

TEST(DirectoriesSettings, FirstRunRecordsTheStartFolderAndTheArchiverBesideIt)
{
    MemorySettingsStore fresh;
    DirectoriesSettings::RecordFirstRunFolders(fresh, "D:\\Torvex", true);
    EXPECT_EQ(fresh.GetProfileString("Settings", "torvexEdit", "?"), "D:\\Torvex");
    EXPECT_EQ(fresh.GetProfileString("Settings", "jarEdit", "?"), "D:\\Torvex");

    MemorySettingsStore noJar;
    DirectoriesSettings::RecordFirstRunFolders(noJar, "D:\\Torvex", false);
    EXPECT_EQ(noJar.GetProfileString("Settings", "torvexEdit", "?"), "D:\\Torvex");
    EXPECT_FALSE(noJar.Has("Settings", "jarEdit"));  // still the default "c:"

    MemorySettingsStore chosen;
    chosen.WriteProfileString("Settings", "jarEdit", "E:\\Jar");
    DirectoriesSettings::RecordFirstRunFolders(chosen, "D:\\Torvex", true);
    EXPECT_EQ(chosen.GetProfileString("Settings", "jarEdit", "?"), "E:\\Jar");
}
