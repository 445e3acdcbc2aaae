// View and save back through the real window: an archive made by jar32.exe, our stand-in viewer
// (append_viewer.exe, which appends a line to the file it opens) as "FileViewer", the copies
// found again, saved into the archive on request and when the window closes, and copies a killed
// Torvex left behind offered again at the next start.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "dialog_driver.h"
#include "dialogs/setting_names.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "operations/view_records.h"
#include "resources/resource.h"
#include "ui/view_rules.h"

using namespace viewtest;

namespace {

// Every message box answered by a list of answers (then OK), with its text kept.
struct Answers {
    std::vector<std::string> texts;
    std::vector<int> replies;
    Answers()
    {
        SetPromptScript([this](const PromptRequest& r) {
            texts.push_back(r.text);
            if (replies.empty())
                return prompt::IdOk;
            int reply = replies.front();
            replies.erase(replies.begin());
            return reply;
        });
    }
    ~Answers() { SetPromptScript({}); }
};

// doc\note.txt in a.j, the viewer beside the tests, and a window showing \doc of the archive.
struct ViewedArchive {
    std::string folder = MakeScratchFolder("viewsave");
    std::string archive = folder + "\\a.j";
    std::string viewer = ProgramFolder() + "\\append_viewer.exe";
    std::string viewerLog = ProgramFolder() + "\\viewer.log";

    ViewedArchive()
    {
        MakeFolder(folder + "\\src");
        MakeFolder(folder + "\\src\\doc");
        WriteFile(folder + "\\src\\doc\\note.txt", "first line\r\n");
        WriteFile(folder + "\\src\\doc\\other.txt", "other\r\n");
        EXPECT_TRUE(RunJar(folder + "\\src", "a -r -y \"" + archive + "\" *"));
        DeleteFileA(viewerLog.c_str());
    }
    ~ViewedArchive() { RemoveTree(folder); }

    // What the archive holds now for \doc\note.txt.
    std::string StoredNote()
    {
        std::string out = folder + "\\out";
        RemoveTree(out);
        MakeFolder(out);
        EXPECT_TRUE(RunJar(out, "x -y \"" + archive + "\" \\doc\\note.txt"));
        return ReadAll(out + "\\doc\\note.txt");
    }
    int ViewerStarts() const
    {
        std::string log = ReadAll(viewerLog);
        return (int)std::count(log.begin(), log.end(), '\n');
    }
};

void ShowNote(TorvexWindow& w)
{
    w.DoubleClickRow(w.RowNamed("a.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    w.DoubleClickRow(w.RowNamed("doc"));
    int row = w.RowNamed("note.txt");
    ASSERT_GE(row, 0);
    w.SetSelection({row});
    w.ClickRow(row);
}


// The viewer has been started `starts` times in all and has gone again.
bool ViewerStarted(TorvexWindow& w, const ViewedArchive& data, int starts)
{
    return w.PumpUntil([&] { return data.ViewerStarts() >= starts && !ViewerRunning(); }, 10000);
}

} // namespace

TEST(ViewSaveWindow, ViewExtractsOnceSavesEditsAndCloses)
{
    ViewedArchive data;
    Answers answers;
    TorvexWindow w(data.folder, [&](SettingsStore& s) { WriteSetting(s, setting::FileViewer, data.viewer); });
    ShowNote(w);

    w.Command(ID_VIEW_OPEN_FILE);
    ASSERT_TRUE(ViewerStarted(w, data, 1));
    const ViewedFiles& records = w.View().ViewSaveForTests().Records();
    ASSERT_EQ(records.size(), 1u);
    const ViewRecord copy = records[0];
    EXPECT_EQ(copy.entryPath, "\\doc\\note.txt");
    EXPECT_EQ(copy.archivePath, data.archive);
    EXPECT_NE(copy.tempDir.find("TTmp"), std::string::npos);
    EXPECT_EQ(copy.extractedFile, copy.tempDir + "\\doc\\note.txt");
    // The viewer was given the copy in quotes.
    EXPECT_EQ(ReadAll(data.viewerLog), "\"" + copy.extractedFile + "\"\r\n");
    EXPECT_EQ(ReadAll(copy.extractedFile), "first line\r\nedited by viewer\r\n");

    // Viewing it again opens the same copy, edits and all: nothing is extracted.
    w.Command(ID_VIEW_OPEN_FILE);
    ASSERT_TRUE(ViewerStarted(w, data, 2));
    EXPECT_EQ(w.View().ViewSaveForTests().Records().size(), 1u);
    EXPECT_EQ(ReadAll(copy.extractedFile), "first line\r\nedited by viewer\r\nedited by viewer\r\n");

    // Save asks, and Yes puts the edited copy back in its place in the archive; the list is read
    // again, so the row shows the saved size, and with nothing left to save Save is greyed.
    auto saveEnabled = [&] { return ViewCommandEnabled(ID_SAVE_VIEWED, w.View().CurrentState()).value_or(false); };
    EXPECT_TRUE(saveEnabled());
    EXPECT_EQ(w.Cell(w.RowNamed("note.txt"), 1), "12");
    answers.replies = {prompt::IdYes};
    w.Command(ID_SAVE_VIEWED);
    ASSERT_FALSE(answers.texts.empty());
    EXPECT_EQ(answers.texts[0], "Save modifications in " + data.archive + " --> \\doc\\note.txt");
    EXPECT_EQ(data.StoredNote(), "first line\r\nedited by viewer\r\nedited by viewer\r\n");
    ASSERT_GE(w.RowNamed("note.txt"), 0);
    EXPECT_EQ(w.Cell(w.RowNamed("note.txt"), 1), "48");
    EXPECT_FALSE(saveEnabled());
    // Nothing changed since: a second Save, called anyway, says so.
    answers.texts.clear();
    w.View().ViewSaveForTests().OnSaveViewed();
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"No file modified"}));

    // Closing with the copy unchanged since the save removes it and its folder without a word.
    answers.texts.clear();
    w.View().SaveViewedFiles(true);
    EXPECT_TRUE(answers.texts.empty());
    EXPECT_FALSE(Exists(copy.tempDir));
    EXPECT_TRUE(w.View().ViewSaveForTests().Records().empty());
}

