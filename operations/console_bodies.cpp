#include "operations/console_bodies.h"

#include <cstdio>

#include "dialogs/extract_switches.h"
#include "engine/jar_commands.h"
#include "framework/message_box.h"
#include "operations/extract_rules.h"
#include "operations/list_file.h"

OperationOutcome TestArchiveBody(OperationJob& job, JarRunner& runner)
{
    if (runner.RunConsole(TestArguments(job.archivePath), ConsoleShow::Minimised))
        PromptUser("Everything is OK");
    return {};
}

bool NothingToExtract(const OperationJob& job)
{
    return job.extract.extractWhat != extractopt::AllFiles && job.work.empty();
}

OperationOutcome ExtractDirectBody(OperationJob& job, JarRunner& runner)
{
    OperationOutcome outcome;
    if (NothingToExtract(job))
        return outcome;
    outcome.filesListUsed = true;
    std::string list = ProgramFileName(job.folders.listFolder, kExtractListName);
    if (!WriteListFile(list, job.listLines))
        return outcome;
    // With "list file only" the list is the product and stays.
    if (job.extract.listFileOnly) {
        TellListFileLeft(list);
        return outcome;
    }
    runner.RunConsole(ListFileArguments(job.extract.commandLine, job.archivePath, list), job.show);
    std::remove(list.c_str());
    return outcome;
}

OperationOutcome ExtractArchiveBody(OperationJob& job, JarRunner& runner)
{
    runner.RunConsole(WholeArchiveArguments(job.extract.commandLine, job.archivePath), job.show);
    return {};
}
