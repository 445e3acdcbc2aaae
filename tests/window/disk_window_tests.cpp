// The disk browser on screen: the folder watcher's one-second refresh, and the drive combo.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

#include "framework/message_box.h"
#include "resources/resource.h"
#include "resources/window_messages.h"

using namespace viewtest;

namespace {

// Watches what reaches the list: its refills (each sets the row count once), the watcher's change
// messages and the refresh timer's expiries.
struct ListSpy {
    HWND list;
    int refills = 0, changes = 0, refreshes = 0;
    int lastChange = 0, lastRefresh = 0, events = 0;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
    {
        auto* spy = reinterpret_cast<ListSpy*>(data);
        if (msg == LVM_SETITEMCOUNT)
            ++spy->refills;
        if (msg == WM_FOLDER_CHANGED) {
            ++spy->changes;
            spy->lastChange = ++spy->events;
        }
        if (msg == WM_TIMER && wp == REFRESH_TIMER) {
            ++spy->refreshes;
            spy->lastRefresh = ++spy->events;
        }
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    explicit ListSpy(HWND l) : list(l) { SetWindowSubclass(list, Proc, 77, (DWORD_PTR)this); }
    ~ListSpy() { RemoveWindowSubclass(list, Proc, 77); }
    // A change came after the last rescan: the refresh timer is armed.
    bool RefreshPending() const { return lastChange > lastRefresh; }
};

// Pumps until the view's watcher holds `folder` in watch (changes made from then on are seen).
bool WatcherOn(TorvexWindow& w, const std::string& folder)
{
    return w.PumpUntil([&] { return w.View().Watcher().FolderInWatch() == folder; }, 3000);
}

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
        ASSERT_TRUE(WatcherOn(w, folder));
        ListSpy spy(w.List());

        // One file: the list shows it about a second later.
        auto start = std::chrono::steady_clock::now();
        WriteFile(folder + "\\second.txt", "2");
        ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("second.txt") > 0; }, 4000));
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(seconds, 0.9);
        EXPECT_LE(seconds, 3.0);
        EXPECT_EQ(spy.refills, 1);

        // A burst of ten files within half a second: one rebuild.
        ASSERT_TRUE(w.PumpUntil([&] { return !spy.RefreshPending(); }, 3000));
        spy.refills = 0;
        for (int i = 0; i < 10; ++i) {
            WriteFile(folder + "\\burst" + std::to_string(i) + ".txt", "b");
            w.Pump(40);
        }
        EXPECT_TRUE(w.PumpUntil([&] { return w.RowCount() == 13 && !spy.RefreshPending(); }, 4000));
        EXPECT_EQ(spy.refills, 1);
        EXPECT_EQ(w.RowCount(), 13);

        // A sub-folder entered by double click is watched in turn.
        CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
        ASSERT_TRUE(w.PumpUntil([&] { return w.RowNamed("sub") > 0; }, 4000));
        w.DoubleClickRow(w.RowNamed("sub"));
        EXPECT_EQ(w.View().WatchedFolder(), folder + "\\sub");
        ASSERT_TRUE(WatcherOn(w, folder + "\\sub"));
        WriteFile(folder + "\\sub\\inner.txt", "i");
        EXPECT_TRUE(w.PumpUntil([&] { return w.RowNamed("inner.txt") > 0; }, 4000));
    }
    RemoveTree(folder);
}

