// The disk browser on screen: the folder watcher's one-second refresh, and the drive combo.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

#include "framework/message_box.h"
#include "resources/resource.h"

using namespace viewtest;

namespace {

// Counts the refills of the list (each sets the row count once).
LRESULT CALLBACK CountRefills(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == LVM_SETITEMCOUNT)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

struct RefillCounter {
    HWND list;
    int count = 0;
    explicit RefillCounter(HWND l) : list(l) { SetWindowSubclass(list, CountRefills, 77, (DWORD_PTR)&count); }
    ~RefillCounter() { RemoveWindowSubclass(list, CountRefills, 77); }
};

void ChooseDrive(TorvexWindow& w, const std::string& text)
{
    ComboBox combo = w.Frame().DriveCombo();
    int index = combo.FindStringExact(text);
    if (index < 0)
        index = combo.AddString(text);
    combo.SetCurSel(index);
    // What the combo sends its parent (the toolbar) when a choice is accepted.
    SendMessageA(GetParent(combo.Handle()), WM_COMMAND, MAKEWPARAM(IDC_DRIVE_COMBO, CBN_SELENDOK),
                 (LPARAM)combo.Handle());
    w.Pump(20);
}

std::string SelectedDrive(TorvexWindow& w)
{
    ComboBox combo = w.Frame().DriveCombo();
    int index = combo.GetCurSel();
    return index < 0 ? std::string() : combo.GetLBText(index);
}

} // namespace

TEST(DiskWindow, NewFilesRefreshTheListOnceAboutASecondAfterTheLastChange)
{
    std::string folder = MakeScratchFolder("watch");
    WriteFile(folder + "\\first.txt", "1");
    {
        TorvexWindow w(folder);
        EXPECT_TRUE(w.View().WatcherStarted());
        EXPECT_EQ(w.View().WatchedFolder(), folder);
        ASSERT_EQ(w.RowCount(), 2);
        w.Pump(300); // let the watcher settle on the folder
        RefillCounter refills(w.List());

        // One file: the list shows it about a second later.
        auto start = std::chrono::steady_clock::now();
        WriteFile(folder + "\\second.txt", "2");
        ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("second.txt") > 0; }, 4000));
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(seconds, 0.9);
        EXPECT_LE(seconds, 3.0);
        EXPECT_EQ(refills.count, 1);

        // A burst of ten files within half a second: one rebuild.
        w.Pump(300);
        refills.count = 0;
        for (int i = 0; i < 10; ++i) {
            WriteFile(folder + "\\burst" + std::to_string(i) + ".txt", "b");
            w.Pump(40);
        }
        w.Pump(2500);
        EXPECT_EQ(refills.count, 1);
        EXPECT_EQ(w.RowCount(), 13);

        // A sub-folder entered by double click is watched in turn.
        CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
        ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("sub") > 0; }, 4000));
        w.DoubleClickRow(w.RowNamed("sub"));
        EXPECT_EQ(w.View().WatchedFolder(), folder + "\\sub");
        w.Pump(300);
        WriteFile(folder + "\\sub\\inner.txt", "i");
        EXPECT_TRUE(w.PumpUntil([&] { return w.RowNamed("inner.txt") > 0; }, 4000));
    }
    RemoveTree(folder);
}

namespace {

// folder\a.j holding one file, inside.txt, stored from folder\src.
bool MakeSmallArchive(const std::string& folder)
{
    std::string src = folder + "\\src";
    MakeFolder(src);
    WriteFile(src + "\\inside.txt", "x");
    return RunJar(src, "a -r -y \"" + folder + "\\a.j\" *");
}

} // namespace

TEST(DiskWindow, ChangesWhileAnArchiveIsShownLeaveTheArchiveRowsAlone)
{
    if (!JarAvailable())
        GTEST_SKIP() << "jar32.exe is not built";
    std::string folder = MakeScratchFolder("watcharc");
    ASSERT_TRUE(MakeSmallArchive(folder));
    {
        TorvexWindow w(folder);
        w.DoubleClickRow(w.RowNamed("a.j"));
        ASSERT_TRUE(w.Doc().archiveMode);
        w.Pump(300);
        RefillCounter refills(w.List());
        WriteFile(folder + "\\late.txt", "l");
        w.Pump(2000);
        EXPECT_EQ(refills.count, 0);
        EXPECT_EQ(w.Cell(1, 0), "inside.txt");
        EXPECT_TRUE(w.Doc().archiveMode);
    }
    RemoveTree(folder);
}

TEST(DiskWindow, DriveNotReadyAsksRetryOrCancelAndCancelPutsThePreviousDriveBack)
{
    std::string folder = MakeScratchFolder("drive");
    WriteFile(folder + "\\keep.txt", "k");
    {
        TorvexWindow w(folder);
        EXPECT_EQ(SelectedDrive(w).substr(0, 1), "C");
        std::vector<PromptRequest> asked;
        SetPromptScript([&](const PromptRequest& r) {
            asked.push_back(r);
            return asked.size() == 1 ? prompt::IdRetry : prompt::IdCancel;
        });
        ChooseDrive(w, "Q:\\");
        ASSERT_EQ(asked.size(), 2u);
        for (const PromptRequest& r : asked) {
            EXPECT_EQ(r.text, "Drive Q:\\ not ready");
            EXPECT_EQ(r.type, prompt::RetryCancel);
        }
        EXPECT_EQ(SelectedDrive(w).substr(0, 1), "C");
        EXPECT_EQ(w.Title(), "Torvex - " + folder + "\\");
        EXPECT_EQ(w.RowNamed("keep.txt"), 1);

        // A ready drive shows its root: no parent row, the title ends in the drive's backslash.
        ChooseDrive(w, "C:\\");
        EXPECT_EQ(w.View().diskFolder, "C:");
        EXPECT_EQ(w.Title(), "Torvex - C:\\");
        EXPECT_NE(w.RowCount(), 0);
        EXPECT_NE(w.Cell(0, 0), ". .");
        EXPECT_EQ(w.View().WatchedFolder(), "C:");
        w.Command(ID_SELECT_ALL);
        EXPECT_EQ(w.SelectedRows().size(), (size_t)w.RowCount()); // from row 0 at a drive root
        EXPECT_EQ(asked.size(), 2u);
    }
    RemoveTree(folder);
}

TEST(DiskWindow, DriveChangeLeavesTheArchive)
{
    if (!JarAvailable())
        GTEST_SKIP() << "jar32.exe is not built";
    std::string folder = MakeScratchFolder("drivearc");
    ASSERT_TRUE(MakeSmallArchive(folder));
    {
        TorvexWindow w(folder);
        w.DoubleClickRow(w.RowNamed("a.j"));
        ASSERT_TRUE(w.Doc().archiveMode);
        ChooseDrive(w, "C:\\");
        EXPECT_FALSE(w.Doc().archiveMode);
        EXPECT_EQ(w.Title(), "Torvex - C:\\");
        EXPECT_EQ(w.ColumnCount(), 4);
        EXPECT_EQ(w.Frame().ToolbarMode(), 0);
        EXPECT_EQ(w.Doc().catalogue.ArchivePath, folder + "\\a.j"); // still loaded
    }
    RemoveTree(folder);
}
