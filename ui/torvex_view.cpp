#include "ui/torvex_view.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "dialogs/setting_names.h"
#include "dialogs/settings_dialogs_win.h"
#include "operations/help.h"
#include "operations/open_verb.h"
#include "framework/application.h"
#include "framework/dpi_scale.h"
#include "framework/message_box.h"
#include "framework/name_compare.h"
#include "operations/add_delete_commands.h"
#include "operations/operation_runner.h"
#include "resources/resource.h"
#include "ui/compare_rows.h"
#include "ui/directory_picker.h"
#include "ui/disk_browser.h"
#include "ui/disk_rows.h"
#include "ui/icon_cache.h"
#include "ui/icon_rules.h"
#include "ui/main_frame.h"
#include "ui/selection_size.h"

namespace {

struct ColumnSpec {
    const char* caption;
    int width;
    int format;
};

// Widths at 96 DPI; the list gets them multiplied by its frame's DPI / 96.
const ColumnSpec kColumns[] = {
    {"Name", 150, LVCFMT_LEFT},      {"Size", 80, LVCFMT_RIGHT},      {"Modified", 130, LVCFMT_RIGHT},
    {"Created", 130, LVCFMT_RIGHT},  {"Attributes", 70, LVCFMT_RIGHT}, {"Chapter", 60, LVCFMT_RIGHT},
    {"Method", 60, LVCFMT_RIGHT},    {"Block", 60, LVCFMT_RIGHT},
};
constexpr int kArchiveColumns = 8;
// Posted to the view itself: empty the list of rows whose catalogue went away.
constexpr UINT WM_DROP_STALE_ROWS = WM_APP + 7;
constexpr int kDiskColumns = 4;
// Room between a right-aligned cell's text and its column's right edge (at 96 DPI).
constexpr int kCellPadding = 6;

} // namespace

CTorvexView::CTorvexView(ViewServices services) : services_(services) {}

CTorvexView::~CTorvexView()
{
    watcher_.Stop();
}

CTorvexDoc* CTorvexView::GetTorvexDoc() const
{
    return static_cast<CTorvexDoc*>(GetDocument());
}

CMainFrame* CTorvexView::MainFrame() const
{
    return static_cast<CMainFrame*>(GetParentFrame());
}

DWORD CTorvexView::PreCreate(DWORD style)
{
    // Owner data: the rows live in rows_, the list asks for what it draws.
    return (style & ~LVS_TYPEMASK & ~LVS_SINGLESEL) | LVS_REPORT | LVS_OWNERDATA;
}

// ---- Showing rows -------------------------------------------------------------------------

void CTorvexView::SetColumns(int count)
{
    ListCtrl& list = List();
    for (int c = kArchiveColumns - 1; c >= 0; --c)
        list.DeleteColumn(c);
    UseIconImageList(services_.smallIcons);
    list.SetImageList(services_.smallIcons, LVSIL_SMALL);
    for (int c = 0; c < count; ++c)
        list.InsertColumn(c, kColumns[c].caption, kColumns[c].format, dpi::Scale(kColumns[c].width, FrameDpi()));
}

int CTorvexView::FrameDpi() const
{
    return GetParentFrame() ? GetParentFrame()->Dpi() : dpi::kBase;
}

void CTorvexView::OnDpiChanged(int oldDpi, int newDpi)
{
    // Widths the user set keep their share of the window.
    ListCtrl& list = List();
    std::vector<int> shown;
    for (int c = 0, n = list.GetColumnCount(); c < n; ++c)
        shown.push_back(list.GetColumnWidth(c));
    std::vector<int> widths = keptWidths_.Rescale(shown, oldDpi, newDpi);
    for (size_t c = 0; c < widths.size(); ++c)
        list.SetColumnWidth((int)c, widths[c]);
}