TEST(DiskWindow, StoppingTheWatcherWaitsForItsThreadHoweverLongItTakes)
{
    std::string folder = MakeScratchFolder("watchstop");
    auto* watcher = new FolderWatcher;
    ASSERT_TRUE(watcher->Start(nullptr, folder));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (watcher->FolderInWatch() != folder && std::chrono::steady_clock::now() < deadline)
        Sleep(10);
    ASSERT_EQ(watcher->FolderInWatch(), folder);

    // The thread is kept from running for longer than any patience a time limit would have.
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), watcher->Thread(), GetCurrentProcess(), &thread, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    ASSERT_NE(SuspendThread(thread), (DWORD)-1);
    HANDLE resumer = CreateThread(nullptr, 0, [](void* t) -> DWORD {
        Sleep(2600);
        ResumeThread(static_cast<HANDLE>(t));
        return 0;
    }, thread, 0, nullptr);
    ASSERT_NE(resumer, nullptr);
    watcher->Stop();
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended);
    EXPECT_FALSE(watcher->Started());
    WaitForSingleObject(resumer, INFINITE);
    CloseHandle(resumer);
    if (ended)
        delete watcher;  // otherwise its thread still reads it
    CloseHandle(thread);
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
    std::string folder = MakeScratchFolder("watcharc");
    ASSERT_TRUE(MakeSmallArchive(folder));
    {
        TorvexWindow w(folder);
        w.DoubleClickRow(w.RowNamed("a.j"));
        ASSERT_TRUE(w.Doc().archiveMode);
        ASSERT_TRUE(WatcherOn(w, folder));
        ListSpy spy(w.List());
        unsigned seen = w.View().Watcher().ChangesSeen();
        WriteFile(folder + "\\late.txt", "l");
        // Once the watcher has seen the change, whatever it sent is queued: handle it.
        ASSERT_TRUE(w.PumpUntil([&] { return w.View().Watcher().ChangesSeen() > seen; }, 4000));
        w.Pump();
        EXPECT_EQ(spy.changes, 0);
        EXPECT_EQ(spy.refills, 0);
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
        EXPECT_EQ(w.Frame().ShownToolbar(), ToolbarMode::Disk);
        EXPECT_EQ(w.Doc().Catalogue().ArchivePath, folder + "\\a.j"); // still loaded
    }
    RemoveTree(folder);
}

// A folder past 260 characters reads like any other, with names in any script ordered as
// Windows orders them (case folded in every script, directories first); a folder that cannot be
// read says so instead of showing an empty list.
TEST(DiskWindow, AFolderPast260CharactersShowsNamesInAnyScriptAndAnUnreadableOneSaysSo)
{
    std::string folder = MakeScratchFolder("long");
    std::string deep = folder;
    while (deep.size() < 300) {
        deep += "\\" + std::string(40, 'n');
        MakeFolder(deep);
    }
    MakeFolder(deep + "\\sub");
    for (const char* name : {"\u00e9t\u00e9.txt", "R\u00e9sum\u00e9.txt", "\u65e5\u672c\u8a9e.txt", "\u0416\u0443\u043a.txt",
                             "\U0001F600.txt", "trail.", "blank ", "\u0430\u0440\u0431\u0443\u0437.txt"})
        WriteFile(deep + "\\" + name, "x");
    {
        TorvexWindow w(folder);
        std::vector<PromptRequest> asked;
        SetPromptScript([&](const PromptRequest& r) {
            asked.push_back(r);
            return prompt::IdOk;
        });
        w.View().EnterDiskMode(deep);
        EXPECT_TRUE(asked.empty());
        EXPECT_EQ(w.Title(), "Torvex - " + deep + "\\");
        EXPECT_EQ(w.Names(), (std::vector<std::string>{". .", "sub", "blank ", "R\u00e9sum\u00e9.txt", "trail.",
                                                       "\u00e9t\u00e9.txt", "\u0430\u0440\u0431\u0443\u0437.txt",
                                                       "\u0416\u0443\u043a.txt", "\u65e5\u672c\u8a9e.txt",
                                                       "\U0001F600.txt"}));

        // Watched like any folder: a new file shows without a refresh.
        WriteFile(deep + "\\new.txt", "x");
        EXPECT_TRUE(w.PumpUntil([&] { return w.RowNamed("new.txt") >= 0; }, 5000));

        // Left first: the watcher holds the shown folder open, and Wine removes a folder only when
        // its last handle closes (the watcher lets go on its own thread).
        w.View().EnterDiskMode(folder);
        for (int waited = 0; waited < 5000 && (RemoveTree(deep), Exists(deep)); waited += 20)
            w.Pump(20);
        ASSERT_FALSE(Exists(deep));
        asked.clear();
        w.View().EnterDiskMode(deep);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0].text.find(deep + " cannot be read"), std::string::npos) << asked[0].text;
        SetPromptScript({});
    }
    RemoveTree(folder);
}
