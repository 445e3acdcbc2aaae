// Adding and deleting through the real window, its dialogs and our jar32.exe.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "dialog_driver.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// Every stored path of one chapter of an archive, sorted.
std::vector<std::string> StoredPaths(TorvexWindow& w, const std::string& archive, int chapter = 0)
{
    ArchiveCatalogue listed;
    listed.ArchivePath = archive;
    std::vector<std::string> paths;
    if (!w.Doc().ListChapters(listed))
        return paths;
    int n = chapter > 0 ? chapter : listed.LastChapter;
    if (!w.Doc().ListChapter(listed, n))
        return paths;
    for (const auto& [folder, entries] : listed.Chapter(n)->Directories)
        for (const auto& entry : entries)
            paths.push_back(entry->Path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

int LastChapterOf(TorvexWindow& w, const std::string& archive)
{
    ArchiveCatalogue listed;
    listed.ArchivePath = archive;
    return w.Doc().ListChapters(listed) ? listed.LastChapter : -1;
}

// Answers every message box (Yes to questions) and keeps its text.
struct Prompts {
    std::vector<std::string> texts;
    int answer = prompt::IdYes;
    Prompts()
    {
        SetPromptScript([this](const PromptRequest& r) {
            texts.push_back(r.text);
            return (r.type & 0xF) == prompt::YesNo ? answer : prompt::IdOk;
        });
    }
    ~Prompts() { SetPromptScript({}); }
};

// Selects the rows with these names.
void SelectNamed(TorvexWindow& w, const std::vector<std::string>& names)
{
    std::vector<int> rows;
    for (const std::string& name : names) {
        rows.push_back(w.RowNamed(name));
        EXPECT_GE(rows.back(), 0) << name;
    }
    w.SetSelection(rows);
}

// Runs the Add command with the dialog driven by `step` (which ends it).
bool AddThroughDialog(TorvexWindow& w, std::function<void(HWND)> step)
{
    bool ran = false;
    WhenDialogOpens("Add", [&](HWND dlg) {
        ran = true;
        step(dlg);
    });
    w.Command(ID_ADD);
    w.Pump(20);
    EXPECT_TRUE(w.OperationFinished());
    return ran;
}

// An add of `names` from the shown folder into `archive`, with `pick` choosing more in the dialog.
void AddNamed(TorvexWindow& w, const std::vector<std::string>& names, const std::string& archive,
              std::function<void(HWND)> pick = {})
{
    SelectNamed(w, names);
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, archive);
        if (pick)
            pick(dlg);
        ClickButton(dlg, IDOK);
    }));
}

class AddDeleteWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = MakeScratchFolder(std::string("ad_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        WriteFile(dir + "\\a.txt", "alpha");
        WriteFile(dir + "\\b.txt", "bravo");
        MakeFolder(dir + "\\src");
        WriteFile(dir + "\\src\\x.c", "int x;");
        MakeFolder(dir + "\\src\\sub");
        WriteFile(dir + "\\src\\sub\\y.h", "#pragma once");
    }
    void TearDown() override
    {
        if (!dir.empty())
            RemoveTree(dir);
    }

    // jar32 run in the scratch folder; the archive then has one chapter per call.
    void Jar(const std::string& arguments) { ASSERT_TRUE(RunJar(dir, arguments)) << arguments; }

    std::string dir;
};

