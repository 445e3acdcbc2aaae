// The table of bodies by kind, and what they need of the file system on Windows.
#include "operations/operation_bodies.h"

#include <windows.h>

#include "dialogs/extract_switches.h"
#include "engine/path_helpers.h"
#include "operations/add_operation.h"
#include "operations/console_bodies.h"
#include "operations/delete_operation.h"
#include "operations/extract_operation.h"

void ListFolderNames(const std::string& folder, std::vector<FoundName>& found)
{
    ReadFolder(folder, [&](const FolderEntry& entry) {
        bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        found.push_back({entry.name, directory, link});
    });
}

OperationOutcome RunOperationBody(OperationJob& job, JarRunner& runner, OperationReplies& replies)
{
    switch (job.kind) {
    case OperationKind::AddFiles:
        return AddFilesBody(job, runner, ListFolderNames);
    case OperationKind::AddDropped:
        return AddDroppedBody(job, runner, replies, ListFolderNames);
    case OperationKind::ExtractToCurrent:
        return ExtractToCurrentBody(job, runner);
    case OperationKind::ExtractForTransfer: {
        // A drag or a paste takes its own copy of the rows: the files list stays.
        OperationOutcome outcome = ExtractToCurrentBody(job, runner);
        outcome.filesListUsed = false;
        return outcome;
    }
    case OperationKind::ExtractFiles:
        if (job.extract.pathOption == PathOption::Partial)
            return ExtractStagedBody(job, runner);
        return ExtractDirectBody(job, runner);
    case OperationKind::ExtractArchive:
        return ExtractArchiveBody(job, runner);
    case OperationKind::TestArchive:
        return TestArchiveBody(job, runner);
    case OperationKind::DeleteFiles:
        return DeleteFilesBody(job, runner, replies);
    case OperationKind::DeleteChapters:
        return DeleteChaptersBody(job, runner, replies);
    case OperationKind::RestoreVersion:
        return RestoreVersionBody(job, runner);
    case OperationKind::CompareChapters: {
        OperationOutcome outcome;
        outcome.compared = CompareChapters(runner, job.archivePath, job.comparedOlder, job.comparedNewer);
        return outcome;
    }
    }
    return {};
}
