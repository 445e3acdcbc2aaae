// The main frame on screen: toolbar modes with their combos, status bar texts, the chapter
// combo, the Help menu's tip item, command enabling in menus, toolbar and accelerators, the
// recent-file list, dropped files, opening and closing, read back from the windows themselves.
#include "dialog_driver.h"
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <set>

#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "framework/command_line.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "resources/resource.h"
#include "ui/main_frame_rules.h"

using namespace viewtest;

namespace {

// A scratch folder with two one-chapter archives one.j (one file) and two.j (two files), and
// multi.j with two chapters when the archiver could add one (see chapterOutput).
struct Archives {
    std::string folder;
    std::string one, two, multi;
    bool made = false;
    bool multiMade = false;
    std::string chapterOutput;

    Archives()
    {
        folder = MakeScratchFolder("frame");
        std::string src = folder + "\\src";
        MakeFolder(src);
        WriteFile(src + "\\a.txt", std::string(1000, 'a'));
        WriteFile(src + "\\b.txt", std::string(200, 'b'));
        WriteFile(src + "\\c.txt", std::string(300, 'c'));
        one = folder + "\\one.j";
        two = folder + "\\two.j";
        multi = folder + "\\multi.j";
        std::string out;
        made = RunJar(src, "a -y \"" + one + "\" a.txt", &out)
               && RunJar(src, "a -y \"" + two + "\" b.txt c.txt", &out);
        EXPECT_TRUE(made) << out;
        multiMade = made && RunJar(src, "a -y \"" + multi + "\" a.txt", &out)
                    && RunJar(src, "ac -y \"" + multi + "\" b.txt c.txt", &chapterOutput);
    }
    ~Archives() { RemoveTree(folder); }
};

int StatusPaneCount(HWND bar) { return (int)SendMessageA(bar, SB_GETPARTS, 0, 0); }

std::string StatusPaneText(HWND bar, int pane)
{
    char text[512] = {};
    SendMessageA(bar, SB_GETTEXTA, pane, (LPARAM)text);
    return text;
}

std::string MenuText(HMENU menu, int position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// Opens the menu bar and the given pop-up as far as the program sees it (no tracking).
HMENU InitPopup(HWND frame, int index)
{
    HMENU bar = GetMenu(frame);
    SendMessageA(frame, WM_INITMENU, (WPARAM)bar, 0);
    HMENU popup = GetSubMenu(bar, index);
    SendMessageA(frame, WM_INITMENUPOPUP, (WPARAM)popup, MAKELPARAM(index, FALSE));
    return popup;
}

bool Grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

// Answers the next File > Open dialog of this thread: notes the folder it starts in, types
// `choice` as the file name and presses Open (or cancels when `choice` is empty). A dialog still
// open after a few seconds is cancelled, so a test fails instead of hanging.
struct OpenDialogAnswer {
    static inline std::string choice, startFolder;
    static inline bool seen = false;
    static inline int ticks = 0;
    UINT_PTR timer;
    explicit OpenDialogAnswer(const std::string& file)
    {
        choice = file;
        startFolder.clear();
        seen = false;
        ticks = 0;
        timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
            ++ticks;
            EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (std::string(cls) != "#32770" || !IsWindowVisible(w))
                    return TRUE;
                if (!seen) {
                    seen = true;
                    char folder[MAX_PATH] = {};
                    SendMessageA(w, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
                    startFolder = folder;
                    if (!choice.empty()) {
                        SetDlgItemTextA(w, edt1, choice.c_str());
                        SetDlgItemTextA(w, cmb13, choice.c_str());
                        PostMessageA(w, WM_COMMAND, IDOK, 0);
                        return FALSE;
                    }
                }
                if (choice.empty() || ticks > 50)
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                return FALSE;
            }, 0);
        });
    }
    ~OpenDialogAnswer() { KillTimer(nullptr, timer); }
};

} // namespace