TEST_F(AddDeleteWindow, AddsAFileAndAFolderWithEachPathOption)
{
    TorvexWindow w(dir);
    Prompts prompts;
    // Partial path: stored below the shown folder; the archive's new folder is created.
    AddNamed(w, {"a.txt", "src"}, dir + "\\out\\partial.j");
    EXPECT_EQ(StoredPaths(w, dir + "\\out\\partial.j"),
              (std::vector<std::string>{"\\a.txt", "\\src", "\\src\\sub", "\\src\\sub\\y.h", "\\src\\x.c"}));
    EXPECT_EQ(w.App().DirectoriesDialog.addLast, dir + "\\out");
    EXPECT_TRUE(w.Doc().IsModified());

    AddNamed(w, {"a.txt", "src"}, dir + "\\out\\nopath.j", [](HWND dlg) { ClickButton(dlg, IDC_ADD_NO_PATH); });
    // Folders are stored by their names too.
    EXPECT_EQ(StoredPaths(w, dir + "\\out\\nopath.j"),
              (std::vector<std::string>{"\\a.txt", "\\src", "\\sub", "\\x.c", "\\y.h"}));

    AddNamed(w, {"a.txt"}, dir + "\\out\\full.j", [](HWND dlg) { ClickButton(dlg, IDC_ADD_FULL_PATH); });
    std::vector<std::string> full = StoredPaths(w, dir + "\\out\\full.j");
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full.back(), dir.substr(2) + "\\a.txt");
    EXPECT_TRUE(prompts.texts.empty()) << prompts.texts[0];
    // The list file is gone after the run.
    EXPECT_FALSE(Exists(ListFolder() + "\\~TorvexAdd"));
}

TEST_F(AddDeleteWindow, ProposesTheNameAndRefusesWhatItCannotCreate)
{
    TorvexWindow w(dir);
    Prompts prompts;
    SelectNamed(w, {"a.txt"});
    std::string proposed, anchor;
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        proposed = ControlText(dlg, IDC_ADD_ARCHIVE_NAME);
        anchor = w.View().helpAnchor;
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, "noslash.j");
        ClickButton(dlg, IDOK);
        // Refused: the dialog stays; a bad volume size is refused too.
        EXPECT_TRUE(IsWindowVisible(dlg));
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, dir + "\\new\\v.j");
        ClickButton(dlg, IDC_ADD_SPAN);
        SetControlText(dlg, IDC_ADD_VOLUME, "big");
        ClickButton(dlg, IDOK);
        EXPECT_TRUE(IsWindowVisible(dlg));
        ClickButton(dlg, IDCANCEL);
    }));
    EXPECT_EQ(proposed, dir + "\\a.j");
    // F1 and the Help button open the Add topic while the dialog is up, and only then.
    EXPECT_EQ(anchor, "#Add");
    EXPECT_EQ(w.View().helpAnchor, "");
    EXPECT_TRUE(w.App().AddDialog.showHelp);
    ASSERT_EQ(prompts.texts.size(), 2u);
    EXPECT_EQ(prompts.texts[0], "Can't create noslash.j");
    EXPECT_NE(prompts.texts[1].find("volume size"), std::string::npos);
    // A refused OK leaves no folder behind.
    EXPECT_FALSE(Exists(dir + "\\new"));

    // Nothing selected: no dialog.
    w.SetSelection({});
    w.PressKey('A', true);
    EXPECT_EQ(prompts.texts.back(), "No file selected");
}

TEST_F(AddDeleteWindow, UpdateFreshenAndAddChapter)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string archive = dir + "\\grow.j";
    AddNamed(w, {"a.txt"}, archive);
    // Freshen takes only what is already stored; Update adds the new one.
    AddNamed(w, {"a.txt", "b.txt"}, archive, [](HWND dlg) { SelectComboItem(dlg, IDC_ADD_ACTION, 2); });
    EXPECT_EQ(StoredPaths(w, archive), (std::vector<std::string>{"\\a.txt"}));
    AddNamed(w, {"a.txt", "b.txt"}, archive, [](HWND dlg) { SelectComboItem(dlg, IDC_ADD_ACTION, 1); });
    EXPECT_EQ(StoredPaths(w, archive), (std::vector<std::string>{"\\a.txt", "\\b.txt"}));
    EXPECT_EQ(LastChapterOf(w, archive), 1);
    AddNamed(w, {"src"}, archive, [](HWND dlg) { SelectComboItem(dlg, IDC_ADD_ACTION, 3); });
    EXPECT_EQ(LastChapterOf(w, archive), 2);
    EXPECT_EQ(StoredPaths(w, archive, 2), (std::vector<std::string>{"\\src", "\\src\\sub", "\\src\\sub\\y.h", "\\src\\x.c"}));
    // The dialog keeps its choices between openings: the action is still "Add chapter".
    EXPECT_EQ(w.App().AddDialog.action, 3);
}

