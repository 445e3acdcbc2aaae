#include "dialogs/add_command.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// A fresh temporary folder per test, ending in a separator as the system's does.
class AddCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp = fs::temp_directory_path() / ("torvex_addcmd_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(temp);
        fs::create_directories(temp);
        env.systemTemp = temp.string() + "/";
        env.isFixedDrive = [](const std::string& root) { return root != "A:\\" && root != "a:\\"; };
    }
    void TearDown() override { fs::remove_all(temp); }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(temp / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path temp;
    AddCommandEnvironment env;
    AddChoices c;
};

TEST_F(AddCommandTest, ActionsCompressionAndPaths)
{
    c.archiveName = "C:\\data\\a.j";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -o\"\\\"");
    c.action = 1;
    c.compression = 1;
    c.pathOption = PathOption::Full;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " u -y -r- -m3 -jf -o\"\\\"");
    c.action = 2;
    c.compression = 2;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " f -y -r- -m2 -jf -o\"\\\"");
    c.action = 3;
    c.compression = 3;
    c.pathOption = PathOption::None;
    c.pathInArchive = "\\docs\\old";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " ac -y -r- -m1 -jf- -o\"\\docs\\old\"");
    // A damaged compression setting still names a method the archiver has.
    c.compression = 9;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " ac -y -r- -m1 -jf- -o\"\\docs\\old\"");
}

TEST_F(AddCommandTest, WorkFolderFromTheSettings)
{
    c.archiveName = "C:\\data\\a.j";
    env.tempDir = 1;
    env.tempEdit = "D:\\work";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -w\"D:\\work\" -m4 -jf -o\"\\\"");
    // A bare drive gets its root.
    env.tempEdit = "d:";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -w\"d:\\\" -m4 -jf -o\"\\\"");
    env.tempDir = 0;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -o\"\\\"");
}

TEST_F(AddCommandTest, SpanningOnFixedAndRemovableDrives)
{
    c.spanArchive = true;
    c.archiveName = "C:\\data\\a.j";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -va -o\"\\\"");
    c.volumeSize = "1457 Kb";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -v1457000 -o\"\\\"");
    // Case matters: anything but "AutoDetect" is read as a number.
    c.volumeSize = "730";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -v730000 -o\"\\\"");
    c.volumeSize = "0073 Kb";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -v73000 -o\"\\\"");
    // Sizes the dialog refuses never throw nor wrap, should one reach the builder.
    for (const char* refused : {"99999999999999999999999", "18446744073709552", "Kb"}) {
        c.volumeSize = refused;
        EXPECT_NO_THROW(EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -v0 -o\"\\\"")) << refused;
    }
    // Removable: the work folder is the system's, and the archiver pauses between disks.
    c.archiveName = "A:\\backup.j";
    c.volumeSize = "AutoDetect";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine,
              " a -y -r- -m4 -jf -w\"" + env.systemTemp + "\" -vav -o\"\\\"");
    c.volumeSize = "1457 Kb";
    c.wipeDisk = true;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine,
              " a -y -r- -m4 -jf -w\"" + env.systemTemp + "\" -v1457000vs\"deltree /y A:\\*\" -o\"\\\"");
    c.wipeDisk = false;
    c.formatDisk = true;
    env.tempDir = 1;
    env.tempEdit = "C:\\tmp";
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -w\"C:\\tmp\" -m4 -jf -v1457000vs\"format A:\" -o\"\\\"");
    // Without spanning neither matters.
    c.spanArchive = false;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -w\"C:\\tmp\" -m4 -jf -o\"\\\"");
}

TEST(VolumeSize, AutoDetectOrALeadingNumber)
{
    EXPECT_TRUE(VolumeSizeValid("AutoDetect"));
    EXPECT_TRUE(VolumeSizeValid("1457 Kb"));
    EXPECT_TRUE(VolumeSizeValid("100"));
    EXPECT_FALSE(VolumeSizeValid("autodetect"));
    EXPECT_FALSE(VolumeSizeValid(""));
    EXPECT_FALSE(VolumeSizeValid("Kb 1457"));
    EXPECT_FALSE(VolumeSizeValid("9999999999999"));
}

TEST_F(AddCommandTest, CommentsNulEmptyAndText)
{
    c.archiveName = "C:\\data\\a.j";
    c.commentArchive = true;
    c.archiveComment = "NUL";
    c.commentChapter = true;
    c.chapterComment = "";
    AddCommand command = BuildAddCommand(c, env);
    EXPECT_EQ(command.commandLine, " a -y -r- -m4 -jf -o\"\\\" -zNUL -hz");
    EXPECT_TRUE(command.interactiveComment);
    EXPECT_TRUE(command.failedFile.empty());

    c.archiveComment = "";
    c.chapterComment = "NUL";
    command = BuildAddCommand(c, env);
    EXPECT_EQ(command.commandLine, " a -y -r- -m4 -jf -o\"\\\" -z -hzNUL");
    EXPECT_TRUE(command.interactiveComment);

    // Lower case is a comment text like any other.
    c.archiveComment = "nul";
    c.chapterComment = "Week 12\r\nsecond line";
    command = BuildAddCommand(c, env);
    EXPECT_EQ(command.commandLine, " a -y -r- -m4 -jf -o\"\\\" -z\"" + env.systemTemp + "ArchiveComment.txt\" -hz\"" +
                                       env.systemTemp + "ChapterComment.txt\"");
    EXPECT_FALSE(command.interactiveComment);
    EXPECT_EQ(Read("ArchiveComment.txt"), "nul\r\n");
    EXPECT_EQ(Read("ChapterComment.txt"), "Week 12\r\nsecond line\r\n");

    // Unticked boxes send nothing, whatever the texts.
    c.commentArchive = c.commentChapter = false;
    EXPECT_EQ(BuildAddCommand(c, env).commandLine, " a -y -r- -m4 -jf -o\"\\\"");
}

TEST_F(AddCommandTest, ACommentFileThatCannotBeWrittenIsReported)
{
    c.commentArchive = true;
    c.archiveComment = "text";
    env.systemTemp = (temp / "missing" / "").string();
    AddCommand command = BuildAddCommand(c, env);
    EXPECT_EQ(command.failedFile, env.systemTemp + "ArchiveComment.txt");
}

} // namespace

namespace {

TEST(AddDialogRules, SpanningTreePathAndArchiveNames)
{
    SpanControls off = DecideSpanControls(false, false);
    EXPECT_FALSE(off.volumeEnabled);
    EXPECT_FALSE(off.diskOptionsEnabled);
    SpanControls fixed = DecideSpanControls(true, true);
    EXPECT_TRUE(fixed.volumeEnabled);
    EXPECT_FALSE(fixed.diskOptionsEnabled);
    EXPECT_TRUE(DecideSpanControls(true, false).diskOptionsEnabled);

    EXPECT_EQ(PathInArchiveFromLabels({"\\"}), "\\");
    EXPECT_EQ(PathInArchiveFromLabels({}), "\\");
    EXPECT_EQ(PathInArchiveFromLabels({"\\", "dir", "sub"}), "\\dir\\sub");

    EXPECT_TRUE(NamesAnArchive("C:\\x.j"));
    EXPECT_FALSE(NamesAnArchive("C:\\x.J"));
    EXPECT_FALSE(NamesAnArchive("C:\\x.jar"));
    EXPECT_FALSE(NamesAnArchive("j"));
}

} // namespace