TEST(FrameWindow, DiskModeShowsTheDiskSetTheDriveComboAndOnePane)
{
    std::string folder = MakeScratchFolder("framedisk");
    {
        TorvexWindow w(folder);
        CMainFrame& frame = w.Frame();
        EXPECT_EQ(w.Title(), "Torvex - " + folder + "\\");
        EXPECT_EQ(frame.ShownToolbar(), ToolbarMode::Disk);
        ToolBar& bar = frame.MainToolBar;
        ASSERT_EQ(bar.GetButtonCount(), 19);
        EXPECT_TRUE(bar.IsSeparator(0));
        RECT sep = bar.GetItemRect(0);
        EXPECT_EQ(sep.right - sep.left, 100);
        EXPECT_EQ(bar.GetItemId(2), (UINT)ID_ADD);
        EXPECT_EQ(bar.GetItemId(18), (UINT)ID_APP_ABOUT);

        // The drive combo covers the first separator and lists upper-cased roots.
        ComboBox drives = frame.DriveCombo();
        ASSERT_TRUE(drives.IsWindow());
        EXPECT_TRUE(drives.IsVisible());
        EXPECT_EQ(drives.GetId(), IDC_DRIVE_COMBO);
        RECT combo = drives.GetRectInParent();
        EXPECT_EQ(combo.left, sep.left);
        EXPECT_EQ(combo.top, 3);
        ASSERT_GT(drives.GetCount(), 0);
        for (int i = 0; i < drives.GetCount(); ++i) {
            std::string root = drives.GetLBText(i);
            ASSERT_EQ(root.size(), 3u) << root;
            EXPECT_TRUE(isupper((unsigned char)root[0])) << root;
            EXPECT_EQ(root.substr(1), ":\\");
        }
        EXPECT_EQ(drives.GetLBText(drives.GetCurSel()), "C:\\");
        EXPECT_FALSE(frame.ChapterCombo().IsVisible());

        HWND status = frame.statusBar.Handle();
        EXPECT_EQ(StatusPaneCount(status), 1);
        EXPECT_EQ(StatusPaneText(status, 0), " Press F1 for Help");
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ArchivesShowTheirTotalsTheChapterComboAndTheArchiveSet)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    CMainFrame& frame = w.Frame();
    HWND status = frame.statusBar.Handle();

    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    w.Pump(20);
    EXPECT_EQ(w.Title(), "Torvex - " + data.one + " --> \\");
    EXPECT_EQ(frame.ShownToolbar(), ToolbarMode::Archive);
    ASSERT_EQ(frame.MainToolBar.GetButtonCount(), 25);
    EXPECT_TRUE(frame.MainToolBar.IsSeparator(2));
    RECT second = frame.MainToolBar.GetItemRect(2);
    EXPECT_EQ(second.right - second.left, 100);
    EXPECT_EQ(frame.MainToolBar.GetItemId(4), (UINT)ID_EXTRACT);
    EXPECT_EQ(frame.MainToolBar.GetItemId(18), (UINT)ID_REFRESH);

    ComboBox chapters = frame.ChapterCombo();
    EXPECT_TRUE(chapters.IsVisible());
    RECT first = frame.MainToolBar.GetItemRect(0);
    EXPECT_EQ(chapters.GetRectInParent().left, first.left + (first.right - first.left) + 8);
    ASSERT_EQ(chapters.GetCount(), 1);
    EXPECT_EQ(chapters.GetLBText(chapters.GetCurSel()), "Chapter 1");

    ASSERT_EQ(StatusPaneCount(status), 2);
    std::string info = StatusPaneText(status, 1);
    EXPECT_EQ(info.rfind("Archive info: ", 0), 0u) << info;
    EXPECT_NE(info.find(" bytes in 1 file(s)  Whole archive ratio: "), std::string::npos) << info;
    EXPECT_EQ(frame.statusBar.GetPaneId(1), (UINT)ID_INFO_PANE);
    EXPECT_GE(frame.statusBar.GetPaneWidth(1), TextWidth(status, info));

    // Leaving the archive for its folder brings back the disk set and the single pane.
    w.DoubleClickRow(0);
    EXPECT_EQ(frame.ShownToolbar(), ToolbarMode::Disk);
    EXPECT_FALSE(chapters.IsVisible());
    EXPECT_EQ(StatusPaneCount(status), 1);
    EXPECT_EQ(frame.MainToolBar.GetButtonCount(), 19);

    if (!data.multiMade)
        GTEST_SKIP() << "jar32 could not add a second chapter: " << data.chapterOutput;
    ASSERT_NE(w.App().OpenDocumentFile(data.multi), nullptr);
    w.Pump(20);
    info = StatusPaneText(status, 1);
    EXPECT_EQ(info.rfind("Chapter info: ", 0), 0u) << info;
    EXPECT_NE(info.find(" bytes in 2 file(s)"), std::string::npos) << info;
    ASSERT_EQ(chapters.GetCount(), 2);
    EXPECT_EQ(chapters.GetLBText(0), "Chapter 1");
    EXPECT_EQ(chapters.GetCurSel(), 1);
    EXPECT_EQ(chapters.GetLBText(1), "Chapter 2");
}