TEST_F(AddDeleteWindow, EditOpensTheCommandLineEditorAndItsLineRuns)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string archive = dir + "\\edited.j";
    std::string built, edited;
    AddNamed(w, {"a.txt"}, archive, [&](HWND dlg) {
        ClickButton(dlg, IDC_ADD_COMMAND_LINE);
        WhenDialogOpens("Command Line", [&](HWND editor) {
            // The editor starts from the line the choices build; the user sends the files
            // elsewhere in the archive.
            built = edited = ControlText(editor, IDC_COMMAND_LINE_COMBO);
            size_t at = edited.find("-o\"\\\"");
            if (at != std::string::npos)
                edited.replace(at, 5, "-o\"\\edited\"");
            SetControlText(editor, IDC_COMMAND_LINE_COMBO, edited);
            ClickButton(editor, IDOK);
        });
        ClickButton(dlg, IDC_ADD_EDIT_LINE);
    });
    ASSERT_EQ(built.rfind(" a ", 0), 0u) << built;
    ASSERT_NE(built, edited);
    EXPECT_EQ(w.App().AddDialog.commandLine, edited);
    EXPECT_EQ(w.App().AddDialog.commandLinePool[0], edited);
    std::vector<std::string> paths = StoredPaths(w, archive);
    EXPECT_NE(std::find(paths.begin(), paths.end(), "\\edited\\a.txt"), paths.end());
    EXPECT_TRUE(prompts.texts.empty()) << prompts.texts[0];
}

TEST_F(AddDeleteWindow, TheEditorsLineCountsOnlyOnItsOkAndAShortNameEmptiesTheTree)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string archive = dir + "\\tree.j";
    AddNamed(w, {"src"}, archive);
    AddDialog& add = w.App().AddDialog;
    add.archiveTree = true;
    int treeItems = -1, treeItemsAfterShortName = -1;
    std::string volumePrompt, afterCancel, edited, afterSecondCancel;
    SelectNamed(w, {"a.txt"});
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        HWND tree = GetDlgItem(dlg, IDC_ADD_TREE);
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, archive);
        treeItems = (int)TreeView_GetCount(tree);
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, "c:");
        treeItemsAfterShortName = (int)TreeView_GetCount(tree);
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, archive);

        ClickButton(dlg, IDC_ADD_COMMAND_LINE);
        // The OK check on the volume size comes before the editor (20 digits overflow 64 bits).
        ClickButton(dlg, IDC_ADD_SPAN);
        SetControlText(dlg, IDC_ADD_VOLUME, "12345678901234567890123 Kb");
        ClickButton(dlg, IDC_ADD_EDIT_LINE);
        volumePrompt = prompts.texts.empty() ? "" : prompts.texts.back();
        ASSERT_TRUE(IsWindowVisible(dlg));
        ClickButton(dlg, IDC_ADD_SPAN);

        WhenDialogOpens("Command Line", [](HWND editor) { ClickButton(editor, IDCANCEL); });
        ClickButton(dlg, IDC_ADD_EDIT_LINE);
        afterCancel = add.commandLine;
        WhenDialogOpens("Command Line", [&](HWND editor) {
            edited = ControlText(editor, IDC_COMMAND_LINE_COMBO) + " -m1";
            SetControlText(editor, IDC_COMMAND_LINE_COMBO, edited);
            ClickButton(editor, IDOK);
        });
        ClickButton(dlg, IDC_ADD_EDIT_LINE);
        WhenDialogOpens("Command Line", [](HWND editor) { ClickButton(editor, IDCANCEL); });
        ClickButton(dlg, IDC_ADD_EDIT_LINE);
        afterSecondCancel = add.commandLine;
        ClickButton(dlg, IDCANCEL);
    }));
    EXPECT_EQ(treeItems, 3);  // the root, src and its sub
    EXPECT_EQ(treeItemsAfterShortName, 0);
    EXPECT_NE(volumePrompt.find("volume size"), std::string::npos) << volumePrompt;
    EXPECT_EQ(afterCancel, "");
    EXPECT_EQ(afterSecondCancel, edited);
}

