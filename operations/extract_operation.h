// The extract operation: the three ways in (Extract to..., Extract, Extract to ... on a disk
// file), the worker bodies, and the route through a staging folder on the destination drive
// by which partial paths, the freshen/update rules and the overwrite questions are carried
// out file by file.
#pragma once

#include <string>
#include <vector>

#include "engine/archive_catalogue.h"

class ExtractDialog;

// What the extract bodies use of the view and the document. The view implements it over its
// rows, work set and files list; tests implement it over plain data.
class ExtractHost {
public:
    virtual ~ExtractHost() = default;
    virtual ExtractDialog& Dialog() = 0;
    // The rows the operation works on.
    virtual EntryList& WorkSet() = 0;
    // The WorkSet becomes the files list's leaves.
    virtual void CollectFilesList() = 0;
    // By "Extract What": all rows, the selected rows (Source: the shown archive folder), or
    // the WorkSet as it is (the files list).
    virtual void CollectForExtract(int extractWhat) = 0;
    // Empties the WorkSet and the files list.
    virtual void ClearWorkSet() = 0;
    virtual int SelectedRowCount() = 0;
    // The view's disk folder (the archive's folder while an archive is shown).
    virtual std::string DiskFolder() = 0;
    // The program folder (torvexEdit), where the list file goes.
    virtual std::string ProgramFolder() = 0;
    virtual std::string ArchivePath() = 0;
    // The directories of the shown chapter, for the list file.
    virtual const DirectoryMap* ShownDirectories() = 0;
    virtual int ShownChapter() = 0;
    // Runs run.Command in the archiver's console; false when it reported an error.
    virtual bool RunJarConsole(ArchiveCatalogue& run, int showState) = 0;
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

// Worker bodies.
void ExtractFiles(ExtractHost& host, bool restorePartialPath);
void ExtractToCurrent(ExtractHost& host);
void ExtractArchive(ExtractHost& host, const std::string& archivePath);

// Writes the extract list file of the WorkSet; its name, or empty after "Can't create" was shown.
std::string WriteExtractList(ExtractHost& host);

// Extracts the WorkSet (gathered by "Extract What") with full paths into the staging folder
// of the destination's drive, then moves each file into place.
void ExtractThroughTemp(ExtractHost& host, const std::string& destination, bool overwriteWithoutPrompting,
                        int updateMode, int updateCriterion, bool extractChapters, int chapterFrom);

// A file the move phase could not put in place: where it still is, where it should have gone.
struct StrandedFile {
    std::string staged;
    std::string target;
};

// Moves staged entries (Path and Source inside the staging folder) to the destination by the
// update rules; a file whose move fails stays where it is and is added to `stranded`.
void MoveExtracted(const EntryList& entries, const std::string& destination, bool overwriteWithoutPrompting,
                   int updateMode, int updateCriterion, std::vector<StrandedFile>& stranded);

// Removes the path's parent folder when it is empty, then its parent, and so on.
void PruneEmptyParents(const std::string& path);

// The text that tells which files stayed behind in the staging folder.
std::string StrandedFilesText(const std::string& tempFolder, const std::vector<StrandedFile>& stranded);

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
int PrepareExtractArchive(ExtractDialog& dialog, const std::string& presetDirectory);
// After the dialog of a whole archive: the path option back, whole-archive mode off.
void FinishExtractArchive(ExtractDialog& dialog, int savedPathOption);