TEST(FrameWindow, HelpMenuGetsTheTipItemOnceAndItsCommandsAreEnabled)
{
    std::string folder = MakeScratchFolder("framemenu");
    {
        TorvexWindow w(folder);
        HWND frame = w.Frame().Handle();
        HMENU bar = GetMenu(frame);
        ASSERT_EQ(GetMenuItemCount(bar), 4);
        HMENU help = GetSubMenu(bar, 3);
        int before = GetMenuItemCount(help);
        for (int i = 0; i < 3; ++i)
            InitPopup(frame, 3);
        ASSERT_EQ(GetMenuItemCount(help), before + 2);
        EXPECT_EQ(MenuText(help, 0), "Ti&p of the Day...");
        EXPECT_EQ(GetMenuItemID(help, 0), (UINT)ID_TIP_OF_THE_DAY);
        EXPECT_TRUE(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(MenuText(help, 2), "Help\tF1");

        // The application handles every Help command.
        EXPECT_FALSE(Grayed(help, ID_TIP_OF_THE_DAY));
        EXPECT_FALSE(Grayed(help, ID_HELP));
        EXPECT_FALSE(Grayed(help, ID_APP_ABOUT));
        EXPECT_FALSE(Grayed(help, ID_UNINSTALL));
        HMENU file = InitPopup(frame, 0);
        EXPECT_FALSE(Grayed(file, ID_FILE_OPEN));
        EXPECT_FALSE(Grayed(file, ID_APP_EXIT));
        // File > Open's filter speaks the interface's language.
        EXPECT_EQ(w.App().TemplateString(3), "Torvex Files (*.j)");
        // Both "Double-click launches:" choices carry a label.
        std::string viewerLabel;
        WhenDialogOpens("Miscellaneous", [&](HWND box) {
            viewerLabel = ControlText(box, IDC_LAUNCH_VIEWER);
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        });
        w.Command(ID_MISCELLANEOUS);
        EXPECT_EQ(viewerLabel, "Viewer:");
        HMENU display = InitPopup(frame, 2);
        EXPECT_TRUE(GetMenuState(display, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(GetMenuState(display, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED);

        // The toolbar follows the same rules when the program is idle.
        w.Pump(10);
        EXPECT_TRUE(w.Frame().MainToolBar.IsButtonEnabled(ID_APP_ABOUT));
        EXPECT_TRUE(w.Frame().MainToolBar.IsButtonEnabled(ID_DETAILS_VIEW));

        // Menu prompts go to the message pane, and back to the idle text when the menu closes.
        SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(ID_VIEW_TOOLBAR, MF_STRING), (LPARAM)display);
        EXPECT_EQ(StatusPaneText(w.Frame().statusBar.Handle(), 0), "Displays or hides the toolbar");
        SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        EXPECT_EQ(StatusPaneText(w.Frame().statusBar.Handle(), 0), " Press F1 for Help");
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ToolbarAndStatusBarCanBeHiddenAndTheListTakesTheRoom)
{
    std::string folder = MakeScratchFolder("framebars");
    {
        TorvexWindow w(folder);
        RECT withBars{};
        GetWindowRect(w.List(), &withBars);
        w.Command(ID_VIEW_TOOLBAR);
        w.Command(ID_VIEW_STATUS_BAR);
        EXPECT_FALSE(w.Frame().MainToolBar.IsVisible());
        EXPECT_FALSE(w.Frame().statusBar.IsVisible());
        RECT without{};
        GetWindowRect(w.List(), &without);
        EXPECT_LT(without.top, withBars.top);
        EXPECT_GT(without.bottom, withBars.bottom);
        HMENU display = InitPopup(w.Frame().Handle(), 2);
        EXPECT_FALSE(GetMenuState(display, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
        w.Command(ID_VIEW_TOOLBAR);
        w.Command(ID_VIEW_STATUS_BAR);
        RECT back{};
        GetWindowRect(w.List(), &back);
        EXPECT_EQ(back.top, withBars.top);
        EXPECT_EQ(back.bottom, withBars.bottom);

        // Maximised after that, the list's header is drawn at once, not blank until clicked.
        w.Command(ID_DETAILS_VIEW);
        w.Command(ID_VIEW_TOOLBAR);
        w.Command(ID_VIEW_STATUS_BAR);
        w.Pump(50);
        w.Command(ID_VIEW_TOOLBAR);
        w.Command(ID_VIEW_STATUS_BAR);
        ShowWindow(w.Frame().Handle(), SW_MAXIMIZE);
        w.Pump(200);
        HWND header = ListView_GetHeader(w.List());
        ASSERT_TRUE(IsWindowVisible(header));
        std::vector<uint32_t> picture = ScreenPicture(header);
        EXPECT_GT(std::set<uint32_t>(picture.begin(), picture.end()).size(), 1u);  // not one blank colour
    }
    RemoveTree(folder);
}

TEST(FrameWindow, AcceleratorOfADisabledCommandIsSwallowed)
{
    std::string folder = MakeScratchFolder("frameaccel");
    WriteFile(folder + "\\x.txt", "x");
    WriteFile(folder + "\\y.txt", "y");
    {
        TorvexWindow w(folder);
        // Ctrl+S selects every row through its accelerator.
        w.PressKey('S', true);
        EXPECT_EQ(w.SelectedRows().size(), (size_t)w.RowCount() - 1);  // all but the parent row

        // While an operation runs, Open is disabled: Ctrl+O must not bring up the open dialog.
        w.View().operationRunning = 1;
        {
            DialogWatch watch;
            w.PressKey('O', true);
            w.Pump(200);
            EXPECT_EQ(DialogWatch::seen, 0);
        }
        // Closing is refused meanwhile, and Exit shows it.
        EXPECT_TRUE(Grayed(InitPopup(w.Frame().Handle(), 0), ID_APP_EXIT));
        w.View().operationRunning = 0;
        EXPECT_FALSE(Grayed(InitPopup(w.Frame().Handle(), 0), ID_APP_EXIT));
        {
            DialogWatch watch;
            w.PressKey('O', true);
            w.Pump(100);
            EXPECT_EQ(DialogWatch::seen, 1);
        }
    }
    RemoveTree(folder);
}

TEST(FrameWindow, OneDroppedDotJFileOpensOtherDropsDoNot)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    std::string diskTitle = w.Title();

    // Any other drop is for adding: the Add dialog opens (cancelled here) and nothing is opened.
    {
        DialogWatch watch;
        w.DropFiles({data.one, data.two});
        w.Pump(300);
        EXPECT_GE(DialogWatch::seen, 1);
    }
    EXPECT_EQ(w.Title(), diskTitle);
    std::string upper = data.folder + "\\ONE.J";
    {
        DialogWatch watch;
        w.DropFiles({upper});
        w.Pump(300);
        EXPECT_GE(DialogWatch::seen, 1);
    }
    EXPECT_EQ(w.Title(), diskTitle);
    EXPECT_FALSE(w.Doc().archiveMode);

    w.DropFiles({data.two});
    EXPECT_TRUE(w.PumpUntil([&] { return w.Doc().archiveMode; }, 5000));
    EXPECT_EQ(w.Title(), "Torvex - " + data.two + " --> \\");
}

TEST(FrameWindow, RecentFilesFillTheFileMenuAndReopen)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    HWND frame = w.Frame().Handle();
    HMENU file = InitPopup(frame, 0);
    EXPECT_TRUE(Grayed(file, ID_FILE_MRU_FILE1));  // the empty list's placeholder

    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    ASSERT_NE(w.App().OpenDocumentFile(data.two), nullptr);
    file = InitPopup(frame, 0);
    EXPECT_EQ(MenuText(file, 6), "&1 " + data.two);
    EXPECT_EQ(MenuText(file, 7), "&2 " + data.one);
    EXPECT_FALSE(Grayed(file, ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(MenuText(file, 9), "&Quit");

    w.Command(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(w.Title(), "Torvex - " + data.one + " --> \\");
    EXPECT_EQ((*w.App().RecentFiles())[0], data.one);
}

TEST(FrameWindow, ACommandLineNameRelativeToTheStartFolderOpensByItsFullPath)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(data.folder.c_str()));

    CommandLineInfo info;
    info.Parse({"two.j"});
    bool processed = w.App().ProcessShellCommand(info);
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(processed);
    EXPECT_EQ(w.Title(), "Torvex - " + data.two + " --> \\");
    EXPECT_EQ((*w.App().RecentFiles())[0], data.two);
}

// An archive whose path passes 480 characters opens from the command line; an archive that
// cannot be opened, whatever the reason, still leaves the window on the screen.
TEST(FrameWindow, ACommandLineArchiveOfAnyLengthOpensAndOneThatFailsStillShowsTheWindow)
{
    Archives data;
    ASSERT_TRUE(data.made);
    std::string deep = data.folder;
    while (deep.size() < 470) {
        deep += "\\" + std::string(50, 'd');
        MakeFolder(deep);
    }
    std::string archive = deep + "\\long.j";
    ASSERT_TRUE(CopyFileW(FileSystemPath(data.two).c_str(), FileSystemPath(archive).c_str(), FALSE));
    TorvexWindow w(data.folder);
    std::vector<std::string> told;
    SetPromptScript([&](const PromptRequest& r) {
        told.push_back(r.text);
        return prompt::IdOk;
    });
    CommandLineInfo info;
    info.Parse({deep + "\\missing.j"});
    EXPECT_TRUE(w.App().ProcessShellCommand(info));
    EXPECT_EQ(told.size(), 1u);
    ASSERT_NE(w.App().MainWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(w.App().MainWindow()->Handle()));

    told.clear();
    info = CommandLineInfo();
    info.Parse({archive});
    EXPECT_TRUE(w.App().ProcessShellCommand(info));
    SetPromptScript({});
    EXPECT_TRUE(told.empty()) << told.front();
    EXPECT_EQ(w.Title(), "Torvex - " + archive + " --> \\");
    EXPECT_EQ(w.RowCount(), 3);
}

TEST(FrameWindow, FirstStartRecordsTheStartFolderAndIsTheOnlyOne)
{
    std::string folder = MakeScratchFolder("first");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    {
        TorvexWindow w(folder, [](SettingsStore& store) { store.WriteProfileInt("Settings", "FirstRun", 1); });
        SetCurrentDirectoryA(previous);
        SettingsStore& store = w.App().Settings();
        EXPECT_EQ(store.GetProfileString("Settings", "torvexEdit", "?"), folder);
        EXPECT_EQ(w.App().DirectoriesDialog.torvexEdit, folder);
        EXPECT_EQ(store.GetProfileInt("Settings", "FirstRun", -1), 0);
        // Used up by the start-up check: a later Configuration > Directories offers Help.
        EXPECT_FALSE(w.App().DirectoriesDialog.firstRunMode);
    }
    SetCurrentDirectoryA(previous);
    {
        // A later start leaves the folder the user has since chosen alone.
        TorvexWindow w(folder, [](SettingsStore& store) { store.WriteProfileString("Settings", "torvexEdit", "D:\\tv"); });
        EXPECT_EQ(w.App().DirectoriesDialog.torvexEdit, "D:\\tv");
        EXPECT_FALSE(w.App().DirectoriesDialog.firstRunMode);
    }
    RemoveTree(folder);
}

TEST(FrameWindow, OpeningRefusesUpperCaseJBadArchivesAndOpensDuringOperations)
{
    Archives data;
    ASSERT_TRUE(data.made);
    WriteFile(data.folder + "\\bad.j", "this is not an archive");
    std::vector<PromptRequest> prompts;
    TorvexWindow w(data.folder);
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });

    EXPECT_FALSE(jarcontract::IsArchiveName(data.folder + "\\ONE.J"));
    EXPECT_FALSE(jarcontract::IsArchiveName("C:\\dir.j\\file"));
    EXPECT_TRUE(jarcontract::IsArchiveName(data.one));
    EXPECT_EQ(w.App().OpenDocumentFile(data.folder + "\\ONE.J"), nullptr);
    EXPECT_TRUE(prompts.empty());

    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    std::string title = w.Title();
    EXPECT_EQ(w.App().OpenDocumentFile(data.folder + "\\bad.j"), nullptr);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_TRUE(prompts[0].type & prompt::IconStop) << prompts[0].text;
    EXPECT_EQ(w.Title(), title);  // the window keeps what it showed
    EXPECT_TRUE(w.Doc().archiveMode);

    // While an operation runs, opening answers yes and touches nothing.
    w.Doc().openAllowed = false;
    EXPECT_NE(w.App().OpenDocumentFile(data.two), nullptr);
    EXPECT_EQ(w.Doc().Catalogue().ArchivePath, data.one);
    EXPECT_EQ(w.Title(), title);
    w.Doc().openAllowed = true;
}

TEST(FrameWindow, FileOpenStartsInTheShownFolderAndRefusesWhatIsNoArchiveThereOnly)
{
    Archives data;
    ASSERT_TRUE(data.made);
    std::vector<PromptRequest> prompts;
    TorvexWindow w(data.folder + "\\src");
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });
    {
        OpenDialogAnswer answer("");
        w.Command(ID_FILE_OPEN);
        EXPECT_TRUE(OpenDialogAnswer::seen);
        EXPECT_EQ(OpenDialogAnswer::startFolder, data.folder + "\\src");
    }
    {
        // A text file chosen under "All Files": refused, and the user is told why.
        OpenDialogAnswer answer(data.folder + "\\src\\a.txt");
        w.Command(ID_FILE_OPEN);
        ASSERT_TRUE(OpenDialogAnswer::seen);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].text, "a.txt is not a Torvex archive.\nOnly files whose name ends in \".j\" can be opened.");
        EXPECT_FALSE(w.Doc().archiveMode);
        EXPECT_EQ(w.App().RecentFiles()->GetCount(), 0);
    }
    {
        OpenDialogAnswer answer(data.two);
        w.Command(ID_FILE_OPEN);
        EXPECT_TRUE(w.Doc().archiveMode);
        EXPECT_EQ(w.Title(), "Torvex - " + data.two + " --> \\");
    }
    {
        // With an archive shown, the dialog starts in the archive's folder.
        OpenDialogAnswer answer("");
        w.Command(ID_FILE_OPEN);
        EXPECT_EQ(OpenDialogAnswer::startFolder, data.folder);
    }
    // The command line and the recent-file list refuse such a file without a word.
    EXPECT_EQ(w.App().OpenDocumentFile(data.folder + "\\src\\a.txt"), nullptr);
    EXPECT_EQ(prompts.size(), 1u);
}

