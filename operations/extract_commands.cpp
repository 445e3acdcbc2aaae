// The extract and test commands of the view (interface thread): they gather the rows, open the
// Extract dialog where there is one, and start the operation with a job of what they decided.
#include "dialogs/directories_settings.h"
#include "dialogs/extract_dialog.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"
#include "operations/view_commands.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void OnExtractTo(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& dirs, int versionChapter)
{
    view.CollectFilesList();
    ExtractToFacts facts;
    facts.presetDirectory = PresetExtractDirectory(dirs.extractDir, dirs.extractLast, view.diskFolder, dirs.extractEdit);
    facts.atArchiveRoot = view.archiveFolder == "\\";
    facts.workSetEmpty = view.WorkSet.empty();
    for (const auto& item : view.FilesListTree.Items())
        facts.filesListHasDirectory = facts.filesListHasDirectory || item->entry.IsDirectory();
    facts.realSelection = view.HasRealSelection();
    for (const ArchiveEntry* entry : view.SelectedEntries())
        facts.selectionHasDirectory = facts.selectionHasDirectory || entry->IsDirectory();
    facts.shownChapter = view.shownChapter;
    bool restore = PrepareExtractTo(dialog, facts);
    if (versionChapter > 0) {
        // That chapter alone: a range left from an earlier extraction would take others too.
        dialog.extractChapters = true;
        dialog.chapterFrom = versionChapter;
        dialog.chapterTo.clear();
    }

    view.helpAnchor = "#Extract";
    INT_PTR answer = dialog.DoModal(view.MainFrame()->Handle());
    view.helpAnchor.clear();
    if (answer != IDOK) {
        if (restore)
            dialog.pathOption = PathOption::Partial;
        return;
    }
    OperationJob job = view.NewJob(OperationKind::ExtractFiles);
    job.extract = ExtractRunOptionsFrom(dialog);
    job.restorePartialPath = restore;
    // The files list was gathered above. With no row selected there is nothing to extract, and
    // the files list stays as it is.
    if (dialog.extractWhat == extractopt::SelectedFiles && view.List().GetSelectedCount() == 0)
        view.WorkSet.Clear();
    else if (dialog.extractWhat == extractopt::AllFiles || dialog.extractWhat == extractopt::SelectedFiles)
        view.CollectRows(dialog.extractWhat == extractopt::AllFiles, view.archiveFolder);
    job.work = std::move(view.WorkSet);
    // The rows of a comparison name what the chosen chapter holds of them; the files list keeps
    // its own lines.
    job.listLines = view.ListLinesOf(job.work, dialog.extractWhat == extractopt::FilesList ? 0 : versionChapter);
    SetExtractConsoles(job);
    // A version chosen in the history is of the selected file itself: nothing to warn about.
    bool scoped = versionChapter > 0 || ApplyChapterScope(job, dialog, view.shownChapter, view.archiveFolder);
    if (!scoped || !view.StartOperation(std::move(job))) {
        if (restore)
            dialog.pathOption = PathOption::Partial;
    }
}

void OnExtract(CTorvexView& view, const ExtractDialog& options, int versionChapter)
{
    // No dialog and no question: the command's promise. A restored version asks before it
    // replaces a file.
    OperationJob job = view.NewJob(versionChapter > 0 ? OperationKind::RestoreVersion : OperationKind::ExtractToCurrent);
    view.CollectRows(false, view.archiveFolder);
    job.work = std::move(view.WorkSet);
    job.listLines = view.ListLinesOf(job.work);
    job.extract = ExtractRunOptionsFrom(options);
    job.extract.extractWhat = extractopt::SelectedFiles;
    job.extract.listFileOnly = false;
    // With no range, the chapter the view shows.
    job.extract.currentChapter = view.shownChapter;
    if (versionChapter > 0)
        job.extract.chapterFrom = versionChapter;
    SetExtractConsoles(job);
    view.StartOperation(std::move(job));
}

void OnExtractArchive(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& dirs)
{
    const ArchiveEntry* hit = view.HitEntry();
    if (!hit || !hit->IsArchiveFile())
        return;
    ExtractArchiveFile(view, dialog, dirs, hit->Path);
}

void ExtractArchiveFile(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& dirs,
                        const std::string& archive)
{
    PathOption savedPathOption =
        PrepareExtractArchive(dialog, PresetExtractDirectory(dirs.extractDir, dirs.extractLast, view.diskFolder, dirs.extractEdit));
    view.helpAnchor = "#Extract";
    INT_PTR answer = dialog.DoModal(view.MainFrame() ? view.MainFrame()->Handle() : view.Handle());
    view.helpAnchor.clear();
    OperationJob job = view.NewJob(OperationKind::ExtractArchive);
    job.extract = ExtractRunOptionsFrom(dialog);
    // Put back at once: the worker uses only the command line built at OK.
    FinishExtractArchive(dialog, savedPathOption);
    if (answer != IDOK)
        return;
    job.archivePath = archive;
    SetExtractConsoles(job);
    view.StartOperation(std::move(job));
}

void OnTest(CTorvexView& view)
{
    OperationJob job = view.NewJob(OperationKind::TestArchive);
    if (!view.GetTorvexDoc()->archiveMode) {
        if (view.List().GetSelectedCount() != 1) {
            PromptUser("You must select one archive");
            return;
        }
        // One row is selected: the parent row gives no entry here.
        std::vector<const ArchiveEntry*> selected = view.SelectedEntries();
        if (selected.empty() || !selected.front()->IsArchiveFile()) {
            PromptUser("You must select an archive");
            return;
        }
        job.archivePath = selected.front()->Path;
    }
    view.StartOperation(std::move(job));
}
