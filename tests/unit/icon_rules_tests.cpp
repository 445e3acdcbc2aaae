#include "ui/icon_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(IconRules, KeysByExtensionOrByNameForFilesWithTheirOwnIcon)
{
    IconRequest r = ClassifyIconPath("\\README");
    EXPECT_EQ(r.kind, IconRequest::NoExtension);
    r = ClassifyIconPath("\\my.dir\\README"); // a dotted folder gives no extension
    EXPECT_EQ(r.kind, IconRequest::NoExtension);

    r = ClassifyIconPath("\\tools\\setup.exe");
    EXPECT_EQ(r.kind, IconRequest::ArchiveExe);
    r = ClassifyIconPath("C:\\tools\\Setup.EXE");
    EXPECT_EQ(r.kind, IconRequest::DiskFile);
    EXPECT_EQ(r.key, "Setup.EXE");
    EXPECT_EQ(r.extension, ".exe");
    for (const char* name : {"a.ico", "a.cur", "a.ani", "a.pif", "a.lnk"})
        EXPECT_EQ(ClassifyIconPath(std::string("C:\\x\\") + name).key, name);

    // Upper-case extensions share the lower-case key.
    IconRequest upper = ClassifyIconPath("\\A.TXT"), lower = ClassifyIconPath("\\b.txt");
    EXPECT_EQ(upper.kind, IconRequest::ArchiveFile);
    EXPECT_EQ(upper.key, ".txt");
    EXPECT_EQ(lower.key, ".txt");
    EXPECT_EQ(ClassifyIconPath("C:\\x\\a.txt").key, ".txt");
    // Inside an archive the icon is the type's: looked up and stored under the extension.
    EXPECT_EQ(ClassifyIconPath("\\pics\\a.ICO").key, ".ico");
}

TEST(IconRules, IconLocationSplitsAtTheLastComma)
{
    std::string module, index;
    SplitIconLocation("C:\\Program Files\\App,1\\app.exe,-3", module, index);
    EXPECT_EQ(module, "C:\\Program Files\\App,1\\app.exe");
    EXPECT_EQ(index, "-3");
    SplitIconLocation("C:\\icons\\doc.ico", module, index);
    EXPECT_EQ(module, "C:\\icons\\doc.ico");
    EXPECT_EQ(index, "C:\\icons\\doc.ico");
}

TEST(IconRules, CacheAnswersWhatWasStored)
{
    IconCacheMap cache;
    EXPECT_FALSE(cache.Find(".txt"));
    cache.Store(".txt", 5);
    cache.Store("setup.exe", 6);
    EXPECT_EQ(cache.Find(".txt").value_or(-1), 5);
    EXPECT_EQ(cache.Find("setup.exe").value_or(-1), 6);
    EXPECT_FALSE(cache.Find("SETUP.EXE"));
}

} // namespace