TEST_F(AddDeleteWindow, TheArchiveTreePutsFilesUnderThePickedDirectory)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string archive = dir + "\\tree.j";
    AddNamed(w, {"src"}, archive);
    std::string shownPath;
    AddNamed(w, {"b.txt"}, archive, [&](HWND dlg) {
        HWND tree = GetDlgItem(dlg, IDC_ADD_TREE);
        HTREEITEM root = TreeView_GetRoot(tree);
        HTREEITEM src = TreeView_GetChild(tree, root);
        ASSERT_NE(src, nullptr);
        HTREEITEM sub = TreeView_GetChild(tree, src);
        ASSERT_NE(sub, nullptr);
        TreeView_SelectItem(tree, sub);
        shownPath = ControlText(dlg, IDC_ADD_PATH_IN_ARCHIVE);
    });
    EXPECT_EQ(shownPath, "\\src\\sub");
    std::vector<std::string> paths = StoredPaths(w, archive);
    EXPECT_NE(std::find(paths.begin(), paths.end(), "\\src\\sub\\b.txt"), paths.end());
}

TEST_F(AddDeleteWindow, ListFileOnlyWritesTheListAndRunsNothing)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string list = ListFolder() + "\\~TorvexAdd";
    DeleteFileA(list.c_str());
    AddNamed(w, {"a.txt", "src"}, dir + "\\never.j", [](HWND dlg) { ClickButton(dlg, IDC_ADD_LIST_FILE_ONLY); });
    EXPECT_FALSE(Exists(dir + "\\never.j"));
    ASSERT_TRUE(Exists(list));
    HANDLE file = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096] = {};
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
    CloseHandle(file);
    DeleteFileA(list.c_str());
    EXPECT_NE(std::string(buffer).find(dir + "\\.\\src\\sub\\y.h\r\n"), std::string::npos) << buffer;
    EXPECT_EQ(prompts.texts, (std::vector<std::string>{"List file saved as " + list}));
}

TEST_F(AddDeleteWindow, ADropWithNoArchiveShownMakesOneNamedAfterTheFirstItem)
{
    TorvexWindow w(dir);
    Prompts prompts;
    std::string proposed;
    bool ran = false;
    WhenDialogOpens("Add", [&](HWND dlg) {
        ran = true;
        proposed = ControlText(dlg, IDC_ADD_ARCHIVE_NAME);
        ClickButton(dlg, IDOK);
    });
    w.DropFiles({dir + "\\src", dir + "\\missing.txt", dir + "\\a.txt"});
    ASSERT_TRUE(w.PumpUntil([&] { return ran; }, 10000));
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(proposed, dir + "\\src.j");
    EXPECT_EQ(StoredPaths(w, dir + "\\src.j"),
              (std::vector<std::string>{"\\a.txt", "\\src", "\\src\\sub", "\\src\\sub\\y.h", "\\src\\x.c"}));
    EXPECT_TRUE(w.Doc().IsModified());
    // The tree choice is the user's again after the drop.
    EXPECT_TRUE(w.App().AddDialog.archiveTree);
}

