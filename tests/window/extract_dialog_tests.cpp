// The Extract dialog and the directory picker, opened and driven as a user would.
#include "dialogs/extract_dialog.h"
#include "ui/directory_picker.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "view_test_support.h"

using namespace dialogtest;

namespace {

// Message boxes answered with their first button and recorded.
struct Prompts {
    std::vector<std::string> texts;
    Prompts()
    {
        SetPromptScript([this](const PromptRequest& r) {
            texts.push_back(r.text);
            return (r.type & 0xF) == prompt::RetryCancel ? prompt::IdCancel : prompt::IdOk;
        });
    }
    ~Prompts() { SetPromptScript({}); }
};

} // namespace

TEST(ExtractDialog, OpensWithItsFieldsRulesAndToolTips)
{
    ExtractDialog dialog;
    dialog.directoryPool[0] = "c:\\one";
    dialog.directoryPool[1] = "c:\\two";
    dialog.directoryPool[3] = "c:\\after a gap";
    dialog.directory = "c:\\target";
    dialog.selectionAvailable = false;
    dialog.helpDisabledOnce = true;
    dialog.updateMode = extractopt::Freshen;
    dialog.updateCriterion = extractopt::DateOrSizeChanged;
    dialog.chapterFrom = 3;
    // Left over from an earlier opening: reset at each opening.
    dialog.listFileOnly = true;
    dialog.useCommandLine = true;
    dialog.commandLine = " old";

    bool ran = Drive({{"Extract", [&](HWND box) {
        EXPECT_EQ(Text(box, IDC_EXTRACT_DIRECTORY), "c:\\target");
        EXPECT_EQ(ComboItems(box, IDC_EXTRACT_DIRECTORY), (std::vector<std::string>{"c:\\one", "c:\\two"}));
        EXPECT_EQ(ComboItems(box, IDC_EXTRACT_CRITERION),
                  (std::vector<std::string>{"Newer files", "Older files", "Date or Size Changed"}));
        EXPECT_EQ(SendDlgItemMessageA(box, IDC_EXTRACT_CRITERION, CB_GETCURSEL, 0, 0), 2);
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_CRITERION));
        EXPECT_TRUE(Checked(box, IDC_EXTRACT_ALL));
        EXPECT_TRUE(Checked(box, IDC_EXTRACT_FRESHEN));
        EXPECT_TRUE(Checked(box, IDC_EXTRACT_PARTIAL_PATH));
        EXPECT_TRUE(Checked(box, IDC_EXTRACT_OVERWRITE));
        EXPECT_FALSE(Checked(box, IDC_EXTRACT_LIST_ONLY));
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_SELECTED));
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_FILES_LIST));
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_HELP));
        // Partial Path: no custom line, and "Edit ..." follows "Command Line".
        EXPECT_FALSE(Checked(box, IDC_EXTRACT_COMMAND_LINE));
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_COMMAND_LINE));
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_EDIT));
        EXPECT_EQ(Text(box, IDC_EXTRACT_FROM), "3");
        EXPECT_EQ(ToolTipText(box, IDC_EXTRACT_PARTIAL_PATH), "Extract files with their partial path in the archive (see Help)");
        EXPECT_EQ(ToolTipText(box, IDC_EXTRACT_FRESHEN), "Freshen existing files ");
        EXPECT_EQ(ToolTipText(box, IDC_EXTRACT_TO), "Last chapter to be extracted (see Help for details)");
        Click(box, IDC_EXTRACT_UPDATE_NONE);
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_CRITERION));
        Click(box, IDC_EXTRACT_NO_PATH);
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_COMMAND_LINE));
        Click(box, IDC_EXTRACT_COMMAND_LINE);
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_EDIT));
        Click(box, IDC_EXTRACT_PARTIAL_PATH);
        EXPECT_FALSE(Checked(box, IDC_EXTRACT_COMMAND_LINE));
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_EDIT));
        Click(box, IDCANCEL);
    }}}, [&] { dialog.DoModal(nullptr); });
    ASSERT_TRUE(ran);
    EXPECT_FALSE(dialog.listFileOnly);
    EXPECT_FALSE(dialog.useCommandLine);
    EXPECT_EQ(dialog.commandLine, "");
    // Cancel keeps the fields; help comes back at the next opening.
    EXPECT_EQ(dialog.updateMode, extractopt::Freshen);
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_HELP));
        Click(box, IDCANCEL);
    }}}, [&] { dialog.DoModal(nullptr); }));
}

