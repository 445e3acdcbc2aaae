// Operations on screen: Test through the worker thread with the progress window, the chapter
// combo's lazy listing, and the files list (F5, F6 and its dialog), with our own jar32.exe.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "framework/message_box.h"
#include "operations/operation_runner.h"
#include "resources/resource.h"

using namespace viewtest;

namespace {

using Strings = std::vector<std::string>;

// Bytes that no compressor shrinks, the same on every run.
std::string NoiseBytes(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    for (auto& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Every message box the program shows, from any thread, answered OK. One box can be held open
// (the operation stays running) until the test lets it go.
class Prompts {
public:
    Prompts()
    {
        SetPromptScript([this](const PromptRequest& r) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                texts_.push_back(r.text);
            }
            if (!holdText_.empty() && r.text == holdText_) {
                held_ = true;
                while (!release_)
                    Sleep(5);
            }
            return prompt::IdOk;
        });
    }
    ~Prompts() { SetPromptScript({}); }

    Strings Texts()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.clear();
    }
    bool Saw(const std::string& text)
    {
        for (const auto& t : Texts())
            if (t == text)
                return true;
        return false;
    }
    // The box with this text waits until Release.
    void Hold(const std::string& text) { holdText_ = text; }
    bool Held() const { return held_; }
    void Release() { release_ = true; }

private:
    std::mutex mutex_;
    Strings texts_;
    std::string holdText_;
    std::atomic<bool> held_{false};
    std::atomic<bool> release_{false};
};

bool CommandEnabled(TorvexWindow& w, unsigned id)
{
    CommandState state(id);
    return w.View().OnUpdateCommand(state) && state.Enabled();
}

bool OperationDone(TorvexWindow& w)
{
    return w.OperationFinished();
}

// A folder with src\ (a.txt, docs\b.txt, docs\bad.bin), good.j made from it, and damaged.j:
// the same archive with one byte of bad.bin's stored data changed.
struct TestArchives {
    std::string folder = MakeScratchFolder("ops");
    std::string good = folder + "\\good.j";
    std::string damaged = folder + "\\damaged.j";
    bool made = false;

    TestArchives()
    {
        std::string src = folder + "\\src";
        MakeFolder(src);
        MakeFolder(src + "\\docs");
        WriteFile(src + "\\a.txt", "alpha");
        WriteFile(src + "\\docs\\b.txt", std::string(300, 'b'));
        std::string noise = NoiseBytes(30000, 7);
        WriteFile(src + "\\docs\\bad.bin", noise);
        made = RunJar(src, "a -r -y \"" + good + "\" *");
        std::string bytes = ReadAll(good);
        size_t at = bytes.find(noise.substr(1000, 32));
        if (made && at != std::string::npos) {
            bytes[at + 5] ^= 0x5A;
            WriteFile(damaged, bytes);
        } else {
            made = false;
        }
    }
    ~TestArchives() { RemoveTree(folder); }
};

// Cancels every dialog box of this thread but the progress window while it lives, and counts them.
struct OtherDialogsCancelled {
    static inline int seen = 0;
    static inline HWND spared = nullptr;
    UINT_PTR timer;
    explicit OtherDialogsCancelled(HWND progress)
    {
        seen = 0;
        spared = progress;
        timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
            EnumThreadWindows(GetCurrentThreadId(), [](HWND d, LPARAM) -> BOOL {
                char cls[32] = {};
                GetClassNameA(d, cls, sizeof cls);
                if (d != spared && std::string(cls) == "#32770" && IsWindowVisible(d)) {
                    ++seen;
                    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
                }
                return TRUE;
            }, 0);
        });
    }
    ~OtherDialogsCancelled() { KillTimer(nullptr, timer); }
};

void OpenArchiveRow(TorvexWindow& w, const std::string& name)
{
    w.DoubleClickRow(w.RowNamed(name));
    ASSERT_TRUE(w.Doc().archiveMode) << name;
}

