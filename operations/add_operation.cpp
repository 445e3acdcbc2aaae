#include "operations/add_operation.h"

#include <cstdio>

#include "engine/jar_commands.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "operations/list_file.h"
#include "ui/view_rules.h"

namespace {

// Runs one argument text in the archiver's console through a catalogue of its own, so that the
// catalogue on screen is never touched from the worker.
bool RunConsole(JarSession& session, const std::string& archivePath, const std::string& arguments, int showState)
{
    ArchiveCatalogue run;
    run.ArchivePath = archivePath;
    run.Command = arguments;
    return session.RunJarConsole(run, showState);
}

void RemoveFile(const std::string& path)
{
    if (!path.empty())
        std::remove(path.c_str());
}

} // namespace

std::string ProgramFileName(const std::string& programFolder, const char* name)
{
    return programFolder + "\\" + name;
}

std::unique_ptr<ArchiveRelisting> RelistArchive(JarSession& session, const std::string& archivePath, int chapter,
                                                const std::string& folder)
{
    auto listed = std::make_unique<ArchiveCatalogue>();
    listed->ArchivePath = archivePath;
    if (!session.ListChapters(*listed))
        return nullptr;
    int shown = chapter > 0 && listed->Chapter(chapter) ? chapter : listed->LastChapter;
    if (!session.ListChapter(*listed, shown))
        return nullptr;
    // An empty archive is listed as chapter 1.
    if (!listed->Chapter(shown))
        shown = listed->LastChapter;
    auto relisting = std::make_unique<ArchiveRelisting>();
    relisting->shownChapter = shown;
    const ChapterInfo* info = listed->Chapter(shown);
    relisting->archiveFolder = info ? RefreshFolder(info->Directories, folder) : "\\";
    relisting->catalogue = std::move(listed);
    return relisting;
}

int AddShowState(bool spanArchive, bool removableDrive, bool interactiveComment)
{
    if (interactiveComment || (spanArchive && removableDrive))
        return 5;
    return 6;
}

AddResult RunAdd(JarSession& session, AddJob& job, const FolderLister& lister)
{
    AddResult result;
    std::string listFile = ProgramFileName(session.ListFolder(), kAddListName);
    std::string lines;
    AppendAddListLines(job.work, job.pathOption, lister, lines);
    job.work.Clear();
    if (!WriteTextFile(listFile, lines)) {
        PromptUser("Can't create " + listFile, prompt::Ok | prompt::IconStop);
        result.outcome = AddOutcome::ListFailed;
        return result;
    }
    if (job.listFileOnly) {
        TellListFileLeft(listFile);
        result.outcome = AddOutcome::ListFileOnly;
        return result;
    }
    RunConsole(session, job.archiveName, ListFileArguments(job.commandLine, job.archiveName, listFile), job.showState);
    // Listed again even after a failure: the archive may have changed before it stopped.
    if (job.relist)
        result.relisting = RelistArchive(session, job.archiveName, 0, "\\");
    RemoveFile(listFile);
    return result;
}

std::unique_ptr<ArchiveRelisting> RunDeleteFiles(JarSession& session, const std::string& archivePath,
                                                 const std::string& listFile, int shownChapter,
                                                 const std::string& archiveFolder)
{
    std::unique_ptr<ArchiveRelisting> relisting;
    if (RunConsole(session, archivePath, DeleteInLastChapterArguments(archivePath, listFile), 6))
        relisting = RelistArchive(session, archivePath, shownChapter, archiveFolder);
    RemoveFile(listFile);
    return relisting;
}

std::unique_ptr<ArchiveRelisting> RunDeleteCommand(JarSession& session, const std::string& archivePath,
                                                   const std::string& command, const std::string& listFile)
{
    std::unique_ptr<ArchiveRelisting> relisting;
    if (RunConsole(session, archivePath, command, 6))
        relisting = RelistArchive(session, archivePath, 0, "\\");
    RemoveFile(listFile);
    return relisting;
}
