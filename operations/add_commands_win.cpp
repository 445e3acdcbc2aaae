#include "operations/add_delete_commands.h"

#include <memory>

#include "dialogs/add_dialog.h"
#include "dialogs/directories_settings.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/add_operation.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

// The view's help topic while a dialog is open.
class HelpAnchor {
public:
    HelpAnchor(CTorvexView& view, const char* anchor) : view_(view) { view_.helpAnchor = anchor; }
    ~HelpAnchor() { view_.helpAnchor.clear(); }
    HelpAnchor(const HelpAnchor&) = delete;
    HelpAnchor& operator=(const HelpAnchor&) = delete;

private:
    CTorvexView& view_;
};

std::unique_ptr<AddJob> JobFromDialog(const AddDialog& dialog, EntryList work)
{
    auto job = std::make_unique<AddJob>();
    job->commandLine = dialog.commandLine;
    job->archiveName = dialog.archiveName;
    job->pathOption = dialog.pathOption;
    job->listFileOnly = dialog.listFileOnly;
    job->work = std::move(work);
    return job;
}

} // namespace

void ListFolderNames(const std::string& folder, std::vector<FoundName>& found)
{
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        found.push_back({name, directory, link});
    } while (::FindNextFileA(search, &data));
    ::FindClose(search);
}

void RunViewOperation(CTorvexView& view, std::function<void()> work, std::function<void()> done)
{
    view.operationRunning = 1;
    work();
    view.operationRunning = 0;
    done();
}

void OnAdd(CTorvexView& view, AddDialog& dialog, const DirectoriesSettings& directories)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    // The files list empties the WorkSet here once it exists; its leaves are then the items.
    view.ClearWorkSet();
    const ArchiveEntry* first = view.FirstSelectedEntry();
    if (!first && view.WorkSet.empty()) {
        PromptUser("No file selected");
        return;
    }
    dialog.useFilesList = false;
    dialog.filesListAvailable = false;
    dialog.dropMode = false;
    dialog.document = doc;
    dialog.archiveName = ProposedArchiveName(first->Columns[ArchiveEntry::Name], first->IsDirectory(), directories.addDir,
                                             directories.addLast, directories.addEdit, view.diskFolder);
    // The selection is taken now: the folder watcher may refill the list while the dialog is open.
    view.CollectSelection();
    EntryList selection = std::move(view.WorkSet);
    view.ClearWorkSet();
    INT_PTR answer;
    {
        HelpAnchor anchor(view, "#Add");
        answer = dialog.DoModal(view.MainFrame()->Handle());
    }
    if (answer != IDOK || dialog.useFilesList || selection.empty())
        return;
    std::shared_ptr<AddJob> job = JobFromDialog(dialog, std::move(selection));
    job->showState = AddShowState(dialog.spanArchive, IsRemovableDrive(DriveRoot(dialog.archiveName)), dialog.interactiveComment);
    RunViewOperation(
        view, [doc, job] { RunAdd(*doc, *job, ListFolderNames); },
        [doc, &view] {
            // The disk browser's watcher shows the new or grown archive; an open catalogue of it
            // is out of date.
            doc->SetModifiedFlag(true);
            view.ClearWorkSet();
        });
}

void OnDropAdd(CTorvexView& view, AddDialog& dialog, HDROP drop)
{
    std::vector<std::string> names;
    UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        name.resize(::DragQueryFileA(drop, i, name.data(), length + 1));
        names.push_back(name);
    }
    ::DragFinish(drop);
    AddDroppedNames(view, dialog, names);
}

void AddDroppedNames(CTorvexView& view, AddDialog& dialog, const std::vector<std::string>& names)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    view.ClearWorkSet();
    for (const std::string& name : names) {
        DWORD attributes = ::GetFileAttributesA(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        view.WorkSet.Add(DroppedEntry(name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0));
    }
    if (view.WorkSet.empty())
        return;
    bool archiveShown = doc->archiveMode;
    if (archiveShown) {
        dialog.archiveName = doc->catalogue.ArchivePath;
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
    dialog.pathOption = 1;
    bool archiveTree = dialog.archiveTree;
    dialog.archiveTree = false;
    ::SetForegroundWindow(view.MainFrame()->Handle());
    INT_PTR answer;
    {
        HelpAnchor anchor(view, "#Add");
        answer = dialog.DoModal(view.MainFrame()->Handle());
    }
    dialog.archiveTree = archiveTree;
    dialog.dropMode = false;
    if (answer != IDOK) {
        view.ClearWorkSet();
        return;
    }
    std::shared_ptr<AddJob> job = JobFromDialog(dialog, std::move(view.WorkSet));
    view.ClearWorkSet();
    job->relist = archiveShown;
    auto result = std::make_shared<AddResult>();
    RunViewOperation(
        view, [doc, job, result] { *result = RunAdd(*doc, *job, ListFolderNames); },
        [doc, &view, result, archiveShown] {
            if (result->relisting)
                view.ShowRelisted(*result->relisting);
            else if (!archiveShown)
                doc->SetModifiedFlag(true);
        });
}
