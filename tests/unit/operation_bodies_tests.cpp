// The operation bodies with a fake runner: what they run, the list files they write (as the
// archiver would read them), what they hand back to the interface thread, and what they leave
// behind.
#include "operations/add_operation.h"
#include "operations/console_bodies.h"
#include "operations/delete_operation.h"
#include "operations/delete_rules.h"
#include "operations/extract_rules.h"
#include "operations/list_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dialogs/extract_switches.h"
#include "engine/jar_commands.h"
#include "tests/support/fake_runner.h"

namespace {

using Strings = std::vector<std::string>;
using testsupport::FakeRunner;

const std::string kArchive = "C:\\data\\project.j";

class RecordedReplies : public OperationReplies {
public:
    std::vector<std::unique_ptr<ArchiveRelisting>> handed;
    void HandOver(std::unique_ptr<ArchiveRelisting> relisting) override { handed.push_back(std::move(relisting)); }
};

class OperationBodies : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = ::testing::TempDir() + "tvx_bodies";
        std::filesystem::create_directories(programFolder);
        // The archive as the archiver lists it again: three chapters, the last with \docs and \src.
        runner.outputs[ChapterListArguments(kArchive)] = testsupport::ListingFixture("chapters_three.txt");
        runner.outputs[ChapterListingArguments(3, kArchive)] = testsupport::ListingFixture("listing_project.txt");
        SetPromptScript([this](const PromptRequest& r) {
            prompts.push_back(r.text);
            return prompt::IdOk;
        });
    }
    void TearDown() override
    {
        SetPromptScript({});
        for (const char* name : {kAddListName, kDeleteListName, kExtractListName})
            std::remove(ListFile(name).c_str());
        std::filesystem::remove_all(programFolder);
    }

    OperationJob Job(OperationKind kind)
    {
        OperationJob job;
        job.kind = kind;
        job.archivePath = kArchive;
        job.archiveMode = true;
        job.shownChapter = 3;
        job.archiveFolder = "\\docs";
        job.folders.programFolder = job.folders.listFolder = programFolder;
        return job;
    }
    OperationJob AddJob(OperationKind kind, const std::string& archive)
    {
        OperationJob job = Job(kind);
        job.add = {" a -r -y", archive, PathOption::Partial, false, {}};
        job.work.Add(DroppedEntry("C:\\in\\a.txt", false));
        job.work.Add(DroppedEntry("C:\\in\\sub", true));
        return job;
    }
    std::string ListFile(const char* name) const { return ProgramFileName(programFolder, name); }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
    Strings Listings() const { return {ChapterListArguments(kArchive), ChapterListingArguments(3, kArchive)}; }

    std::string programFolder;
    FakeRunner runner;
    RecordedReplies replies;
    Strings prompts;
    FolderLister lister = [](const std::string& folder, std::vector<FoundName>& found) {
        if (folder == "C:\\in\\sub")
            found.push_back({"b.txt", false, false});
    };
};

TEST_F(OperationBodies, AddRunsTheDialogsCommandOnItsListFileAndRemovesIt)
{
    // The comment files the command names go with the list file, however the add ends.
    const std::string comment = programFolder + "/ChapterComment.txt";
    auto withComment = [&](OperationJob job) {
        std::ofstream(comment) << "Week 12\r\n";
        job.add.commentFiles = {comment};
        return job;
    };
    OperationJob job = withComment(AddJob(OperationKind::AddFiles, "C:\\out\\new.j"));
    job.show = ConsoleShow::Shown;
    OperationOutcome outcome = AddFilesBody(job, runner, lister);
    EXPECT_FALSE(Exists(comment));
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].arguments, ListFileArguments(" a -r -y", "C:\\out\\new.j", ListFile(kAddListName)));
    EXPECT_EQ(runner.runs[0].show, ConsoleShow::Shown);
    EXPECT_EQ(runner.runs[0].listText, "C:\\in\\.\\a.txt\r\nC:\\in\\.\\sub\r\nC:\\in\\.\\sub\\b.txt\r\n");
    EXPECT_FALSE(Exists(ListFile(kAddListName)));
    EXPECT_TRUE(outcome.archiveChanged);
    EXPECT_TRUE(outcome.filesListUsed);
    EXPECT_TRUE(job.work.empty());

    // "List file only": the list stays and nothing runs or changes.
    runner.runs.clear();
    job = withComment(AddJob(OperationKind::AddFiles, "C:\\out\\new.j"));
    job.add.listFileOnly = true;
    outcome = AddFilesBody(job, runner, lister);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_FALSE(Exists(comment));
    EXPECT_TRUE(Exists(ListFile(kAddListName)));
    EXPECT_FALSE(outcome.archiveChanged);

    // A list that cannot be written: said, and nothing runs.
    job = AddJob(OperationKind::AddFiles, "C:\\out\\new.j");
    job.folders.listFolder = programFolder + "/missing/deeper";
    outcome = AddFilesBody(job, runner, lister);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_EQ(prompts, (Strings{"List file saved as " + ListFile(kAddListName),
                                "Can't create " + ProgramFileName(programFolder + "/missing/deeper", kAddListName)}));
    EXPECT_FALSE(outcome.archiveChanged);
    EXPECT_TRUE(replies.handed.empty());
}