TEST(ExtractDialog, WholeArchiveModeOffersNeitherSelectionsNorPartialPaths)
{
    ExtractDialog dialog;
    dialog.directory = "c:\\target";
    dialog.wholeArchiveMode = true;
    dialog.pathOption = PathOption::Full;
    dialog.currentChapter = 0;
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        for (int id : {IDC_EXTRACT_SELECTED, IDC_EXTRACT_FILES_LIST, IDC_EXTRACT_PARTIAL_PATH, IDC_EXTRACT_LIST_ONLY})
            EXPECT_FALSE(Enabled(box, id)) << id;
        Click(box, IDOK);
    }}}, [&] { dialog.DoModal(nullptr); }));
    EXPECT_EQ(dialog.commandLine, " x -y -o\"c:\\target\" -r");
}

TEST(ExtractDialog, OkChecksRecordsTheDirectoryAndBuildsTheLine)
{
    Prompts prompts;
    ExtractDialog dialog;
    std::string extractLast = "c:\\last";
    dialog.extractLast = &extractLast;
    dialog.directoryPool[0] = "C:\\Known";
    dialog.pathOption = PathOption::Full;
    dialog.currentChapter = 2;
    INT_PTR result = 0;
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        SetText(box, IDC_EXTRACT_DIRECTORY, "");
        Click(box, IDOK);
        Click(box, IDC_EXTRACT_CHAPTERS);
        SetText(box, IDC_EXTRACT_DIRECTORY, "c:\\known");
        SetText(box, IDC_EXTRACT_FROM, "4");
        SetText(box, IDC_EXTRACT_TO, "2");  // "To" edited: it does not follow "From"
        Click(box, IDOK);
        SetText(box, IDC_EXTRACT_FROM, "0");
        SetText(box, IDC_EXTRACT_TO, "");
        Click(box, IDOK);
        EXPECT_TRUE(IsWindow(box));
        SetText(box, IDC_EXTRACT_FROM, "4");
        SetText(box, IDC_EXTRACT_TO, "0");
        Click(box, IDC_EXTRACT_UPDATE);
        SendDlgItemMessageA(box, IDC_EXTRACT_CRITERION, CB_SETCURSEL, 1, 0);
        Click(box, IDOK);
    }}}, [&] { result = dialog.DoModal(nullptr); }));
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(prompts.texts.size(), 3u);
    EXPECT_EQ(prompts.texts[0], "You must select a directory");
    EXPECT_EQ(prompts.texts[1], "'To' must be greater or equal to 'From'");
    EXPECT_EQ(prompts.texts[2], "Please enter an integer between 1 and 2147483647.");
    EXPECT_EQ(dialog.commandLine, " x -jb4- -u1 -y -o\"c:\\known\" -r-");
    EXPECT_EQ(extractLast, "c:\\known");
    EXPECT_EQ(dialog.directory, "c:\\known");
    EXPECT_EQ(dialog.chapterFrom, 4);
    EXPECT_EQ(dialog.chapterTo, "0");
    // Already listed in another letter case: not added again.
    EXPECT_EQ(dialog.directoryPool[0], "C:\\Known");
    EXPECT_EQ(dialog.directoryPool[1], "");

    // A new folder goes first in the pool.
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        SetText(box, IDC_EXTRACT_DIRECTORY, "d:");
        Click(box, IDC_EXTRACT_CHAPTERS);
        Click(box, IDOK);
    }}}, [&] { result = dialog.DoModal(nullptr); }));
    EXPECT_EQ(dialog.directoryPool[0], "d:");
    EXPECT_EQ(dialog.directoryPool[1], "C:\\Known");
    EXPECT_EQ(dialog.commandLine, " x -jb2 -u1 -y -o\"d:\\\" -r-");
}

