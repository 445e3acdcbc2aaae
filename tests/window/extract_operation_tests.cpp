// The extract bodies against our own jar32.exe on real files, through a host that stands for
// the view: rows of one archive folder, a selection, a files list.
#include "operations/extract_operation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "extract_test_host.h"
#include "framework/message_box.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// Sets a file's last write time, in days from its archived stamp.
void ShiftStamp(const std::string& path, const std::string& like, int days)
{
    HANDLE source = CreateFileA(like.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t{};
    GetFileTime(source, nullptr, nullptr, &t);
    CloseHandle(source);
    ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
    v.QuadPart += (long long)days * 86400LL * 10000000LL;
    t = {v.LowPart, v.HighPart};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &t);
    CloseHandle(file);
}

class ExtractOperation : public ::testing::Test {
protected:
    std::string root, src, out;
    ExtractTestHost host;
    std::vector<PromptRequest> prompts;
    std::vector<int> answers;  // answers to Yes/No and Retry/Cancel boxes, in order

    void SetUp() override
    {
        ASSERT_TRUE(JarAvailable());
        root = MakeScratchFolder("extract_op");
        src = root + "\\src";
        out = root + "\\out";
        ASSERT_TRUE(MakeSampleArchive(root));
        ASSERT_TRUE(host.Open(root + "\\a.j", root, ProgramFolder()));
        SetPromptScript([this](const PromptRequest& r) {
            prompts.push_back(r);
            if (!answers.empty()) {
                int a = answers.front();
                answers.erase(answers.begin());
                return a;
            }
            return prompt::IdOk;
        });
        RemoveTree("c:\\~TorvexTemp");
    }
    void TearDown() override
    {
        SetPromptScript({});
        RemoveTree("c:\\~TorvexTemp");
        RemoveTree(root);
    }
};

} // namespace

TEST_F(ExtractOperation, PartialPathKeepsPathsBelowTheShownFolderAndCleansUp)
{
    host.archiveFolder = "\\dir";
    host.selected = {"sub", "b.txt"};
    host.dialog.extractWhat = extractopt::SelectedFiles;
    host.ExtractThroughTemp(out, true, extractopt::UpdateNone, 0, false, 0);
    EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), "ay");
    EXPECT_EQ(ReadAll(out + "\\b.txt"), "bee");
    EXPECT_FALSE(Exists(out + "\\dir"));
    EXPECT_FALSE(Exists(out + "\\top.txt"));
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    EXPECT_FALSE(Exists(root + "\\~TorvexExtract"));
    EXPECT_TRUE(prompts.empty());

    // Again into the same place: a folder that exists is entered, its files asked about.
    answers = {prompt::IdNo};
    WriteFile(out + "\\sub\\a.txt", "mine");
    host.selected = {"sub"};
    host.ExtractThroughTemp(out, false, extractopt::UpdateNone, 0, false, 0);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Overwrite " + out + "\\sub\\a.txt ?");
    EXPECT_EQ(prompts[0].type, prompt::YesAllNoAllCancel | prompt::IconQuestion);
    EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), "mine");
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    answers = {prompt::IdYes};
    host.ExtractThroughTemp(out, false, extractopt::UpdateNone, 0, false, 0);
    EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), "ay");

    // An answer "to all" holds for every later file; Cancel stops the move and leaves no
    // staging folder.
    host.selected = {"sub", "b.txt"};
    struct Round {
        int answer;
        const char* kept;  // what both files then hold
    };
    for (Round round : {Round{prompt::IdNoToAll, "mine"}, Round{prompt::IdCancel, "mine"}, Round{prompt::IdYesToAll, ""}}) {
        WriteFile(out + "\\sub\\a.txt", "mine");
        WriteFile(out + "\\b.txt", "mine");
        prompts.clear();
        answers = {round.answer};
        host.ExtractThroughTemp(out, false, extractopt::UpdateNone, 0, false, 0);
        EXPECT_EQ(prompts.size(), 1u) << round.answer;
        EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), *round.kept ? round.kept : "ay") << round.answer;
        EXPECT_EQ(ReadAll(out + "\\b.txt"), *round.kept ? round.kept : "bee") << round.answer;
        EXPECT_FALSE(Exists("c:\\~TorvexTemp")) << round.answer;
    }
}

TEST_F(ExtractOperation, ExtractToCurrentLandsInTheArchiveFolderWithoutAsking)
{
    host.archiveFolder = "\\dir";
    host.selected = {"sub"};
    MakeFolder(root + "\\sub");
    WriteFile(root + "\\sub\\a.txt", "old");
    host.ExtractToCurrent();
    EXPECT_EQ(ReadAll(root + "\\sub\\a.txt"), "ay");
    EXPECT_TRUE(prompts.empty());
    EXPECT_EQ(host.dialog.extractWhat, extractopt::SelectedFiles);
}

