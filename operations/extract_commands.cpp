// The extract and test commands of the view (interface thread): they gather the rows, open the
// Extract dialog where there is one, and start the operation with a job of what they decided.
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"
#include "resources/resource.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void CTorvexView::OnExtractTo()
{
    ExtractDialog& dialog = services_.extract;
    CollectFilesList();
    ExtractToFacts facts;
    const DirectoriesSettings& dirs = services_.directories;
    facts.presetDirectory = PresetExtractDirectory(dirs.extractDir, dirs.extractLast, diskFolder, dirs.extractEdit);
    facts.atArchiveRoot = archiveFolder == "\\";
    facts.workSetEmpty = WorkSet.empty();
    for (const auto& item : FilesListTree.Items())
        facts.filesListHasDirectory = facts.filesListHasDirectory || item->entry.IsDirectory();
    facts.realSelection = HasRealSelection();
    if (!RowsStale()) {
        const ListCtrl& list = List();
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0 && i < rows_.Count(); i = list.GetNextItem(i, LVNI_SELECTED)) {
            if (i >= rows_.FirstRealRow() && rows_.Entry(i).IsDirectory())
                facts.selectionHasDirectory = true;
        }
    }
    facts.shownChapter = shownChapter;
    bool restore = PrepareExtractTo(dialog, facts);

    helpAnchor = "#Extract";
    INT_PTR answer = dialog.DoModal(MainFrame()->Handle());
    helpAnchor.clear();
    if (answer != IDOK) {
        if (restore)
            dialog.pathOption = extractopt::PartialPath;
        return;
    }
    OperationJob job = NewJob(OperationKind::ExtractFiles);
    job.extract = ExtractRunOptionsFrom(dialog);
    job.restorePartialPath = restore;
    // The files list was gathered above. With no row selected there is nothing to extract, and
    // the files list stays as it is.
    if (dialog.extractWhat == extractopt::SelectedFiles && List().GetSelectedCount() == 0)
        WorkSet.Clear();
    else
        CollectForExtract(dialog.extractWhat);
    job.work = std::move(WorkSet);
    job.listLines = ListLinesOf(job.work);
    SetExtractConsoles(job);
    if (!ApplyChapterScope(job, dialog, shownChapter, archiveFolder) || !StartOperation(std::move(job))) {
        if (restore)
            dialog.pathOption = extractopt::PartialPath;
    }
}

void CTorvexView::OnExtract()
{
    // No dialog and no question: the command's promise.
    OperationJob job = NewJob(OperationKind::ExtractToCurrent);
    CollectForExtract(extractopt::SelectedFiles);
    job.work = std::move(WorkSet);
    job.listLines = ListLinesOf(job.work);
    job.extract = ExtractRunOptionsFrom(services_.extract);
    job.extract.extractWhat = extractopt::SelectedFiles;
    job.extract.listFileOnly = false;
    // With no range, the chapter the view shows.
    job.extract.currentChapter = shownChapter;
    SetExtractConsoles(job);
    StartOperation(std::move(job));
}

void CTorvexView::OnExtractArchive()
{
    if (hitItem < 0 || hitItem >= rows_.Count() || RowsStale() || !rows_.Entry(hitItem).IsArchiveFile())
        return;
    ExtractArchiveFile(rows_.Entry(hitItem).Path);
}

void CTorvexView::ExtractArchiveFile(const std::string& archive)
{
    ExtractDialog& dialog = services_.extract;
    const DirectoriesSettings& dirs = services_.directories;
    int savedPathOption =
        PrepareExtractArchive(dialog, PresetExtractDirectory(dirs.extractDir, dirs.extractLast, diskFolder, dirs.extractEdit));
    helpAnchor = "#Extract";
    INT_PTR answer = dialog.DoModal(MainFrame() ? MainFrame()->Handle() : Handle());
    helpAnchor.clear();
    OperationJob job = NewJob(OperationKind::ExtractArchive);
    job.extract = ExtractRunOptionsFrom(dialog);
    // Put back at once: the worker uses only the command line built at OK.
    FinishExtractArchive(dialog, savedPathOption);
    if (answer != IDOK)
        return;
    job.archivePath = archive;
    SetExtractConsoles(job);
    StartOperation(std::move(job));
}

void CTorvexView::OnTest()
{
    OperationJob job = NewJob(OperationKind::TestArchive);
    if (!GetTorvexDoc()->archiveMode) {
        if (List().GetSelectedCount() != 1) {
            PromptUser("You must select one archive");
            return;
        }
        const ArchiveEntry* entry = SingleSelectedEntry();
        if (!entry || !entry->IsArchiveFile()) {
            PromptUser("You must select an archive");
            return;
        }
        job.archivePath = entry->Path;
    }
    StartOperation(std::move(job));
}
