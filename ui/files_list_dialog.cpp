#include "ui/files_list_dialog.h"

#include <windowsx.h>

#include "framework/application.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/disk_browser.h"

FilesListDialog::FilesListDialog() : ModalDialog(IDD_FILES_LIST) {}

FilesListItem* FilesListDialog::ItemOf(HWND tree, HTREEITEM handle)
{
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    if (!handle || !TreeView_GetItem(tree, &item))
        return nullptr;
    return reinterpret_cast<FilesListItem*>(item.lParam);
}

HTREEITEM FilesListDialog::InsertItem(HTREEITEM parent, FilesListItem& item)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;  // the working copy is already in order
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(item.text.c_str());
    insert.item.iImage = item.image;
    insert.item.iSelectedImage = item.image;
    insert.item.cChildren = item.folder ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(&item);
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(::SendMessageA(Tree(), TVM_INSERTITEMA, 0, (LPARAM)&insert));
    InsertChildren(handle, item);
    return handle;
}

void FilesListDialog::InsertChildren(HTREEITEM parent, FilesListItem& item)
{
    for (auto& child : item.children)
        InsertItem(parent, *child);
}

bool FilesListDialog::OnInitDialog()
{
    if (filesList)
        working_ = filesList->Copy();
    HWND tree = Tree();
    if (images)
        TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    for (auto& item : working_.Items())
        InsertItem(TVI_ROOT, *item);
    ::SetWindowSubclass(tree, TreeKeyProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // Help opens the manual once help exists; until then the button does not pretend.
    Item(IDC_FILES_LIST_HELP).Enable(static_cast<bool>(help));
    return true;
}

LRESULT CALLBACK FilesListDialog::TreeKeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_KEYDOWN && wp == VK_DELETE) {
        // One item per press: a held key does not empty the list.
        if (!(lp & (1 << 30)))
            reinterpret_cast<FilesListDialog*>(data)->RemoveSelected();
        return 0;
    }
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, TreeKeyProc, 1);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

void FilesListDialog::RemoveSelected()
{
    HWND tree = Tree();
    HTREEITEM handle = TreeView_GetSelection(tree);
    FilesListItem* item = ItemOf(tree, handle);
    if (!item)
        return;
    // The tree item to delete is the one standing for what the working copy takes away.
    FilesListItem* root = &FilesList::RemovalRoot(*item);
    for (FilesListItem* at = item; at != root && handle; at = at->parent)
        handle = TreeView_GetParent(tree, handle);
    TreeView_DeleteItem(tree, handle);
    working_.Remove(*item);
    ::SetFocus(tree);
}

FilesList::LeafAdder FilesListDialog::LeafAdder() const
{
    if (archiveMode) {
        const DirectoryMap* dirs = directories;
        return [dirs](const ArchiveEntry& entry, SizeTotals& totals) {
            if (dirs)
                AddUpArchiveEntry(entry, *dirs, totals);
            else if (!entry.IsDirectory())
                AddUpFileRow(entry, totals);
        };
    }
    return [](const ArchiveEntry& entry, SizeTotals& totals) {
        if (entry.IsDirectory())
            AddUpDiskFolder(entry.Path, totals);
        else
            AddUpFileRow(entry, totals);
    };
}

std::string FilesListDialog::TotalText() const
{
    WaitCursor wait;
    SizeTotals totals;
    working_.AddUpAll(LeafAdder(), totals);
    return SizeLineText(totals);
}

std::string FilesListDialog::ItemTotalText(const FilesListItem& item) const
{
    WaitCursor wait;
    SizeTotals totals;
    FilesList::AddUp(item, LeafAdder(), totals);
    return SizeLineText(totals);
}

void FilesListDialog::OnExpanding(HTREEITEM handle, FilesListItem& item)
{
    HWND tree = Tree();
    if (item.entry.IsDirectory() && item.children.empty()) {
        EntryList scanned;
        const EntryList* rows = nullptr;
        if (archiveMode) {
            rows = directories ? directories->Find(item.entry.Path) : nullptr;
        } else if (scanFolder) {
            scanFolder(scanned, item.entry.Path);
            rows = &scanned;
        }
        if (rows && FilesList::Expand(item, *rows, imageFor))
            InsertChildren(handle, item);
        return;
    }
    // Every expansion sorts the children again; the tree follows the working copy's order.
    FilesList::Expand(item, EntryList(), imageFor);
    TVSORTCB sort{};
    sort.hParent = handle;
    sort.lParam = reinterpret_cast<LPARAM>(&item);
    sort.lpfnCompare = [](LPARAM a, LPARAM b, LPARAM parent) -> int {
        const auto& children = reinterpret_cast<FilesListItem*>(parent)->children;
        auto position = [&children](LPARAM p) {
            for (size_t i = 0; i < children.size(); ++i)
                if (reinterpret_cast<LPARAM>(children[i].get()) == p)
                    return static_cast<int>(i);
            return static_cast<int>(children.size());
        };
        return position(a) - position(b);
    };
    TreeView_SortChildrenCB(tree, &sort, FALSE);
}

void FilesListDialog::MakeRemoveDefault()
{
    ::SendMessageA(Handle(), DM_SETDEFID, IDC_FILES_LIST_REMOVE, 0);
    ::SendMessageA(::GetDlgItem(Handle(), IDOK), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(::GetDlgItem(Handle(), IDC_FILES_LIST_REMOVE), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void FilesListDialog::ShowContextMenu(POINT screen)
{
    HWND tree = Tree();
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(tree, &hit.pt);
    HTREEITEM handle = TreeView_HitTest(tree, &hit);
    if (!handle || !(hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        return;
    TreeView_SelectItem(tree, handle);
    FilesListItem* item = ItemOf(tree, handle);
    if (!item)
        return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(Handle(), GWLP_HINSTANCE));
    HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    if (!menu)
        return;
    if (HMENU popup = ::GetSubMenu(menu, 2)) {
        std::string size = ItemTotalText(*item);
        ::ModifyMenuA(popup, ID_FILES_LIST_SIZE, MF_BYCOMMAND | MF_STRING, 0, size.c_str());
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr);
    }
    ::DestroyMenu(menu);
}

bool FilesListDialog::OnCommand(UINT id, UINT code)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_FILES_LIST_REMOVE:
        RemoveSelected();
        return true;
    case IDC_FILES_LIST_TOTAL:
        PromptUser(TotalText(), prompt::Ok | prompt::IconInformation);
        ::SetFocus(Tree());
        return true;
    case IDC_FILES_LIST_HELP:
        if (help)
            help();
        return true;
    default:
        return false;
    }
}

void FilesListDialog::OnOK()
{
    edited = working_.Copy();
    EndDialog(IDOK);
}

bool FilesListDialog::OnMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result)
{
    if (msg == WM_CONTEXTMENU) {
        ShowContextMenu({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        result = 0;
        return true;
    }
    if (msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header->idFrom != IDC_TREE)
        return false;
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        MakeRemoveDefault();
        return false;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        // The item fields the handler reads lie at the same place in both forms.
        auto* view = reinterpret_cast<NMTREEVIEWA*>(lp);
        if ((view->action & TVE_EXPAND) && !(view->action & TVE_COLLAPSE)) {
            if (FilesListItem* item = reinterpret_cast<FilesListItem*>(view->itemNew.lParam))
                OnExpanding(view->itemNew.hItem, *item);
        }
        result = FALSE;  // let it expand
        return true;
    }
    default:
        return false;
    }
}