TEST_F(AddDeleteWindow, ADropOntoAnOpenArchiveAsANewChapterShowsIt)
{
    Jar("a -y drop.j a.txt");
    TorvexWindow w(dir);
    Prompts prompts;
    w.DoubleClickRow(w.RowNamed("drop.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    EXPECT_EQ(w.Frame().ChapterCombo().GetCount(), 1);
    bool ran = false;
    WhenDialogOpens("Add", [&](HWND dlg) {
        ran = true;
        // The open archive is the target: its name cannot change and spanning is off.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_ADD_ARCHIVE_NAME)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_ADD_SPAN)));
        SelectComboItem(dlg, IDC_ADD_ACTION, 3);
        ClickButton(dlg, IDOK);
    });
    w.DropFiles({dir + "\\b.txt"});
    ASSERT_TRUE(w.PumpUntil([&] { return w.View().shownChapter == 2; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(w.Doc().Catalogue().LastChapter, 2);
    EXPECT_EQ(w.Frame().ChapterCombo().GetCount(), 2);
    EXPECT_GE(w.RowNamed("b.txt"), 0);
    EXPECT_EQ(w.View().archiveFolder, "\\");
    w.App().AddDialog.action = 0;
}

TEST_F(AddDeleteWindow, QuickDeleteOfAFileAndAFolderKeepsTheDirectoryShown)
{
    Jar("a -y -r q.j *");
    TorvexWindow w(dir);
    Prompts prompts;
    w.DoubleClickRow(w.RowNamed("q.j"));
    w.DoubleClickRow(w.RowNamed("src"));
    ASSERT_EQ(w.View().archiveFolder, "\\src");
    SelectNamed(w, {"x.c"});
    w.PressKey(VK_DELETE, false);
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("x.c") < 0; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(w.View().archiveFolder, "\\src");
    EXPECT_GE(w.RowNamed("sub"), 0);
    ASSERT_FALSE(prompts.texts.empty());
    EXPECT_EQ(prompts.texts.back(), "Delete selected files?\n\n1 entry:\nx.c");

    // Answered No: nothing goes.
    prompts.answer = prompt::IdNo;
    SelectNamed(w, {"sub"});
    w.PressKey(VK_DELETE, false);
    w.Pump(100);
    EXPECT_GE(w.RowNamed("sub"), 0);

    prompts.answer = prompt::IdYes;
    SelectNamed(w, {"sub"});
    w.PressKey(VK_DELETE, false);
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("sub") < 0; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(StoredPaths(w, dir + "\\q.j"), (std::vector<std::string>{"\\a.txt", "\\b.txt", "\\src"}));

    // Nothing selected.
    w.SetSelection({});
    w.PressKey(VK_DELETE, false);
    EXPECT_EQ(prompts.texts.back(), "No file selected");
}

TEST_F(AddDeleteWindow, TheFilesListIsWhatIsAddedAndDeleted)
{
    TorvexWindow w(dir);
    Prompts prompts;
    const std::string archive = dir + "\\listed.j";
    SelectNamed(w, {"b.txt"});
    w.View().AddToFilesList();
    // A selection besides the list: the user may choose; the list is the default.
    bool useList = false, choice = false;
    SelectNamed(w, {"a.txt"});
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        useList = IsDlgButtonChecked(dlg, IDC_ADD_USE_FILES_LIST) == BST_CHECKED;
        choice = IsWindowEnabled(GetDlgItem(dlg, IDC_ADD_USE_FILES_LIST)) != FALSE;
        SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, archive);
        ClickButton(dlg, IDOK);
    }));
    EXPECT_TRUE(useList);
    EXPECT_TRUE(choice);
    std::vector<std::string> paths = StoredPaths(w, archive);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(LeafName(paths[0]), "b.txt");
    EXPECT_TRUE(w.View().FilesListTree.Empty());  // an add empties it

    // Del in the archive offers the files list first; the selection is not touched.
    Jar("a -y del.j a.txt b.txt");
    w.View().OnRefresh();
    w.DoubleClickRow(w.RowNamed("del.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    SelectNamed(w, {"b.txt"});
    w.View().AddToFilesList();
    SelectNamed(w, {"a.txt"});
    prompts.texts.clear();
    w.PressKey(VK_DELETE, false);
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    ASSERT_FALSE(prompts.texts.empty());
    EXPECT_EQ(prompts.texts[0], "Delete files in files list ?");
    EXPECT_EQ(w.RowNamed("b.txt"), -1);
    EXPECT_GE(w.RowNamed("a.txt"), 0);
    EXPECT_EQ(StoredPaths(w, dir + "\\del.j"), (std::vector<std::string>{"\\a.txt"}));
    EXPECT_TRUE(w.View().FilesListTree.Empty());
}

TEST_F(AddDeleteWindow, DeleteInAllChaptersThroughTheDialog)
{
    Jar("a -y all.j a.txt b.txt");
    Jar("ac -y all.j a.txt");
    TorvexWindow w(dir);
    Prompts prompts;
    w.DoubleClickRow(w.RowNamed("all.j"));
    ASSERT_EQ(w.View().shownChapter, 2);
    SelectNamed(w, {"a.txt"});
    bool ran = false;
    std::string anchor;
    WhenDialogOpens("Delete", [&](HWND dlg) {
        ran = true;
        anchor = w.View().helpAnchor;
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_DEL_SELECTED), BST_CHECKED);
        ClickButton(dlg, IDC_DEL_ALL_CHAPTERS);
        ClickButton(dlg, IDOK);
    });
    w.Command(ID_DELETE);
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("a.txt") < 0; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(StoredPaths(w, dir + "\\all.j", 1), (std::vector<std::string>{"\\b.txt"}));
    EXPECT_EQ(anchor, "#Del");
    EXPECT_EQ(w.View().helpAnchor, "");
    EXPECT_FALSE(Exists(ListFolder() + "\\~TorvexDelete"));
}

TEST_F(AddDeleteWindow, DeletingChaptersTwoAndThreeKeepsTheOthersNumbers)
{
    Jar("a -y four.j a.txt");
    Jar("ac -y four.j b.txt");
    Jar("ac -y four.j src\\x.c");
    Jar("ac -y four.j src\\sub\\y.h");
    TorvexWindow w(dir);
    Prompts prompts;
    w.DoubleClickRow(w.RowNamed("four.j"));
    ASSERT_EQ(w.View().shownChapter, 4);
    std::vector<std::string> items;
    bool ran = false;
    WhenDialogOpens("Delete", [&](HWND dlg) {
        ran = true;
        HWND list = GetDlgItem(dlg, IDC_DEL_CHAPTER_LIST);
        int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
            items.push_back(text);
        }
        // Nothing selected in the list: only chapters can go; the shown chapter is preselected.
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_DEL_CHAPTERS), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_DEL_SELECTED)));
        EXPECT_GT(SendMessageA(list, LB_GETSEL, 3, 0), 0);
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        SendMessageA(list, LB_SETSEL, TRUE, 1);
        SendMessageA(list, LB_SETSEL, TRUE, 2);
        ClickButton(dlg, IDOK);
    });
    w.SetSelection({});
    w.Command(ID_DELETE);
    ASSERT_TRUE(w.PumpUntil([&] { return w.Frame().ChapterCombo().GetCount() == 2; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(items, (std::vector<std::string>{"Chapter 1", "Chapter 2", "Chapter 3", "Chapter 4"}));
    EXPECT_EQ(w.Frame().ChapterCombo().GetLBText(0), "Chapter 1");
    EXPECT_EQ(w.Frame().ChapterCombo().GetLBText(1), "Chapter 4");
    EXPECT_EQ(w.View().shownChapter, 4);
    EXPECT_EQ(w.View().archiveFolder, "\\");
    EXPECT_NE(w.Doc().Catalogue().Chapter(1), nullptr);
    EXPECT_EQ(w.Doc().Catalogue().Chapter(2), nullptr);
    EXPECT_EQ(w.Doc().Catalogue().Chapter(3), nullptr);
}

TEST_F(AddDeleteWindow, FilesGoFromTheLastChapterOnly)
{
    Jar("a -y three.j a.txt");
    Jar("ac -y three.j b.txt");
    Jar("ac -y three.j src\\x.c");
    TorvexWindow w(dir);
    Prompts prompts;
    w.DoubleClickRow(w.RowNamed("three.j"));
    // As if chapter 2 had been picked in the chapter selector.
    ASSERT_TRUE(w.Doc().MergeChapter(2));
    w.View().shownChapter = 2;
    w.View().ShowArchiveFolder(w.Doc().Catalogue().Chapter(2)->Directories.Find("\\"));
    SelectNamed(w, {"b.txt"});
    w.PressKey(VK_DELETE, false);
    ASSERT_FALSE(prompts.texts.empty());
    EXPECT_EQ(prompts.texts.back(), "You can delete files in last chapter only");

    bool stayedOpen = false;
    bool ran = false;
    WhenDialogOpens("Delete", [&](HWND dlg) {
        ran = true;
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_DEL_SELECTED), BST_CHECKED);
        ClickButton(dlg, IDOK);
        stayedOpen = IsWindowVisible(dlg) != FALSE;
        ClickButton(dlg, IDCANCEL);
    });
    w.Command(ID_DELETE);
    w.Pump(50);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompts.texts.back(), "You can delete files in last chapter only");
    EXPECT_EQ(LastChapterOf(w, dir + "\\three.j"), 3);
}

} // namespace

