// The application object: the settings groups that stay loaded for the whole run, the small
// icons every list shares, start-up and exit. It hands each part what it needs when it creates
// it; nothing reaches it through a global.
#pragma once

#include "dialogs/add_dialog.h"
#include "dialogs/directories_settings.h"
#include "dialogs/extract_dialog.h"
#include "framework/application.h"
#include "framework/image_list.h"
#include "operations/help.h"
#include "ui/icon_cache.h"

class CTorvexApp : public Application {
public:
    CTorvexApp();
    ~CTorvexApp() override;

    // Set by the Uninstall command: ExitInstance then removes every registry entry.
    bool UninstallOnExit = false;
    // Lives for the whole run so that its choices last between openings.
    ::AddDialog AddDialog;
    DirectoriesSettings DirectoriesDialog;
    ::ExtractDialog ExtractDialog;
    // Small icons (16x16 at 96 DPI): 0 closed folder, 1 open folder, 2 folder up, 3 file, 4 program, then file types.
    ImageList SmallIcons;
    // The file icons appended to SmallIcons, looked up once per type.
    IconCache Icons;

    bool InitInstance() override;
    int ExitInstance() override;
    // File > Open starts in the folder the list shows, or the shown archive's folder.
    std::string OpenDialogFolder() const override;
    // Only archives can be opened; anything else chosen there gets a message.
    bool AcceptChosenFile(const std::string& path) override;
    // About, Tip of the Day, Help (F1), Shell Extensions and Uninstall.
    bool OnCommand(unsigned id, unsigned code) override;
    bool OnUpdateCommand(CommandState& state) override;

    // The first start's Shell Extensions dialog: its choices registered and saved on OK;
    // FirstRun cleared whatever the answer.
    void OfferShellExtensions();
    // The Tip of the Day; at start-up only when its setting asks for it.
    void ShowTipOfTheDay(bool atStartup);
    // "Shell Extensions ...": the dialog loaded from the settings; on OK register, then save.
    void OnShellExtensions();
    // "Uninstall...": asks, and on OK removes every registry entry when the program exits.
    void OnUninstall();

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
    // Creates the small icons for `dpi`, or rebuilds them at its size.
    bool CreateSmallIcons(int dpi);
    // The small icons rebuilt for a main window at `dpi` unless they are made for it already.
    void FitSmallIcons(int dpi);
    int smallIconsDpi_ = 0;
    // The view's help topic slot (empty when there is no view yet).
    std::string& HelpAnchor();
    bool firstRun_ = false;
    // OLE (drag and drop, the clipboard) was started on this, the interface thread.
    bool oleStarted_ = false;
    std::string noViewAnchor_;
    HelpDesk help_;
};
