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
#include "resources/message_texts.h"

void CTorvexView::ClearWorkSet()
{
    FilesListTree.Clear();
    WorkSet.Clear();
}

void CTorvexView::AddToFilesList()
{
    const std::string& source = GetTorvexDoc()->archiveMode ? archiveFolder : diskFolder;
    std::vector<const ArchiveEntry*> selected = SelectedEntries();
    IconBatch icons(services_.icons);
    for (const ArchiveEntry* row : selected) {
        // A row already in the list is not added twice.
        if (!FilesListTree.FindTop(row->Path))
            FilesListTree.AddTop(*row, source, row->IsDirectory() ? 0 : icons.IndexFor(row->Path));
    }
    if (selected.empty())
        PromptUser(msg::NoFileSelected);
}

void CTorvexView::EditFilesList()
{
    CTorvexDoc* doc = GetTorvexDoc();
    HelpTopic topic(helpAnchor, "#BuildFileList");
    FilesListDialog dialog;
    dialog.help = [this] { ShowHelp("#BuildFileList"); };
    dialog.filesList = &FilesListTree;
    dialog.archiveMode = doc->archiveMode;
    if (const ChapterInfo* chapter = doc->Catalogue().Chapter(shownChapter))
        dialog.directories = &chapter->Directories;
    dialog.scanFolder = [doc](EntryList& rows, const std::string& folder) {
        std::string unread = doc->ScanFolder(rows, folder);
        if (!unread.empty())
            PromptUser(unread, prompt::Ok | prompt::IconExclamation);
    };
    dialog.images = services_.icons.ImageList();
    dialog.imageFor = [this](const ArchiveEntry& entry) { return services_.icons.IndexFor(entry.Path); };
    HWND owner = MainFrame() ? MainFrame()->Handle() : Handle();
    if (dialog.DoModal(owner) == IDOK)
        FilesListTree = std::move(dialog.edited);
}

void CTorvexView::CollectFilesList()
{
    WorkSet.Clear();
    FilesListTree.CollectLeaves(WorkSet);
}

void CTorvexView::CollectRows(bool allRows, const std::string& source)
{
    ClearWorkSet();
    auto take = [&](const ArchiveEntry& row) {
        ArchiveEntry& copy = WorkSet.Add(row);
        copy.Columns[ArchiveEntry::Source] = source;
    };
    if (!allRows) {
        for (const ArchiveEntry* row : SelectedEntries())
            take(*row);
    } else {
        for (int i = rows_.FirstRealRow(); i < rows_.Count(); ++i)
            take(rows_.Entry(i));
    }
}
