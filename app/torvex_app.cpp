#include "app/torvex_app.h"

#include "app/shell_extensions_dialog.h"
#include "app/shell_registration_win.h"
#include "dialogs/registry_settings_store.h"
#include "dialogs/tip_dialog.h"
#include "framework/message_box.h"
#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "resources/resource.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

CTorvexApp::CTorvexApp()
    : help_([this] { return DirectoriesDialog.torvexEdit; },
            [this] { return MainWindow() ? MainWindow()->Handle() : nullptr; })
{
}

bool CTorvexApp::CreateSmallIcons()
{
    if (!SmallIcons.Create(16, 16, ILC_COLOR8 | ILC_MASK, 0, 1))
        return false;
    for (UINT id = IDI_FOLDER_CLOSED; id <= IDI_FILE_PROGRAM; ++id) {
        HICON icon = (HICON)::LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0);
        SmallIcons.AddIcon(icon);
        if (icon)
            ::DestroyIcon(icon);
    }
    return true;
}

void CTorvexApp::LoadSettingsGroups(const std::string& currentDirectory)
{
    SettingsStore& store = Settings();
    firstRun_ = ReadSetting(store, setting::FirstRun) != 0;
    if (firstRun_) {
        bool jarThere = !currentDirectory.empty() && PathExists(currentDirectory + "\\jar32.exe");
        DirectoriesSettings::RecordFirstRunFolders(store, currentDirectory, jarThere);
        DirectoriesDialog.firstRunMode = true;
    }
    DirectoriesDialog.Load(store);
    // Then, with the Directories dialog: check that jar32.exe and torvex.exe are where the
    // settings say, and ask for the folders when they are not.
    ExtractDialog.Load(store);
    AddDialog.Load(store);
}

void CTorvexApp::SaveSettingsGroups()
{
    SettingsStore& store = Settings();
    DirectoriesDialog.Save(store);
    ExtractDialog.Save(store);
    AddDialog.Save(store);
}

bool CTorvexApp::InitInstance()
{
    CreateSmallIcons();
    // Dialogs are drawn three-dimensional by the system itself; nothing to turn on.
    if (!HasSettingsStore())
        SetSettingsStore(std::make_unique<RegistrySettingsStore>(jarcontract::Company, jarcontract::Product));
    LoadStdProfileSettings(4);

    char directory[MAX_PATH + 1] = {};
    DWORD length = ::GetCurrentDirectoryA(sizeof(directory), directory);
    LoadSettingsGroups(length > 0 && length <= MAX_PATH ? directory : "");

    SetHelpDesk(&help_);
    if (firstRun_)
        OfferShellExtensions();

    DocTemplate docTemplate;
    docTemplate.resourceId = IDR_MAINFRAME;
    docTemplate.createDocument = [this] {
        return std::make_unique<CTorvexDoc>(DocumentSettings{Settings(), DirectoriesDialog, ExtractDialog});
    };
    docTemplate.createFrame = [this] {
        return std::make_unique<CMainFrame>(FrameServices{Instance(), [this] { SaveSettingsGroups(); }});
    };
    docTemplate.createView = [this] {
        return std::make_unique<CTorvexView>(
            ViewServices{Instance(), SmallIcons.Handle(), Settings(), DirectoriesDialog, ExtractDialog, AddDialog});
    };
    AddDocTemplate(std::move(docTemplate));

    CommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info))
        return false;

    HWND frame = MainWindow()->Handle();
    ::ShowWindow(frame, SW_SHOW);
    ::UpdateWindow(frame);
    ::DragAcceptFiles(frame, TRUE);

    // Never started for embedding or automation, so the tip always has its chance.
    if (!unattended)
        ShowTipOfTheDay(true);
    return true;
}

int CTorvexApp::ExitInstance()
{
    if (UninstallOnExit) {
        shellreg::RemoveRegistration();
        // Else exiting would write the list back and re-create the settings keys.
        DropRecentFileList();
    }
    SetHelpDesk(nullptr);
    return Application::ExitInstance();
}

std::string& CTorvexApp::HelpAnchor()
{
    auto* view = static_cast<CTorvexView*>(ActiveView());
    return view ? view->helpAnchor : noViewAnchor_;
}

void CTorvexApp::OfferShellExtensions()
{
    if (!unattended) {
        ShellExtensionsDialog dialog(Settings());
        dialog.firstRunMode = true;
        if (dialog.DoModal(nullptr) == IDOK) {
            dialog.Register(DirectoriesDialog.torvexEdit, dialog.associate, dialog.enableCompression,
                            dialog.enableExtraction);
            dialog.Save();
        }
    }
    WriteSetting(Settings(), setting::FirstRun, 0);
}

void CTorvexApp::ShowTipOfTheDay(bool atStartup)
{
    TipDialog dialog(Settings(), "tips.txt", {LoadString(IDS_TIP_FILE_ABSENT), LoadString(IDS_TIP_FILE_TROUBLE)},
                     LoadString(IDS_TIP_HEADING));
    if (!atStartup || dialog.Tip().ShowAtStartup)
        dialog.DoModal(MainWindow() ? MainWindow()->Handle() : nullptr);
}

void CTorvexApp::OnShellExtensions()
{
    ShellExtensionsDialog dialog(Settings());
    dialog.Load();
    HelpTopic topic(HelpAnchor(), "#Associate");
    if (dialog.DoModal(MainWindow() ? MainWindow()->Handle() : nullptr) != IDOK)
        return;
    dialog.Register(DirectoriesDialog.torvexEdit, dialog.associate, dialog.enableCompression, dialog.enableExtraction);
    dialog.Save();
}

void CTorvexApp::OnUninstall()
{
    if (PromptUser("Delete all Torvex entries in the registry.\nThen you can delete the Torvex directory.",
                   prompt::OkCancel) == prompt::IdOk)
        UninstallOnExit = true;
}

bool CTorvexApp::OnCommand(unsigned id, unsigned code)
{
    HWND owner = MainWindow() ? MainWindow()->Handle() : nullptr;
    switch (id) {
    case ID_APP_ABOUT: {
        AboutDialog about;
        about.DoModal(owner);
        return true;
    }
    case ID_TIP_OF_THE_DAY:
        ShowTipOfTheDay(false);
        return true;
    case ID_HELP:
        help_.ShowHelp(HelpAnchor());
        return true;
    case ID_SHELL_EXTENSIONS:
        OnShellExtensions();
        return true;
    case ID_UNINSTALL:
        OnUninstall();
        return true;
    default:
        return Application::OnCommand(id, code);
    }
}

bool CTorvexApp::OnUpdateCommand(CommandState& state)
{
    switch (state.Id()) {
    case ID_APP_ABOUT:
    case ID_TIP_OF_THE_DAY:
    case ID_HELP:
    case ID_SHELL_EXTENSIONS:
    case ID_UNINSTALL:
        state.Enable(true);
        return true;
    default:
        return Application::OnUpdateCommand(state);
    }
}
