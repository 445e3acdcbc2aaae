// The extract operation: the three ways in (Extract to..., Extract, Extract to ... on a disk
// file), the worker bodies, and the route through a staging folder on the destination drive
// by which partial paths, the freshen/update rules and the overwrite questions are carried
// out file by file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/archive_catalogue.h"

#include "operations/operation_job.h"

class ExtractDialog;

// On the interface thread, as an extraction starts: the dialog's result as the bodies read it,
// and the consoles of its runs (shown whenever the archiver may ask something: an overwrite
// question, or the next disk of an archive on removable media).
ExtractRunOptions ExtractRunOptionsFrom(const ExtractDialog& dialog);
void SetExtractConsoles(OperationJob& job);
// On the interface thread, when an extraction is done: what the run leaves in the dialog for its
// next opening (Extract sets "selected files"; Partial Path chosen again after Extract to...).
void AfterExtractRun(ExtractDialog& dialog, const OperationJob& job);

// Worker bodies: Extract (the selection into the disk folder shown, paths below the shown
// archive folder, no question) and Extract to... with Partial Path, both through the staging
// folder.
OperationOutcome ExtractToCurrentBody(OperationJob& job, JarRunner& runner);
// One version of a file (job.extract.chapterFrom) where ExtractToCurrentBody would put it.
OperationOutcome RestoreVersionBody(OperationJob& job, JarRunner& runner);
OperationOutcome ExtractStagedBody(OperationJob& job, JarRunner& runner);

// Extracts job.work (job.listLines) with full paths into the staging folder of the destination's
// drive, then moves each file into place.
OperationOutcome ExtractThroughTemp(OperationJob& job, JarRunner& runner, const std::string& destination,
                                    bool overwriteWithoutPrompting, int updateMode, int updateCriterion,
                                    bool extractChapters, int chapterFrom);

// A file the move phase could not put in place: where it was staged, where it should have gone.
struct StrandedFile {
    std::string staged;
    std::string target;
};

// What the move phase carries from one file to the next: the options, an answer "to all" given
// to the overwrite question, a Cancel, and the files it could not put in place.
struct MovePhase {
    bool overwriteWithoutPrompting = true;
    int updateMode = 0;
    int updateCriterion = 0;
    int answerToAll = 0;  // prompt::IdYesToAll or IdNoToAll once given
    bool cancelled = false;
    // Asked before each file: true stops the phase as its Cancel does (the progress window's
    // Cancel, pressed after the archiver had finished).
    std::function<bool()> stopRequested;
    std::vector<StrandedFile> stranded;
};

// Moves staged entries (Path and Source inside the staging folder) to the destination by the
// update rules; a file whose move fails stays where it is and is added to phase.stranded.
void MoveExtracted(const EntryList& entries, const std::string& destination, MovePhase& phase);

// Removes a folder with everything in it; links inside are removed, never entered.
void RemoveStagedTree(const std::string& folder);

// Removes the path's parent folder when it is empty, then its parent, and so on.
void PruneEmptyParents(const std::string& path);

// The text that names the files the move phase could not put in place.
std::string StrandedFilesText(const std::vector<StrandedFile>& stranded);
// The question when a staging folder is already there (Retry/Cancel).
std::string LeftoverStagingText(const std::string& tempFolder);

// On the interface thread, after the Extract dialog's OK: when its chapters leave out the shown
// one, the shown chapter's rows cannot say what those chapters hold. With All Files the job
// then extracts everything the chapters hold below the shown folder; with a selection or the
// files list the user is told that only those entries are extracted (false: the user cancelled).
bool ApplyChapterScope(OperationJob& job, const ExtractDialog& dialog, int shownChapter, const std::string& archiveFolder);

// What the Extract to... handler reads of the view before it opens the dialog.
struct ExtractToFacts {
    std::string presetDirectory;
    bool atArchiveRoot = false;
    bool workSetEmpty = true;           // after CollectFilesList
    bool filesListHasDirectory = false; // among its top-level items
    bool realSelection = false;
    bool selectionHasDirectory = false; // among the selected rows below the parent row
    int shownChapter = 0;
};
// Sets the dialog's inputs for Extract to...; true when Partial Path was switched for this run
// and must be chosen again afterwards.
bool PrepareExtractTo(ExtractDialog& dialog, const ExtractToFacts& facts);
// Sets the dialog's inputs for a whole archive; returns the path option to put back afterwards.
PathOption PrepareExtractArchive(ExtractDialog& dialog, const std::string& presetDirectory);
// After the dialog of a whole archive: the path option back, whole-archive mode off.
void FinishExtractArchive(ExtractDialog& dialog, PathOption savedPathOption);
