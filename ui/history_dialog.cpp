#include "ui/history_dialog.h"

#include <commctrl.h>

#include "framework/controls.h"

HistoryDialog::HistoryDialog() : ModalDialog(IDD_HISTORY) {}

bool HistoryDialog::OnInitDialog()
{
    SetItemText(IDC_HISTORY_PATH, path);
    ListCtrl list(List());
    list.SetUpReport({{"Chapters", 80, LVCFMT_LEFT}, {"Size", 80, LVCFMT_RIGHT}, {"Modified", 150, LVCFMT_RIGHT},
                      {"Block", 110, LVCFMT_RIGHT}});
    for (size_t i = 0; i < versions.size(); ++i) {
        const ArchiveEntry& entry = *versions[i].entry;
        int row = list.InsertItem(int(i), SpansText(versions[i].spans), -1, LPARAM(i));
        list.SetItemText(row, 1, entry.Columns[ArchiveEntry::Size].str());
        list.SetItemText(row, 2, entry.Columns[ArchiveEntry::Modified].str());
        list.SetItemText(row, 3, entry.Columns[ArchiveEntry::Block].str());
    }
    if (!versions.empty())
        list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Item(IDC_HISTORY_HELP).Enable(static_cast<bool>(help));
    ::SetFocus(List());
    return false;
}

int HistoryDialog::Selected() const
{
    return ListCtrl(List()).GetNextItem(-1, LVNI_SELECTED);
}

bool HistoryDialog::OnCommand(UINT id, UINT code)
{
    (void)code;
    int row = Selected();
    switch (id) {
    case IDC_HISTORY_VIEW:
        if (row >= 0 && view)
            view(versions[size_t(row)]);
        return true;
    case IDC_HISTORY_EXTRACT:
    case IDC_HISTORY_RESTORE:
        if (row >= 0) {
            chosen = row;
            EndDialog(id);
        }
        return true;
    case IDC_HISTORY_HELP:
        if (help)
            help();
        return true;
    default:
        return false;
    }
}

bool HistoryDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
{
    (void)wp;
    // A double click on a version views it, as the default button does.
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == IDC_HISTORY_LIST && header->code == NM_DBLCLK) {
            OnCommand(IDC_HISTORY_VIEW, 0);
            result = TRUE;
            return true;
        }
    }
    return false;
}