void ExpectIdle(TorvexWindow& w)
{
    EXPECT_EQ(w.View().operationRunning, 0);
    EXPECT_EQ(w.View().progressWindow.Handle(), nullptr);
    EXPECT_TRUE(w.Frame().DriveCombo().IsEnabled());
    EXPECT_TRUE(w.Frame().ChapterCombo().IsEnabled());
    EXPECT_TRUE(w.Doc().openAllowed);
}

} // namespace

TEST(OperationWindow, TestRunsOnTheWorkerBehindTheProgressWindowAndReportsTheOutcome)
{
    TestArchives data;
    ASSERT_TRUE(data.made);
    Prompts prompts;
    TorvexWindow w(data.folder);
    OpenArchiveRow(w, "good.j");
    ASSERT_TRUE(CommandEnabled(w, ID_TEST));

    // While the result is on screen the operation is still running: everything that could
    // start another one is refused.
    prompts.Hold("Everything is OK");
    w.Command(ID_TEST);
    ASSERT_TRUE(w.PumpUntil([&] { return prompts.Held(); }, 20000));
    EXPECT_EQ(w.View().operationRunning, 1);
    HWND progress = w.View().progressWindow.Handle();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(IsWindowVisible(progress));
    char caption[64] = {};
    GetWindowTextA(progress, caption, sizeof caption);
    EXPECT_STREQ(caption, "Torvex");
    EXPECT_FALSE(GetWindowLongA(progress, GWL_STYLE) & WS_SYSMENU);  // no close box
    // Owned by the main window, so that it stays in front of it.
    EXPECT_EQ(GetWindow(progress, GW_OWNER), w.Frame().Handle());
    EXPECT_FALSE(w.Frame().DriveCombo().IsEnabled());
    EXPECT_FALSE(w.Frame().ChapterCombo().IsEnabled());
    EXPECT_FALSE(w.Doc().openAllowed);
    EXPECT_FALSE(CommandEnabled(w, ID_TEST));
    EXPECT_FALSE(CommandEnabled(w, ID_REFRESH));
    // Closing the main window now would pull the document from under the worker: refused.
    SendMessageA(w.Frame().Handle(), WM_CLOSE, 0, 0);
    w.Pump(20);
    EXPECT_TRUE(IsWindow(w.Frame().Handle()));
    // Files dropped now are neither added (no Add dialog, the files list untouched) nor opened,
    // and no second operation starts.
    w.View().FilesListTree.AddTop((*w.Doc().Catalogue().Chapter(1)->Directories.Find("\\"))[0], "\\", 0);
    {
        OtherDialogsCancelled watch(progress);
        w.DropFiles({data.folder + "\\src\\a.txt", data.folder + "\\src\\docs"});
        w.DropFiles({data.damaged});
        w.Pump(300);
        EXPECT_EQ(OtherDialogsCancelled::seen, 0);
    }
    EXPECT_FALSE(w.View().FilesListTree.Empty());
    EXPECT_EQ(w.Doc().Catalogue().ArchivePath, data.good);
    EXPECT_FALSE(w.View().StartOperation(w.View().NewJob(OperationKind::TestArchive)));
    EXPECT_TRUE(prompts.Held());
    prompts.Release();
    ASSERT_TRUE(OperationDone(w));
    ExpectIdle(w);
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(prompts.Texts(), (Strings{"Everything is OK"}));
    EXPECT_EQ(w.Names(), (Strings{". .", "docs", "a.txt"}));  // a test changes nothing

    // A damaged member: the archiver's error names it, and nothing says all is well.
    prompts.Clear();
    w.DoubleClickRow(0);
    OpenArchiveRow(w, "damaged.j");
    w.Command(ID_TEST);
    ASSERT_TRUE(OperationDone(w));
    Strings texts = prompts.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("JAR ERROR", 0), 0u) << texts[0];
    EXPECT_NE(texts[0].find("\\docs\\bad.bin"), std::string::npos) << texts[0];
    // The failure still ends the operation: progress window gone, combos back.
    ExpectIdle(w);
}

