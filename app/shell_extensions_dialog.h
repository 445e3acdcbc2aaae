// The "Shell Extensions" dialog: whether Torvex owns ".j", and which context-menu commands
// Explorer shows. Its choices are settings and the class-registry layout written by Register.
#pragma once

#include "dialogs/dialog_callbacks.h"
#include "dialogs/settings_store.h"
#include "framework/modal_dialog.h"

#include <string>

class ShellExtensionsDialog : public ModalDialog {
public:
    // Reads who owns ".j" now: the owner to hand it back to (see shellreg::PreviousAssociation).
    explicit ShellExtensionsDialog(SettingsStore& store);

    // Set by the first start: Help is disabled for that one opening.
    bool firstRunMode = false;
    std::string previousAssociation;
    bool associate = true;
    int compressionRate = 0;  // 0 Best .. 3 Fast
    bool enableCompression = true;
    bool enableExtraction = true;
    bool skipTopmostDirectory = false;
    HelpOpener openHelp;

    void Load();
    void Save();
    // Writes the layout for the choices with torvex.exe and the extension in `folder`; false
    // (after telling the user) when the class registry refused a write.
    bool Register(const std::string& folder, bool associateJ, bool compression, bool extraction);

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

private:
    void EnableCompressionOptions();
    SettingsStore& store_;
};