TEST(ViewSaveWindow, ClosingAsksForModifiedCopiesAndNoDiscardsThem)
{
    ViewedArchive data;
    Answers answers;
    TorvexWindow w(data.folder, [&](SettingsStore& s) { WriteSetting(s, setting::FileViewer, data.viewer); });
    ShowNote(w);
    w.Command(ID_VIEW_OPEN_FILE);
    ASSERT_TRUE(ViewerStarted(w, data, 1));
    ViewRecord copy = w.View().ViewSaveForTests().Records().at(0);
    // The ended viewer's working folder (the copy's) is let go a moment after it leaves the list of
    // processes; until then the folder cannot be removed.
    w.Pump(1500);
    answers.replies = {prompt::IdNo};
    w.View().SaveViewedFiles(true);
    EXPECT_EQ(answers.texts.size(), 1u);
    EXPECT_FALSE(Exists(copy.tempDir));
    EXPECT_EQ(data.StoredNote(), "first line\r\n");
}

TEST(ViewSaveWindow, NoViewerAndNoAssociationSaysSo)
{
    ViewedArchive data;
    Answers answers;
    TorvexWindow w(data.folder);
    ShowNote(w);
    w.Command(ID_VIEW_OPEN_FILE);
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"No viewer available"}));
    EXPECT_TRUE(w.View().ViewSaveForTests().Records().empty());
    // With nothing viewed, Save is greyed; called anyway it says so.
    answers.texts.clear();
    w.View().ViewSaveForTests().OnSaveViewed();
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"Nothing to save"}));
}

