// Extracting through the real main window and our jar32.exe: the keys and commands a user
// gives, the dialog they bring up, and where the files land.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <fstream>
#include <sstream>

#include "dialog_driver.h"
#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "operations/view_records.h"
#include "resources/resource.h"
#include "tests/support/read_only_folder.h"
#include "ui/view_rules.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

bool WaitForOperation(TorvexWindow& w)
{
    w.Pump(50);
    return w.OperationFinished();
}

// The message box the operation's worker raised (a dialog of another thread captioned
// "Torvex"), the window pumped meanwhile; null when none came in time.
HWND WaitForWorkerBox(TorvexWindow& w, int ms = 10000)
{
    for (int waited = 0; waited < ms; waited += 20) {
        w.Pump(20);
        HWND box = FindWindowA("#32770", "Torvex");
        if (box && IsWindowVisible(box) && GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId())
            return box;
    }
    return nullptr;
}

std::string BoxText(HWND box)
{
    char text[2000] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

// A key pressed and released on the keyboard: it goes to whatever window is active.
void TypeKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

} // namespace

TEST(ExtractWindow, CtrlEExtractsBelowTheShownFolderWithoutAskingAndEmptiesTheFilesList)
{
    std::string root = MakeScratchFolder("extract_win");
    ASSERT_TRUE(MakeSampleArchive(root));
    WriteFile(root + "\\b.txt", "older copy");
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        w.DoubleClickRow(w.RowNamed("dir"));
        ASSERT_EQ(w.View().archiveFolder, "\\dir");
        w.SetSelection({w.RowNamed("sub"), w.RowNamed("b.txt")});
        w.Command(ID_ADD_TO_FILES_LIST);  // the files list is emptied by the extraction
        w.PressKey('E', true);
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(ReadAll(root + "\\sub\\a.txt"), "ay");
        EXPECT_EQ(ReadAll(root + "\\b.txt"), "bee");
        EXPECT_TRUE(w.View().FilesListTree.Empty());
        EXPECT_TRUE(w.View().WorkSet.empty());
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ExtractToWithFullPathThroughTheDialog)
{
    std::string root = MakeScratchFolder("extract_to");
    ASSERT_TRUE(MakeSampleArchive(root));
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        w.SetSelection({w.RowNamed("dir")});
        std::string offered;
        bool ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            offered = dialogtest::Text(box, IDC_EXTRACT_DIRECTORY);
            EXPECT_TRUE(dialogtest::Checked(box, IDC_EXTRACT_SELECTED));
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\out");
            dialogtest::Click(box, IDC_EXTRACT_FULL_PATH);
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.PressKey('X', true); });
        ASSERT_TRUE(ran);
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(offered, root);  // "Current Directory": the archive's folder
        EXPECT_EQ(ReadAll(root + "\\out\\dir\\sub\\a.txt"), "ay");
        EXPECT_FALSE(std::ifstream(root + "\\out\\top.txt").good());
        EXPECT_EQ(w.App().DirectoriesDialog.extractLast, root + "\\out");

        // "List file only": the list is left where the user is told, and nothing is extracted.
        const std::string list = ListFolder() + "\\~TorvexExtract";
        DeleteFileA(list.c_str());
        std::vector<std::string> prompts;
        SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r.text); return prompt::IdOk; });
        w.SetSelection({w.RowNamed("top.txt")});
        ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\listed");
            dialogtest::Click(box, IDC_EXTRACT_LIST_ONLY);
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.PressKey('X', true); });
        ASSERT_TRUE(ran);
        ASSERT_TRUE(WaitForOperation(w));
        SetPromptScript({});
        EXPECT_EQ(ReadAll(list), "\\top.txt\r\n");
        EXPECT_EQ(prompts, (std::vector<std::string>{"List file saved as " + list}));
        EXPECT_FALSE(Exists(root + "\\listed\\top.txt"));
        DeleteFileA(list.c_str());
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ExtractDirectShowsTheDialogForTheWholeArchiveAndClearsTheValue)
{
    std::string root = MakeScratchFolder("extract_direct");
    ASSERT_TRUE(MakeSampleArchive(root));
    // The shell may hand over the short name: the row shows the long one.
    const std::string archive = root + "\\an archive with a long name.j";
    ASSERT_TRUE(MoveFileA((root + "\\a.j").c_str(), archive.c_str()));
    std::string shortName(MAX_PATH, '\0');
    shortName.resize(GetShortPathNameA(archive.c_str(), shortName.data(), MAX_PATH));
    ASSERT_NE(LeafName(shortName), LeafName(archive));
    {
        TorvexWindow w(root);
        w.App().Settings().WriteProfileInt(kSettingsSection, "ExtractDirect", 1);
        bool helpEnabled = true, partialEnabled = true;
        std::vector<int> selected, archiveRow;
        bool ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            // Before the extraction's new folder refills the list.
            selected = w.SelectedRows();
            archiveRow = {w.RowNamed(LeafName(archive))};
            helpEnabled = dialogtest::Enabled(box, IDC_EXTRACT_HELP);
            partialEnabled = dialogtest::Enabled(box, IDC_EXTRACT_PARTIAL_PATH);
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\whole");
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.App().OpenDocumentFile(shortName); });
        ASSERT_TRUE(ran);
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(selected, archiveRow);
        EXPECT_FALSE(helpEnabled);
        EXPECT_FALSE(partialEnabled);
        EXPECT_EQ(w.App().Settings().GetProfileInt(kSettingsSection, "ExtractDirect", 7), 0);
        EXPECT_FALSE(w.Doc().archiveMode);
        EXPECT_EQ(w.View().diskFolder, root);
        EXPECT_EQ(w.App().DirectoriesDialog.startupDir, 1);  // as before the start
        EXPECT_EQ(w.App().DirectoriesDialog.startupEdit, root);
        EXPECT_EQ(ReadAll(root + "\\whole\\dir\\sub\\a.txt"), "ay");
        EXPECT_EQ(ReadAll(root + "\\whole\\top.txt"), "top");
        EXPECT_EQ(w.View().ExtractOptions().wholeArchiveMode, false);

        // No row of the folder shows the archive (a name the folder listing does not find):
        // the dialog still comes, for the whole archive.
        w.App().Settings().WriteProfileInt(kSettingsSection, "ExtractDirect", 1);
        bool whole = false;
        ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            whole = !dialogtest::Enabled(box, IDC_EXTRACT_SELECTED) && dialogtest::Checked(box, IDC_EXTRACT_ALL);
            dialogtest::Click(box, IDCANCEL);
        }}}, [&] { w.App().OpenDocumentFile(root + "\\missing.j"); });
        EXPECT_TRUE(ran);
        EXPECT_TRUE(whole);
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ARangeWithoutTheShownChapterExtractsAllItHoldsAndTheDialogStartsAgainFromTheShownChapter)
{
    std::string root = MakeScratchFolder("extract_range");
    ASSERT_TRUE(MakeSampleArchive(root));
    // Chapter 2, shown when the archive opens, holds a new dir\b.txt alone.
    WriteFile(root + "\\src\\dir\\b.txt", "bee 2");
    ASSERT_TRUE(RunJar(root + "\\src", "ac -y \"" + root + "\\a.j\" dir\\b.txt"));
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        ASSERT_EQ(w.View().shownChapter, 2);
        ASSERT_EQ(w.Names(), (std::vector<std::string>{". .", "dir"}));
        w.SetSelection({});
        bool ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            EXPECT_TRUE(dialogtest::Checked(box, IDC_EXTRACT_ALL));
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\out");
            dialogtest::Click(box, IDC_EXTRACT_FULL_PATH);
            dialogtest::Click(box, IDC_EXTRACT_CHAPTERS);
            dialogtest::SetText(box, IDC_EXTRACT_FROM, "1");
            dialogtest::SetText(box, IDC_EXTRACT_TO, "1");
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.PressKey('X', true); });
        ASSERT_TRUE(ran);
        ASSERT_TRUE(WaitForOperation(w));
        // Chapter 1 whole, not only what chapter 2 lists.
        EXPECT_EQ(ReadAll(root + "\\out\\top.txt"), "top");
        EXPECT_EQ(ReadAll(root + "\\out\\dir\\b.txt"), "bee");
        EXPECT_EQ(ReadAll(root + "\\out\\dir\\sub\\a.txt"), "ay");

        std::string from, to;
        bool ticked = true;
        ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            from = dialogtest::Text(box, IDC_EXTRACT_FROM);
            to = dialogtest::Text(box, IDC_EXTRACT_TO);
            ticked = dialogtest::Checked(box, IDC_EXTRACT_CHAPTERS);
            dialogtest::Click(box, IDCANCEL);
        }}}, [&] { w.PressKey('X', true); });
        ASSERT_TRUE(ran);
        EXPECT_EQ(from, "2");
        EXPECT_EQ(to, "");
        EXPECT_FALSE(ticked);
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ATargetThatCannotBeCreatedShowsTheArchiversOwnLine)
{
    std::string root = MakeScratchFolder("extract_refused");
    ASSERT_TRUE(MakeSampleArchive(root));
    WriteFile(root + "\\out", "a file where the folder would go");
    struct Target {
        std::string folder;
        PathOption pathOption;
        std::string refused;  // the path the archiver's line names
    };
    std::vector<Target> targets{{root + "\\out\\new", PathOption::Full, root + "\\out\\new"}};
    // A folder the user may not write to, where folders can be made read-only.
    const std::string locked = root + "\\locked";
    MakeFolder(locked);
    if (testsupport::ReadOnlyRun()) {
        ASSERT_TRUE(testsupport::SetFolderReadOnly(locked, true));
        targets.push_back({locked + "\\new", PathOption::Full, locked + "\\new"});
        targets.push_back({locked, PathOption::None, locked + "\\"});
    }
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        for (const Target& target : targets) {
            w.SetSelection({w.RowNamed("dir")});
            ASSERT_TRUE(dialogtest::Drive({{"Extract", [&](HWND box) {
                dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, target.folder);
                dialogtest::Click(box, target.pathOption == PathOption::None ? IDC_EXTRACT_NO_PATH : IDC_EXTRACT_FULL_PATH);
                dialogtest::Click(box, IDOK);
            }}}, [&] { w.PressKey('X', true); }));
            // The real box, raised by the operation's worker: its text must still be there when shown.
            HWND box = WaitForWorkerBox(w);
            std::string shown = box ? BoxText(box) : "(no box)";
            if (box)
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(w.OperationFinished());
            EXPECT_EQ(shown.rfind("JAR ERROR: can't create ", 0), 0u) << shown;
            size_t named = shown.find(target.refused);
            ASSERT_NE(named, std::string::npos) << shown;
            // The system's reason, in words.
            size_t reason = shown.find(": ", named);
            ASSERT_NE(reason, std::string::npos) << shown;
            EXPECT_GT(shown.find_first_of("\r\n", reason) - reason, 5u) << shown;
        }
    }
    if (testsupport::ReadOnlyRun()) {
        EXPECT_TRUE(testsupport::SetFolderReadOnly(locked, false));
    }
    RemoveTree(root);
}