TEST(FrameWindow, ARefusedOpenDuringAnOperationLeavesTheRecentFilesAlone)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    w.Doc().openAllowed = false;
    EXPECT_NE(w.App().OpenDocumentFile(data.two), nullptr);
    w.Doc().openAllowed = true;
    RecentFileList& recent = *w.App().RecentFiles();
    ASSERT_EQ(recent.GetCount(), 1);
    EXPECT_EQ(recent[0], data.one);
    EXPECT_EQ(w.Doc().GetPathName(), data.one);
}

TEST(FrameWindow, StartFolderShowsItsDriveUpperCaseAndFallsBackWhenGone)
{
    std::string folder = MakeScratchFolder("framestart");
    WriteFile(folder + "\\here.txt", "h");
    std::string lowerDrive = "c" + folder.substr(1);
    ASSERT_EQ(folder.substr(0, 2), "C:");
    {
        TorvexWindow w(lowerDrive);
        EXPECT_EQ(w.Title(), "Torvex - " + folder + "\\");
        EXPECT_EQ(w.View().diskFolder, folder);
    }
    {
        TorvexWindow w(folder, [](SettingsStore& s) { s.WriteProfileString("Settings", "startupEdit", "c:\\"); });
        EXPECT_EQ(w.Title(), "Torvex - C:\\");
    }
    {
        // Removed since the last run: its nearest existing parent is shown, not an empty list.
        TorvexWindow w(lowerDrive + "\\gone\\deeper");
        EXPECT_EQ(w.View().diskFolder, folder);
        EXPECT_EQ(w.Title(), "Torvex - " + folder + "\\");
        EXPECT_GT(w.RowNamed("here.txt"), 0);
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ExtractDirectStartShowsTheArchiveSelectedInItsFolderOnce)
{
    Archives data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder + "\\src", [](SettingsStore& s) { s.WriteProfileInt("Settings", "ExtractDirect", 1); });
    SettingsStore& store = w.App().Settings();

    // The Extract dialog comes up for the selected archive; cancelled, nothing is extracted.
    // It shows without Help, once.
    bool helpGreyed = false;
    bool dialogShown = dialogtest::Drive({{"Extract", [&](HWND box) {
                                               helpGreyed = !dialogtest::Enabled(box, IDC_EXTRACT_HELP);
                                               dialogtest::Click(box, IDCANCEL);
                                           }}},
                                         [&] { ASSERT_NE(w.App().OpenDocumentFile(data.two), nullptr); });
    EXPECT_TRUE(dialogShown);
    w.Pump(20);
    EXPECT_EQ(store.GetProfileInt("Settings", "ExtractDirect", -1), 0);
    EXPECT_FALSE(w.Doc().archiveMode);
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\");
    int row = w.RowNamed("two.j");
    ASSERT_GE(row, 0);
    EXPECT_EQ(w.SelectedRows(), std::vector<int>{row});
    EXPECT_EQ(w.View().hitItem, row);
    // The start-up folder choice is what it was before.
    EXPECT_EQ(w.App().DirectoriesDialog.startupDir, 1);
    EXPECT_EQ(w.App().DirectoriesDialog.startupEdit, data.folder + "\\src");
    EXPECT_EQ(w.App().DirectoriesDialog.startupLast, data.folder);
    EXPECT_TRUE(helpGreyed);
    EXPECT_FALSE(w.App().ExtractDialog.helpDisabledOnce);

    // The flag served once: the next open lists the archive.
    ASSERT_NE(w.App().OpenDocumentFile(data.two), nullptr);
    EXPECT_TRUE(w.Doc().archiveMode);
}