void CTorvexView::ReloadIcons()
{
    // The shared image list was rebuilt at another size: the list measures its rows again and
    // every file's image is looked up anew.
    List().SetImageList(services_.smallIcons, LVSIL_SMALL);
    IconBatch icons;
    rows_.Reimage([&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    FilesListTree.Reimage([&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    List().Invalidate();
}

void CTorvexView::SetArchiveColumns()
{
    SetColumns(kArchiveColumns);
}

void CTorvexView::SetDiskColumns()
{
    SetColumns(kDiskColumns);
}

void CTorvexView::ApplyViewStyle(ViewStyle style)
{
    DWORD type = style == ViewStyle::List ? LVS_LIST : LVS_REPORT;
    if (List().GetViewType() == type)
        return;
    List().SetViewType(type);
    // The list keeps parts of its picture for the other style (rows where they no longer are, the
    // header) unless its frame and every child are redrawn now: a click must land on what is seen.
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int CTorvexView::FindRowFrom(const std::string& wanted, bool partial, bool wrap, int start) const
{
    int count = rows_.Count();
    start = std::max(start, 0);
    for (int n = 0; n < count; ++n) {
        int i = start + n;
        if (i >= count) {
            if (!wrap)
                break;
            i -= count;
        }
        const std::string& name = rows_.Entry(i).Columns[ArchiveEntry::Name];
        std::string text = partial ? name.substr(0, wanted.size()) : name;
        if (SameNameIgnoringCase(text, wanted))
            return i;
    }
    return -1;
}

bool CTorvexView::DrawRightAlignedCell(NMLVCUSTOMDRAW& draw)
{
    int row = static_cast<int>(draw.nmcd.dwItemSpec);
    int column = draw.iSubItem;
    if (row < 0 || row >= rows_.Count() || column <= 0 || column >= kArchiveColumns || RowsStale())
        return false;
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageA(Handle(), LVM_GETSUBITEMRECT, row, (LPARAM)&cell))
        return false;
    bool parentCell = row == 0 && rows_.HasParentRow();
    std::string text = parentCell ? std::string() : std::string(rows_.Entry(row).Columns[column]);
    HDC dc = draw.nmcd.hdc;
    COLORREF back = draw.clrTextBk == CLR_DEFAULT || draw.clrTextBk == CLR_NONE ? GetSysColor(COLOR_WINDOW) : draw.clrTextBk;
    COLORREF fore = draw.clrText == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : draw.clrText;
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(Handle(), WM_GETFONT, 0, 0));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, fore);
    RECT room = cell;
    room.right -= dpi::Scale(kCellPadding, FrameDpi());
    int count = (int)std::min<size_t>(text.size(), 255);
    int ends[256];
    SIZE size{};
    if (count > 0 && GetTextExtentExPointA(dc, text.c_str(), count, INT_MAX, nullptr, ends, &size) &&
        size.cx <= room.right - room.left) {
        // Each glyph is placed at the advance the font reports: Wine draws some glyphs (".") wider
        // than it measures them, so text placed by its measured width ran past the cell and lost
        // its last character to the clip.
        int steps[256];
        for (int i = 0; i < count; ++i)
            steps[i] = ends[i] - (i ? ends[i - 1] : 0);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        int y = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
        ExtTextOutA(dc, room.right - ends[count - 1], y, ETO_CLIPPED, &cell, text.c_str(), count, steps);
    } else if (count > 0) {
        DrawTextA(dc, text.c_str(), count, &room, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    return true;
}

void CTorvexView::DropRows()
{
    rows_.Clear();
    shownList_ = nullptr;
    List().DeleteAllItems();
}

bool CTorvexView::RowsStale() const
{
    if (!shownList_)
        return false;
    const EntryList* list = ChapterList(archiveFolder);
    return list != shownList_ || static_cast<int>(list->size()) + 1 != rows_.Count();
}

void CTorvexView::ShowRows(int sortColumn)
{
    rows_.Sort(sortColumn);
    ListCtrl& list = List();
    RedrawOff quiet(list.Handle());
    list.DeleteAllItems();
    list.SetItemCountEx(rows_.Count(), 0);
}

void CTorvexView::ShowArchiveFolder(const EntryList* entries)
{
    hitItem = -1;
    List().DeleteAllItems();
    IconBatch icons;
    rows_.Fill(entries, true, ParentRowImage(true, archiveFolder),
               [&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    shownList_ = entries;
    ShowRows(archiveSortColumn);
    SetTitle(ArchiveTitle(GetTorvexDoc()->catalogue.ArchivePath, archiveFolder));
}

void CTorvexView::ShowDiskFolder(const EntryList& entries)
{
    hitItem = -1;
    List().DeleteAllItems();
    IconBatch icons;
    shownList_ = nullptr;
    rows_.Fill(&entries, HasParentRow(false, diskFolder), ParentRowImage(false, archiveFolder),
               [&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    ShowRows(diskSortColumn);
    SetTitle(DiskTitle(diskFolder));
}

void CTorvexView::SortBy(int column)
{
    if (RowsStale())
        return;
    bool archive = GetTorvexDoc()->archiveMode;
    (archive ? archiveSortColumn : diskSortColumn) = column;
    // The selection and the clicked row follow their rows through the new order.
    ListCtrl& list = List();
    std::unordered_set<const ArchiveEntry*> selected;
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
        selected.insert(&rows_.Entry(i));
    const ArchiveEntry* hit = hitItem >= 0 && hitItem < rows_.Count() ? &rows_.Entry(hitItem) : nullptr;
    rows_.Sort(column);
    RedrawOff quiet(list.Handle());
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    hitItem = -1;
    for (int i = 0; i < rows_.Count(); ++i) {
        const ArchiveEntry* entry = &rows_.Entry(i);
        if (selected.count(entry))
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        if (entry == hit)
            hitItem = i;
    }
}

void CTorvexView::SetTitle(const std::string& title)
{
    if (GetParentFrame() && GetParentFrame()->Handle())
        ::SetWindowTextA(GetParentFrame()->Handle(), title.c_str());
}

void CTorvexView::SelectDriveOf(const std::string& path)
{
    if (!path.empty())
        MainFrame()->DriveCombo().SelectString(path.substr(0, 1));
}

const EntryList* CTorvexView::ChapterList(const std::string& folder) const
{
    const ChapterInfo* chapter = GetTorvexDoc()->catalogue.Chapter(shownChapter);
    return chapter ? chapter->Directories.Find(folder) : nullptr;
}

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
    DropRows();
}

void CTorvexView::ShowListedArchive(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    DropRows();
    ClearWorkSet();
    shownChapter = doc->catalogue.LastChapter;
    // The newest chapter is shown: the chapter combo says so.
    MainFrame()->FillChapterCombo(doc->catalogue);
    EnterArchiveMode(doc->catalogue.FolderOrRoot(shownChapter, folder));
}

void CTorvexView::EnterArchiveMode(const std::string& folder)
{
    CTorvexDoc* doc = GetTorvexDoc();
    CMainFrame* frame = MainFrame();
    const ArchiveCatalogue& catalogue = doc->catalogue;
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
    if (row < 0 || row >= rows_.Count() || RowsStale())
        return;
    CTorvexDoc* doc = GetTorvexDoc();
    hitItem = row;
    NavigationState state;
    state.archiveMode = doc->archiveMode;
    state.archiveFolder = archiveFolder;
    state.diskFolder = diskFolder;
    state.archivePath = doc->catalogue.ArchivePath;
    state.archiveLoaded = doc->catalogue.Chapter(shownChapter) != nullptr;
    state.documentModified = doc->IsModified();
    ClickDecision decision = DecideDoubleClick(state, rows_.Entry(row));
    switch (decision.action) {
    case ClickAction::ArchiveUp:
    case ClickAction::ArchiveEnter:
        archiveFolder = decision.target;
        ShowArchiveFolder(ChapterList(archiveFolder));
        break;
    case ClickAction::LeaveArchive:
        EnterDiskMode(decision.target);
        break;
    case ClickAction::DiskUp:
    case ClickAction::DiskEnter:
        ShowDisk(decision.target);
        break;
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
    CTorvexDoc* doc = GetTorvexDoc();
    if (!doc->archiveMode) {
        ShowDisk(diskFolder);
        return;
    }
    std::optional<ArchiveCatalogue> listed = doc->ListArchive(doc->catalogue.ArchivePath);
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
            SelectDriveOf(doc->archiveMode ? doc->catalogue.ArchivePath : diskFolder);
            return;
        }
    }
    EnterDiskMode(drive.substr(0, 2));
}

void CTorvexView::OnSelectAll()
{
    ListCtrl& list = List();
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    if (rows_.HasParentRow())
        list.SetItemState(0, 0, LVIS_SELECTED);
}

void CTorvexView::ClearWorkSet()
{
    FilesListTree.Clear();
    WorkSet.Clear();
}

// ---- Selection ----------------------------------------------------------------------------

const ArchiveEntry* CTorvexView::FirstSelectedEntry() const
{
    if (RowsStale())
        return nullptr;
    const ListCtrl& list = List();
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
        if (i >= rows_.FirstRealRow())
            return &rows_.Entry(i);
    return nullptr;
}

void CTorvexView::OnDropAdd(HDROP drop)
{
    // While an operation runs a drop is refused, silently, like every other way in.
    if (operationRunning) {
        ::DragFinish(drop);
        return;
    }
    ::OnDropAdd(*this, services_.add, drop);
}

bool CTorvexView::IsRowSelected(int row) const
{
    return (List().GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void CTorvexView::SelectRow(int row)
{
    ListCtrl& list = List();
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(row);
}

const ArchiveEntry* CTorvexView::SingleSelectedEntry() const
{
    if (List().GetSelectedCount() != 1 || RowsStale())
        return nullptr;
    int row = List().GetNextItem(-1, LVNI_SELECTED);
    return row >= 0 && row < rows_.Count() ? &rows_.Entry(row) : nullptr;
}

bool CTorvexView::HasRealSelection() const
{
    return ::HasRealSelection(List().GetSelectedCount(), rows_.Count() > 0 && IsRowSelected(0),
                              rows_.HasParentRow());
}

std::string CTorvexView::SelectionSizeText()
{
    WaitCursor wait;
    CTorvexDoc* doc = GetTorvexDoc();
    const ChapterInfo* chapter = doc->catalogue.Chapter(shownChapter);
    SizeTotals totals;
    const ListCtrl& list = List();
    if (RowsStale())
        return SizeLineText(totals);
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED)) {
        if (i < rows_.FirstRealRow())
            continue;
        const ArchiveEntry& entry = rows_.Entry(i);
        if (doc->archiveMode) {
            if (chapter)
                AddUpArchiveEntry(entry, chapter->Directories, totals);
        } else if (entry.IsDirectory()) {
            AddUpDiskFolder(entry.Path, totals);
        } else {
            AddUpFileRow(entry, totals);
        }
    }
    return SizeLineText(totals);
}

ViewState CTorvexView::CurrentState() const
{
    ViewState s;
    s.archiveMode = GetTorvexDoc()->archiveMode;
    s.operationRunning = operationRunning != 0;
    s.selectedCount = List().GetSelectedCount();
    s.realSelection = HasRealSelection();
    s.hitEntry = hitItem >= 0 && hitItem < rows_.Count() && !RowsStale() ? &rows_.Entry(hitItem) : nullptr;
    // While an operation runs the WorkSet and the files list are the worker's (and every command
    // reading them is disabled anyway): the interface thread keeps off them.
    s.filesListHasItems = !operationRunning && !FilesListTree.Empty();
    s.viewedFilesEmpty = !viewSave_ || viewSave_->Records().empty();
    return s;
}

// ---- Commands -----------------------------------------------------------------------------

bool CTorvexView::OnCommand(unsigned id, unsigned code)
{
    switch (id) {
    case ID_LIST_VIEW:
    case ID_DETAILS_VIEW: {
        ViewStyle style = id == ID_LIST_VIEW ? ViewStyle::List : ViewStyle::Details;
        ApplyViewStyle(style);
        services_.directories.viewType = static_cast<int>(style);
        return true;
    }
    case ID_SELECT_ALL:
        OnSelectAll();
        return true;
    case ID_REFRESH:
        OnRefresh();
        return true;
    case ID_ADD:
        ::OnAdd(*this, services_.add, services_.directories);
        return true;
    case ID_DELETE:
        ::OnDelete(*this);
        return true;
    case ID_VIEW_OPEN_FILE: {
        std::vector<const ArchiveEntry*> selected;
        if (!RowsStale())
            for (int row = List().GetNextItem(-1, LVNI_SELECTED); row >= 0; row = List().GetNextItem(row, LVNI_SELECTED))
                selected.push_back(&rows_.Entry(row));
        ViewSave().OnViewFile(ViewSaveContext(), selected);
        return true;
    }
    case ID_SAVE_VIEWED:
        ViewSave().OnSaveViewed();
        return true;
    case ID_DIRECTORIES: {
        HelpTopic topic(helpAnchor, "#ConfigureTorvex");
        DirectoriesDialog dialog(services_.directories);
        dialog.openHelp = [](const std::string& anchor) { ShowHelp(anchor); };
        HIMAGELIST icons = services_.smallIcons;
        dialog.pickFolder = [icons](HWND owner, std::string& folder) { return PickFolder(owner, icons, folder); };
        if (dialog.DoModal(GetParent(Handle())) == IDOK)
            services_.directories.Save(services_.store);
        return true;
    }
    case ID_MISCELLANEOUS: {
        MiscellaneousSettings misc;
        misc.Load(services_.store);
        HelpTopic topic(helpAnchor, "#SetMisc");
        MiscellaneousDialog dialog(misc);
        dialog.openHelp = [](const std::string& anchor) { ShowHelp(anchor); };
        if (dialog.DoModal(GetParent(Handle())) == IDOK)
            misc.Save(services_.store);
        return true;
    }
    case IDC_DRIVE_COMBO:
        if (code == CBN_SELENDOK)
            OnDriveChange();
        return true;
    case IDC_CHAPTER_COMBO:
        if (code == CBN_SELENDOK && !operationRunning)
            OnChapterSelected();
        return true;
    case ID_TEST:
        OnTest();
        return true;
    case ID_EXTRACT:
        OnExtract();
        return true;
    case ID_EXTRACT_TO:
        OnExtractTo();
        return true;
    case ID_EXTRACT_ARCHIVE_TO:
        OnExtractArchive();
        return true;
    case ID_ADD_TO_FILES_LIST:
        AddToFilesList();
        return true;
    case ID_EDIT_FILES_LIST:
        EditFilesList();
        return true;
    default:
        return false;
    }
}

bool CTorvexView::OnUpdateCommand(CommandState& state)
{
    if (state.Id() == ID_SELECT_ALL) {
        state.Enable(operationRunning == 0);
        return true;
    }
    auto enabled = ViewCommandEnabled(state.Id(), CurrentState());
    if (!enabled)
        return false;
    state.Enable(*enabled);
    if (state.Id() == ID_LIST_VIEW || state.Id() == ID_DETAILS_VIEW)
        state.SetCheck(List().GetViewType() == (state.Id() == ID_LIST_VIEW ? (DWORD)LVS_LIST : (DWORD)LVS_REPORT));
    return true;
}

// ---- The list window ----------------------------------------------------------------------

bool CTorvexView::OnNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
        if (item.iItem < 0 || item.iItem >= rows_.Count())
            return true;
        if (RowsStale()) {
            // Shown as blank until the list is emptied, outside this notification.
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
                item.pszText[0] = '\0';
            PostMessageA(Handle(), WM_DROP_STALE_ROWS, 0, 0);
            return true;
        }
        const ArchiveEntry& entry = rows_.Entry(item.iItem);
        // The parent row shows its name alone.
        bool parentCell = item.iSubItem > 0 && item.iItem == 0 && rows_.HasParentRow();
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem >= 0 &&
            item.iSubItem < kArchiveColumns)
            lstrcpynA(item.pszText, parentCell ? "" : entry.Columns[item.iSubItem].c_str(), item.cchTextMax);
        if (item.mask & LVIF_IMAGE)
            item.iImage = rows_.Image(item.iItem);
        return true;
    }
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: {
        // Typing a name: the list asks for the first row it begins. Wine asks in the wide form
        // for owner-data lists. Not found is -1 (0 would pick the parent row).
        result = -1;
        UINT flags;
        int start;
        std::string wanted;
        if (header.code == LVN_ODFINDITEMA) {
            auto& find = reinterpret_cast<NMLVFINDITEMA&>(header);
            flags = find.lvfi.flags;
            start = find.iStart;
            if (find.lvfi.psz)
                wanted = find.lvfi.psz;
            else
                flags = 0;
        } else {
            auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
            flags = find.lvfi.flags;
            start = find.iStart;
            if (find.lvfi.psz) {
                int size = WideCharToMultiByte(CP_ACP, 0, find.lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
                if (size > 0) {
                    wanted.resize(size);
                    WideCharToMultiByte(CP_ACP, 0, find.lvfi.psz, -1, wanted.data(), size, nullptr, nullptr);
                    wanted.resize(size - 1);
                }
            } else {
                flags = 0;
            }
        }
        if ((flags & (LVFI_STRING | LVFI_PARTIAL)) && !RowsStale())
            result = FindRowFrom(wanted, (flags & LVFI_PARTIAL) != 0, (flags & LVFI_WRAP) != 0, start);
        return true;
    }
    case NM_CUSTOMDRAW: {
        // Right-aligned cells are drawn here (the list's own drawing cuts their last character).
        auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
        switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            result = List().GetViewType() == LVS_REPORT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
            return true;
        case CDDS_ITEMPREPAINT:
            result = CDRF_NOTIFYSUBITEMDRAW;
            return true;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            result = draw.iSubItem > 0 && draw.iSubItem < kArchiveColumns && kColumns[draw.iSubItem].format == LVCFMT_RIGHT &&
                             DrawRightAlignedCell(draw)
                         ? CDRF_SKIPDEFAULT
                         : CDRF_DODEFAULT;
            return true;
        default:
            result = CDRF_DODEFAULT;
            return true;
        }
    }
    case LVN_COLUMNCLICK:
        SortBy(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        return true;
    default:
        return false;
    }
}

bool CTorvexView::OnLButtonDown(UINT, POINT pt)
{
    if (operationRunning)
        return true;
    hitItem = List().HitTest(pt);
    return false;
}

bool CTorvexView::OnLButtonDblClk(UINT, POINT pt)
{
    if (operationRunning)
        return true;
    UINT flags = 0;
    int row = List().HitTest(pt, &flags);
    hitItem = row;
    if (row >= 0 && (flags & LVHT_ONITEM))
        ActivateRow(row);
    return false;
}

bool CTorvexView::OnRButtonDown(UINT, POINT)
{
    return operationRunning != 0;
}

bool CTorvexView::OnContextMenu(POINT screenPt)
{
    if (operationRunning)
        return true;
    POINT client = screenPt;
    if (screenPt.x == -1 && screenPt.y == -1) {
        // From the keyboard: at the focused row.
        int focused = List().GetNextItem(-1, LVNI_FOCUSED);
        RECT r{};
        if (focused >= 0 && List().GetItemRect(focused, r, LVIR_LABEL))
            client = {r.left, r.bottom};
        else
            client = {0, 0};
        screenPt = client;
        ClientToScreen(Handle(), &screenPt);
    } else {
        ScreenToClient(Handle(), &client);
    }
    hitItem = List().HitTest(client);

    HMENU menu = LoadMenuA(services_.instance, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    if (!menu)
        return true;
    HMENU popup = GetSubMenu(menu, GetTorvexDoc()->archiveMode ? 0 : 1);
    if (popup) {
        ModifyMenuA(popup, ID_VIEW_OPEN_FILE, MF_BYCOMMAND | MF_STRING, ID_VIEW_OPEN_FILE,
                    ViewCommandLabel(ReadSetting(services_.store, setting::AssocProg)));
        std::string size = SelectionSizeText();
        ModifyMenuA(popup, ID_COMPUTE_SIZE, MF_BYCOMMAND | MF_STRING, 0, size.c_str());
        UINT chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screenPt.x, screenPt.y,
                                     0, Handle(), nullptr);
        if (chosen)
            OnCommand(chosen, 0);
    }
    DestroyMenu(menu);
    return true;
}

bool CTorvexView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    // Enter opens the focused row as a double click does; Backspace goes up one level (the parent
    // row). Both wait, like the double click, while an operation runs.
    if (key == VK_RETURN || key == VK_BACK) {
        if (operationRunning)
            return true;
        int row = key == VK_RETURN ? List().GetNextItem(-1, LVNI_FOCUSED) : (rows_.HasParentRow() ? 0 : -1);
        if (row >= 0)
            ActivateRow(row);
        return true;
    }
    bool firstStroke = repeat == 1 && !(flags & KF_REPEAT);
    KeyDecision decision = DecideListKey(GetTorvexDoc()->archiveMode, operationRunning != 0,
                                         GetKeyState(VK_CONTROL) < 0, key, firstStroke ? 1 : 2);
    if (decision.quickDelete) {
        ::QuickDelete(*this);
        return true;
    }
    if (decision.command == ID_ADD) {
        ::OnAdd(*this, services_.add, services_.directories);
        return true;
    }
    if (decision.command == ID_EXTRACT || decision.command == ID_EXTRACT_TO ||
        decision.command == ID_EXTRACT_ARCHIVE_TO) {
        auto enabled = ViewCommandEnabled(decision.command, CurrentState());
        if (enabled && *enabled)
            OnCommand(decision.command, 0);
        return true;
    }
    return false;
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

bool CTorvexView::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result)
{
    if (HandleOperationMessage(msg, lp)) {
        result = 0;
        return true;
    }
    if (msg == WM_DROP_STALE_ROWS) {
        if (RowsStale())
            DropRows();
        result = 0;
        return true;
    }
    if (msg != WM_FOLDER_CHANGED)
        return false;
    // Each change restarts the second: a burst gives one rescan.
    if (!GetTorvexDoc()->archiveMode)
        SetTimer(Handle(), REFRESH_TIMER, RefreshDelayMs, nullptr);
    result = 0;
    return true;
}

void CTorvexView::OnDestroy()
{
    watcher_.Stop();
}

// ---- View and save back -------------------------------------------------------------------

ViewSaveOperations& CTorvexView::ViewSave()
{
    if (!viewSave_)
        viewSave_ = std::make_unique<ViewSaveOperations>(services_.store, *GetTorvexDoc());
    return *viewSave_;
}

ViewSaveOperations::Context CTorvexView::ViewSaveContext() const
{
    ViewSaveOperations::Context context;
    context.owner = GetParent(Handle());
    const CTorvexDoc* doc = GetTorvexDoc();
    context.archiveShown = doc->archiveMode;
    context.archivePath = doc->catalogue.ArchivePath;
    context.shownChapter = shownChapter;
    context.diskFolder = diskFolder;
    return context;
}

void CTorvexView::SaveViewedFiles(bool closing)
{
    if (viewSave_)
        viewSave_->SaveViewedFiles(closing);
}

void CTorvexView::RecoverAbandonedCopies()
{
    ViewSave().RecoverAbandonedCopies(GetParent(Handle()));
}
