#include "operations/add_operation.h"

#include <cstdio>

#include "engine/jar_commands.h"
#include "operations/list_file.h"

ConsoleShow AddConsoleShow(bool spanArchive, bool removableDrive, bool interactiveComment)
{
    if (interactiveComment || (spanArchive && removableDrive))
        return ConsoleShow::Shown;
    return ConsoleShow::Minimised;
}

namespace {
// The comment files go however the add ends: the archiver has read them, or never will.
struct CommentFilesRemover {
    const std::vector<std::string>& files;
    ~CommentFilesRemover()
    {
        for (const std::string& file : files)
            std::remove(file.c_str());
    }
};
} // namespace

AddResult RunAdd(JarRunner& runner, OperationJob& job, const FolderLister& lister, bool relist)
{
    CommentFilesRemover comments{job.add.commentFiles};
    AddResult result;
    std::string listFile = ProgramFileName(job.folders.listFolder, kAddListName);
    std::string lines;
    AppendAddListLines(job.work, job.add.pathOption, lister, lines);
    job.work.Clear();
    if (!WriteListText(listFile, lines)) {
        result.outcome = AddOutcome::ListFailed;
        return result;
    }
    if (job.add.listFileOnly) {
        TellListFileLeft(listFile);
        result.outcome = AddOutcome::ListFileOnly;
        return result;
    }
    const std::string& archive = job.add.archiveName;
    runner.RunConsole(ListFileArguments(job.add.commandLine, archive, listFile), job.show);
    if (runner.lastRunCancelled)
        result.outcome = AddOutcome::Cancelled;
    // Listed again even after a failure: the archive may have changed before it stopped. A
    // cancelled add changed nothing.
    else if (relist)
        result.relisting = RelistArchive(runner, archive, 0, "\\");
    std::remove(listFile.c_str());
    return result;
}

OperationOutcome AddFilesBody(OperationJob& job, JarRunner& runner, const FolderLister& lister)
{
    OperationOutcome outcome;
    outcome.filesListUsed = true;
    if (job.work.empty()) {
        CommentFilesRemover comments{job.add.commentFiles};
        return outcome;
    }
    // The disk browser's watcher shows the new or grown archive; an open catalogue of it is out
    // of date.
    outcome.archiveChanged = RunAdd(runner, job, lister, false).outcome == AddOutcome::Ran;
    return outcome;
}

OperationOutcome AddDroppedBody(OperationJob& job, JarRunner& runner, OperationReplies& replies,
                                const FolderLister& lister)
{
    OperationOutcome outcome;
    outcome.filesListUsed = true;
    AddResult result = RunAdd(runner, job, lister, job.archiveMode);
    if (result.relisting)
        replies.HandOver(std::move(result.relisting));
    else if (!job.archiveMode && result.outcome == AddOutcome::Ran)
        outcome.archiveChanged = true;
    return outcome;
}
