// The view's navigation: the archive and disk modes, moving between folders, drives and chapters,
// opening an archive, and following the shown disk folder's changes.
#include "ui/torvex_view.h"

#include <optional>

#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/transfer_folders.h"
#include "ui/disk_rows.h"
#include "ui/main_frame.h"

// ---- The document's update and the two modes ----------------------------------------------

void CTorvexView::OnInitialUpdate()
{
    ApplyViewStyle(services_.directories.viewType == 0 ? ViewStyle::List : ViewStyle::Details);
}

void CTorvexView::OnUpdate(ListView*, intptr_t)
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (doc->archiveMode) {
        ShowListedArchive("\\");
        return;
    }
    const DirectoriesSettings& dirs = services_.directories;
    std::string folder = dirs.startupDir != 0 ? dirs.startupEdit : dirs.startupLast;
    // A start-up folder removed since the last run: its nearest existing parent is shown.
    EnterDiskMode(StartupDiskFolder(folder.empty() ? "c:" : folder, [](const std::string& f) { return PathExists(f); }));
}

void CTorvexView::ReleaseRows()
{
    // Disk rows point into the document's disk entries, which stay.
    if (GetTorvexDoc()->archiveMode)
        DropRows();
}

void CTorvexView::ShowListedArchive(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    EndComparison();
    DropRows();
    ClearWorkSet();
    shownChapter = doc->Catalogue().LastChapter;
    // The newest chapter is shown: the chapter combo says so.
    MainFrame()->FillChapterCombo(doc->Catalogue());
    EnterArchiveMode(doc->Catalogue().FolderOrRoot(shownChapter, folder));
}

void CTorvexView::EnterArchiveMode(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    CMainFrame* frame = MainFrame();
    const ArchiveCatalogue& catalogue = doc->Catalogue();
    EndComparison();
    DropRows();
    doc->archiveMode = true;
    watcher_.SetArchiveShown(true);
    // The archiver works in the archive's folder.
    std::string archiveDiskFolder;
    ParentPath(catalogue.ArchivePath, archiveDiskFolder);
    diskFolder = archiveDiskFolder;
    SelectDriveOf(catalogue.ArchivePath);
    frame->SetToolbarMode(ToolbarMode::Archive);
    frame->ShowArchiveInfo(&catalogue, shownChapter);
    archiveFolder = folder;
    SetArchiveColumns();
    ShowArchiveFolder(ChapterList(archiveFolder));
    WatchDiskFolder();
}

void CTorvexView::EnterDiskMode(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    CMainFrame* frame = MainFrame();
    EndComparison();
    DropRows();
    if (doc->archiveMode)
        ClearWorkSet();
    doc->archiveMode = false;
    watcher_.SetArchiveShown(false);
    std::string normalized = NormalizeDiskFolder(folder);
    SelectDriveOf(normalized);
    frame->SetToolbarMode(ToolbarMode::Disk);
    frame->ShowArchiveInfo(nullptr, 0);
    SetDiskColumns();
    ShowDisk(normalized);
}

bool CTorvexView::SelectRowNamed(const std::string& name)
{
    int row = FindRow(name);
    if (row < 0)
        return false;
    SelectRow(row);
    hitItem = row;
    return true;
}

void CTorvexView::WatchDiskFolder()
{
    if (!watcher_.Started())
        watcher_.Start(Handle(), diskFolder);
    watcher_.SwitchFolder(diskFolder);
}

void CTorvexView::SelectDriveOf(const std::string& path)
{
    if (!path.empty())
        MainFrame()->DriveCombo().SelectString(path.substr(0, 1));
}

const EntryList* CTorvexView::ChapterList(const std::string& folder) const
{
    const ChapterInfo* chapter = GetTorvexDoc()->Catalogue().Chapter(shownChapter);
    return chapter ? chapter->Directories.Find(folder) : nullptr;
}

// ---- Navigation ---------------------------------------------------------------------------

void CTorvexView::ShowDisk(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    hitItem = -1;
    diskFolder = folder;
    DropRows();
    doc->ClearDiskEntries();
    std::string unread = doc->ScanFolder(doc->diskEntries, diskFolder);
    ShowDiskFolder(doc->diskEntries);
    WatchDiskFolder();
    if (!unread.empty())
        PromptUser(unread, prompt::Ok | prompt::IconExclamation);
}

bool CTorvexView::OpenArchive(const std::string& path)
{
    CTorvexDoc* doc = GetTorvexDoc();
    // Listed aside: when the archiver fails, the archive loaded before stays whole.
    std::optional<ArchiveCatalogue> listed = doc->ListArchive(path);
    if (!listed)
        return false;
    services_.directories.startupLast = diskFolder;
    doc->ShowListedArchive(std::move(*listed));
    // The document now holds that file, and it joins the recent-file list.
    doc->SetPathName(path);
    return true;
}

