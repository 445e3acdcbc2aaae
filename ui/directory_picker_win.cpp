#include "ui/directory_picker.h"

#include "engine/path_helpers.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/disk_rows.h"
#include "ui/main_frame.h"
#include "ui/main_frame_rules.h"

DirectoryPicker::DirectoryPicker(HIMAGELIST smallIcons) : ModalDialog(IDD_DIRECTORY_PICKER), smallIcons_(smallIcons) {}

bool DirectoryPicker::OnInitDialog()
{
    ListCtrl list(Item(IDC_PICKER_FOLDERS).Handle());
    if (smallIcons_)
        list.SetImageList(smallIcons_, LVSIL_SMALL);
    if (!PathExists(resultPath))
        resultPath = "c:";
    FillFolderList(resultPath);
    // Enter in the folder list comes here as a command of the list, not as OK.
    ::SendMessageA(Handle(), DM_SETDEFID, IDC_PICKER_FOLDERS, 0);

    ComboBox drives(Item(IDC_PICKER_DRIVES).Handle());
    char roots[26 * 4 + 1] = {};
    DWORD length = ::GetLogicalDriveStringsA(sizeof(roots), roots);
    if (length > sizeof(roots))
        length = 0;
    for (const std::string& root : DriveComboTexts(roots, length))
        drives.AddString(root);
    FitComboDropHeight(drives);
    drives.SelectString(resultPath.substr(0, 1));
    currentFolder = resultPath;
    return true;
}

void DirectoryPicker::FillFolderList(const std::string& folder)
{
    ListCtrl list(Item(IDC_PICKER_FOLDERS).Handle());
    list.DeleteAllItems();
    std::vector<std::string> names;
    // Below a drive root the search would return ".." too; ReadFolder leaves the dot names out.
    bool driveRoot = folder.size() >= 2 && folder.size() <= 3 && folder[1] == ':';
    if (!driveRoot)
        names.push_back("..");
    unsigned long error = ReadFolder(folder, [&](const FolderEntry& found) {
        if (found.attributes & FILE_ATTRIBUTE_DIRECTORY)
            names.push_back(found.name);
    });
    if (error)
        PromptUser(DiskFolderUnreadText(folder, SystemErrorText(error)), prompt::Ok | prompt::IconExclamation);
    SortFolderNames(names);
    {
        RedrawOff quiet(list.Handle());
        for (size_t i = 0; i < names.size(); ++i)
            list.InsertItem((int)i, names[i], 0, 0);
    }
    SetItemText(IDC_PICKER_PATH, folder);
    currentFolder = folder;
}

std::string DirectoryPicker::SelectedFolderName() const
{
    ListCtrl list(Item(IDC_PICKER_FOLDERS).Handle());
    int row = list.GetNextItem(-1, LVNI_SELECTED);
    return row < 0 ? std::string() : list.GetItemText(row, 0);
}

void DirectoryPicker::OnFolderDoubleClick()
{
    std::string name = SelectedFolderName();
    if (name.empty())
        return;
    if (name == "..") {
        std::string parent;
        ParentPath(currentFolder, parent);
        FillFolderList(parent);
    } else {
        FillFolderList(currentFolder + "\\" + name);
    }
}

void DirectoryPicker::OnFolderEnter()
{
    // Picks a sub-folder without entering it.
    std::string name = SelectedFolderName();
    if (!name.empty() && name != "..")
        SetItemText(IDC_PICKER_PATH, currentFolder + "\\" + name);
}

void DirectoryPicker::OnDriveAccepted()
{
    ComboBox drives(Item(IDC_PICKER_DRIVES).Handle());
    int index = drives.GetCurSel();
    if (index < 0)
        return;
    std::string root = drives.GetLBText(index);
    while (!PathExists(root)) {
        if (PromptUser(DriveNotReadyText(root), prompt::RetryCancel) != prompt::IdRetry) {
            drives.SelectString(ItemText(IDC_PICKER_PATH).substr(0, 1));
            return;
        }
    }
    FillFolderList(root.substr(0, 2));
}

bool DirectoryPicker::OnCommand(UINT id, UINT code)
{
    if (id == IDC_PICKER_DRIVES && code == CBN_SELENDOK) {
        OnDriveAccepted();
        return true;
    }
    if (id == IDC_PICKER_FOLDERS) {
        OnFolderEnter();
        return true;
    }
    return false;
}

bool DirectoryPicker::OnMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result)
{
    if (msg != WM_NOTIFY)
        return false;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
    if (header->idFrom == IDC_PICKER_FOLDERS && header->code == NM_DBLCLK) {
        OnFolderDoubleClick();
        result = 0;
        return true;
    }
    return false;
}

void DirectoryPicker::OnOK()
{
    resultPath = ItemText(IDC_PICKER_PATH);
    EndDialog(IDOK);
}

bool PickFolder(HWND owner, HIMAGELIST smallIcons, std::string& folder)
{
    DirectoryPicker picker(smallIcons);
    picker.resultPath = folder;
    if (picker.DoModal(owner) != IDOK)
        return false;
    folder = picker.resultPath;
    return true;
}
