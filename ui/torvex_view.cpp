// The view's list: its columns, the rows it shows and how they are sorted, the owner-data
// notifications and the right-aligned cells it draws itself.
#include "ui/torvex_view.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "engine/torvex_doc.h"
#include "framework/dpi_scale.h"
#include "framework/name_compare.h"
#include "operations/operation_runner.h"
#include "resources/window_messages.h"
#include "ui/folder_watcher.h"
#include "ui/icon_cache.h"
#include "ui/main_frame.h"

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
    // The selection stays visible while a question about it is up.
    return (style & ~LVS_TYPEMASK & ~LVS_SINGLESEL) | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
}

// ---- Showing rows -------------------------------------------------------------------------

void CTorvexView::SetColumns(int count)
{
    ListCtrl& list = List();
    for (int c = list.GetColumnCount() - 1; c >= 0; --c)
        list.DeleteColumn(c);
    list.SetImageList(services_.icons.ImageList(), LVSIL_SMALL);
    shownColumns_.clear();
    for (int c = 0; c < count; ++c) {
        list.InsertColumn(c, kColumns[c].caption, kColumns[c].format, dpi::Scale(kColumns[c].width, FrameDpi()));
        shownColumns_.push_back({c, kColumns[c].format == LVCFMT_RIGHT});
    }
}

void CTorvexView::SetComparisonColumns(int older, int newer)
{
    SetColumns(0);
    ListCtrl& list = List();
    int c = 0;
    for (const ComparisonColumn& column : ComparisonColumns(older, newer)) {
        list.InsertColumn(c++, column.caption.c_str(), column.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT,
                          dpi::Scale(column.width, FrameDpi()));
        shownColumns_.push_back({column.cell, column.rightAligned});
    }
}

int CTorvexView::CellOf(int column) const
{
    return column >= 0 && column < int(shownColumns_.size()) ? shownColumns_[size_t(column)].cell : -1;
}

int& CTorvexView::SortColumn()
{
    if (comparison_)
        return comparison_->sortColumn;
    return GetTorvexDoc()->archiveMode ? archiveSortColumn : diskSortColumn;
}

bool& CTorvexView::SortDescending()
{
    if (comparison_)
        return comparison_->sortDescending;
    return GetTorvexDoc()->archiveMode ? archiveSortDescending : diskSortDescending;
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
    List().SetImageList(services_.icons.ImageList(), LVSIL_SMALL);
    IconBatch icons(services_.icons);
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
    int cellIndex = CellOf(column);
    if (row < 0 || row >= rows_.Count() || column <= 0 || cellIndex < 0)
        return false;
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageA(Handle(), LVM_GETSUBITEMRECT, row, (LPARAM)&cell))
        return false;
    bool parentCell = row == 0 && rows_.HasParentRow();
    std::string text = parentCell ? std::string() : std::string(rows_.Entry(row).Columns[cellIndex]);
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
    List().DeleteAllItems();
}

void CTorvexView::ShowRows(int sortColumn, bool descending)
{
    rows_.Sort(sortColumn, descending, comparison_ ? CompareComparisonRows : nullptr);
    ListCtrl& list = List();
    {
        RedrawOff quiet(list.Handle());
        list.DeleteAllItems();
        list.SetItemCountEx(rows_.Count(), 0);
    }
    ShowSortArrow();
    ShowSelectionStatus();
}

void CTorvexView::ShowSortArrow()
{
    int column = SortColumn();
    bool descending = SortDescending();
    HWND header = ListView_GetHeader(List().Handle());
    for (int c = 0, n = header ? Header_GetItemCount(header) : 0; c < n; ++c) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, c, (LPARAM)&item))
            continue;
        int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        if (CellOf(c) == column)
            format |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        if (format != item.fmt) {
            item.fmt = format;
            SendMessageA(header, HDM_SETITEMA, c, (LPARAM)&item);
        }
    }
}

