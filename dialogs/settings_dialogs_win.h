// The Directories and Miscellaneous dialogs: each edits one settings group held by its caller.
#pragma once

#include <functional>
#include <string>

#include "dialogs/directories_settings.h"
#include "dialogs/miscellaneous_settings.h"
#include "framework/modal_dialog.h"

// Picks a folder starting at `folder`; true with the chosen folder in `folder`.
using FolderPicker = std::function<bool(HWND owner, std::string& folder)>;
// Opens the manual at a topic (the dialog's Help button).
using HelpOpener = std::function<void(const std::string& anchor)>;

class DirectoriesDialog : public ModalDialog {
public:
    // Edits `settings` in place on OK; Cancel leaves them as they were.
    explicit DirectoriesDialog(DirectoriesSettings& settings);

    FolderPicker pickFolder;
    HelpOpener openHelp;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

private:
    void Browse(int editId, const std::string& fallback);
    DirectoriesSettings& settings_;
};

class MiscellaneousDialog : public ModalDialog {
public:
    explicit MiscellaneousDialog(MiscellaneousSettings& settings);

    HelpOpener openHelp;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

private:
    MiscellaneousSettings& settings_;
};