TEST_F(OperationBodies, ADropOntoTheOpenArchiveListsItAgainAndHandsItOver)
{
    OperationJob job = AddJob(OperationKind::AddDropped, kArchive);
    OperationOutcome outcome = AddDroppedBody(job, runner, replies, lister);
    Strings expected{ListFileArguments(" a -r -y", kArchive, ListFile(kAddListName))};
    for (const std::string& listing : Listings())
        expected.push_back(listing);
    EXPECT_EQ(runner.Arguments(), expected);
    ASSERT_EQ(replies.handed.size(), 1u);
    EXPECT_EQ(replies.handed[0]->shownChapter, 3);
    EXPECT_EQ(replies.handed[0]->archiveFolder, "\\");
    EXPECT_EQ(replies.handed[0]->catalogue->ArchivePath, kArchive);
    EXPECT_EQ(replies.handed[0]->catalogue->Chapter(3)->Directories.size(), 3u);
    EXPECT_FALSE(outcome.archiveChanged);  // the fresh listing shows the change

    // Dropped in the disk browser: nothing is listed, the archive is marked changed.
    runner.runs.clear();
    job = AddJob(OperationKind::AddDropped, "C:\\out\\new.j");
    job.archiveMode = false;
    outcome = AddDroppedBody(job, runner, replies, lister);
    EXPECT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(replies.handed.size(), 1u);
    EXPECT_TRUE(outcome.archiveChanged);
}

TEST_F(OperationBodies, DeletingFilesListsTheShownChapterAgainAndKeepsTheFilesListAfterAFailure)
{
    OperationJob job = Job(OperationKind::DeleteFiles);
    job.listLines = {"\\docs\\read me.txt"};
    OperationOutcome outcome = DeleteFilesBody(job, runner, replies);
    Strings expected{DeleteInLastChapterArguments(kArchive, ListFile(kDeleteListName))};
    for (const std::string& listing : Listings())
        expected.push_back(listing);
    EXPECT_EQ(runner.Arguments(), expected);
    EXPECT_EQ(runner.runs[0].listText, "\\docs\\read me.txt\r\n");
    EXPECT_EQ(runner.runs[0].show, ConsoleShow::Minimised);
    EXPECT_FALSE(Exists(ListFile(kDeleteListName)));
    ASSERT_EQ(replies.handed.size(), 1u);
    EXPECT_EQ(replies.handed[0]->shownChapter, 3);
    EXPECT_EQ(replies.handed[0]->archiveFolder, "\\docs");  // still there: kept
    EXPECT_TRUE(outcome.filesListUsed);

    // A folder the new listing lacks falls back to the root.
    job.archiveFolder = "\\gone";
    DeleteFilesBody(job, runner, replies);
    ASSERT_EQ(replies.handed.size(), 2u);
    EXPECT_EQ(replies.handed[1]->archiveFolder, "\\");

    // The archiver failed: nothing is listed or handed over, and the files list stays.
    runner.runs.clear();
    runner.consoleFails = true;
    outcome = DeleteFilesBody(job, runner, replies);
    EXPECT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(replies.handed.size(), 2u);
    EXPECT_FALSE(outcome.filesListUsed);
    EXPECT_FALSE(Exists(ListFile(kDeleteListName)));
    EXPECT_EQ(prompts, (Strings{"JAR ERROR: failed\n"}));
}

TEST_F(OperationBodies, TheDeleteDialogsCommandRunsAndTheLastChapterIsShownFromItsRoot)
{
    OperationJob job = Job(OperationKind::DeleteChapters);
    job.command = DeleteInAllChaptersArguments(kArchive, ListFile(kDeleteListName));
    job.listFile = ListFile(kDeleteListName);
    ASSERT_TRUE(WriteListFile(job.listFile, {"\\src\\main.c"}));
    DeleteChaptersBody(job, runner, replies);
    Strings expected{job.command};
    for (const std::string& listing : Listings())
        expected.push_back(listing);
    EXPECT_EQ(runner.Arguments(), expected);
    EXPECT_EQ(runner.runs[0].listText, "\\src\\main.c\r\n");
    EXPECT_FALSE(Exists(job.listFile));
    ASSERT_EQ(replies.handed.size(), 1u);
    EXPECT_EQ(replies.handed[0]->shownChapter, 3);
    EXPECT_EQ(replies.handed[0]->archiveFolder, "\\");

    // A listing that fails hands nothing over: the catalogue on screen stays.
    runner.capturedFails = true;
    job.command = DeleteChaptersArguments(kArchive, {"1", "2"});
    job.listFile.clear();
    DeleteChaptersBody(job, runner, replies);
    EXPECT_EQ(replies.handed.size(), 1u);
    EXPECT_EQ(prompts, (Strings{"Failed to run Jar"}));
}