TEST(ExtractDialog, ARangeTurnsPartialPathIntoFullPath)
{
    ExtractDialog dialog;
    dialog.directory = "c:\\target";
    dialog.chapterFrom = 2;
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        ASSERT_TRUE(Checked(box, IDC_EXTRACT_PARTIAL_PATH));
        Click(box, IDC_EXTRACT_CHAPTERS);
        SetText(box, IDC_EXTRACT_TO, "5");
        EXPECT_FALSE(Enabled(box, IDC_EXTRACT_PARTIAL_PATH));
        EXPECT_TRUE(Checked(box, IDC_EXTRACT_FULL_PATH));
        EXPECT_FALSE(Checked(box, IDC_EXTRACT_PARTIAL_PATH));
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_COMMAND_LINE));
        // "From" raised above "To": "To" follows, one chapter again.
        SetText(box, IDC_EXTRACT_FROM, "7");
        EXPECT_EQ(Text(box, IDC_EXTRACT_TO), "7");
        EXPECT_TRUE(Enabled(box, IDC_EXTRACT_PARTIAL_PATH));
        Click(box, IDOK);
    }}}, [&] { dialog.DoModal(nullptr); }));
    EXPECT_EQ(dialog.pathOption, PathOption::Full);
    EXPECT_EQ(dialog.commandLine, " x -jb7-7 -y -o\"c:\\target\" -r-");
}

TEST(ExtractDialog, ACustomLineFromTheEditorIsReturnedAndPooled)
{
    ExtractDialog dialog;
    dialog.directory = "c:\\target";
    dialog.pathOption = PathOption::Full;
    dialog.currentChapter = 1;
    dialog.commandLinePool[0] = " e -y";
    std::string offered;
    std::vector<std::string> listed;
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
                           Click(box, IDC_EXTRACT_COMMAND_LINE);
                           PostClick(box, IDC_EXTRACT_EDIT);
                       }},
                       {"Command Line", [&](HWND box) {
                           offered = Text(box, IDC_COMMAND_LINE_COMBO);
                           listed = ComboItems(box, IDC_COMMAND_LINE_COMBO);
                           SetText(box, IDC_COMMAND_LINE_COMBO, " x -y -custom");
                           Click(box, IDOK);
                       }},
                       {"Extract", [&](HWND box) {
                           // Options changed after editing do not touch the custom line.
                           Click(box, IDC_EXTRACT_NO_PATH);
                           Click(box, IDOK);
                       }}},
                      [&] { dialog.DoModal(nullptr); }));
    EXPECT_EQ(offered, " x -jb1 -y -o\"c:\\target\" -r-");
    EXPECT_EQ(listed, (std::vector<std::string>{" e -y"}));
    EXPECT_EQ(dialog.commandLine, " x -y -custom");
    EXPECT_EQ(dialog.commandLinePool[0], " x -y -custom");
    EXPECT_EQ(dialog.commandLinePool[1], " e -y");

    // "Command Line" checked but never edited: the built line.
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) {
        Click(box, IDC_EXTRACT_COMMAND_LINE);
        Click(box, IDOK);
    }}}, [&] { dialog.DoModal(nullptr); }));
    EXPECT_TRUE(dialog.useCommandLine);
    EXPECT_EQ(dialog.commandLine, " e -jb1 -y -o\"c:\\target\" -r-");
}

