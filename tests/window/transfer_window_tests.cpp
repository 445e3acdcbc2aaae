// The archive list as a folder for the shell's data transfer, through the real main window and
// another program (transfer_client.exe): Copy puts files the target reads with the archive's
// bytes, Paste adds files another program copied, and a drag onto another program's drop target
// extracts only when that target takes the drop.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "resources/resource.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// This process's per-drag folders.
std::string OwnTransferFolders()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "~TDrag" + std::to_string(GetCurrentProcessId());
}

// The middle of a row's name, in screen coordinates.
POINT RowPoint(TorvexWindow& w, int row)
{
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(w.List(), LVM_GETITEMRECT, row, (LPARAM)&r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(w.List(), &p);
    return p;
}

// The sample archive with two.txt besides, opened; the clipboard is left empty for the next
// test (Ctrl+V there views a file).
class TransferWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = MakeScratchFolder("transfer");
        report = root + "\\report.txt";
        ASSERT_TRUE(MakeSampleArchive(root, {{"two.txt", "second"}}));
        // What a Torvex that died left: its process is gone, so the start removes it.
        MakeFolder(abandoned);
        MakeFolder(abandoned + "\\1");
        WriteFile(abandoned + "\\1\\left.txt", "left");
        window = std::make_unique<TorvexWindow>(root);
        ASSERT_NE(window->App().OpenDocumentFile(root + "\\a.j"), nullptr);
    }
    void TearDown() override
    {
        window.reset();
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        RemoveTree(root);
    }
    std::string root, report;
    const std::string abandoned = OwnTransferFolders().substr(0, OwnTransferFolders().rfind("~TDrag")) + "~TDrag4000000000";
    std::unique_ptr<TorvexWindow> window;
};

} // namespace

