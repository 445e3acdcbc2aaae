// The view's side of the files list: gathering rows into it (F5), editing it (F6), and the
// WorkSet the operations work on, gathered from it or from the rows.
#include "operations/help.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "ui/compare_rows.h"
#include "ui/files_list_dialog.h"
#include "ui/icon_cache.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void CTorvexView::AddToFilesList()
{
    CTorvexDoc* doc = GetTorvexDoc();
    const ListCtrl& list = List();
    int selected = list.GetSelectedCount();
    int taken = 0;
    if (!RowsStale()) {
        const std::string& source = doc->archiveMode ? archiveFolder : diskFolder;
        IconBatch icons;
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0 && i < rows_.Count() && taken < selected;
             i = list.GetNextItem(i, LVNI_SELECTED)) {
            const ArchiveEntry& row = rows_.Entry(i);
            if (IsParentRow(row))
                continue;
            // A row already in the list counts as taken and is not added twice.
            if (!FilesListTree.FindTop(row.Path))
                FilesListTree.AddTop(row, source, row.IsDirectory() ? 0 : icons.IndexFor(row.Path));
            ++taken;
        }
    }
    if (selected == 0 || taken == 0)
        PromptUser("No file selected");
}

void CTorvexView::EditFilesList()
{
    CTorvexDoc* doc = GetTorvexDoc();
    HelpTopic topic(helpAnchor, "#BuildFileList");
    FilesListDialog dialog;
    dialog.help = [] { ShowHelp("#BuildFileList"); };
    dialog.filesList = &FilesListTree;
    dialog.archiveMode = doc->archiveMode;
    if (const ChapterInfo* chapter = doc->catalogue.Chapter(shownChapter))
        dialog.directories = &chapter->Directories;
    dialog.scanFolder = [doc](EntryList& rows, const std::string& folder) {
        std::string unread = doc->ScanFolder(rows, folder);
        if (!unread.empty())
            PromptUser(unread, prompt::Ok | prompt::IconExclamation);
    };
    dialog.images = IconImageList();
    dialog.imageFor = [](const ArchiveEntry& entry) { return IconIndexFor(entry.Path); };
    HWND owner = MainFrame() ? MainFrame()->Handle() : Handle();
    if (dialog.DoModal(owner) == IDOK)
        FilesListTree = std::move(dialog.edited);
}

void CTorvexView::CollectFilesList()
{
    WorkSet.Clear();
    FilesListTree.CollectLeaves(WorkSet);
}

void CTorvexView::CollectSelectedRows(bool allRows, const std::string& source)
{
    ClearWorkSet();
    if (RowsStale())
        return;
    const ListCtrl& list = List();
    int first = rows_.FirstRealRow();
    auto take = [&](int row) {
        ArchiveEntry& copy = WorkSet.Add(rows_.Entry(row));
        copy.Columns[ArchiveEntry::Source] = source;
    };
    if (allRows) {
        for (int i = first; i < rows_.Count(); ++i)
            take(i);
        return;
    }
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0 && i < rows_.Count(); i = list.GetNextItem(i, LVNI_SELECTED)) {
        if (i >= first)
            take(i);
    }
}

void CTorvexView::CollectForExtract(int extractWhat)
{
    // 2: the files list, gathered by the caller with CollectFilesList.
    if (extractWhat == 0 || extractWhat == 1)
        CollectSelectedRows(extractWhat == 0, archiveFolder);
}

void CTorvexView::CollectForAdd(bool useFilesList)
{
    if (!useFilesList)
        CollectSelectedRows(false, diskFolder);
}

void CTorvexView::CollectForDelete()
{
    ClearWorkSet();
    if (RowsStale())
        return;
    const ListCtrl& list = List();
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0 && i < rows_.Count(); i = list.GetNextItem(i, LVNI_SELECTED)) {
        if (i >= rows_.FirstRealRow())
            WorkSet.Add(rows_.Entry(i));  // Source as it is: empty for catalogue rows
    }
}
