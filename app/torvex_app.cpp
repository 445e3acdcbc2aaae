#include "app/torvex_app.h"

#include "dialogs/registry_settings_store.h"
#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "resources/resource.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

CTorvexApp::CTorvexApp() = default;

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
    AddDialog.directories = &DirectoriesDialog;
    AddDialog.smallIcons = SmallIcons.Handle();
    // Dialogs are drawn three-dimensional by the system itself; nothing to turn on.
    if (!HasSettingsStore())
        SetSettingsStore(std::make_unique<RegistrySettingsStore>(jarcontract::Company, jarcontract::Product));
    LoadStdProfileSettings(4);

    char directory[MAX_PATH + 1] = {};
    DWORD length = ::GetCurrentDirectoryA(sizeof(directory), directory);
    LoadSettingsGroups(length > 0 && length <= MAX_PATH ? directory : "");

    if (firstRun_) {
        // Here the first-run Shell Extensions dialog is offered (and its choices applied when
        // confirmed), once shell registration exists. FirstRun is cleared either way.
        WriteSetting(Settings(), setting::FirstRun, 0);
    }

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

    // Here the Tip of the Day is shown at start-up when its setting asks for it (not when
    // started for embedding or automation), once the tip dialog exists.
    return true;
}

int CTorvexApp::ExitInstance()
{
    if (UninstallOnExit) {
        // Here every registry entry of the program is removed (file type, shell extension,
        // settings) once shell registration exists; the recent-file list is dropped so that
        // exiting does not write it back.
        DropRecentFileList();
    }
    return Application::ExitInstance();
}