void CTorvexView::ShowArchiveFolder(const EntryList* entries)
{
    hitItem = -1;
    List().DeleteAllItems();
    IconBatch icons(services_.icons);
    rows_.Fill(entries, true, ParentRowImage(true, archiveFolder),
               [&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    ShowRows(archiveSortColumn, archiveSortDescending);
    SetTitle(ArchiveTitle(GetTorvexDoc()->Catalogue().ArchivePath, archiveFolder));
}

void CTorvexView::ShowDiskFolder(const EntryList& entries)
{
    hitItem = -1;
    List().DeleteAllItems();
    IconBatch icons(services_.icons);
    rows_.Fill(&entries, HasParentRow(false, diskFolder), ParentRowImage(false, archiveFolder),
               [&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    ShowRows(diskSortColumn, diskSortDescending);
    SetTitle(DiskTitle(diskFolder));
}

void CTorvexView::SortBy(int column)
{
    int& sorted = SortColumn();
    bool& descending = SortDescending();
    descending = sorted == column && !descending;
    sorted = column;
    // The selection and the clicked row follow their rows through the new order.
    ListCtrl& list = List();
    std::vector<const ArchiveEntry*> shown = SelectedEntries(true);
    std::unordered_set<const ArchiveEntry*> selected(shown.begin(), shown.end());
    const ArchiveEntry* hit = HitEntry();
    rows_.Sort(column, descending, comparison_ ? CompareComparisonRows : nullptr);
    ShowSortArrow();
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

// ---- Notifications and messages -------------------------------------------------------------

// ---- The list window ----------------------------------------------------------------------

bool CTorvexView::OnNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
        if (item.iItem < 0 || item.iItem >= rows_.Count())
            return true;
        const ArchiveEntry& entry = rows_.Entry(item.iItem);
        // The parent row shows its name alone.
        bool parentCell = item.iSubItem > 0 && item.iItem == 0 && rows_.HasParentRow();
        int cellIndex = CellOf(item.iSubItem);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && cellIndex >= 0)
            lstrcpynA(item.pszText, parentCell ? "" : entry.Columns[cellIndex].c_str(), item.cchTextMax);
        if (item.mask & LVIF_IMAGE)
            item.iImage = rows_.Image(item.iItem);
        return true;
    }
    case LVN_BEGINDRAG:
        OnBeginDrag();
        return true;
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
        if (flags & (LVFI_STRING | LVFI_PARTIAL))
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
            result = draw.iSubItem > 0 && draw.iSubItem < int(shownColumns_.size()) &&
                             shownColumns_[size_t(draw.iSubItem)].rightAligned && DrawRightAlignedCell(draw)
                         ? CDRF_SKIPDEFAULT
                         : CDRF_DODEFAULT;
            return true;
        default:
            result = CDRF_DODEFAULT;
            return true;
        }
    }
    case LVN_COLUMNCLICK:
        if (int cellIndex = CellOf(reinterpret_cast<NMLISTVIEW&>(header).iSubItem); cellIndex >= 0)
            SortBy(cellIndex);
        return true;
    case LVN_ITEMCHANGED:
        if (reinterpret_cast<NMLISTVIEW&>(header).uChanged & LVIF_STATE)
            OnSelectionChanged();
        return false;
    case LVN_ODSTATECHANGED:
        OnSelectionChanged();
        return false;
    default:
        return false;
    }
}

bool CTorvexView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case WM_OPERATION_DONE:
        OnOperationDone(std::unique_ptr<OperationOutcome>(reinterpret_cast<OperationOutcome*>(lp)));
        return true;
    case WM_OPERATION_CATALOGUE: {
        std::unique_ptr<ArchiveRelisting> relisting(reinterpret_cast<ArchiveRelisting*>(lp));
        if (relisting)
            TakeRelisting(*relisting);
        return true;
    }
    case WM_SELECTION_STATUS:
        selectionStatusPosted_ = false;
        ShowSelectionStatus();
        return true;
    case WM_CHAR:
        // Printable characters search the names here; control characters stay the list's.
        if (static_cast<unsigned char>(wp) < 0x20)
            return false;
        if (!operationRunning)
            OnTypedCharacter(static_cast<char>(wp));
        return true;
    case WM_FOLDER_CHANGED:
        OnFolderChanged();
        return true;
    default:
        return false;
    }
}

void CTorvexView::OnSelectionChanged()
{
    if (!clicking_ && List().GetSelectedCount() == 1)
        hitItem = List().GetNextItem(-1, LVNI_SELECTED);
    if (!selectionStatusPosted_) {
        selectionStatusPosted_ = true;
        PostMessageA(Handle(), WM_SELECTION_STATUS, 0, 0);
    }
}

