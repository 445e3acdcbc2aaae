// The view's selection: one walk over the selected rows that every reader of the selection uses,
// the clicked row, and the size line of the context menu.
#include "ui/torvex_view.h"

#include <algorithm>

#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/application.h"
#include "ui/disk_browser.h"
#include "ui/main_frame.h"
#include "ui/selection_size.h"

std::vector<const ArchiveEntry*> CTorvexView::SelectedEntries(bool withParentRow) const
{
    std::vector<const ArchiveEntry*> entries;
    const ListCtrl& list = List();
    int first = withParentRow ? 0 : rows_.FirstRealRow();
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0 && i < rows_.Count(); i = list.GetNextItem(i, LVNI_SELECTED))
        if (i >= first)
            entries.push_back(&rows_.Entry(i));
    return entries;
}

const ArchiveEntry* CTorvexView::HitEntry() const
{
    return hitItem >= 0 && hitItem < rows_.Count() ? &rows_.Entry(hitItem) : nullptr;
}

bool CTorvexView::IsRowSelected(int row) const
{
    return (List().GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool CTorvexView::HasRealSelection() const
{
    return ::HasRealSelection(List().GetSelectedCount(), rows_.Count() > 0 && IsRowSelected(0),
                              rows_.HasParentRow());
}

void CTorvexView::SelectRow(int row)
{
    ListCtrl& list = List();
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(row);
}

void CTorvexView::OnSelectAll()
{
    ListCtrl& list = List();
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    if (rows_.HasParentRow())
        list.SetItemState(0, 0, LVIS_SELECTED);
}

std::string CTorvexView::SelectionSizeText()
{
    WaitCursor wait;
    CTorvexDoc* doc = GetTorvexDoc();
    const ChapterInfo* chapter = doc->Catalogue().Chapter(shownChapter);
    SizeTotals totals;
    for (const ArchiveEntry* entry : SelectedEntries()) {
        if (doc->archiveMode) {
            if (chapter)
                AddUpArchiveEntry(*entry, chapter->Directories, totals);
        } else if (entry->IsDirectory()) {
            AddUpDiskFolder(entry->Path, totals);
        } else {
            AddUpFileRow(*entry, totals);
        }
    }
    return SizeLineText(totals);
}

void CTorvexView::ShowSelectionStatus()
{
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    std::vector<const ArchiveEntry*> selected = SelectedEntries();
    SizeTotals totals;
    if (selected.size() > 1) {
        // Disk folders are not walked here: the context menu's size line does that on request.
        CTorvexDoc* doc = GetTorvexDoc();
        const ChapterInfo* chapter = doc->archiveMode ? doc->Catalogue().Chapter(shownChapter) : nullptr;
        for (const ArchiveEntry* entry : selected) {
            if (chapter)
                AddUpArchiveEntry(*entry, chapter->Directories, totals);
            else if (!doc->archiveMode && !entry->IsDirectory())
                AddUpFileRow(*entry, totals);
        }
    }
    frame->ShowSelectionInfo(SelectionStatusText(selected.size(), totals));
}

void CTorvexView::OnTypedCharacter(char c)
{
    TypeAhead::Search search = typeAhead_.Feed(c, GetTickCount());
    int focused = List().GetNextItem(-1, LVNI_FOCUSED);
    int start = search.afterFocus ? focused + 1 : std::max(focused, 0);
    int row = FindRowFrom(search.wanted, true, true, start);
    if (row >= 0)
        SelectRow(row);
}

void CTorvexView::SelectCameFrom(const std::string& path)
{
    std::string leaf = LeafName(path);
    if (!leaf.empty() && leaf != "\\")
        SelectRowNamed(leaf);
}