TEST(OperationWindow, TestInTheDiskBrowserWantsExactlyOneClickedArchiveRow)
{
    TestArchives data;
    ASSERT_TRUE(data.made);
    WriteFile(data.folder + "\\UPPER.J", "not an archive by its name");
    Prompts prompts;
    TorvexWindow w(data.folder);

    EXPECT_FALSE(CommandEnabled(w, ID_TEST));  // nothing selected
    w.ClickRow(w.RowNamed("good.j"));
    EXPECT_TRUE(CommandEnabled(w, ID_TEST));
    w.SetSelection({w.RowNamed("good.j"), w.RowNamed("damaged.j")});
    EXPECT_FALSE(CommandEnabled(w, ID_TEST));
    w.ClickRow(w.RowNamed("UPPER.J"));
    EXPECT_FALSE(CommandEnabled(w, ID_TEST));  // the extension test is case-sensitive
    w.ClickRow(w.RowNamed("src"));
    EXPECT_FALSE(CommandEnabled(w, ID_TEST));

    // The command itself (from a menu that skips the enabling) says what is wrong.
    w.SetSelection({w.RowNamed("good.j"), w.RowNamed("damaged.j")});
    w.View().OnCommand(ID_TEST, 0);
    w.SetSelection({w.RowNamed("UPPER.J")});
    w.View().OnCommand(ID_TEST, 0);
    EXPECT_EQ(prompts.Texts(), (Strings{"You must select one archive", "You must select an archive"}));
    EXPECT_EQ(w.View().operationRunning, 0);

    prompts.Clear();
    w.ClickRow(w.RowNamed("good.j"));
    w.Command(ID_TEST);
    ASSERT_TRUE(OperationDone(w));
    EXPECT_EQ(prompts.Texts(), (Strings{"Everything is OK"}));
    EXPECT_FALSE(w.Doc().archiveMode);
    ExpectIdle(w);
}

TEST(OperationWindow, ARecentFileOpenedDuringAnOperationReadsNothingAndOpensAfterIt)
{
    TestArchives data;
    ASSERT_TRUE(data.made);
    Prompts prompts;
    TorvexWindow w(data.folder);
    OpenArchiveRow(w, "damaged.j");
    w.App().AddToRecentFileList(data.good);

    prompts.Hold("JAR ERROR: \\docs\\bad.bin: CRC error (damaged data)\n");
    w.Command(ID_TEST);
    ASSERT_TRUE(w.PumpUntil([&] { return prompts.Held(); }, 20000)) << (prompts.Texts().empty() ? "" : prompts.Texts()[0]);
    const ChapterInfo* shown = w.Doc().Catalogue().Chapter(w.View().shownChapter);
    w.Command(ID_FILE_MRU_FILE1);
    EXPECT_EQ(w.Doc().Catalogue().ArchivePath, data.damaged);
    EXPECT_EQ(w.Doc().Catalogue().Chapter(w.View().shownChapter), shown);
    EXPECT_EQ(w.Title(), "Torvex - " + data.damaged + " --> \\");
    prompts.Release();
    ASSERT_TRUE(OperationDone(w));

    w.App().AddToRecentFileList(data.good);
    w.Command(ID_FILE_MRU_FILE1);
    EXPECT_EQ(w.Doc().Catalogue().ArchivePath, data.good);
    EXPECT_EQ(w.Title(), "Torvex - " + data.good + " --> \\");
}

