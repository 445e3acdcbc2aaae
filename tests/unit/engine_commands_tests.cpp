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
    EXPECT_EQ(jarcontract::ConfigFile("C:\\Torvex"), "C:\\Torvex\\Torvex.cfg");
}

std::vector<std::string> SplitEnvironmentBlock(const char* block)
{
    std::vector<std::string> entries;
    for (; *block; block += entries.back().size() + 1)
        entries.emplace_back(block);
    return entries;
}

TEST(EnvironmentBlock, ChildGetsTheVariableInItsSortedPlace)
{
    std::vector<std::string> current{"=C:=C:\\work", "ALLUSERSPROFILE=C:\\ProgramData", "jar_cfg_file=old",
                                     "PATH=C:\\windows", "TEMP=C:\\temp"};
    std::string block = jarcontract::EnvironmentBlockWith(current, "JAR_CFG_FILE", "C:\\Torvex\\Torvex.cfg");
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block.substr(block.size() - 2), std::string(2, '\0'));
    EXPECT_EQ(SplitEnvironmentBlock(block.c_str()),
              (std::vector<std::string>{"=C:=C:\\work", "ALLUSERSPROFILE=C:\\ProgramData",
                                        "JAR_CFG_FILE=C:\\Torvex\\Torvex.cfg", "PATH=C:\\windows", "TEMP=C:\\temp"}));

    std::string alone = jarcontract::EnvironmentBlockWith({}, "JAR_CFG_FILE", "x");
    EXPECT_EQ(alone, std::string("JAR_CFG_FILE=x\0\0", 16));
    EXPECT_EQ(SplitEnvironmentBlock(jarcontract::EnvironmentBlockWith({"Z=1"}, "JAR_CFG_FILE", "x").c_str()),
              (std::vector<std::string>{"JAR_CFG_FILE=x", "Z=1"}));
}

TEST(ProgressRecord, FieldsAreReadAndAnythingElseIsRefused)
{
    jarcontract::ProgressRecord record;
    ASSERT_TRUE(jarcontract::ParseProgressRecord("compress\t3\t10\t4096\t-1\tdocs\\a\tb.txt\r", record));
    EXPECT_EQ(record.phase, "compress");
    EXPECT_EQ(record.filesDone, 3);
    EXPECT_EQ(record.filesTotal, 10);
    EXPECT_EQ(record.bytesDone, 4096);
    EXPECT_EQ(record.bytesTotal, -1);
    EXPECT_EQ(record.file, "docs\\a\tb.txt");
    ASSERT_TRUE(jarcontract::ParseProgressRecord("index\t10\t10\t9\t9\t", record));
    EXPECT_EQ(record.file, "");
    for (const char* bad : {"", "scan", "scan\t1\t2\t3\t4", "\t1\t2\t3\t4\tx", "scan\tx\t2\t3\t4\tf",
                            "scan\t-2\t2\t3\t4\tf", "scan\t-\t2\t3\t4\tf", "scan\t1\t2\t3\t99999999999999999999\tf"})
        EXPECT_FALSE(jarcontract::ParseProgressRecord(bad, record)) << bad;
    EXPECT_EQ(record.phase, "index"); // a refused line leaves the last record as it was
}

} // namespace
