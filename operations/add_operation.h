// The add bodies: write the add list file, run the archiver on it, and for a drop onto the open
// archive list it again. They run on the operation's worker with the job alone.
#pragma once

#include "engine/jar_runner.h"
#include "operations/add_list.h"
#include "operations/operation_job.h"

// The console of an add: shown when the archiver will ask something on it (disks of a spanned
// archive on a removable drive, a comment to type), else minimised.
ConsoleShow AddConsoleShow(bool spanArchive, bool removableDrive, bool interactiveComment);

enum class AddOutcome {
    ListFailed,     // the list file could not be written (reported); nothing ran
    ListFileOnly,   // the list file stays in the program folder; nothing ran
    Ran,            // the archiver ran (its failures are reported by the runner)
    Cancelled,      // Cancel stopped the archiver: the archive is as it was
};

struct AddResult {
    AddOutcome outcome = AddOutcome::Ran;
    // Set when `relist` was asked and the listings succeeded.
    std::unique_ptr<ArchiveRelisting> relisting;
};

// Writes the program folder's ~TorvexAdd from job.work, runs job.add's command on it, deletes the
// list, and with `relist` lists job.add.archiveName again (its last chapter's root).
AddResult RunAdd(JarRunner& runner, OperationJob& job, const FolderLister& lister, bool relist);

// AddFiles: the gathered files through the Add dialog's command.
OperationOutcome AddFilesBody(OperationJob& job, JarRunner& runner, const FolderLister& lister);
// AddDropped: dropped files; an archive on screen is listed again and handed over.
OperationOutcome AddDroppedBody(OperationJob& job, JarRunner& runner, OperationReplies& replies,
                                const FolderLister& lister);