TEST_F(AddDeleteWindow, ToolTipsWaitForTheMouseToMove)
{
    TorvexWindow w(dir);
    Prompts prompts;
    SelectNamed(w, {"a.txt"});
    auto visibleTip = [] {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM out) -> BOOL {
            char cls[64] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (std::string(cls) == TOOLTIPS_CLASSA && IsWindowVisible(hwnd))
                *reinterpret_cast<HWND*>(out) = hwnd;
            return TRUE;
        }, (LPARAM)&found);
        return found != nullptr;
    };
    // Where the Action box comes up; the dialog then opens under a cursor resting there.
    RECT action{};
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        GetWindowRect(GetDlgItem(dlg, IDC_ADD_ACTION), &action);
        ClickButton(dlg, IDCANCEL);
    }));
    POINT rest{(action.left + action.right) / 2, (action.top + action.bottom) / 2};
    SetCursorPos(rest.x, rest.y);
    // Under Wine the move reaches the X server later: the dialog must open with the cursor already
    // resting there, or it takes the late move for the user's.
    for (DWORD end = GetTickCount() + 2000; GetTickCount() < end;) {
        POINT now{};
        if (GetCursorPos(&now) && now.x == rest.x && now.y == rest.y)
            break;
        Sleep(20);
    }
    Sleep(200);
    bool tipShown = true;
    std::string registered;
    ASSERT_TRUE(AddThroughDialog(w, [&](HWND dlg) {
        for (DWORD end = GetTickCount() + 1500; GetTickCount() < end;) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
            Sleep(10);
        }
        tipShown = visibleTip();
        registered = dialogtest::ToolTipText(dlg, IDC_ADD_ACTION);
        ClickButton(dlg, IDCANCEL);
    }));
    EXPECT_FALSE(tipShown);
    EXPECT_EQ(registered, "Select the update method");
}