TEST_F(ExtractOperation, FreshenAndDateOrSizeRules)
{
    host.dialog.extractWhat = extractopt::AllFiles;
    MakeFolder(out);
    MakeFolder(out + "\\dir");
    // top.txt older on disk: replaced; dir\b.txt newer on disk: kept; dir\sub\a.txt missing: not created.
    WriteFile(out + "\\top.txt", "old top");
    ShiftStamp(out + "\\top.txt", src + "\\top.txt", -1);
    WriteFile(out + "\\dir\\b.txt", "new bee");
    ShiftStamp(out + "\\dir\\b.txt", src + "\\dir\\b.txt", 1);
    host.ExtractThroughTemp(out, true, extractopt::Freshen, extractopt::NewerFiles, false, 0);
    EXPECT_EQ(ReadAll(out + "\\top.txt"), "top");
    EXPECT_EQ(ReadAll(out + "\\dir\\b.txt"), "new bee");
    EXPECT_FALSE(Exists(out + "\\dir\\sub"));
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));

    // Same stamp: same size is skipped, another size replaced.
    WriteFile(out + "\\top.txt", "TOP");
    ShiftStamp(out + "\\top.txt", src + "\\top.txt", 0);
    WriteFile(out + "\\dir\\b.txt", "a different size");
    ShiftStamp(out + "\\dir\\b.txt", src + "\\dir\\b.txt", 0);
    host.ExtractThroughTemp(out, true, extractopt::Freshen, extractopt::DateOrSizeChanged, false, 0);
    EXPECT_EQ(ReadAll(out + "\\top.txt"), "TOP");
    EXPECT_EQ(ReadAll(out + "\\dir\\b.txt"), "bee");

    // Update creates what is missing.
    host.ExtractThroughTemp(out, true, extractopt::Update, extractopt::NewerFiles, false, 0);
    EXPECT_EQ(ReadAll(out + "\\dir\\sub\\a.txt"), "ay");
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
}

TEST_F(ExtractOperation, ALeftoverStagingFolderOrADestinationThatCannotBeMadeEndsTheRunAndEmptiesTheFilesList)
{
    // Every ending takes the files list, as a finished extraction does.
    auto fillFilesList = [&] {
        host.dialog.extractWhat = extractopt::FilesList;
        host.filesList.Clear();
        host.filesList.Add((*host.catalogue.Chapter(host.chapter)->Directories.Find("\\"))[0]);
    };
    fillFilesList();
    MakeFolder("c:\\~TorvexTemp");
    answers = {prompt::IdRetry, prompt::IdCancel};
    host.ExtractThroughTemp(out, true, extractopt::UpdateNone, 0, false, 0);
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0].text, "Please remove the folder " + ExtractTempFolder(out) +
                                   ", left by an earlier extraction,\nthen press Retry.");
    EXPECT_EQ(prompts[0].type, prompt::RetryCancel | prompt::IconStop);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(root + "\\~TorvexExtract"));
    EXPECT_EQ(host.JarRuns(), 0);
    EXPECT_TRUE(host.filesList.empty());
    EXPECT_TRUE(Exists("c:\\~TorvexTemp"));  // not ours: left alone
    RemoveTree("c:\\~TorvexTemp");

    // A file where the destination folder would go: said, and what was staged goes.
    fillFilesList();
    prompts.clear();
    WriteFile(out, "a file");
    host.ExtractThroughTemp(out + "\\deeper", true, extractopt::UpdateNone, 0, false, 0);
    EXPECT_EQ(host.JarRuns(), 1);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Can't create " + out + "\\deeper");
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    EXPECT_TRUE(host.filesList.empty());
}

TEST_F(ExtractOperation, ListFileOnlyWritesDirectoriesBeforeTheirContentsAndRunsNothing)
{
    host.dialog.extractWhat = extractopt::AllFiles;
    host.dialog.pathOption = PathOption::Full;
    host.dialog.listFileOnly = true;
    host.filesList.Add(ArchiveEntry());
    host.ExtractFiles(false);
    EXPECT_EQ(host.JarRuns(), 0);
    EXPECT_EQ(ReadAll(root + "\\~TorvexExtract"), "\\dir\r\n\\dir\\b.txt\r\n\\dir\\sub\r\n\\dir\\sub\\a.txt\r\n\\top.txt\r\n");
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "List file saved as " + root + "\\~TorvexExtract");
    EXPECT_TRUE(host.filesList.empty());
}

TEST_F(ExtractOperation, FullAndNoPathRunTheDialogsLineAndRestorePartialPath)
{
    host.dialog.extractWhat = extractopt::SelectedFiles;
    host.archiveFolder = "\\dir";
    host.selected = {"sub"};
    host.dialog.pathOption = PathOption::Full;
    host.dialog.directory = out;
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractFiles(true);
    EXPECT_EQ(ReadAll(out + "\\dir\\sub\\a.txt"), "ay");
    EXPECT_EQ(host.dialog.pathOption, PathOption::Partial);
    EXPECT_FALSE(Exists(root + "\\~TorvexExtract"));

    host.dialog.pathOption = PathOption::None;
    host.dialog.directory = out + "\\flat";
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractFiles(false);
    EXPECT_EQ(ReadAll(out + "\\flat\\a.txt"), "ay");
    EXPECT_EQ(host.dialog.pathOption, PathOption::None);

    // "Selected Files" with nothing selected extracts nothing, and still restores.
    host.selected.clear();
    int runs = host.JarRuns();
    host.ExtractFiles(true);
    EXPECT_EQ(host.JarRuns(), runs);
    EXPECT_EQ(host.dialog.pathOption, PathOption::Partial);
}