TEST_F(OperationBodies, TestSaysAllIsWellOnlyWhenTheArchiverFoundNothing)
{
    OperationJob job = Job(OperationKind::TestArchive);
    TestArchiveBody(job, runner);
    runner.consoleFails = true;
    TestArchiveBody(job, runner);
    EXPECT_EQ(runner.Arguments(), (Strings{TestArguments(kArchive), TestArguments(kArchive)}));
    EXPECT_EQ(prompts, (Strings{"Everything is OK", "JAR ERROR: failed\n"}));
}

TEST_F(OperationBodies, ACancelledRunSaysNothingListsNothingAndTakesTheFilesList)
{
    runner.consoleCancelled = true;
    OperationJob job = AddJob(OperationKind::AddFiles, "C:\\out\\new.j");
    OperationOutcome outcome = AddFilesBody(job, runner, lister);
    EXPECT_FALSE(outcome.archiveChanged);
    EXPECT_TRUE(outcome.filesListUsed);
    EXPECT_TRUE(job.work.empty());
    // The open archive is not listed again: it is as it was.
    job = AddJob(OperationKind::AddDropped, kArchive);
    outcome = AddDroppedBody(job, runner, replies, lister);
    EXPECT_FALSE(outcome.archiveChanged);
    job = AddJob(OperationKind::AddDropped, "C:\\out\\new.j");
    job.archiveMode = false;
    EXPECT_FALSE(AddDroppedBody(job, runner, replies, lister).archiveChanged);
    job = Job(OperationKind::DeleteFiles);
    job.listLines = {"\\docs\\read me.txt"};
    EXPECT_TRUE(DeleteFilesBody(job, runner, replies).filesListUsed);
    TestArchiveBody(job, runner);
    // Only the console runs themselves: no listing, no message, no list file left.
    for (const auto& run : runner.runs)
        EXPECT_TRUE(run.console) << run.arguments;
    EXPECT_EQ(runner.runs.size(), 5u);
    EXPECT_TRUE(replies.handed.empty());
    EXPECT_EQ(prompts, Strings{});
    for (const char* name : {kAddListName, kDeleteListName})
        EXPECT_FALSE(Exists(ListFile(name))) << name;
}

TEST_F(OperationBodies, ExtractRunsTheDialogsLineOnItsListOrOnTheWholeArchive)
{
    OperationJob job = Job(OperationKind::ExtractFiles);
    job.extract.commandLine = "x -y -o\"C:\\out\"";
    job.extract.extractWhat = extractopt::SelectedFiles;
    job.show = ConsoleShow::Shown;
    // Nothing selected: nothing runs, and the files list stays.
    OperationOutcome outcome = ExtractDirectBody(job, runner);
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_FALSE(outcome.filesListUsed);

    job.work.Add(DroppedEntry("\\docs", true));
    job.listLines = {"\\docs", "\\docs\\read me.txt"};
    outcome = ExtractDirectBody(job, runner);
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].arguments, ListFileArguments(job.extract.commandLine, kArchive, ListFile(kExtractListName)));
    EXPECT_EQ(runner.runs[0].listText, "\\docs\r\n\\docs\\read me.txt\r\n");
    EXPECT_EQ(runner.runs[0].show, ConsoleShow::Shown);
    EXPECT_FALSE(Exists(ListFile(kExtractListName)));
    EXPECT_TRUE(outcome.filesListUsed);

    job.extract.listFileOnly = true;
    ExtractDirectBody(job, runner);
    EXPECT_EQ(runner.runs.size(), 1u);
    EXPECT_TRUE(Exists(ListFile(kExtractListName)));
    EXPECT_EQ(prompts, (Strings{"List file saved as " + ListFile(kExtractListName)}));

    job = Job(OperationKind::ExtractArchive);
    job.archivePath = "C:\\data\\other.j";
    job.extract.commandLine = "x -y";
    ExtractArchiveBody(job, runner);
    EXPECT_EQ(runner.runs.back().arguments, WholeArchiveArguments("x -y", "C:\\data\\other.j"));
}

} // namespace
