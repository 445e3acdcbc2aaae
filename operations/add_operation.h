// The worker bodies of adding and deleting: write the list file, run the archiver, and list the
// archive again into a fresh catalogue that the interface thread then shows. They touch no
// window and not the catalogue on screen, so they run on the operation's worker thread.
#pragma once

#include <memory>
#include <string>

#include "engine/archive_catalogue.h"
#include "engine/jar_session.h"
#include "operations/add_list.h"

// What the interface thread shows after a run that changed the open archive.
struct ArchiveRelisting {
    std::unique_ptr<ArchiveCatalogue> catalogue;
    int shownChapter = 0;
    // The directory to show; the root when the chapter no longer has it.
    std::string archiveFolder = "\\";
};

// Lists `archivePath` anew: the chapter list, then `chapter` (0: the last one). Null when a
// listing failed (the session has reported it). The folder is kept when the chapter still has it.
std::unique_ptr<ArchiveRelisting> RelistArchive(JarSession& session, const std::string& archivePath, int chapter,
                                                const std::string& folder);

// One add run, as the Add dialog and the caller set it up.
struct AddJob {
    std::string commandLine;   // " a ..." switches
    std::string archiveName;
    int pathOption = 1;
    bool listFileOnly = false;
    int showState = 6;         // the archiver's console: 5 shown, 6 minimised
    EntryList work;            // the disk rows to add
    // A drop onto the archive on screen: list it again afterwards.
    bool relist = false;
};

enum class AddOutcome {
    ListFailed,     // the list file could not be written (reported); nothing ran
    ListFileOnly,   // the list file stays in the program folder; nothing ran
    Ran,            // the archiver ran (its failures are reported by the session)
};

struct AddResult {
    AddOutcome outcome = AddOutcome::Ran;
    // Set for a relisting job when the listings succeeded.
    std::unique_ptr<ArchiveRelisting> relisting;
};

// The console show state of an add: shown when the archiver will ask something on its console
// (disks of a spanned archive on a removable drive, a comment to type).
int AddShowState(bool spanArchive, bool removableDrive, bool interactiveComment);

// AddFiles and AddDropped: writes `programFolder`\~TorvexAdd, runs the archiver on it, deletes
// the list, and lists the archive again for a relisting job.
AddResult RunAdd(JarSession& session, AddJob& job, const FolderLister& lister);

// DeleteFiles: the delete list is already written; runs " d -r- -y" on it and lists the shown
// chapter again, keeping the shown folder when it still exists. The list file is deleted.
std::unique_ptr<ArchiveRelisting> RunDeleteFiles(JarSession& session, const std::string& archivePath,
                                                 const std::string& listFile, int shownChapter,
                                                 const std::string& archiveFolder);

// DeleteChapters: runs the dialog's command and lists the archive again showing the root of its
// last chapter. The list file, when the dialog wrote one, is deleted.
std::unique_ptr<ArchiveRelisting> RunDeleteCommand(JarSession& session, const std::string& archivePath,
                                                   const std::string& command, const std::string& listFile);

// The list files' full names in the program folder.
std::string ProgramFileName(const std::string& programFolder, const char* name);