// Names in any script through the window: added, listed in Windows' order (case folded in every
// script), found whatever their case, and extracted back under their own names.
TEST_F(AddDeleteWindow, NamesInAnyScriptAreAddedSortedFoundAndExtracted)
{
    const std::vector<std::string> names{"\u65e5\u672c\u8a9e.txt", "R\u00e9sum\u00e9.txt", "\U0001F600.txt",
                                         "\u0416\u0443\u043a.txt", "\u0451\u043b\u043a\u0430.txt"};
    for (const std::string& name : names)
        WriteFile(dir + "\\" + name, name);
    TorvexWindow w(dir);
    Prompts prompts;
    AddNamed(w, names, dir + "\\names.j");
    std::vector<std::string> stored;
    for (const std::string& name : names)
        stored.push_back("\\" + name);
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(StoredPaths(w, dir + "\\names.j"), stored);

    ASSERT_NE(w.App().OpenDocumentFile(dir + "\\names.j"), nullptr);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{". .", "R\u00e9sum\u00e9.txt", "\u0451\u043b\u043a\u0430.txt",
                                                   "\u0416\u0443\u043a.txt", "\u65e5\u672c\u8a9e.txt",
                                                   "\U0001F600.txt"}));
    EXPECT_TRUE(w.View().SelectRowNamed("r\u00c9SUM\u00c9.TXT"));
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{1}));
    EXPECT_TRUE(w.View().SelectRowNamed("\u0416\u0423\u041a.TXT"));
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{3}));

    for (const std::string& name : names)
        RemoveTree(dir + "\\" + name);
    w.Command(ID_SELECT_ALL);
    w.PressKey('E', true);
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    for (const std::string& name : names)
        EXPECT_EQ(ReadAll(dir + "\\" + name), name) << name;
    EXPECT_TRUE(prompts.texts.empty()) << prompts.texts[0];
}