namespace {

void ChooseChapter(TorvexWindow& w, int chapter)
{
    ComboBox combo = w.Frame().ChapterCombo();
    combo.SetCurSel(combo.FindStringExact("Chapter " + std::to_string(chapter)));
    SendMessageA(GetParent(combo.Handle()), WM_COMMAND, MAKEWPARAM(IDC_CHAPTER_COMBO, CBN_SELENDOK),
                 (LPARAM)combo.Handle());
    w.Pump(10);
}

std::string ShownChapterText(TorvexWindow& w)
{
    ComboBox combo = w.Frame().ChapterCombo();
    return combo.GetCurSel() < 0 ? std::string() : combo.GetLBText(combo.GetCurSel());
}

bool Listed(TorvexWindow& w, int chapter)
{
    const ChapterInfo* info = w.Doc().Catalogue().Chapter(chapter);
    return info && info->Directories.size() > 0;
}

} // namespace

TEST(OperationWindow, AChapterIsListedTheFirstTimeItIsShownAndNeverAgain)
{
    std::string folder = MakeScratchFolder("chapters");
    std::string src = folder + "\\src";
    MakeFolder(src);
    MakeFolder(src + "\\sub");
    std::string archive = folder + "\\three.j";
    WriteFile(src + "\\one.txt", "1");
    WriteFile(src + "\\sub\\deep.txt", "d");
    ASSERT_TRUE(RunJar(src, "a -r -y \"" + archive + "\" *"));
    WriteFile(src + "\\two.txt", "22");
    ASSERT_TRUE(RunJar(src, "ac -r -y \"" + archive + "\" *"));
    WriteFile(src + "\\three.txt", "333");
    ASSERT_TRUE(RunJar(src, "ac -r -y \"" + archive + "\" *"));

    Prompts prompts;
    {
        TorvexWindow w(folder);
        OpenArchiveRow(w, "three.j");
        EXPECT_EQ(w.View().shownChapter, 3);
        EXPECT_TRUE(Listed(w, 3));
        EXPECT_FALSE(Listed(w, 1));
        EXPECT_FALSE(Listed(w, 2));
        w.DoubleClickRow(w.RowNamed("sub"));
        w.SetSelection({1});
        w.Command(ID_ADD_TO_FILES_LIST);
        ASSERT_FALSE(w.View().FilesListTree.Empty());

        // First showing of chapter 1: one listing, the root, the files list emptied.
        ChooseChapter(w, 1);
        EXPECT_EQ(w.View().shownChapter, 1);
        EXPECT_TRUE(Listed(w, 1));
        EXPECT_FALSE(Listed(w, 2));
        EXPECT_EQ(w.View().archiveFolder, "\\");
        EXPECT_EQ(w.Names(), (Strings{". .", "sub", "one.txt"}));
        EXPECT_TRUE(w.View().FilesListTree.Empty());
        const ChapterInfo* first = w.Doc().Catalogue().Chapter(1);

        // With the archiver out of reach, any further listing would fail loudly: back and forth
        // between listed chapters runs none.
        std::string jar = w.App().DirectoriesDialog.jarEdit;
        w.App().DirectoriesDialog.jarEdit = folder + "\\nowhere";
        ChooseChapter(w, 3);
        EXPECT_EQ(w.Names(), (Strings{". .", "sub", "one.txt", "three.txt", "two.txt"}));
        ChooseChapter(w, 1);
        ChooseChapter(w, 3);
        ChooseChapter(w, 1);
        EXPECT_TRUE(prompts.Texts().empty()) << prompts.Texts()[0];
        EXPECT_EQ(w.Doc().Catalogue().Chapter(1), first);
        EXPECT_EQ(w.Names(), (Strings{". .", "sub", "one.txt"}));

        // The same chapter again keeps the files list.
        w.SetSelection({2});
        w.Command(ID_ADD_TO_FILES_LIST);
        ChooseChapter(w, 1);
        EXPECT_FALSE(w.View().FilesListTree.Empty());

        // A listing that fails keeps the chapter shown, and the combo says which.
        ChooseChapter(w, 2);
        EXPECT_EQ(prompts.Texts(), (Strings{"Failed to run Jar"}));
        EXPECT_EQ(w.View().shownChapter, 1);
        EXPECT_EQ(ShownChapterText(w), "Chapter 1");
        EXPECT_FALSE(Listed(w, 2));
        EXPECT_EQ(w.Names(), (Strings{". .", "sub", "one.txt"}));

        w.App().DirectoriesDialog.jarEdit = jar;
        ChooseChapter(w, 2);
        EXPECT_EQ(w.View().shownChapter, 2);
        EXPECT_EQ(w.Names(), (Strings{". .", "sub", "one.txt", "two.txt"}));

        // Leaving the archive for the disk empties the files list too.
        w.SetSelection({1});
        w.Command(ID_ADD_TO_FILES_LIST);
        ASSERT_FALSE(w.View().FilesListTree.Empty());
        w.DoubleClickRow(0);
        EXPECT_FALSE(w.Doc().archiveMode);
        EXPECT_TRUE(w.View().FilesListTree.Empty());
    }
    RemoveTree(folder);
}

