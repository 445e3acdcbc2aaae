// "Directory Selection": a drive combo, the sub-folders of the current folder and the chosen
// path. The caller sets resultPath to the starting folder, runs it and, on OK, reads resultPath.
#pragma once

#include <string>
#include <vector>

// The folder list's order: ".." first, then the names without regard to case.
void SortFolderNames(std::vector<std::string>& names);

#ifdef _WIN32
#include "framework/modal_dialog.h"

#include <commctrl.h>

class DirectoryPicker : public ModalDialog {
public:
    // `smallIcons`: the application's image list (image 0, the closed folder, marks every row).
    explicit DirectoryPicker(HIMAGELIST smallIcons = nullptr);

    // On entry the starting folder; on OK the path field's text.
    std::string resultPath;
    // The folder whose sub-folders the list shows.
    std::string currentFolder;

    // Lists the sub-folders of `folder`; a folder that cannot be searched leaves the list empty
    // and the path field and current folder as they were.
    void FillFolderList(const std::string& folder);

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void OnDriveAccepted();
    void OnFolderDoubleClick();
    void OnFolderEnter();
    std::string SelectedFolderName() const;

    HIMAGELIST smallIcons_;
};

// Runs the picker starting at `folder`; true with the chosen folder in `folder`.
bool PickFolder(HWND owner, HIMAGELIST smallIcons, std::string& folder);
#endif
