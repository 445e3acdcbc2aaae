#include "app/torvex_app.h"

#include "app/shell_extensions_dialog.h"
#include "app/shell_registration_win.h"
#include "dialogs/directories_checks.h"
#include "dialogs/registry_settings_store.h"
#include "dialogs/settings_dialogs_win.h"
#include "dialogs/tip_dialog.h"
#include "dialogs/setting_names.h"
#include "engine/jar_contract.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/dpi_scale.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "operations/transfer_folders.h"
#include "resources/resource.h"
#include "ui/directory_picker.h"
#include "ui/icon_cache.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

// The document's settings: the groups the application keeps, and the store for ExtractDirect.
class AppDocumentSettings : public DocumentSettings {
public:
    AppDocumentSettings(SettingsStore& store, DirectoriesSettings& directories, ExtractSettings& extract)
        : store_(store), directories_(directories), extract_(extract)
    {
    }
    std::string JarFolder() const override { return directories_.jarEdit; }
    std::string ProgramFolder() const override { return directories_.torvexEdit; }
    void RememberStartupFolder(const std::string& folder) override { directories_.startupLast = folder; }
    bool TakeExtractDirect() override
    {
        if (ReadSetting(store_, setting::ExtractDirect) == 0)
            return false;
        WriteSetting(store_, setting::ExtractDirect, 0);
        return true;
    }
    void DisableExtractHelpOnce() override { extract_.helpDisabledOnce = true; }

private:
    SettingsStore& store_;
    DirectoriesSettings& directories_;
    ExtractSettings& extract_;
};

} // namespace


CTorvexApp::CTorvexApp()
    : help_([this] { return DirectoriesDialog.torvexEdit; },
            [this] { return MainWindow() ? MainWindow()->Handle() : nullptr; })
{
}

CTorvexApp::~CTorvexApp()
{
    if (oleStarted_)
        ::OleUninitialize();
}

bool CTorvexApp::CreateSmallIcons(int dpi)
{
    // 16 pixels at 96 DPI. Rebuilt in place for another DPI: every list, dialog and tree holds
    // this one handle.
    int size = dpi::Scale(16, dpi);
    smallIconsDpi_ = dpi;
    if (SmallIcons) {
        if (!ImageList_SetIconSize(SmallIcons.Handle(), size, size))
            return false;
        Icons.ForgetIndexes();
    } else if (!SmallIcons.Create(size, size, ILC_COLOR8 | ILC_MASK, 0, 1)) {
        return false;
    }
    Icons.UseImageList(SmallIcons.Handle());
    for (UINT id = IDI_FOLDER_CLOSED; id <= IDI_FILE_PROGRAM; ++id) {
        HICON icon = (HICON)::LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0);
        SmallIcons.AddIcon(icon);
        if (icon)
            ::DestroyIcon(icon);
    }
    return true;
}

void CTorvexApp::FitSmallIcons(int dpi)
{
    if (dpi == smallIconsDpi_)
        return;
    CreateSmallIcons(dpi);
    if (auto* view = static_cast<CTorvexView*>(ActiveView()))
        view->ReloadIcons();
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
    CheckExecutables();
    ExtractDialog.Load(store);
    ExtractDialog.extractLast = &DirectoriesDialog.extractLast;
    ExtractDialog.pickFolder = [this](HWND owner, std::string& folder) {
        return PickFolder(owner, SmallIcons.Handle(), folder);
    };
    AddDialog.Load(store);
}

