// What an operation's body gets and gives. The job is built on the interface thread and holds
// everything the body reads; the body answers only through OperationReplies and its outcome,
// which the interface thread applies when the operation is done. A body never sees the view,
// the document, a dialog object or a window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/archive_catalogue.h"
#include "engine/chapter_versions.h"
#include "dialogs/path_option.h"
#include "engine/jar_runner.h"
#include "operations/finish_beep.h"
#include "operations/operation_kind.h"

// The Extract dialog's result, as the extract bodies read it.
struct ExtractRunOptions {
    std::string commandLine;   // the switches or the custom line, as OK left them
    std::string directory;
    int extractWhat = 0;       // extractopt::AllFiles, SelectedFiles, FilesList
    PathOption pathOption = PathOption::Full;
    int updateMode = 0;
    int updateCriterion = 0;
    bool overwriteWithoutPrompting = true;
    bool listFileOnly = false;
    bool extractChapters = false;
    int chapterFrom = 1;
    int currentChapter = 0;
    // The chapters asked for leave out the shown one: everything they hold below the shown
    // folder is extracted (the list line "\folder\*", with recursion), not the shown rows.
    bool wholeFolder = false;
};

// The Add dialog's result, as the add bodies read it.
struct AddRunOptions {
    std::string commandLine;   // " a ..." switches
    std::string archiveName;
    PathOption pathOption = PathOption::Partial;
    bool listFileOnly = false;
    // Comment files the command names: removed when the body ends.
    std::vector<std::string> commentFiles;
};

// The folders an archiver run of the job uses.
struct RunnerFolders {
    std::string jarFolder;
    std::string programFolder;  // Torvex.cfg
    std::string listFolder;     // the list files: the program folder, or the per-user one
    std::string workingFolder;  // the view's disk folder
    size_t outputBlockSize = 512000;
    size_t outputMaxBlocks = 500;
};

struct OperationJob {
    OperationKind kind = OperationKind::TestArchive;
    // Copies of the rows the body works on, moved in from the view's WorkSet.
    EntryList work;
    // The extract and delete list lines of `work`, made from the shown chapter.
    std::vector<std::string> listLines;
    // The open archive, or the archive on disk the command is about.
    std::string archivePath;
    bool archiveMode = false;
    int shownChapter = 0;
    std::string archiveFolder = "\\";
    std::string diskFolder;
    RunnerFolders folders;
    // The archiver's console for the main run; for an extraction through the staging folder,
    // `stagingShow` for that run.
    ConsoleShow show = ConsoleShow::Minimised;
    ConsoleShow stagingShow = ConsoleShow::Minimised;
    ExtractRunOptions extract;
    // Extract to...: Partial Path was switched for this run and is chosen again afterwards.
    bool restorePartialPath = false;
    AddRunOptions add;
    // The Delete dialog's argument text, and the list file it wrote (empty for chapters).
    std::string command;
    std::string listFile;
    FinishBeepSettings beep;
    // Compare Chapters: the two chapters, first side first.
    int comparedOlder = 0;
    int comparedNewer = 0;
    bool comparedWithUnchanged = false;
};

// The open archive listed again after a run that changed it: the interface thread makes it the
// document's catalogue and shows `archiveFolder` of `shownChapter`.
struct ArchiveRelisting {
    std::unique_ptr<ArchiveCatalogue> catalogue;
    int shownChapter = 0;
    // The directory to show; the root when the chapter no longer has it.
    std::string archiveFolder = "\\";
};

// Lists `archivePath` anew: the chapter list, then `chapter` (0, or one the list lacks: the last
// one), keeping `folder` when that chapter still has it. Null when a listing failed (the runner
// has reported it).
std::unique_ptr<ArchiveRelisting> RelistArchive(JarRunner& runner, const std::string& archivePath, int chapter,
                                                const std::string& folder);

// What the interface thread does when the body is done.
struct OperationOutcome {
    // The archive changed on disk: a catalogue of it may be out of date (the modified flag).
    bool archiveChanged = false;
    // The work was taken: the files list is emptied.
    bool filesListUsed = false;
    // Compare Chapters: the comparison the main list shows; null when the listing failed.
    std::unique_ptr<ComparedChapters> compared;
};

// How a body speaks to the interface thread while it runs (posted messages in the program).
class OperationReplies {
public:
    virtual ~OperationReplies() = default;
    // A fresh listing of the open archive, with its status line and chapter combo.
    virtual void HandOver(std::unique_ptr<ArchiveRelisting> relisting) = 0;
};

// Runs the body of job.kind with `runner`; what it leaves to the interface thread comes back.
OperationOutcome RunOperationBody(OperationJob& job, JarRunner& runner, OperationReplies& replies);