// A folder past 300 characters, its archive and its files through every operation of the window;
// each result read back by jar32.
TEST_F(AddDeleteWindow, PathsPast300CharactersThroughAddExtractDeleteViewAndADrop)
{
    std::string deep = dir;
    for (int level = 0; deep.size() < 300; ++level) {
        deep += "\\level" + std::to_string(level) + std::string(40, 'x');
        MakeFolder(deep);
    }
    WriteFile(deep + "\\a.txt", "alpha");
    WriteFile(deep + "\\b.txt", "bravo");
    MakeFolder(deep + "\\src");
    WriteFile(deep + "\\src\\x.c", "int x;");
    const std::string archive = deep + "\\long.j";
    const std::string viewer = ProgramFolder() + "\\append_viewer.exe", viewerLog = ProgramFolder() + "\\viewer.log";
    DeleteFileA(viewerLog.c_str());
    TorvexWindow w(deep, [&](SettingsStore& s) { WriteSetting(s, setting::FileViewer, viewer); });
    Prompts prompts;
    ASSERT_GE(w.RowNamed("a.txt"), 0) << "the long folder is shown";

    AddNamed(w, {"a.txt", "src"}, archive);
    EXPECT_EQ(StoredPaths(w, archive), (std::vector<std::string>{"\\a.txt", "\\src", "\\src\\x.c"}));
    ASSERT_NE(w.App().OpenDocumentFile(archive), nullptr);
    EXPECT_EQ(w.Title(), "Torvex - " + archive + " --> \\");

    // Ctrl+E in \src: the partial path, staged in "~TorvexTemp" beside the archive.
    w.DoubleClickRow(w.RowNamed("src"));
    SelectNamed(w, {"x.c"});
    w.PressKey('E', true);
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(ReadAll(deep + "\\x.c"), "int x;");
    EXPECT_FALSE(Exists(deep + "\\~TorvexTemp"));

    // Extract to... with full paths into a folder below the long one.
    w.DoubleClickRow(w.RowNamed(". ."));
    SelectNamed(w, {"src"});
    ASSERT_TRUE(dialogtest::Drive({{"Extract", [&](HWND box) {
        dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, deep + "\\out");
        dialogtest::Click(box, IDC_EXTRACT_FULL_PATH);
        dialogtest::Click(box, IDOK);
    }}}, [&] { w.PressKey('X', true); }));
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(ReadAll(deep + "\\out\\src\\x.c"), "int x;");

    // View, then save the viewer's edit back into the archive.
    SelectNamed(w, {"a.txt"});
    w.Command(ID_VIEW_OPEN_FILE);
    // Save is enabled once the edit has reached the copy; a greyed command does nothing.
    ASSERT_TRUE(w.PumpUntil([&] { return !ReadAll(viewerLog).empty() && w.View().CurrentState().viewedCopyModified; }, 10000));
    prompts.answer = prompt::IdYes;
    w.Command(ID_SAVE_VIEWED);
    std::string out = dir + "\\check";
    MakeFolder(out);
    ASSERT_TRUE(RunJar(out, "x -y \"" + archive + "\" \\a.txt"));
    EXPECT_EQ(ReadAll(out + "\\a.txt"), "alpha" "edited by viewer\r\n");

    // A drop onto the open archive adds to it.
    bool added = false;
    WhenDialogOpens("Add", [&](HWND dlg) {
        added = true;
        ClickButton(dlg, IDOK);
    });
    w.DropFiles({deep + "\\b.txt"});
    ASSERT_TRUE(w.PumpUntil([&] { return added; }, 10000));
    w.Pump(50);
    ASSERT_TRUE(w.OperationFinished());
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("b.txt") >= 0; }, 10000));

    // Delete.
    SelectNamed(w, {"b.txt", "src"});
    w.PressKey(VK_DELETE, false);
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("src") < 0; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_EQ(StoredPaths(w, archive), (std::vector<std::string>{"\\a.txt"}));
    w.View().SaveViewedFiles(true);
    for (const std::string& text : prompts.texts)
        EXPECT_TRUE(text.rfind("Save modifications in ", 0) == 0 || text.rfind("Delete selected files?", 0) == 0) << text;
    DeleteFileA(viewerLog.c_str());
}
