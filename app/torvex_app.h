// The application object: the settings groups that stay loaded for the whole run, the small
// icons every list shares, start-up and exit. It hands each part what it needs when it creates
// it; nothing reaches it through a global.
#pragma once

#include "dialogs/add_settings.h"
#include "dialogs/directories_settings.h"
#include "dialogs/extract_dialog.h"
#include "framework/application.h"
#include "framework/image_list.h"

class CTorvexApp : public Application {
public:
    CTorvexApp();

    // Set by the Uninstall command: ExitInstance then removes every registry entry.
    bool UninstallOnExit = false;
    AddSettings AddDialog;
    DirectoriesSettings DirectoriesDialog;
    ::ExtractDialog ExtractDialog;
    // 16x16 icons: 0 closed folder, 1 open folder, 2 folder up, 3 file, 4 program, then file types.
    ImageList SmallIcons;

    bool InitInstance() override;
    int ExitInstance() override;
    // File > Open starts in the folder the list shows, or the shown archive's folder.
    std::string OpenDialogFolder() const override;
    // Only archives can be opened; anything else chosen there gets a message.
    bool AcceptChosenFile(const std::string& path) override;

    // Start-up settings work, split out so that tests can run it against any store:
    // the first-run folder, then the Directories, Extract and Add groups.
    void LoadSettingsGroups(const std::string& currentDirectory);
    // The three groups in the order the main window saves them when it goes.
    void SaveSettingsGroups();
    // jar32.exe and torvex.exe where the Directories settings say; when not, the user is told
    // and the Directories dialog opens.
    void CheckExecutables();

    // Skips the start-up steps that need a user (tests).
    bool unattended = false;

private:
    bool CreateSmallIcons();
    bool firstRun_ = false;
};
