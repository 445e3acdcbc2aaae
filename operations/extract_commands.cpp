// The extract commands of the view (interface thread) and the bodies the runner starts for them
// (worker thread), over the view and the document.
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"
#include "operations/operation_bodies.h"
#include "resources/resource.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

class ViewExtractHost : public ExtractHost {
public:
    ViewExtractHost(CTorvexView& view, CTorvexDoc& doc, ExtractDialog& dialog) : view_(view), doc_(doc), dialog_(dialog) {}

    ExtractDialog& Dialog() override { return dialog_; }
    EntryList& WorkSet() override { return view_.WorkSet; }
    void CollectFilesList() override { view_.CollectFilesList(); }
    void CollectForExtract(int extractWhat) override { view_.CollectForExtract(extractWhat); }
    void ClearWorkSet() override { view_.ClearWorkSet(); }
    int SelectedRowCount() override { return view_.List().GetSelectedCount(); }
    std::string DiskFolder() override { return view_.diskFolder; }
    std::string ProgramFolder() override { return doc_.ProgramFolder(); }
    std::string ArchivePath() override { return doc_.catalogue.ArchivePath; }
    const DirectoryMap* ShownDirectories() override
    {
        const ChapterInfo* chapter = doc_.catalogue.Chapter(view_.shownChapter);
        return chapter ? &chapter->Directories : nullptr;
    }
    int ShownChapter() override { return view_.shownChapter; }
    bool RunJarConsole(ArchiveCatalogue& run, int showState) override { return doc_.RunJarConsole(run, showState); }
    void BeginWaitCursor() override { doc_.BeginWaitCursor(); }
    void EndWaitCursor() override { doc_.EndWaitCursor(); }

private:
    CTorvexView& view_;
    CTorvexDoc& doc_;
    ExtractDialog& dialog_;
};

} // namespace

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
    if (answer == IDOK)
        StartOperation(OperationKind::ExtractFiles, restore ? 1 : 0);
    else if (restore)
        dialog.pathOption = extractopt::PartialPath;
}

void CTorvexView::OnExtract()
{
    // No dialog and no question: the command's promise.
    StartOperation(OperationKind::ExtractToCurrent);
}

void CTorvexView::OnExtractArchive()
{
    if (hitItem < 0 || hitItem >= rows_.Count() || RowsStale() || !rows_.Entry(hitItem).IsArchiveFile())
        return;
    ExtractDialog& dialog = services_.extract;
    extractArchivePath = rows_.Entry(hitItem).Path;
    const DirectoriesSettings& dirs = services_.directories;
    int savedPathOption =
        PrepareExtractArchive(dialog, PresetExtractDirectory(dirs.extractDir, dirs.extractLast, diskFolder, dirs.extractEdit));
    helpAnchor = "#Extract";
    INT_PTR answer = dialog.DoModal(MainFrame() ? MainFrame()->Handle() : Handle());
    helpAnchor.clear();
    // Put back at once: the worker uses only the command line built at OK.
    FinishExtractArchive(dialog, savedPathOption);
    if (answer == IDOK)
        StartOperation(OperationKind::ExtractArchive);
    else
        extractArchivePath.clear();
}

void ExtractToCurrentBody(OperationContext& context)
{
    ViewExtractHost host(context.view, context.document, context.view.ExtractOptions());
    ExtractToCurrent(host);
}

void ExtractFilesBody(OperationContext& context)
{
    ViewExtractHost host(context.view, context.document, context.view.ExtractOptions());
    ExtractFiles(host, context.argument != 0);
}

void ExtractArchiveBody(OperationContext& context)
{
    ViewExtractHost host(context.view, context.document, context.view.ExtractOptions());
    ExtractArchive(host, context.view.extractArchivePath);
    context.view.extractArchivePath.clear();
}