TEST(FrameWindow, ClosingNeverAsksAndSavesTheGroups)
{
    Archives data;
    ASSERT_TRUE(data.made);
    int prompts = 0;
    TorvexWindow w(data.folder);
    SetPromptScript([&](const PromptRequest&) { ++prompts; return prompt::IdOk; });
    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    w.Doc().SetModifiedFlag(true);
    w.App().ExtractDialog.directoryPool.Insert("D:\\out");
    w.App().AddDialog.compression = 2;
    w.Command(ID_LIST_VIEW);

    PostMessageA(w.Frame().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(w.PumpUntil([&] { return w.Frame().Handle() == nullptr; }, 3000));
    EXPECT_EQ(prompts, 0);
    SettingsStore& store = w.App().Settings();
    EXPECT_EQ(store.GetProfileString("Settings", "startupLast", "?"), data.folder);
    EXPECT_EQ(store.GetProfileInt("Settings", "ViewType", -1), 0);
    EXPECT_EQ(store.GetProfileString("Settings", "Extract Pool0", "?"), "D:\\out");
    EXPECT_EQ(store.GetProfileInt("Settings", "Compression", -1), 2);
    EXPECT_EQ(store.GetProfileString("Settings", "jarEdit", "?"), ProgramFolder());
}

TEST(FrameWindow, TheWindowComesBackWhereAndAsTheLastRunLeftIt)
{
    std::string folder = MakeScratchFolder("frameplace");
    auto close = [](TorvexWindow& w) {
        PostMessageA(w.Frame().Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(w.PumpUntil([&] { return w.Frame().Handle() == nullptr; }, 3000));
        return w.App().Settings().GetProfileString("Settings", "WindowPlacement", "?");
    };
    auto withPlacement = [](const std::string& text) {
        return [text](SettingsStore& store) { store.WriteProfileString("Settings", "WindowPlacement", text); };
    };
    auto rectOf = [](HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return std::vector<long>{r.left, r.top, r.right, r.bottom};
    };
    {
        // The first start shows the window normally; closing keeps its place and size.
        TorvexWindow w(folder);
        HWND frame = w.Frame().Handle();
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_FALSE(IsZoomed(frame));
        MoveWindow(frame, 60, 50, 640, 420, TRUE);
        EXPECT_EQ(close(w), "60 50 700 470 0");
    }
    {
        TorvexWindow w(folder, withPlacement("60 50 700 470 0"));
        HWND frame = w.Frame().Handle();
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_FALSE(IsZoomed(frame));
        EXPECT_EQ(rectOf(frame), (std::vector<long>{60, 50, 700, 470}));
        ShowWindow(frame, SW_MAXIMIZE);
        EXPECT_EQ(close(w), "60 50 700 470 1");  // the size it goes back to when restored
    }
    {
        TorvexWindow w(folder, withPlacement("60 50 700 470 1"));
        HWND frame = w.Frame().Handle();
        EXPECT_TRUE(IsZoomed(frame));
        ShowWindow(frame, SW_RESTORE);
        EXPECT_EQ(rectOf(frame), (std::vector<long>{60, 50, 700, 470}));
    }
    {
        // A shortcut set to run minimised or maximised wins; the kept rectangle is still the
        // restored one.
        TorvexWindow w(folder);
        HWND frame = w.Frame().Handle();
        w.Frame().ShowAsLastTime("60 50 700 470 0", SW_SHOWMINNOACTIVE);
        EXPECT_TRUE(IsIconic(frame));
        w.Frame().ShowAsLastTime("60 50 700 470 0", SW_SHOWMAXIMIZED);
        EXPECT_TRUE(IsZoomed(frame));
        ShowWindow(frame, SW_RESTORE);
        EXPECT_EQ(rectOf(frame), (std::vector<long>{60, 50, 700, 470}));
    }
    for (const char* unusable : {"30000 30000 30600 30400 0", "1 2 3", "60 50 60 470 0"}) {
        // Off every screen, or not a place at all: shown as at a first start.
        TorvexWindow w(folder, withPlacement(unusable));
        HWND frame = w.Frame().Handle();
        EXPECT_TRUE(IsWindowVisible(frame)) << unusable;
        EXPECT_FALSE(IsZoomed(frame)) << unusable;
        EXPECT_LT(rectOf(frame)[0], 1024) << unusable;
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ComboDropHeightGrowsUntilEveryItemShowsAndNeverShrinks)
{
    std::string folder = MakeScratchFolder("framecombo");
    {
        TorvexWindow w(folder);
        HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 0, 0,
                                     120, 100, w.Frame().Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        ComboBox box(combo);
        box.SetFont((HFONT)GetStockObject(DEFAULT_GUI_FONT));
        // Room below the closed box for the dropped list.
        auto listRoom = [&] {
            RECT closed{}, dropped{};
            GetWindowRect(combo, &closed);
            SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
            return (int)(dropped.bottom - closed.bottom);
        };
        int itemHeight = (int)SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
        int initial = listRoom();
        for (int i = 0; i < 3; ++i)
            box.AddString("item");
        FitComboDropHeight(box);
        EXPECT_EQ(listRoom(), initial);  // three items fit already: untouched
        for (int i = 3; i < 12; ++i)
            box.AddString("item");
        FitComboDropHeight(box);
        EXPECT_GE(listRoom(), 12 * itemHeight);
        int grown = listRoom();
        while (box.GetCount() > 2)
            box.DeleteString(0);
        FitComboDropHeight(box);
        EXPECT_EQ(listRoom(), grown);
        DestroyWindow(combo);
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ToolbarStripsHoldOneImagePerButton)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (auto [id, images] : {std::pair{IDR_MAINFRAME, ToolbarImageCount(DiskToolbarButtons())},
                              std::pair{IDR_ARCHIVE_TOOLBAR, ToolbarImageCount(ArchiveToolbarButtons())}}) {
        HBITMAP strip = (HBITMAP)LoadImageA(self, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(strip, nullptr) << id;
        BITMAP info{};
        GetObjectA(strip, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 24 * images) << id;
        EXPECT_EQ(info.bmHeight, 24) << id;
        DeleteObject(strip);
    }
    for (UINT icon = IDI_FOLDER_CLOSED; icon <= IDI_FILE_PROGRAM; ++icon)
        EXPECT_NE(LoadImageA(self, MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, 0), nullptr) << icon;
}

TEST(FrameWindow, ToolTipsAndFlyByPromptsComeFromTheStringTable)
{
    std::string folder = MakeScratchFolder("frametips");
    {
        TorvexWindow w(folder);
        HWND frame = w.Frame().Handle();
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = w.Frame().MainToolBar.Handle();
        info.hdr.idFrom = ID_EXTRACT_ARCHIVE_TO;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&info);
        ASSERT_NE(info.lpszText, nullptr);
        EXPECT_STREQ(info.lpszText, "Extract to");

        NMTBHOTITEM hot{};
        hot.hdr.hwndFrom = w.Frame().MainToolBar.Handle();
        hot.hdr.code = TBN_HOTITEMCHANGE;
        hot.idNew = ID_VIEW_STATUS_BAR;
        SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&hot);
        HWND status = w.Frame().statusBar.Handle();
        EXPECT_EQ(StatusPaneText(status, 0), "Displays or hides the statusbar");
        hot.dwFlags = HICF_LEAVING;
        SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&hot);
        EXPECT_EQ(StatusPaneText(status, 0), " Press F1 for Help");
    }
    RemoveTree(folder);
}

TEST(FrameWindow, AGreyedButtonsPromptGoesWhenTheMouseLeavesIt)
{
    std::string folder = MakeScratchFolder("framegreyed");
    {
        TorvexWindow w(folder);
        HWND frame = w.Frame().Handle();
        HWND bar = w.Frame().MainToolBar.Handle();
        HWND status = w.Frame().statusBar.Handle();
        w.Pump(20);
        ASSERT_FALSE(w.Frame().MainToolBar.IsButtonEnabled(ID_EXTRACT_ARCHIVE_TO));
        int index = (int)SendMessageA(bar, TB_COMMANDTOINDEX, ID_EXTRACT_ARCHIVE_TO, 0);
        RECT r = w.Frame().MainToolBar.GetItemRect(index);
        POINT over{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &over);
        ASSERT_TRUE(SetCursorPos(over.x, over.y));

        // What the toolbar sends when the mouse enters a greyed button (it never makes it hot,
        // so no leaving follows).
        NMTBHOTITEM hot{};
        hot.hdr.hwndFrom = bar;
        hot.hdr.code = TBN_HOTITEMCHANGE;
        hot.idNew = ID_EXTRACT_ARCHIVE_TO;
        hot.dwFlags = HICF_ENTERING | HICF_MOUSE;
        SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&hot);
        std::string prompt = "Extract the selected archive in a specified directory";
        EXPECT_EQ(StatusPaneText(status, 0), prompt);
        w.Pump(300);
        EXPECT_EQ(StatusPaneText(status, 0), prompt);  // still over it

        RECT list{};
        GetWindowRect(w.List(), &list);
        SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
        EXPECT_TRUE(w.PumpUntil([&] { return StatusPaneText(status, 0) == " Press F1 for Help"; }, 2000))
            << StatusPaneText(status, 0);
    }
    RemoveTree(folder);
}

