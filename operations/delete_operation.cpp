#include "operations/delete_operation.h"

#include <cstdio>

#include "engine/jar_commands.h"
#include "operations/delete_rules.h"
#include "operations/list_file.h"

OperationOutcome DeleteFilesBody(OperationJob& job, JarRunner& runner, OperationReplies& replies)
{
    OperationOutcome outcome;
    std::string listFile = ProgramFileName(job.folders.listFolder, kDeleteListName);
    if (!WriteListFile(listFile, job.listLines))
        return outcome;
    std::unique_ptr<ArchiveRelisting> relisting;
    if (runner.RunConsole(DeleteInLastChapterArguments(job.archivePath, listFile), ConsoleShow::Minimised))
        relisting = RelistArchive(runner, job.archivePath, job.shownChapter, job.archiveFolder);
    std::remove(listFile.c_str());
    // After a failure the files list stays for another try; after Cancel it goes, as the user
    // ended the operation.
    outcome.filesListUsed = relisting != nullptr || runner.lastRunCancelled;
    if (relisting)
        replies.HandOver(std::move(relisting));
    return outcome;
}

OperationOutcome DeleteChaptersBody(OperationJob& job, JarRunner& runner, OperationReplies& replies)
{
    std::unique_ptr<ArchiveRelisting> relisting;
    if (runner.RunConsole(job.command, ConsoleShow::Minimised))
        relisting = RelistArchive(runner, job.archivePath, 0, "\\");
    if (!job.listFile.empty())
        std::remove(job.listFile.c_str());
    if (relisting)
        replies.HandOver(std::move(relisting));
    return OperationOutcome{};
}