TEST(DirectoryPicker, ListsFoldersSortedEnterPicksAndDoubleClickEnters)
{
    std::string root = viewtest::MakeScratchFolder("picker");
    for (const char* name : {"beta", "Alpha", "gamma", "Beta2"})
        viewtest::MakeFolder(root + "\\" + name);
    viewtest::MakeFolder(root + "\\beta\\inner");
    viewtest::WriteFile(root + "\\file.txt", "x");

    DirectoryPicker picker;
    picker.resultPath = root;
    std::vector<std::string> first, inside, back;
    std::string afterEnter;
    INT_PTR result = 0;
    auto selectRow = [](HWND box, const std::string& name) {
        HWND list = GetDlgItem(box, IDC_PICKER_FOLDERS);
        auto items = ListItems(box, IDC_PICKER_FOLDERS);
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i] == name) {
                LVITEMA item{};
                item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&item);
            }
        }
        SetFocus(list);
    };
    ASSERT_TRUE(Drive({{"Directory Selection", [&](HWND box) {
                           first = ListItems(box, IDC_PICKER_FOLDERS);
                           EXPECT_EQ(Text(box, IDC_PICKER_PATH), root);
                           selectRow(box, "beta");
                           // Enter as the keyboard delivers it.
                           PostMessageA(GetDlgItem(box, IDC_PICKER_FOLDERS), WM_KEYDOWN, VK_RETURN, 0);
                       }},
                       {"Directory Selection", [&](HWND box) {
                           afterEnter = Text(box, IDC_PICKER_PATH);
                           EXPECT_EQ(ListItems(box, IDC_PICKER_FOLDERS), first);
                           selectRow(box, "beta");
                           NMHDR h{GetDlgItem(box, IDC_PICKER_FOLDERS), IDC_PICKER_FOLDERS, (UINT)NM_DBLCLK};
                           SendMessageA(box, WM_NOTIFY, IDC_PICKER_FOLDERS, (LPARAM)&h);
                           inside = ListItems(box, IDC_PICKER_FOLDERS);
                           EXPECT_EQ(Text(box, IDC_PICKER_PATH), root + "\\beta");
                           selectRow(box, "..");
                           SendMessageA(box, WM_NOTIFY, IDC_PICKER_FOLDERS, (LPARAM)&h);
                           back = ListItems(box, IDC_PICKER_FOLDERS);
                           selectRow(box, "gamma");
                           PostMessageA(GetDlgItem(box, IDC_PICKER_FOLDERS), WM_KEYDOWN, VK_RETURN, 0);
                       }},
                       {"Directory Selection", [&](HWND box) {
                           if (Text(box, IDC_PICKER_PATH) == root + "\\gamma")
                               Click(box, IDOK);
                           else
                               Click(box, IDCANCEL);
                       }}},
                      [&] { result = picker.DoModal(nullptr); }));
    EXPECT_EQ(first, (std::vector<std::string>{"..", "Alpha", "beta", "Beta2", "gamma"}));
    EXPECT_EQ(afterEnter, root + "\\beta");
    EXPECT_EQ(inside, (std::vector<std::string>{"..", "inner"}));
    EXPECT_EQ(back, first);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.resultPath, root + "\\gamma");
    viewtest::RemoveTree(root);
}

TEST(DirectoryPicker, AMissingStartFallsBackToDriveCAndTheSharedIconsSurvive)
{
    // The application's small icons, lent to the picker: they outlive it.
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    ImageList_AddIcon(icons, LoadIcon(nullptr, IDI_APPLICATION));
    DirectoryPicker picker(icons);
    picker.resultPath = "c:\\no\\such\\folder";
    std::string shown, drive;
    ASSERT_TRUE(Drive({{"Directory Selection", [&](HWND box) {
        shown = Text(box, IDC_PICKER_PATH);
        drive = Text(box, IDC_PICKER_DRIVES);
        Click(box, IDCANCEL);
    }}}, [&] { picker.DoModal(nullptr); }));
    EXPECT_EQ(shown, "c:");
    EXPECT_EQ(drive, "C:\\");
    EXPECT_EQ(picker.resultPath, "c:");
    EXPECT_EQ(ImageList_GetImageCount(icons), 1);
    EXPECT_TRUE(ImageList_Destroy(icons));
}

TEST(ExtractDialog, BrowseTakesThePickedFolderIntoTheListAndPool)
{
    std::string root = viewtest::MakeScratchFolder("browse");
    viewtest::MakeFolder(root + "\\out");
    ExtractDialog dialog;
    dialog.directory = root + "\\not\\yet";  // opens at its nearest existing parent
    dialog.pickFolder = [](HWND owner, std::string& folder) { return PickFolder(owner, nullptr, folder); };
    dialog.pathOption = PathOption::Full;
    std::vector<std::string> listed;
    ASSERT_TRUE(Drive({{"Extract", [&](HWND box) { PostClick(box, IDC_EXTRACT_BROWSE); }},
                       {"Directory Selection", [&](HWND box) {
                           EXPECT_EQ(Text(box, IDC_PICKER_PATH), root);
                           SetText(box, IDC_PICKER_PATH, root + "\\out");
                           Click(box, IDOK);
                       }},
                       {"Extract", [&](HWND box) {
                           listed = ComboItems(box, IDC_EXTRACT_DIRECTORY);
                           Click(box, IDOK);
                       }}},
                      [&] { dialog.DoModal(nullptr); }));
    EXPECT_EQ(listed, (std::vector<std::string>{root + "\\out"}));
    EXPECT_EQ(dialog.directory, root + "\\out");
    EXPECT_EQ(dialog.directoryPool[0], root + "\\out");
    viewtest::RemoveTree(root);
}
