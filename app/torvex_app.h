// The application object: the settings groups that stay loaded for the whole run, the small
// icons every list shares, start-up and exit. It hands each part what it needs when it creates
// it; nothing reaches it through a global.
#pragma once

#include "dialogs/add_dialog.h"
#include "dialogs/directories_settings.h"
#include "dialogs/extract_settings.h"
#include "framework/application.h"
#include "framework/image_list.h"

class CTorvexApp : public Application {
public:
    CTorvexApp();

    // Set by the Uninstall command: ExitInstance then removes every registry entry.
    bool UninstallOnExit = false;
    // Lives for the whole run so that its choices last between openings.
    ::AddDialog AddDialog;
    DirectoriesSettings DirectoriesDialog;
    ExtractSettings ExtractDialog;
    // 16x16 icons: 0 closed folder, 1 open folder, 2 folder up, 3 file, 4 program, then file types.
    ImageList SmallIcons;

    bool InitInstance() override;
    int ExitInstance() override;

    // Start-up settings work, split out so that tests can run it against any store:
    // the first-run folder, then the Directories, Extract and Add groups.
    void LoadSettingsGroups(const std::string& currentDirectory);
    // The three groups in the order the main window saves them when it goes.
    void SaveSettingsGroups();

    // Skips the start-up steps that need a user (tests).
    bool unattended = false;

private:
    bool CreateSmallIcons();
    bool firstRun_ = false;
};