TEST(OperationWindow, FilesListGathersFromTwoFoldersAndIsEditedInItsDialog)
{
    std::string folder = MakeScratchFolder("fileslist");
    MakeFolder(folder + "\\one");
    MakeFolder(folder + "\\two");
    MakeFolder(folder + "\\two\\sub");
    WriteFile(folder + "\\one\\a.txt", std::string(1000, 'a'));
    WriteFile(folder + "\\two\\a.txt", std::string(2000, 'a'));
    WriteFile(folder + "\\two\\sub\\x.bin", std::string(1234, 'x'));
    WriteFile(folder + "\\two\\sub\\y.bin", std::string(10, 'y'));
    Prompts prompts;
    {
        TorvexWindow w(folder);
        // Only the parent row: F5 is greyed, and the context menu's item says why.
        w.SetSelection({0});
        EXPECT_FALSE(CommandEnabled(w, ID_ADD_TO_FILES_LIST));
        w.View().OnCommand(ID_ADD_TO_FILES_LIST, 0);
        EXPECT_EQ(prompts.Texts(), (Strings{"No file selected"}));
        EXPECT_TRUE(w.View().FilesListTree.Empty());
        EXPECT_FALSE(w.View().CurrentState().filesListHasItems);

        w.DoubleClickRow(w.RowNamed("one"));
        w.ClickRow(w.RowNamed("a.txt"));
        ASSERT_TRUE(CommandEnabled(w, ID_ADD_TO_FILES_LIST));
        w.PressKey(VK_F5, false);
        w.PressKey(VK_F5, false);  // the same file again is not a second item
        w.DoubleClickRow(0);
        w.DoubleClickRow(w.RowNamed("two"));
        w.SetSelection({w.RowNamed("a.txt"), w.RowNamed("sub")});
        w.PressKey(VK_F5, false);
        EXPECT_EQ(prompts.Texts(), (Strings{"No file selected"}));
        const FilesListItems& items = w.View().FilesListTree.Items();
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[0]->text, folder + "\\one\\a.txt");
        EXPECT_EQ(items[1]->text, folder + "\\two\\a.txt");
        EXPECT_EQ(items[2]->text, folder + "\\two\\sub");
        EXPECT_EQ(items[0]->entry.Columns[ArchiveEntry::Source], folder + "\\one");
        EXPECT_TRUE(w.View().CurrentState().filesListHasItems);  // what Add's enabling reads

        // F6: the tree shows the list; expanding twice fills once; the totals are whole.
        std::string total, expandedTotal;
        Strings shown, children;
        int childCountAfterSecondExpand = 0;
        std::string helpButton;
        WhenDialogOpens("Edit Files List", [&](HWND box) {
            helpButton = ControlText(box, 3);
            HWND tree = GetDlgItem(box, IDC_FILES_LIST_TREE);
            char text[MAX_PATH] = {};
            TVITEMA item{};
            item.mask = TVIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            for (HTREEITEM h = TreeView_GetRoot(tree); h; h = TreeView_GetNextSibling(tree, h)) {
                item.hItem = h;
                TreeView_GetItem(tree, &item);
                shown.push_back(text);
            }
            SendMessageA(GetDlgItem(box, IDC_FILES_LIST_TOTAL), BM_CLICK, 0, 0);
            total = prompts.Texts().back();

            HTREEITEM sub = TreeView_GetNextSibling(tree, TreeView_GetNextSibling(tree, TreeView_GetRoot(tree)));
            TreeView_Expand(tree, sub, TVE_EXPAND);
            TreeView_Expand(tree, sub, TVE_COLLAPSE);
            TreeView_Expand(tree, sub, TVE_EXPAND);
            for (HTREEITEM h = TreeView_GetChild(tree, sub); h; h = TreeView_GetNextSibling(tree, h)) {
                item.hItem = h;
                TreeView_GetItem(tree, &item);
                children.push_back(text);
                ++childCountAfterSecondExpand;
            }
            // Remove y.bin with a single Delete press; a repeat of the held key removes nothing.
            TreeView_SelectItem(tree, TreeView_GetNextSibling(tree, TreeView_GetChild(tree, sub)));
            SendMessageA(tree, WM_KEYDOWN, VK_DELETE, 1);
            SendMessageA(tree, WM_KEYDOWN, VK_DELETE, 0x40000001);
            SendMessageA(GetDlgItem(box, IDC_FILES_LIST_TOTAL), BM_CLICK, 0, 0);
            expandedTotal = prompts.Texts().back();
            // Removing x.bin, the only child left, takes the folder item with it.
            TreeView_SelectItem(tree, TreeView_GetChild(tree, sub));
            SendMessageA(GetDlgItem(box, IDC_FILES_LIST_REMOVE), BM_CLICK, 0, 0);
            int left = 0;
            for (HTREEITEM h = TreeView_GetRoot(tree); h; h = TreeView_GetNextSibling(tree, h))
                ++left;
            EXPECT_EQ(left, 2);
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        });
        w.Command(ID_EDIT_FILES_LIST);
        EXPECT_EQ(helpButton, "Help");
        EXPECT_EQ(shown, (Strings{folder + "\\one\\a.txt", folder + "\\two\\a.txt", folder + "\\two\\sub"}));
        EXPECT_EQ(total, "4,244 bytes in 4 file(s)");
        EXPECT_EQ(children, (Strings{"x.bin", "y.bin"}));
        EXPECT_EQ(childCountAfterSecondExpand, 2);
        EXPECT_EQ(expandedTotal, "4,234 bytes in 3 file(s)");
        // Cancel: the files list is as it was.
        EXPECT_EQ(w.View().FilesListTree.Items().size(), 3u);
        EXPECT_TRUE(w.View().FilesListTree.Items()[2]->children.empty());
        EXPECT_EQ(w.View().helpAnchor, "");

        // OK keeps the edit; the operations then gather the leaves.
        WhenDialogOpens("Edit Files List", [&](HWND box) {
            HWND tree = GetDlgItem(box, IDC_FILES_LIST_TREE);
            TreeView_SelectItem(tree, TreeView_GetRoot(tree));
            SendMessageA(GetDlgItem(box, IDC_FILES_LIST_REMOVE), BM_CLICK, 0, 0);
            HTREEITEM sub = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
            TreeView_Expand(tree, sub, TVE_EXPAND);
            SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        w.Command(ID_EDIT_FILES_LIST);
        w.View().CollectFilesList();
        std::vector<std::string> leaves;
        for (const auto& e : w.View().WorkSet)
            leaves.push_back(e->Path);
        EXPECT_EQ(leaves, (Strings{folder + "\\two\\a.txt", folder + "\\two\\sub\\x.bin", folder + "\\two\\sub\\y.bin"}));
        w.View().ClearWorkSet();
        EXPECT_TRUE(w.View().FilesListTree.Empty());
        EXPECT_TRUE(w.View().WorkSet.empty());
    }
    RemoveTree(folder);
}

TEST(OperationWindow, AFreshListingHandedOverFromTheWorkerIsSwappedInAndShown)
{
    TestArchives data;
    ASSERT_TRUE(data.made);
    Prompts prompts;
    TorvexWindow w(data.folder);
    OpenArchiveRow(w, "good.j");
    w.DoubleClickRow(w.RowNamed("docs"));
    const ArchiveCatalogue* before = &w.Doc().Catalogue();
    const ChapterInfo* oldChapter = before->Chapter(1);

    // What a body does after changing the archive: list it into a catalogue of its own (here on
    // this thread, for the test) and hand it over.
    WriteFile(data.folder + "\\src\\docs\\new.txt", "new");
    ASSERT_TRUE(RunJar(data.folder + "\\src", "ac -r -y \"" + data.good + "\" *"));
    std::unique_ptr<ArchiveRelisting> listed = RelistArchive(w.Doc(), data.good, 0, "\\docs");
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->shownChapter, 2);
    PostedReplies replies(w.View().Handle());
    replies.HandOver(std::move(listed));
    w.Pump(30);

    EXPECT_EQ(w.View().shownChapter, 2);
    EXPECT_EQ(w.View().archiveFolder, "\\docs");
    EXPECT_NE(w.Doc().Catalogue().Chapter(2), nullptr);
    EXPECT_NE(w.Doc().Catalogue().Chapter(1), oldChapter);
    EXPECT_EQ(w.Names(), (Strings{". .", "b.txt", "bad.bin", "new.txt"}));
    EXPECT_EQ(w.Title(), "Torvex - " + data.good + " --> \\docs");
    ComboBox chapters = w.Frame().ChapterCombo();
    EXPECT_EQ(chapters.GetCount(), 2);
    EXPECT_EQ(ShownChapterText(w), "Chapter 2");

    // A folder the new listing lacks: the root is shown instead of nothing.
    replies.HandOver(RelistArchive(w.Doc(), data.good, 2, "\\gone"));
    w.Pump(30);
    EXPECT_EQ(w.View().archiveFolder, "\\");
    EXPECT_EQ(w.Names(), (Strings{". .", "docs", "a.txt"}));
    EXPECT_TRUE(prompts.Texts().empty());
}