TEST(ViewSaveWindow, CopiesOfAKilledTorvexAreOfferedAtTheNextStart)
{
    ViewedArchive data;
    Answers answers;
    // A process that has ended stands for the killed Torvex whose journal is left behind.
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + data.viewer + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 10000);
    DWORD deadId = pi.dwProcessId;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    std::string temp = SystemTempFolder();
    ViewRecord edited;
    edited.chapter = 1;
    edited.archivePath = data.archive;
    edited.entryPath = "\\doc\\note.txt";
    edited.tempDir = temp + "TTmpKilled" + std::to_string(deadId);
    edited.extractedFile = edited.tempDir + edited.entryPath;
    MakeFolder(edited.tempDir);
    MakeFolder(edited.tempDir + "\\doc");
    WriteFile(edited.extractedFile, "first line\r\nsaved after a kill\r\n");
    edited.stamp = 1;  // not the copy's time: it was modified after extraction
    ViewRecord untouched = edited;
    untouched.entryPath = "\\doc\\other.txt";
    untouched.extractedFile = untouched.tempDir + untouched.entryPath;
    WriteFile(untouched.extractedFile, "other\r\n");
    untouched.stamp = LastWriteStamp(untouched.extractedFile);
    std::string journal = temp + JournalFileName(deadId);
    WriteFile(journal, JournalText({edited, untouched}));
    // This process's own id on a journal at start-up: an earlier Torvex whose id came back.
    ViewRecord reused = untouched;
    reused.tempDir = temp + "TTmpReused" + std::to_string(GetCurrentProcessId());
    reused.extractedFile = reused.tempDir + reused.entryPath;
    MakeFolder(reused.tempDir);
    MakeFolder(reused.tempDir + "\\doc");
    WriteFile(reused.extractedFile, "other, edited\r\n");
    reused.stamp = 1;
    std::string own = temp + JournalFileName(GetCurrentProcessId());
    WriteFile(own, JournalText({reused}));
    // A journal of a Torvex still running (a suspended process) is left alone.
    PROCESS_INFORMATION running{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                               nullptr, nullptr, &si, &running));
    std::string live = temp + JournalFileName(running.dwProcessId);
    WriteFile(live, JournalText({edited}));

    TorvexWindow w(data.folder);
    answers.replies = {prompt::IdYes, prompt::IdYes};
    w.View().RecoverAbandonedCopies();
    TerminateProcess(running.hProcess, 0);
    CloseHandle(running.hProcess);
    CloseHandle(running.hThread);
    std::sort(answers.texts.begin(), answers.texts.end());
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"Save modifications in " + data.archive + " --> \\doc\\note.txt",
                                                       "Save modifications in " + data.archive + " --> \\doc\\other.txt"}));
    EXPECT_EQ(data.StoredNote(), "first line\r\nsaved after a kill\r\n");
    EXPECT_FALSE(Exists(journal));
    EXPECT_FALSE(Exists(own));
    EXPECT_FALSE(Exists(edited.tempDir));
    EXPECT_TRUE(Exists(live));
    DeleteFileA(live.c_str());
}

TEST(ViewSaveWindow, MissingArchiverIsToldAndTheDirectoriesDialogOpens)
{
    std::string folder = MakeScratchFolder("dirs");
    Answers answers;
    TorvexWindow w(folder);
    w.App().DirectoriesDialog.jarEdit = folder;
    w.App().DirectoriesDialog.torvexEdit = folder;
    WriteFile(folder + "\\torvex.exe", "");  // the program is where the settings say; jar32.exe is not
    w.App().unattended = false;
    bool shown = dialogtest::Drive({{"Directories", [&](HWND d) {
                                         EXPECT_EQ(dialogtest::Text(d, IDC_DIRS_JAR_EDIT), folder);
                                         // Not the first run: Help is offered.
                                         EXPECT_TRUE(dialogtest::Enabled(d, 3));
                                         // OK is refused while jar32.exe is not in the Jar folder.
                                         dialogtest::Click(d, IDOK);
                                         EXPECT_TRUE(IsWindow(d));
                                         dialogtest::Click(d, IDCANCEL);
                                     }}},
                                   [&] { w.App().CheckExecutables(); });
    w.App().unattended = true;
    EXPECT_TRUE(shown);
    ASSERT_GE(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[0], "Please fill in the Jar32.exe directory.");
    EXPECT_EQ(answers.texts[1], "Invalid Jar Directory");
    RemoveTree(folder);
}
