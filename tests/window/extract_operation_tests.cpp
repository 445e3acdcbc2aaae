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
        MakeFolder(src);
        MakeFolder(src + "\\dir");
        MakeFolder(src + "\\dir\\sub");
        WriteFile(src + "\\top.txt", "top");
        WriteFile(src + "\\dir\\b.txt", "bee");
        WriteFile(src + "\\dir\\sub\\a.txt", "ay");
        ASSERT_TRUE(RunJar(src, "a -r -y \"" + root + "\\a.j\" *"));
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
    EXPECT_EQ(prompts[0].type, prompt::YesNo | prompt::IconQuestion);
    EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), "mine");
    EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    answers = {prompt::IdYes};
    host.ExtractThroughTemp(out, false, extractopt::UpdateNone, 0, false, 0);
    EXPECT_EQ(ReadAll(out + "\\sub\\a.txt"), "ay");
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

TEST_F(ExtractOperation, ALeftoverStagingFolderAsksAndCancelLeavesNothing)
{
    MakeFolder("c:\\~TorvexTemp");
    host.dialog.extractWhat = extractopt::AllFiles;
    answers = {prompt::IdRetry, prompt::IdCancel};
    host.ExtractThroughTemp(out, true, extractopt::UpdateNone, 0, false, 0);
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0].text,
              "Please remove the ~TorvexTemp directory in the root of the extraction directory,\nthen press Retry.");
    EXPECT_EQ(prompts[0].type, prompt::RetryCancel | prompt::IconStop);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(root + "\\~TorvexExtract"));
    EXPECT_EQ(host.JarRuns(), 0);
}

TEST_F(ExtractOperation, ListFileOnlyWritesDirectoriesBeforeTheirContentsAndRunsNothing)
{
    host.dialog.extractWhat = extractopt::AllFiles;
    host.dialog.pathOption = extractopt::FullPath;
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
    host.dialog.pathOption = extractopt::FullPath;
    host.dialog.directory = out;
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractFiles(true);
    EXPECT_EQ(ReadAll(out + "\\dir\\sub\\a.txt"), "ay");
    EXPECT_EQ(host.dialog.pathOption, extractopt::PartialPath);
    EXPECT_FALSE(Exists(root + "\\~TorvexExtract"));

    host.dialog.pathOption = extractopt::NoPath;
    host.dialog.directory = out + "\\flat";
    host.dialog.commandLine = host.dialog.BuildSwitches();
    host.ExtractFiles(false);
    EXPECT_EQ(ReadAll(out + "\\flat\\a.txt"), "ay");
    EXPECT_EQ(host.dialog.pathOption, extractopt::NoPath);

    // "Selected Files" with nothing selected extracts nothing, and still restores.
    host.selected.clear();
    int runs = host.JarRuns();
    host.ExtractFiles(true);
    EXPECT_EQ(host.JarRuns(), runs);
    EXPECT_EQ(host.dialog.pathOption, extractopt::PartialPath);
}

TEST_F(ExtractOperation, AChapterRangeExtractsThoseChapters)
{
    WriteFile(src + "\\second.txt", "2");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" second.txt"));
    WriteFile(src + "\\third.txt", "3");
    ASSERT_TRUE(RunJar(src, "ac -y \"" + root + "\\a.j\" third.txt"));
    host.dialog.pathOption = extractopt::FullPath;
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

TEST_F(ExtractOperation, AFileThatCannotBeMovedStaysAndIsNamed)
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
    std::string staged = ExtractTempFolder(out) + "\\top.txt";
    EXPECT_EQ(ReadAll(staged), "top");
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_NE(prompts[0].text.find(staged), std::string::npos) << prompts[0].text;
    EXPECT_NE(prompts[0].text.find(out + "\\top.txt"), std::string::npos);
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
