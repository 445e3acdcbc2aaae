// Extracting through the real main window and our jar32.exe: the keys and commands a user
// gives, the dialog they bring up, and where the files land.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dialog_driver.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// An archive a.j in `root` holding top.txt, dir\b.txt and dir\sub\a.txt.
bool MakeArchive(const std::string& root)
{
    std::string src = root + "\\src";
    MakeFolder(src);
    MakeFolder(src + "\\dir");
    MakeFolder(src + "\\dir\\sub");
    WriteFile(src + "\\top.txt", "top");
    WriteFile(src + "\\dir\\b.txt", "bee");
    WriteFile(src + "\\dir\\sub\\a.txt", "ay");
    return RunJar(src, "a -r -y \"" + root + "\\a.j\" *");
}

bool WaitForOperation(TorvexWindow& w)
{
    w.Pump(50);
    return w.OperationFinished();
}

} // namespace

TEST(ExtractWindow, CtrlEExtractsBelowTheShownFolderWithoutAskingAndEmptiesTheFilesList)
{
    std::string root = MakeScratchFolder("extract_win");
    ASSERT_TRUE(MakeArchive(root));
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
    ASSERT_TRUE(MakeArchive(root));
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
    ASSERT_TRUE(MakeArchive(root));
    {
        TorvexWindow w(root);
        w.App().Settings().WriteProfileInt(kSettingsSection, "ExtractDirect", 1);
        bool helpEnabled = true, partialEnabled = true;
        bool ran = dialogtest::Drive({{"Extract", [&](HWND box) {
            helpEnabled = dialogtest::Enabled(box, IDC_EXTRACT_HELP);
            partialEnabled = dialogtest::Enabled(box, IDC_EXTRACT_PARTIAL_PATH);
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\whole");
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.App().OpenDocumentFile(root + "\\a.j"); });
        ASSERT_TRUE(ran);
        ASSERT_TRUE(WaitForOperation(w));
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
    }
    RemoveTree(root);
}

TEST(ExtractWindow, ATargetThatCannotBeCreatedShowsTheArchiversOwnLine)
{
    std::string root = MakeScratchFolder("extract_refused");
    ASSERT_TRUE(MakeArchive(root));
    WriteFile(root + "\\out", "a file where the folder would go");
    {
        TorvexWindow w(root);
        ASSERT_NE(w.App().OpenDocumentFile(root + "\\a.j"), nullptr);
        w.SetSelection({w.RowNamed("dir")});
        ASSERT_TRUE(dialogtest::Drive({{"Extract", [&](HWND box) {
            dialogtest::SetText(box, IDC_EXTRACT_DIRECTORY, root + "\\out\\new");
            dialogtest::Click(box, IDC_EXTRACT_FULL_PATH);
            dialogtest::Click(box, IDOK);
        }}}, [&] { w.PressKey('X', true); }));
        // The real box, raised by the operation's worker: its text must still be there when shown.
        std::string shown;
        for (int i = 0; i < 500 && shown.empty(); ++i) {
            w.Pump(20);
            HWND box = FindWindowA("#32770", "Torvex");
            if (box && GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) {
                char text[2000] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                shown = text[0] ? text : "(empty)";
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        EXPECT_TRUE(w.OperationFinished());
        EXPECT_EQ(shown.rfind("JAR ERROR: can't create " + root + "\\out\\new: ", 0), 0u) << shown;
    }
    RemoveTree(root);
}