namespace {

// What the progress window shows: read from its controls, as a user sees them.
struct ProgressSeen {
    int percent = -1;
    std::string file;
    std::string files;
    std::string remaining;
};

ProgressSeen ReadProgress(HWND progress)
{
    ProgressSeen seen;
    HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
    if (!(GetWindowLongA(bar, GWL_STYLE) & PBS_MARQUEE))
        seen.percent = (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
    seen.file = ControlText(progress, IDC_PROGRESS_FILE);
    seen.files = ControlText(progress, IDC_PROGRESS_FILES);
    seen.remaining = ControlText(progress, IDC_PROGRESS_REMAINING);
    return seen;
}

// Waits until the window has shown the bar move on, the current file change and the time left
// while the archiver works, then cancels with Esc or a click; the operation must end without a word.
void WatchThenCancel(TorvexWindow& w, Prompts& prompts, bool escape)
{
    ASSERT_TRUE(w.PumpUntil([&] { return w.View().progressWindow.Handle() != nullptr; }, 5000));
    HWND progress = w.View().progressWindow.Handle();
    ProgressSeen first;
    ASSERT_TRUE(w.PumpUntil([&] {
        first = ReadProgress(progress);
        return first.percent > 0 && !first.file.empty();
    }, 60000)) << "no progress shown";
    ProgressSeen later;
    ASSERT_TRUE(w.PumpUntil([&] {
        later = ReadProgress(progress);
        return later.percent > first.percent && later.file != first.file && !later.remaining.empty();
    }, 30000)) << first.file << " " << first.percent;
    ASSERT_LT(later.percent, 80) << "too little left to cancel";
    EXPECT_NE(later.files.find(" of "), std::string::npos) << later.files;
    EXPECT_EQ(later.remaining.rfind("Time left ", 0), 0u) << later.remaining;
    HWND cancel = GetDlgItem(progress, IDCANCEL);
    ASSERT_TRUE(IsWindowEnabled(cancel));
    if (escape) {
        SetFocus(cancel);
        PostMessageA(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
        w.Pump(50);
    } else {
        ClickButton(progress, IDCANCEL);
    }
    if (w.View().operationRunning) {
        EXPECT_FALSE(IsWindowEnabled(cancel));
        EXPECT_EQ(ControlText(progress, IDC_PROGRESS_STATUS), "Cancelling ...");
    }
    ASSERT_TRUE(w.OperationFinished(15000));
    ExpectIdle(w);
    EXPECT_EQ(prompts.Texts(), Strings{});
}

} // namespace

TEST(OperationWindow, ProgressFollowsTheRunAndCancelLeavesTheArchiveAndTheDiskAsTheyWere)
{
    ASSERT_TRUE(JarAvailable());
    // 64 files of 4 MB that do not compress: long enough to watch and to stop half way.
    std::string root = MakeScratchFolder("progress");
    std::string big = root + "\\src\\big";
    MakeFolder(root + "\\src");
    MakeFolder(big);
    for (uint32_t i = 0; i < 64; ++i)
        WriteFile(big + "\\part" + std::to_string(100 + i) + ".bin", NoiseBytes(4 << 20, i));
    WriteFile(root + "\\src\\small.txt", "small");
    MakeFolder(root + "\\arch");
    std::string keep = root + "\\src\\keep.j";
    std::string archive = root + "\\arch\\big.j";
    ASSERT_TRUE(RunJar(root + "\\src", "a -y \"" + keep + "\" small.txt"));
    ASSERT_TRUE(RunJar(root + "\\src", "a -r -y -m1 \"" + archive + "\" big\\*"));
    std::string keepBytes = viewtest::ReadAll(keep);
    Prompts prompts;
    // jar32 waits a little at each progress step, so that even a fast machine is still working
    // when the test looks and cancels.
    SetEnvironmentVariableA("JAR32_TEST_HOOK", "pause:progress:60");
    {
        // Adding the folder to keep.j, stopped with Esc: keep.j as it was, byte for byte.
        TorvexWindow w(root + "\\src");
        w.SetSelection({w.RowNamed("big")});
        WhenDialogOpens("Add", [&](HWND dlg) {
            SetControlText(dlg, IDC_ADD_ARCHIVE_NAME, keep);
            ClickButton(dlg, IDOK);
        });
        w.Command(ID_ADD);
        WatchThenCancel(w, prompts, true);
        EXPECT_TRUE(viewtest::ReadAll(keep) == keepBytes);
        EXPECT_TRUE(w.View().FilesListTree.Empty());
        EXPECT_TRUE(w.View().WorkSet.empty());
    }
    {
        // Ctrl+E of the folder, through the staging folder, stopped with a click: nothing in
        // the destination but the archive, and no staging folder left.
        TorvexWindow w(root + "\\arch");
        ASSERT_NE(w.App().OpenDocumentFile(archive), nullptr);
        w.SetSelection({w.RowNamed("big")});
        w.PressKey('E', true);
        WatchThenCancel(w, prompts, false);
        Strings left;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((root + "\\arch\\*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                left.push_back(found.cFileName);
            if (!FindNextFileA(search, &found))
                break;
        }
        FindClose(search);
        EXPECT_EQ(left, Strings{"big.j"});
        EXPECT_FALSE(Exists("c:\\~TorvexTemp"));
        EXPECT_TRUE(w.View().WorkSet.empty());
    }
    SetEnvironmentVariableA("JAR32_TEST_HOOK", nullptr);
    RemoveTree(root);
}