void CTorvexView::ActivateRow(int row)
{
    if (row < 0 || row >= rows_.Count())
        return;
    CTorvexDoc* doc = GetTorvexDoc();
    hitItem = row;
    if (comparison_) {
        ActivateComparedRow(row);
        return;
    }
    NavigationState state;
    state.archiveMode = doc->archiveMode;
    state.archiveFolder = archiveFolder;
    state.diskFolder = diskFolder;
    state.archivePath = doc->Catalogue().ArchivePath;
    state.archiveLoaded = doc->Catalogue().Chapter(shownChapter) != nullptr;
    state.documentModified = doc->IsModified();
    ClickDecision decision = DecideDoubleClick(state, rows_.Entry(row));
    // Going up, the folder (or archive) the view came from is the selected row, as in Explorer.
    switch (decision.action) {
    case ClickAction::ArchiveUp:
    case ClickAction::ArchiveEnter: {
        std::string cameFrom = archiveFolder;
        archiveFolder = decision.target;
        ShowArchiveFolder(ChapterList(archiveFolder));
        if (decision.action == ClickAction::ArchiveUp)
            SelectCameFrom(cameFrom);
        break;
    }
    case ClickAction::LeaveArchive: {
        std::string cameFrom = doc->Catalogue().ArchivePath;
        EnterDiskMode(decision.target);
        SelectCameFrom(cameFrom);
        break;
    }
    case ClickAction::DiskUp:
    case ClickAction::DiskEnter: {
        std::string cameFrom = diskFolder;
        ShowDisk(decision.target);
        if (decision.action == ClickAction::DiskUp)
            SelectCameFrom(cameFrom);
        break;
    }
    case ClickAction::ShowLoadedArchive:
        ClearWorkSet();
        EnterArchiveMode("\\");
        break;
    case ClickAction::OpenArchive:
        OpenArchive(decision.target);
        break;
    case ClickAction::OpenArchiveEntry:
    case ClickAction::OpenDiskFile:
        ViewSave().OnDoubleClickFile(ViewSaveContext(), rows_.Entry(row));
        break;
    case ClickAction::None:
        break;
    }
}

void CTorvexView::OnRefresh()
{
    WithdrawStaleOffer();
    CTorvexDoc* doc = GetTorvexDoc();
    if (!doc->archiveMode) {
        ShowDisk(diskFolder);
        return;
    }
    std::optional<ArchiveCatalogue> listed = doc->ListArchive(doc->Catalogue().ArchivePath);
    if (listed)
        doc->ShowListedArchive(std::move(*listed), archiveFolder);
}

void CTorvexView::OnDriveChange()
{
    CTorvexDoc* doc = GetTorvexDoc();
    ComboBox combo = MainFrame()->DriveCombo();
    int index = combo.GetCurSel();
    if (index < 0)
        return;
    std::string drive = combo.GetLBText(index);
    while (!PathExists(drive)) {
        if (PromptUser(DriveNotReadyText(drive), prompt::RetryCancel) != prompt::IdRetry) {
            SelectDriveOf(doc->archiveMode ? doc->Catalogue().ArchivePath : diskFolder);
            return;
        }
    }
    EnterDiskMode(drive.substr(0, 2));
}

void CTorvexView::GoToEntry(const std::string& path, int chapter)
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (!doc->archiveMode)
        return;
    if (chapter != shownChapter) {
        MainFrame()->SelectChapter(chapter);
        OnChapterSelected();
        if (chapter != shownChapter)
            return;
    }
    std::string folder;
    ParentPath(path, folder);
    EnterArchiveMode(doc->Catalogue().FolderOrRoot(chapter, folder));
    SelectRowNamed(LeafName(path));
}

void CTorvexView::OnChapterSelected()
{
    CTorvexDoc* doc = GetTorvexDoc();
    int chapter = MainFrame()->SelectedChapter();
    if (chapter > 0 && comparison_ && chapter == shownChapter) {
        LeaveComparison();
        return;
    }
    if (chapter <= 0 || !doc->archiveMode || chapter == shownChapter)
        return;
    const ChapterInfo* info = doc->Catalogue().Chapter(chapter);
    if (!info || info->Directories.size() == 0) {
        if (!doc->MergeChapter(chapter)) {
            // The reason has been shown; the previous chapter stays, and the combo says so.
            MainFrame()->SelectChapter(shownChapter);
            return;
        }
    }
    // Its entries belong to the chapter that was shown.
    ClearWorkSet();
    bool compared = comparison_ != nullptr;
    EndComparison();
    DropRows();
    shownChapter = chapter;
    archiveFolder = std::string("\\");  // the root
    if (compared)
        SetArchiveColumns();
    MainFrame()->ShowArchiveInfo(&doc->Catalogue(), shownChapter);
    ShowArchiveFolder(ChapterList(archiveFolder));
}

bool CTorvexView::OnTimer(UINT_PTR id)
{
    if (id != REFRESH_TIMER)
        return false;
    if (operationRunning) {
        // The worker may be reading the disk rows: they are read again when it is done.
        rescanAfterOperation_ = true;
    } else if (!GetTorvexDoc()->archiveMode) {
        // A change seen just before the archive was shown: the archive's rows stay.
        ShowDisk(diskFolder);
    }
    KillTimer(Handle(), REFRESH_TIMER);
    return true;
}

void CTorvexView::OnFolderChanged()
{
    // Each change restarts the second: a burst gives one rescan.
    if (!GetTorvexDoc()->archiveMode)
        SetTimer(Handle(), REFRESH_TIMER, RefreshDelayMs, nullptr);
}

void CTorvexView::OnDestroy()
{
    watcher_.Stop();
    // Files of an archive leave the clipboard with the program; files on disk stay there.
    clipboard_.AtExit();
    transferAlive_.reset();
    RemoveOwnTransferFolder();
}