TEST(FrameWindow, ExitWritesTheRecentFilesUnlessUninstalling)
{
    Archives data;
    ASSERT_TRUE(data.made);
    {
        TorvexWindow w(data.folder);
        ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
        w.App().ExitInstance();
        EXPECT_EQ(w.App().Settings().GetProfileString("Recent File List", "File1", "?"), data.one);
    }
    {
        TorvexWindow w(data.folder);
        ASSERT_NE(w.App().OpenDocumentFile(data.two), nullptr);
        w.App().UninstallOnExit = true;
        w.App().ExitInstance();
        EXPECT_FALSE(static_cast<MemorySettingsStore&>(w.App().Settings()).Has("Recent File List", "File1"));
        EXPECT_EQ(w.App().RecentFiles(), nullptr);
    }
}

TEST(FrameWindow, ARecentFileThatIsGoneLeavesTheListOneThatFailsOtherwiseStays)
{
    Archives data;
    ASSERT_TRUE(data.made);
    std::vector<std::string> messages;
    TorvexWindow w(data.folder);
    SetPromptScript([&](const PromptRequest& r) { messages.push_back(r.text); return prompt::IdOk; });
    ASSERT_NE(w.App().OpenDocumentFile(data.one), nullptr);
    ASSERT_NE(w.App().OpenDocumentFile(data.two), nullptr);
    RecentFileList& recent = *w.App().RecentFiles();
    ASSERT_EQ(recent.GetCount(), 2);

    // Still there but unreadable: the open fails with a message and the entry stays.
    WriteFile(data.one, "no longer an archive");
    w.Command(ID_FILE_MRU_FILE1 + 1);
    EXPECT_FALSE(messages.empty());
    ASSERT_EQ(recent.GetCount(), 2);

    DeleteFileA(data.one.c_str());
    w.Command(ID_FILE_MRU_FILE1 + 1);
    ASSERT_EQ(recent.GetCount(), 1);
    EXPECT_EQ(recent[0], data.two);
    EXPECT_EQ(w.Title(), "Torvex - " + data.two + " --> \\");
}
