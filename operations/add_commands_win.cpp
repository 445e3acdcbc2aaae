#include "operations/view_commands.h"

#include <memory>

#include "dialogs/add_dialog.h"
#include "dialogs/directories_settings.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/frame_window.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "operations/add_operation.h"
#include "operations/help.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"
#include "resources/message_texts.h"

namespace {

// The Add dialog's result and console for the worker, with the rows it adds.
OperationJob AddJobFrom(CTorvexView& view, OperationKind kind, const AddDialog& dialog)
{
    OperationJob job = view.NewJob(kind);
    job.add.commandLine = dialog.commandLine;
    job.add.archiveName = dialog.archiveName;
    job.add.pathOption = dialog.pathOption;
    job.add.listFileOnly = dialog.listFileOnly;
    job.add.commentFiles = dialog.commentFiles;
    job.show = AddConsoleShow(dialog.spanArchive, IsRemovableDrive(DriveRoot(dialog.archiveName)), dialog.interactiveComment);
    job.work = std::move(view.WorkSet);
    return job;
}

// The Add dialog over the main window, with its help topic for F1 and its Help button.
INT_PTR OpenAddDialog(CTorvexView& view, AddDialog& dialog)
{
    dialog.showHelp = [&view] { view.ShowHelp("#Add"); };
    HelpTopic topic(view.helpAnchor, "#Add");
    return dialog.DoModal(view.MainFrame()->Handle());
}

} // namespace

void OnAdd(CTorvexView& view, AddDialog& dialog, const DirectoriesSettings& directories)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    view.CollectFilesList();
    std::vector<const ArchiveEntry*> rows = view.SelectedEntries();
    const ArchiveEntry* selected = rows.empty() ? nullptr : rows.front();
    if (!selected && view.WorkSet.empty()) {
        PromptUser(msg::NoFileSelected);
        return;
    }
    bool filesList = !view.WorkSet.empty();
    const ArchiveEntry& first = filesList ? view.WorkSet[0] : *selected;
    dialog.useFilesList = filesList;
    dialog.filesListAvailable = filesList && selected;
    dialog.dropMode = false;
    dialog.document = doc;
    dialog.archiveName = ProposedArchiveName(first.Columns[ArchiveEntry::Name], first.IsDirectory(), directories.addDir,
                                             directories.addLast, directories.addEdit, view.diskFolder);
    // The selection is taken now: the folder watcher may refill the list while the dialog is
    // open, and a refill loses it. Gathering it empties the files list, which is put back.
    FilesList keptList = std::move(view.FilesListTree);
    view.CollectRows(false, view.diskFolder);
    EntryList selection = std::move(view.WorkSet);
    view.FilesListTree = std::move(keptList);
    view.CollectFilesList();
    INT_PTR answer = OpenAddDialog(view, dialog);
    if (answer != IDOK)
        return;
    // The body adds the WorkSet: the files list's leaves, or the selection.
    if (!dialog.useFilesList)
        view.WorkSet = std::move(selection);
    view.StartOperation(AddJobFrom(view, OperationKind::AddFiles, dialog));
}

void OnDropAdd(CTorvexView& view, AddDialog& dialog, HDROP drop)
{
    std::vector<std::string> names;
    for (unsigned i = 0, count = FrameWindow::DroppedCount(drop); i < count; ++i)
        names.push_back(FrameWindow::DroppedName(drop, i));
    ::DragFinish(drop);
    AddDroppedNames(view, dialog, names);
}

void AddDroppedNames(CTorvexView& view, AddDialog& dialog, const std::vector<std::string>& names)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    view.ClearWorkSet();
    for (const std::string& name : names) {
        DWORD attributes = ::GetFileAttributesW(FileSystemPath(name).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        view.WorkSet.Add(DroppedEntry(name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0));
    }
    if (view.WorkSet.empty())
        return;
    bool archiveShown = doc->archiveMode;
    if (archiveShown) {
        dialog.archiveName = doc->Catalogue().ArchivePath;
        dialog.pathInArchive = view.archiveFolder;
    } else {
        const ArchiveEntry& first = view.WorkSet[0];
        dialog.archiveName = JoinFolder(view.diskFolder, ArchiveFileNameFor(first.Path, first.IsDirectory()));
        dialog.pathInArchive = "\\";
    }
    dialog.dropMode = true;
    dialog.document = doc;
    dialog.filesListAvailable = false;
    dialog.useFilesList = false;
    dialog.pathOption = PathOption::Partial;
    bool archiveTree = dialog.archiveTree;
    dialog.archiveTree = false;
    ::SetForegroundWindow(view.MainFrame()->Handle());
    INT_PTR answer = OpenAddDialog(view, dialog);
    dialog.archiveTree = archiveTree;
    dialog.dropMode = false;
    if (answer != IDOK) {
        view.ClearWorkSet();
        return;
    }
    view.StartOperation(AddJobFrom(view, OperationKind::AddDropped, dialog));
}