TEST(ExtractWindow, QuestionsDuringAnOperationComeUpActiveAndTheKeyboardAnswersThem)
{
    std::string root = MakeScratchFolder("extract_keys");
    ASSERT_TRUE(MakeSampleArchive(root));
    MakeFolder(root + "\\out");
    MakeFolder(root + "\\out\\sub");
    WriteFile(root + "\\out\\b.txt", "mine");
    WriteFile(root + "\\out\\sub\\a.txt", "mine");
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        SetForegroundWindow(w.Frame().Handle());

        // The Test result: Enter closes it.
        w.Command(ID_TEST);
        HWND box = WaitForWorkerBox(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), "Everything is OK");
        EXPECT_EQ(GetForegroundWindow(), box);
        EXPECT_EQ(GetWindow(box, GW_OWNER), w.Frame().Handle());
        TypeKey(VK_RETURN);
        EXPECT_TRUE(WaitForOperation(w));
        EXPECT_FALSE(IsWindow(box));

        // The move phase's question: one "Yes to All" (its letter A) answers for both files.
        w.DoubleClickRow(w.RowNamed("dir"));
        w.SetSelection({w.RowNamed("sub"), w.RowNamed("b.txt")});
        ASSERT_TRUE(dialogtest::Drive({{"Extract", [&](HWND dialog) {
            dialogtest::SetText(dialog, IDC_EXTRACT_DIRECTORY, root + "\\out");
            dialogtest::Click(dialog, IDC_EXTRACT_PARTIAL_PATH);
            if (dialogtest::Checked(dialog, IDC_EXTRACT_OVERWRITE))
                dialogtest::Click(dialog, IDC_EXTRACT_OVERWRITE);
            dialogtest::Click(dialog, IDOK);
        }}}, [&] { w.PressKey('X', true); }));
        box = WaitForWorkerBox(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box).rfind("Overwrite " + root + "\\out\\", 0), 0u) << BoxText(box);
        EXPECT_EQ(GetForegroundWindow(), box);
        char label[64] = {};
        GetDlgItemTextA(box, prompt::IdYesToAll, label, sizeof label);

        EXPECT_STREQ(label, "Yes to &All");
        TypeKey('A');
        EXPECT_TRUE(WaitForOperation(w));
        EXPECT_FALSE(IsWindow(box));
        EXPECT_EQ(ReadAll(root + "\\out\\b.txt"), "bee");
        EXPECT_EQ(ReadAll(root + "\\out\\sub\\a.txt"), "ay");
        EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
    }
    RemoveTree(root);
}

