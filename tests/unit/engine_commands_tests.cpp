#include "engine/jar_commands.h"

#include <gtest/gtest.h>

namespace {

const std::string archive = "C:\\My Data\\project.j";
const std::string listFile = "C:\\Torvex\\~TorvexExtract";

TEST(JarArguments, ListingsAndTest)
{
    EXPECT_EQ(ChapterListArguments(archive), "lc \"C:\\My Data\\project.j\"");
    EXPECT_EQ(ChapterListingArguments(12, archive), "v -jb12 \"C:\\My Data\\project.j\"");
    EXPECT_EQ(TestArguments(archive), " t \"C:\\My Data\\project.j\"");
}

TEST(JarArguments, OperationsFollowTheDialogSwitches)
{
    // The switch text already starts with its blank: the result has two.
    EXPECT_EQ(ListFileArguments(" x -y -r -jf -o\"D:\\out\"", archive, listFile),
              "  x -y -r -jf -o\"D:\\out\" \"C:\\My Data\\project.j\" !\"C:\\Torvex\\~TorvexExtract\"");
    EXPECT_EQ(WholeArchiveArguments(" e -r", archive), "  e -r \"C:\\My Data\\project.j\" *");
    EXPECT_EQ(ExtractCommandWord(true), " x");
    EXPECT_EQ(ExtractCommandWord(false), " e");
    EXPECT_EQ(AddCommandWord(0), " a");
    EXPECT_EQ(AddCommandWord(1), " u");
    EXPECT_EQ(AddCommandWord(2), " f");
    EXPECT_EQ(AddCommandWord(3), " ac");
    EXPECT_EQ(AddCommandWord(-1), " ac");
}

TEST(JarArguments, ViewingAndSavingBack)
{
    EXPECT_EQ(ViewExtractArguments(3, "C:\\Temp\\TTmp1a2b", archive, "\\docs\\read me.txt"),
              " x -jb3 -y -r- -o\"C:\\Temp\\TTmp1a2b\" \"C:\\My Data\\project.j\" \"\\docs\\read me.txt\"");
    EXPECT_EQ(SaveBackArguments(0, archive, "C:\\Temp\\~TTmpSave"),
              " a -y -r- -m4 -jf -o\\ \"C:\\My Data\\project.j\" !\"C:\\Temp\\~TTmpSave\"");
    EXPECT_EQ(SaveBackArguments(3, archive, "L").substr(0, 14), " a -y -r- -m1 ");
    // A damaged setting still names a method the archiver has.
    EXPECT_EQ(SaveBackArguments(7, archive, "L").substr(0, 14), " a -y -r- -m1 ");
    EXPECT_EQ(SaveBackArguments(-2, archive, "L").substr(0, 14), " a -y -r- -m4 ");
}

TEST(JarArguments, Deletion)
{
    EXPECT_EQ(DeleteInLastChapterArguments(archive, listFile),
              " d -r- -y \"C:\\My Data\\project.j\" !\"C:\\Torvex\\~TorvexExtract\"");
    EXPECT_EQ(DeleteInAllChaptersArguments(archive, listFile),
              " da -y \"C:\\My Data\\project.j\" !\"C:\\Torvex\\~TorvexExtract\"");
    EXPECT_EQ(DeleteChaptersArguments(archive, {"2", "3"}), " dc \"C:\\My Data\\project.j\" 2 3");
    EXPECT_EQ(DeleteChaptersArguments(archive, {}), " dc \"C:\\My Data\\project.j\"");
}

TEST(JarArguments, CommandLineAndConfiguration)
{
    EXPECT_EQ(jarcontract::CommandLine("C:\\Program Files\\Torvex", "lc \"a.j\""), "C:\\Program Files\\Torvex\\jar32.exe lc \"a.j\"");
    EXPECT_EQ(jarcontract::ConfigAssignment("C:\\Torvex"), "JAR_CFG_FILE=C:\\Torvex\\Torvex.cfg");
    EXPECT_EQ(jarcontract::ConfigRemoval(), "JAR_CFG_FILE=");
}

} // namespace
