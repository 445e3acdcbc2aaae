// Wrappers over the common controls the window uses: list control, combo box. Non-owning; one
// line per method. Return values that need a word are commented.
#pragma once

#include "framework/window.h"

#include <initializer_list>
#include <string>

// A report list's column: widths are at 96 DPI.
struct ListColumn {
    const char* caption;
    int width;
    int format;
};

class ListCtrl : public Window {
public:
    ListCtrl() = default;
    explicit ListCtrl(HWND hwnd) : Window(hwnd) {}

    int GetSelectedCount() const { return (int)Send(LVM_GETSELECTEDCOUNT); }
    // Next item after `start` (-1: from the first) with the LVNI_ flags; -1 when none.
    int GetNextItem(int start, UINT flags) const { return (int)Send(LVM_GETNEXTITEM, start, flags); }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }

    // Inserts a row with its first-column text, image and item data; the index, -1 on failure.
    int InsertItem(int item, const std::string& text, int image, LPARAM data) const;
    bool SetItemText(int item, int subItem, const std::string& text) const;
    std::string GetItemText(int item, int subItem) const;
    bool SetItemState(int item, UINT state, UINT mask) const;  // item -1: every item
    UINT GetItemState(int item, UINT mask) const { return (UINT)Send(LVM_GETITEMSTATE, item, mask); }
    bool Select(int item, bool select = true) const
    { return SetItemState(item, select ? LVIS_SELECTED : 0, LVIS_SELECTED); }
    bool EnsureVisible(int item) const { return Send(LVM_ENSUREVISIBLE, item, FALSE) != 0; }
    // Item under a client point and the LVHT_ flags of the hit; -1 when none.
    int HitTest(POINT pt, UINT* flags = nullptr) const;
    bool GetItemRect(int item, RECT& r, int code = LVIR_BOUNDS) const;

    int InsertColumn(int column, const std::string& caption, int format, int width) const;
    // A dialog's result list: full-row selection and these columns, scaled to the window's DPI.
    void SetUpReport(std::initializer_list<ListColumn> columns) const;
    bool DeleteColumn(int column) const { return Send(LVM_DELETECOLUMN, column) != 0; }
    int GetColumnWidth(int column) const { return (int)Send(LVM_GETCOLUMNWIDTH, column); }
    bool SetColumnWidth(int column, int width) const { return Send(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0; }
    int GetColumnCount() const { return (int)::SendMessageA((HWND)Send(LVM_GETHEADER), HDM_GETITEMCOUNT, 0, 0); }

    HIMAGELIST SetImageList(HIMAGELIST list, int which = LVSIL_SMALL) const
    { return (HIMAGELIST)Send(LVM_SETIMAGELIST, which, (LPARAM)list); }
    // LVS_LIST or LVS_REPORT (the LVS_TYPEMASK part of the style).
    DWORD GetViewType() const { return (DWORD)(GetStyle() & LVS_TYPEMASK); }
    void SetViewType(DWORD type) const { ModifyStyle(LVS_TYPEMASK, type & LVS_TYPEMASK); }

    // Owner-data lists (LVS_OWNERDATA): the row count; the list asks for texts and images
    // through LVN_GETDISPINFO.
    void SetItemCountEx(int count, DWORD flags = LVSICF_NOINVALIDATEALL) const { Send(LVM_SETITEMCOUNT, count, flags); }
};

class ComboBox : public Window {
public:
    ComboBox() = default;
    explicit ComboBox(HWND hwnd) : Window(hwnd) {}

    int GetCount() const { return (int)Send(CB_GETCOUNT); }
    int GetCurSel() const { return (int)Send(CB_GETCURSEL); }  // CB_ERR when none
    int SetCurSel(int index) const { return (int)Send(CB_SETCURSEL, index); }  // CB_ERR when index is -1 or out of range
    int AddString(const std::string& text) const { return (int)Send(CB_ADDSTRING, 0, (LPARAM)text.c_str()); }
    int InsertString(int index, const std::string& text) const
    { return (int)Send(CB_INSERTSTRING, index, (LPARAM)text.c_str()); }
    int DeleteString(int index) const { return (int)Send(CB_DELETESTRING, index); }
    void SetItemData(int index, intptr_t data) const { Send(CB_SETITEMDATA, index, data); }
    intptr_t GetItemData(int index) const { return (intptr_t)Send(CB_GETITEMDATA, index); }
    void ResetContent() const { Send(CB_RESETCONTENT); }
    std::string GetLBText(int index) const;
    // First item beginning with the text (case-insensitive), searching after `start`; CB_ERR when none.
    int FindString(const std::string& prefix, int start = -1) const
    { return (int)Send(CB_FINDSTRING, start, (LPARAM)prefix.c_str()); }
    // Whole-text search, case-insensitive; CB_ERR when none.
    int FindStringExact(const std::string& text, int start = -1) const
    { return (int)Send(CB_FINDSTRINGEXACT, start, (LPARAM)text.c_str()); }
    // Selects the first item beginning with the text; CB_ERR (and nothing selected) when none.
    int SelectString(const std::string& prefix, int start = -1) const
    { return (int)Send(CB_SELECTSTRING, start, (LPARAM)prefix.c_str()); }
};

// Grows a combo box so that its drop-down shows every item (never shrinks it).
void FitComboDropHeight(ComboBox combo);

// The frame's status line: pane 0 is the message pane and takes the room the others leave.
class StatusBar : public Window {
public:
    bool Create(HWND parent, DWORD style, UINT id);

    // Sets the panes by id (ID_SEPARATOR for the message pane); widths start at 0.
    void SetIndicators(const UINT* ids, int count);
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    int GetPaneCount() const { return paneCount_; }
    UINT GetPaneId(int index) const;
    int GetPaneWidth(int index) const;
    void SetPaneText(int index, const std::string& text);
    std::string GetPaneText(int index) const;
    // Recomputes the pane edges from the client width (after a resize or a pane change).
    void Layout();
    int Height() const;
    // The DPI the bar is shown at: the room around fixed panes and the size grip follow it.
    void SetDpi(int dpi) { dpi_ = dpi; }

private:
    static constexpr int kMaxPanes = 8;
    int dpi_ = 96;
    int paneCount_ = 0;
    UINT ids_[kMaxPanes] = {};
    int widths_[kMaxPanes] = {};
    UINT styles_[kMaxPanes] = {};
    std::string texts_[kMaxPanes];
};