TEST(ExtractWindow, VersionsOfAFileAreListedRestoredExtractedAndFoundInEveryChapter)
{
    std::string root = MakeScratchFolder("extract_history");
    ASSERT_TRUE(MakeSampleArchive(root));
    std::string src = root + "\\src";
    for (const char* bytes : {"bee 2", "bee three"}) {
        WriteFile(src + "\\dir\\b.txt", bytes);
        ASSERT_TRUE(RunJar(src, "ac -r -y \"" + root + "\\a.j\" *"));
    }
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        // The chapter box's tip tells the chapter shown and its dates.
        char tip[512] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = w.Frame().Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(w.Frame().ChapterCombo().Handle());
        tool.lpszText = tip;
        SendMessageA(w.Frame().ChapterTip(), TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::string(tip).rfind("Chapter 3, created 20", 0), 0u) << tip;
        w.DoubleClickRow(w.RowNamed("dir"));
        w.SetSelection({w.RowNamed("b.txt")});
        // Three versions, newest first; Restore of the oldest puts it where Ctrl+E would.
        auto choose = [&](int row, int button, std::vector<std::string>* spans = nullptr) {
            return dialogtest::Drive({{"History", [&](HWND box) {
                if (spans)
                    *spans = dialogtest::ListItems(box, IDC_HISTORY_LIST);
                ListView_SetItemState(GetDlgItem(box, IDC_HISTORY_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
                dialogtest::Click(box, button);
            }}}, [&] { w.PressKey('H', true); });
        };
        std::vector<std::string> spans;
        ASSERT_TRUE(choose(2, IDC_HISTORY_RESTORE, &spans));
        EXPECT_EQ(spans, (std::vector<std::string>{"3", "2", "1"}));
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(ReadAll(root + "\\b.txt"), "bee");

        // Restoring another version over it asks first; No keeps the file.
        ASSERT_TRUE(choose(1, IDC_HISTORY_RESTORE));
        HWND box = WaitForWorkerBox(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box).rfind("Overwrite " + root + "\\b.txt", 0), 0u) << BoxText(box);
        PostMessageA(box, WM_COMMAND, IDNO, 0);
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(ReadAll(root + "\\b.txt"), "bee");
        EXPECT_FALSE(Exists("c:\\~TorvexTemp"));

        // Extract to ... opens the Extract dialog set to that version's chapter.
        int from = 0;
        ASSERT_TRUE(dialogtest::Drive({{"History", [&](HWND history) {
                                           ListView_SetItemState(GetDlgItem(history, IDC_HISTORY_LIST), 1, LVIS_SELECTED,
                                                                 LVIS_SELECTED);
                                           dialogtest::PostClick(history, IDC_HISTORY_EXTRACT);
                                       }},
                                       {"Extract", [&](HWND dialog) {
                                           EXPECT_TRUE(dialogtest::Checked(dialog, IDC_EXTRACT_CHAPTERS));
                                           from = std::atoi(dialogtest::Text(dialog, IDC_EXTRACT_FROM).c_str());
                                           dialogtest::SetText(dialog, IDC_EXTRACT_DIRECTORY, root + "\\out");
                                           dialogtest::Click(dialog, IDC_EXTRACT_NO_PATH);
                                           dialogtest::Click(dialog, IDOK);
                                       }}},
                                      [&] { w.PressKey('H', true); }));
        EXPECT_EQ(from, 2);
        ASSERT_TRUE(WaitForOperation(w));
        EXPECT_EQ(ReadAll(root + "\\out\\b.txt"), "bee 2");

        // Find "*.TXT" in every chapter lists each version once; Go to shows the one chosen in
        // its chapter and folder.
        std::vector<std::string> found;
        ASSERT_TRUE(dialogtest::Drive({{"Find", [&](HWND box) {
            dialogtest::SetText(box, IDC_FIND_PATTERN, "*.TXT");
            dialogtest::Click(box, IDC_FIND_ALL);
            dialogtest::Click(box, IDC_FIND_START);
            for (int waited = 0; waited < 15000 && !IsWindowEnabled(GetDlgItem(box, IDC_FIND_START)); waited += 20) {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
                Sleep(20);
            }
            HWND results = GetDlgItem(box, IDC_FIND_RESULTS);
            int oldest = -1;
            for (int row = 0; row < ListView_GetItemCount(results); ++row) {
                char path[MAX_PATH] = {}, chapters[32] = {};
                ListView_GetItemText(results, row, 0, path, sizeof path);
                ListView_GetItemText(results, row, 1, chapters, sizeof chapters);
                found.push_back(std::string(path) + "@" + chapters);
                if (found.back() == "\\dir\\b.txt@1")
                    oldest = row;
            }
            ListView_SetItemState(results, oldest, LVIS_SELECTED, LVIS_SELECTED);
            dialogtest::Click(box, IDC_FIND_GOTO);
        }}}, [&] { w.PressKey('F', true); }));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, (std::vector<std::string>{"\\dir\\b.txt@1", "\\dir\\b.txt@2", "\\dir\\b.txt@3",
                                                   "\\dir\\sub\\a.txt@1-3", "\\top.txt@1-3"}));
        EXPECT_EQ(w.View().shownChapter, 1);
        EXPECT_EQ(w.View().archiveFolder, "\\dir");
        ASSERT_EQ(w.SelectedRows().size(), 1u);
        EXPECT_EQ(w.Cell(w.SelectedRows()[0], 0), "b.txt");
        EXPECT_EQ(w.Cell(w.SelectedRows()[0], 1), "3");
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ComparedChaptersShowWhatEachAddedChangedOrDeletedAndGiveEachSidesBytes)
{
    // Chapter 2 adds dir\new.txt, 3 changes dir\b.txt, 4 deletes top.txt.
    std::string root = MakeScratchFolder("extract_compare");
    ASSERT_TRUE(MakeSampleArchive(root));
    std::string src = root + "\\src";
    std::string archive = "\"" + root + "\\a.j\" *";
    WriteFile(src + "\\dir\\new.txt", "new");
    ASSERT_TRUE(RunJar(src, "ac -r -y " + archive));
    WriteFile(src + "\\dir\\b.txt", "bee 2");
    ASSERT_TRUE(RunJar(src, "ac -r -y " + archive));
    DeleteFileA((src + "\\top.txt").c_str());
    ASSERT_TRUE(RunJar(src, "ac -r -y " + archive));
    // Viewed copies are left alone when the window closes.
    SetPromptScript([](const PromptRequest&) { return prompt::IdNo; });
    {
        std::string viewer = ProgramFolder() + "\\append_viewer.exe";
        TorvexWindow w(root, [&](SettingsStore& s) { WriteSetting(s, setting::FileViewer, viewer); });
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        // Each real row as "name status"; the parent row left out.
        auto rows = [&] {
            std::vector<std::string> shown;
            for (int row = 1; row < w.RowCount(); ++row)
                shown.push_back(w.Cell(row, 0) + " " + w.Cell(row, 1));
            std::sort(shown.begin(), shown.end());
            return shown;
        };
        using Rows = std::vector<std::string>;
        // The dialog proposes the shown chapter and the one before it.
        auto compare = [&](int older, int newer, bool unchanged = false) {
            std::string proposed;
            bool driven = dialogtest::Drive({{"Compare Chapters", [&](HWND box) {
                proposed = dialogtest::Text(box, IDC_COMPARE_OLDER) + "/" + dialogtest::Text(box, IDC_COMPARE_NEWER);
                SelectComboItem(box, IDC_COMPARE_OLDER, older - 1);
                SelectComboItem(box, IDC_COMPARE_NEWER, newer - 1);
                // The box starts as the comparison shown left it.
                if (dialogtest::Checked(box, IDC_COMPARE_UNCHANGED) != unchanged)
                    dialogtest::Click(box, IDC_COMPARE_UNCHANGED);
                dialogtest::Click(box, IDOK);
            }}}, [&] { w.Command(ID_COMPARE_CHAPTERS); });
            EXPECT_TRUE(driven && WaitForOperation(w));
            return proposed;
        };
        EXPECT_EQ(compare(3, 4), "Chapter 3/Chapter 4");
        EXPECT_EQ(rows(), Rows{"top.txt Removed"});
        EXPECT_NE(w.Title().find("Chapter 4 compared with chapter 3"), std::string::npos) << w.Title();
        EXPECT_EQ(w.ColumnCaption(2), "Size in 3");
        EXPECT_EQ(w.Cell(w.RowNamed("top.txt"), 2), "3");
        EXPECT_EQ(w.Cell(w.RowNamed("top.txt"), 4), "");
        compare(3, 4, true);
        EXPECT_EQ(rows(), (Rows{"dir Unchanged", "top.txt Removed"}));
        compare(1, 2);
        EXPECT_EQ(rows(), Rows{"dir Changed"});
        w.DoubleClickRow(w.RowNamed("dir"));
        EXPECT_EQ(rows(), Rows{"new.txt Added"});
        // Backspace goes up; ". ." at the root leaves the comparison for the shown chapter.
        w.PressKey(VK_BACK, false);
        EXPECT_EQ(w.View().archiveFolder, "\\");
        w.DoubleClickRow(0);
        EXPECT_EQ(w.View().Comparison(), nullptr);
        EXPECT_EQ(w.ColumnCount(), 8);
        EXPECT_EQ(w.View().shownChapter, 4);

        compare(2, 3);
        EXPECT_EQ(rows(), Rows{"dir Changed"});
        // A folder extracted from one side brings all that chapter holds below it.
        w.SetSelection({w.RowNamed("dir")});
        auto extract = [&](unsigned command, const std::string& out, int button) {
            int from = 0;
            EXPECT_TRUE(dialogtest::Drive({{"Extract", [&](HWND dialog) {
                EXPECT_TRUE(dialogtest::Checked(dialog, IDC_EXTRACT_CHAPTERS));
                from = std::atoi(dialogtest::Text(dialog, IDC_EXTRACT_FROM).c_str());
                dialogtest::SetText(dialog, IDC_EXTRACT_DIRECTORY, out);
                dialogtest::Click(dialog, button);
                dialogtest::Click(dialog, IDOK);
            }}}, [&] { w.Command(command); }));
            EXPECT_TRUE(WaitForOperation(w));
            return from;
        };
        EXPECT_EQ(extract(ID_EXTRACT_OLDER, root + "\\two", IDC_EXTRACT_FULL_PATH), 2);
        EXPECT_EQ(ReadAll(root + "\\two\\dir\\b.txt"), "bee");
        EXPECT_EQ(ReadAll(root + "\\two\\dir\\new.txt"), "new");
        EXPECT_EQ(ReadAll(root + "\\two\\dir\\sub\\a.txt"), "ay");
        w.DoubleClickRow(w.RowNamed("dir"));
        EXPECT_EQ(rows(), Rows{"b.txt Changed"});
        w.SetSelection({w.RowNamed("b.txt")});
        w.ClickRow(w.RowNamed("b.txt"));
        EXPECT_EQ(extract(ID_EXTRACT_NEWER, root + "\\three", IDC_EXTRACT_NO_PATH), 3);
        EXPECT_EQ(ReadAll(root + "\\three\\b.txt"), "bee 2");
        EXPECT_FALSE(Exists(root + "\\three\\new.txt"));

        // View takes each side's bytes from its own chapter.
        for (auto [command, chapter, bytes] : {std::tuple{ID_VIEW_OLDER, 2, "bee"}, {ID_VIEW_NEWER, 3, "bee 2"}}) {
            w.Command(command);
            const ViewedFiles& records = w.View().ViewSaveForTests().Records();
            auto copy = std::find_if(records.begin(), records.end(), [&](const ViewRecord& r) { return r.chapter == chapter; });
            ASSERT_NE(copy, records.end()) << chapter;
            // The stand-in viewer may have added its line already.
            std::string text = ReadAll(copy->extractedFile);
            EXPECT_EQ(text.substr(0, text.find("edited by viewer")), bytes) << chapter;
        }
        // Nothing is added to or deleted from a comparison; Esc leaves it where the chapter was.
        EXPECT_FALSE(ViewCommandEnabled(ID_ADD, w.View().CurrentState()).value_or(true));
        EXPECT_FALSE(ViewCommandEnabled(ID_DELETE, w.View().CurrentState()).value_or(true));
        w.PressKey(VK_ESCAPE, false);
        EXPECT_EQ(w.View().Comparison(), nullptr);
        EXPECT_EQ(w.View().archiveFolder, "\\");
        EXPECT_EQ(w.Title().find("compared"), std::string::npos);
        // Another chapter chosen in the chapter box leaves a comparison for that chapter.
        compare(1, 4);
        EXPECT_EQ(rows(), (Rows{"dir Changed", "top.txt Removed"}));
        w.Frame().SelectChapter(2);
        w.View().OnChapterSelected();
        EXPECT_EQ(w.View().Comparison(), nullptr);
        EXPECT_EQ(w.View().shownChapter, 2);
        EXPECT_EQ(w.Cell(w.RowNamed("top.txt"), 5), "1-3") << "the chapter's own columns again";
        // Closing with the copies' save declined: nothing is offered again at the next start.
        EXPECT_TRUE(w.PumpUntil([] { return !ViewerRunning(); }, 10000));
        w.View().SaveViewedFiles(true);
    }
    SetPromptScript({});
    RemoveTree(root);
}