TEST_F(ExtractOperation, ChaptersThatLeaveOutTheShownOneGiveAllTheyHoldOrSayWhatIsLeftOut)
{
    // Chapter 2 holds second.txt alone, chapter 3 (shown) a new dir\b.txt alone.
    WriteFile(src + "\\second.txt", "2");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" second.txt"));
    WriteFile(src + "\\dir\\b.txt", "bee 3");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" dir\\b.txt"));
    ASSERT_TRUE(host.Open(root + "\\a.j", root, ProgramFolder()));
    ASSERT_EQ(host.chapter, 3);
    host.dialog.extractWhat = extractopt::AllFiles;
    host.dialog.extractChapters = true;
    host.dialog.chapterFrom = 1;
    host.dialog.chapterTo = "2";
    host.dialog.pathOption = PathOption::Full;
    host.dialog.directory = out;
    host.dialog.commandLine = host.dialog.BuildSwitches();
    ASSERT_TRUE(host.ExtractFiles(false));
    EXPECT_EQ(ReadAll(out + "\\top.txt"), "top");
    EXPECT_EQ(ReadAll(out + "\\second.txt"), "2");
    EXPECT_EQ(ReadAll(out + "\\dir\\b.txt"), "bee");
    EXPECT_EQ(ReadAll(out + "\\dir\\sub\\a.txt"), "ay");

    // Partial paths below \dir, from chapter 1 alone.
    host.archiveFolder = "\\dir";
    host.dialog.chapterTo.clear();
    host.dialog.pathOption = PathOption::Partial;
    host.dialog.directory = out + "\\partial";
    ASSERT_TRUE(host.ExtractFiles(false));
    EXPECT_EQ(ReadAll(out + "\\partial\\b.txt"), "bee");
    EXPECT_EQ(ReadAll(out + "\\partial\\sub\\a.txt"), "ay");
    EXPECT_FALSE(Exists(out + "\\partial\\dir"));
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    EXPECT_TRUE(prompts.empty());

    // A selection is what the shown chapter lists: the user is told, and may stop there.
    host.dialog.extractWhat = extractopt::SelectedFiles;
    host.selected = {"b.txt"};
    answers = {prompt::IdCancel};
    int runs = host.JarRuns();
    EXPECT_FALSE(host.ExtractFiles(false));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, ShownEntriesOnlyText(false, 3, 1, ""));
    EXPECT_EQ(host.JarRuns(), runs);
}

TEST_F(ExtractOperation, AChapterRangeExtractsThoseChapters)
{
    WriteFile(src + "\\second.txt", "2");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" second.txt"));
    WriteFile(src + "\\third.txt", "3");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" third.txt"));
    host.dialog.pathOption = PathOption::Full;
    host.dialog.directory = out;
    host.dialog.extractChapters = true;
    host.dialog.chapterFrom = 1;
    host.dialog.chapterTo = "2";
    host.dialog.currentChapter = 3;
    host.dialog.wholeArchiveMode = true;
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractArchive(root + "\\a.j");
    EXPECT_TRUE(Exists(out + "\\second.txt"));
    EXPECT_TRUE(Exists(out + "\\dir\\sub\\a.txt"));
    EXPECT_FALSE(Exists(out + "\\third.txt"));

    // No chapter known: the newest.
    host.dialog.extractChapters = false;
    host.dialog.currentChapter = 0;
    host.dialog.directory = out + "\\newest";
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractArchive(root + "\\a.j");
    EXPECT_TRUE(Exists(out + "\\newest\\third.txt"));
}

TEST_F(ExtractOperation, AFileThatCannotBeMovedIsNamedAndTheStagingFolderGoes)
{
    host.dialog.extractWhat = extractopt::AllFiles;
    MakeFolder(out);
    WriteFile(out + "\\top.txt", "locked");
    HANDLE locked = CreateFileA((out + "\\top.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    host.ExtractThroughTemp(out, true, extractopt::UpdateNone, 0, false, 0);
    CloseHandle(locked);
    EXPECT_EQ(ReadAll(out + "\\top.txt"), "locked");
    EXPECT_EQ(ReadAll(out + "\\dir\\b.txt"), "bee");
    EXPECT_FALSE(Exists(ExtractTempFolder(out)));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "These files could not be put in place (in use, or not allowed):\n" + out + "\\top.txt");
}

TEST_F(ExtractOperation, AListFileThatCannotBeCreatedEndsTheOperation)
{
    // A folder where the list file would go.
    MakeFolder(root + "\\~TorvexExtract");
    host.dialog.extractWhat = extractopt::AllFiles;
    host.ExtractThroughTemp(out, true, extractopt::UpdateNone, 0, false, 0);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Can't create " + root + "\\~TorvexExtract");
    EXPECT_EQ(host.JarRuns(), 0);
    EXPECT_FALSE(Exists(out));
}
