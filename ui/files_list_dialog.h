// "Edit Files List": edits a copy of the files list in a tree (expand folders, Remove, Total Size,
// a context menu with the size of one item); only OK hands the copy back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "framework/modal_dialog.h"
#include "ui/files_list.h"

class FilesListDialog : public ModalDialog {
public:
    FilesListDialog();

    // Inputs.
    const FilesList* filesList = nullptr;        // copied when the dialog opens
    bool archiveMode = false;
    const DirectoryMap* directories = nullptr;   // archive mode: the shown chapter's directories
    std::function<void(EntryList&, const std::string&)> scanFolder;  // disk mode: a folder's rows
    HIMAGELIST images = nullptr;
    FilesList::ImageFor imageFor;
    std::function<void()> help;                  // the Help button; greyed when empty

    // Result after OK: the edited list.
    FilesList edited;

    // The working copy and its tree (tests read them while the dialog is open).
    const FilesList& Working() const { return working_; }
    HWND Tree() const { return ::GetDlgItem(Handle(), IDC_TREE); }

    // Remove (button, or a first Delete press in the tree): the selected item and every
    // parent left empty.
    void RemoveSelected();
    // "N bytes in M file(s)" under the whole list, or under one item.
    std::string TotalText() const;
    std::string ItemTotalText(const FilesListItem& item) const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    static constexpr int IDC_TREE = 1077;
    static LRESULT CALLBACK TreeKeyProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HTREEITEM InsertItem(HTREEITEM parent, FilesListItem& item);
    void InsertChildren(HTREEITEM parent, FilesListItem& item);
    void OnExpanding(HTREEITEM handle, FilesListItem& item);
    void MakeRemoveDefault();
    void ShowContextMenu(POINT screen);
    FilesList::LeafAdder LeafAdder() const;
    static FilesListItem* ItemOf(HWND tree, HTREEITEM handle);

    FilesList working_;
};
