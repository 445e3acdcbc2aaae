// The Directories and Miscellaneous dialogs: each edits one settings group held by its caller.
#pragma once

#include <string>

#include "dialogs/dialog_callbacks.h"
#include "dialogs/directories_settings.h"
#include "dialogs/miscellaneous_settings.h"
#include "framework/modal_dialog.h"

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