TEST_F(TransferWindow, CopyOffersTheArchivesBytesUntilReleasedAChangeWithdrawsItAndPasteAdds)
{
    TorvexWindow& w = *window;
    EXPECT_FALSE(Exists(abandoned));
    // Refused while an operation runs, like every other command.
    w.SetSelection({w.RowNamed("top.txt")});
    w.View().operationRunning = 1;
    w.PressKey('C', true);
    w.View().operationRunning = 0;
    EXPECT_FALSE(w.View().OfferOnClipboard());

    // Two files and a folder: nothing is extracted until another program reads the files.
    w.SetSelection({w.RowNamed("top.txt"), w.RowNamed("two.txt"), w.RowNamed("dir")});
    w.PressKey('C', true);
    ASSERT_TRUE(w.View().OfferOnClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    const std::string contents = root + "\\contents.txt";
    EXPECT_EQ(w.RunProgram("transfer_client.exe", "read \"" + report + "\" \"" + contents + "\""), 0);
    std::vector<std::string> names = Lines(ReadAll(report));
    ASSERT_EQ(names.size(), 3u);
    // In the list's order: the folder first.
    std::string folder = names[0].substr(0, names[0].rfind('\\'));
    EXPECT_EQ(folder.rfind(OwnTransferFolders() + "\\", 0), 0u) << folder;
    EXPECT_EQ(names, (std::vector<std::string>{folder + "\\dir", folder + "\\top.txt", folder + "\\two.txt"}));
    EXPECT_EQ(ReadAll(folder + "\\top.txt"), "top");
    EXPECT_EQ(ReadAll(folder + "\\two.txt"), "second");
    EXPECT_EQ(ReadAll(folder + "\\dir\\b.txt"), "bee");
    EXPECT_EQ(ReadAll(folder + "\\dir\\sub\\a.txt"), "ay");
    // The same files for a target that takes contents: every file below the names, its bytes.
    std::vector<std::string> items = Lines(ReadAll(contents));
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"dir\t<folder>", "dir\\b.txt\tbee", "dir\\sub\t<folder>",
                                               "dir\\sub\\a.txt\tay", "top.txt\ttop", "two.txt\tsecond"}));
    // Another program takes the clipboard: the data is released and its folder goes.
    EXPECT_EQ(w.RunProgram("transfer_client.exe", "empty"), 0);
    EXPECT_TRUE(w.PumpUntil([&] { return !Exists(folder); }, 10000));
    EXPECT_FALSE(w.View().OfferOnClipboard());

    // A change to the archive withdraws what was copied from it.
    w.SetSelection({w.RowNamed("top.txt")});
    w.PressKey('C', true);
    ASSERT_TRUE(w.View().OfferOnClipboard());
    WriteFile(root + "\\dropped.txt", "dropped");
    WhenDialogOpens("Add", [](HWND dialog) { ClickButton(dialog, IDOK); });
    w.DropFiles({root + "\\dropped.txt"});
    ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("dropped.txt") >= 0; }, 20000));
    ASSERT_TRUE(w.OperationFinished());
    EXPECT_FALSE(w.View().OfferOnClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));

    // Files another program copied go in through the Add dialog, to the folder shown.
    MakeFolder(root + "\\more");
    WriteFile(root + "\\more\\pasted.txt", "pasted");
    EXPECT_EQ(w.RunProgram("transfer_client.exe", "put \"" + root + "\\more\\pasted.txt\""), 0);
    w.DoubleClickRow(w.RowNamed("dir"));
    ASSERT_EQ(w.View().archiveFolder, "\\dir");
    bool asked = false;
    WhenDialogOpens("Add", [&](HWND dialog) {
        asked = true;
        ClickButton(dialog, IDOK);
    });
    w.PressKey('V', true);
    ASSERT_TRUE(w.PumpUntil([&] { return asked; }, 10000));
    ASSERT_TRUE(w.OperationFinished());
    std::string listing;
    ASSERT_TRUE(RunJar(root, "v a.j", &listing));
    EXPECT_NE(listing.find(") dir\\pasted.txt"), std::string::npos) << listing;

    // In the disk browser the files are copied into the folder shown.
    while (w.Doc().archiveMode && w.RowCount() > 0)
        w.DoubleClickRow(0);
    ASSERT_EQ(w.View().diskFolder, root);
    w.PressKey('V', true);
    EXPECT_EQ(ReadAll(root + "\\pasted.txt"), "pasted");
    EXPECT_EQ(ReadAll(root + "\\more\\pasted.txt"), "pasted");

    // Files cut in the shell are moved there, and the clipboard no longer names them.
    WriteFile(root + "\\more\\cut.txt", "cut");
    EXPECT_EQ(w.RunProgram("transfer_client.exe", "cut \"" + root + "\\more\\cut.txt\""), 0);
    w.PressKey('V', true);
    EXPECT_EQ(ReadAll(root + "\\cut.txt"), "cut");
    EXPECT_EQ(GetFileAttributesA((root + "\\more\\cut.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));
}

TEST_F(TransferWindow, ADragOntoAnotherProgramExtractsWhenItDropsAndOntoTorvexDoesNothing)
{
    TorvexWindow& w = *window;
    SetWindowPos(w.Frame().Handle(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    w.Pump(100);
    w.DoubleClickRow(w.RowNamed("dir"));
    int row = w.RowNamed("b.txt");
    ASSERT_GT(row, 0);
    POINT from = RowPoint(w, row);

    // Dropped on Torvex's own list: no question, nothing extracted.
    auto watch = std::make_unique<DialogWatch>();
    DialogWatch::seen = 0;
    EXPECT_EQ(w.RunProgram("transfer_client.exe", "drag " + std::to_string(from.x) + " " + std::to_string(from.y) +
                                                      " " + std::to_string(from.x + 10) + " " + std::to_string(from.y + 60)),
              0);
    w.Pump(300);
    EXPECT_EQ(DialogWatch::seen, 0);
    EXPECT_FALSE(w.View().operationRunning);
    watch.reset();

    // Onto another program's window: it is offered the files at once and gets them, with the
    // archive's bytes, when it drops; the folder goes when it lets them go.
    EXPECT_EQ(w.RunProgram("transfer_client.exe",
                           "target \"" + report + "\" " + std::to_string(from.x) + " " + std::to_string(from.y)),
              0);
    std::vector<std::string> lines = Lines(ReadAll(report));
    ASSERT_GE(lines.size(), 3u) << ReadAll(report);
    EXPECT_EQ(lines[0], "enter offers=1 extracted=0");
    EXPECT_EQ(lines[1], "drop extracted=0");
    EXPECT_NE(lines[2].find("\\b.txt\tbee"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[2].rfind(OwnTransferFolders() + "\\", 0), 0u) << lines[2];
    EXPECT_TRUE(w.OperationFinished());
    std::string folder = lines[2].substr(0, lines[2].rfind('\\'));
    EXPECT_TRUE(w.PumpUntil([&] { return !Exists(folder); }, 10000));
}