void CTorvexApp::CheckExecutables()
{
    std::string message = MissingExecutablesMessage(!PathExists(DirectoriesDialog.jarEdit + "\\jar32.exe"),
                                                    !PathExists(DirectoriesDialog.torvexEdit + "\\torvex.exe"));
    if (!message.empty() && !unattended) {
        PromptUser(message, prompt::Ok | prompt::IconExclamation);
        // Its answer is not examined: the folders are saved when the main window closes.
        ::DirectoriesDialog dialog(DirectoriesDialog);
        dialog.openHelp = [this](const std::string& anchor) { help_.ShowHelp(anchor); };
        HIMAGELIST icons = SmallIcons.Handle();
        dialog.pickFolder = [icons](HWND owner, std::string& folder) { return PickFolder(owner, icons, folder); };
        dialog.DoModal(nullptr);
    }
    // Help is off only in the first run's own check, shown or not; later openings offer it.
    DirectoriesDialog.firstRunMode = false;
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
    // Drags out of the list and the clipboard's files need OLE on the interface thread.
    oleStarted_ = SUCCEEDED(::OleInitialize(nullptr));
    // Folders files of an archive were dragged or copied into by a Torvex that died.
    RemoveAbandonedTransferFolders();
    CreateSmallIcons(SystemDpi());
    AddDialog.directories = &DirectoriesDialog;
    AddDialog.smallIcons = SmallIcons.Handle();
    // Dialogs are drawn three-dimensional by the system itself; nothing to turn on.
    if (!HasSettingsStore())
        SetSettingsStore(std::make_unique<RegistrySettingsStore>(jarcontract::Company, jarcontract::Product));
    LoadStdProfileSettings(4);

    std::wstring directory(::GetCurrentDirectoryW(0, nullptr), L'\0');
    DWORD length = directory.empty() ? 0 : ::GetCurrentDirectoryW((DWORD)directory.size(), directory.data());
    LoadSettingsGroups(length > 0 && length < directory.size() ? Utf8Name(directory.c_str(), (int)length) : std::string());

    if (firstRun_)
        OfferShellExtensions();

    DocTemplate docTemplate;
    docTemplate.resourceId = IDR_MAINFRAME;
    docTemplate.createDocument = [this] {
        return std::make_unique<CTorvexDoc>(std::make_unique<AppDocumentSettings>(Settings(), DirectoriesDialog, ExtractDialog));
    };
    docTemplate.createFrame = [this] {
        FrameServices services{Instance(), [this] {
            // The window is going: its place is kept for the next run, with the groups.
            if (auto* frame = static_cast<CMainFrame*>(MainWindow()))
                WriteSetting(Settings(), setting::WindowPlacement, frame->PlacementText());
            SaveSettingsGroups();
        }, {}, {}};
        services.saveViewedFiles = [this] {
            if (auto* view = static_cast<CTorvexView*>(ActiveView()))
                view->SaveViewedFiles(true);
        };
        services.dpiChanged = [this](int dpi) { FitSmallIcons(dpi); };
        return std::make_unique<CMainFrame>(std::move(services));
    };
    docTemplate.createView = [this] {
        return std::make_unique<CTorvexView>(
            ViewServices{Instance(), Icons, Settings(), DirectoriesDialog, ExtractDialog, AddDialog,
                         [this](const std::string& anchor) { help_.ShowHelp(anchor); }});
    };
    AddDocTemplate(std::move(docTemplate));

    CommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info))
        return false;

    auto* mainFrame = static_cast<CMainFrame*>(MainWindow());
    HWND frame = mainFrame->Handle();
    // A shortcut set to run minimised or maximised says so through the start-up information.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    int startedWith = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    mainFrame->ShowAsLastTime(ReadSetting(Settings(), setting::WindowPlacement), unattended ? -1 : startedWith);
    // The window may have opened on a screen of another density than the main one.
    FitSmallIcons(mainFrame->Dpi());
    // The first picture shows the buttons' real states: a dialog at start-up keeps the idle
    // update from running until it closes.
    OnIdle();
    ::UpdateWindow(frame);
    ::DragAcceptFiles(frame, TRUE);

    // Edited copies of viewed files that a killed Torvex left behind are offered back first.
    if (!unattended)
        if (auto* view = static_cast<CTorvexView*>(ActiveView()))
            view->RecoverAbandonedCopies();
    // Never started for embedding or automation, so the tip always has its chance.
    if (!unattended)
        ShowTipOfTheDay(true);
    return true;
}

std::string CTorvexApp::OpenDialogFolder() const
{
    auto* doc = static_cast<CTorvexDoc*>(ActiveDocument());
    auto* view = static_cast<CTorvexView*>(ActiveView());
    if (!doc || !view)
        return std::string();
    std::string folder = view->diskFolder;
    if (doc->archiveMode)
        ParentPath(doc->Catalogue().ArchivePath, folder);
    // "C:" alone names the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    return folder;
}

bool CTorvexApp::AcceptChosenFile(const std::string& path)
{
    if (jarcontract::IsArchiveName(path))
        return true;
    PromptUser(NotAnArchiveText(path), prompt::Ok | prompt::IconExclamation);
    return false;
}

int CTorvexApp::ExitInstance()
{
    if (UninstallOnExit) {
        shellreg::RemoveRegistration();
        // Else exiting would write the list back and re-create the settings keys.
        DropRecentFileList();
    }
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
        dialog.openHelp = [this](const std::string& anchor) { help_.ShowHelp(anchor); };
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
    dialog.openHelp = [this](const std::string& anchor) { help_.ShowHelp(anchor); };
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
