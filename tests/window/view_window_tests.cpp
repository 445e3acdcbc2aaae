// The list view on screen: disk folders and a real archive made by jar32.exe, browsed with the
// mouse, sorted by every column, selected, refreshed.
#include "view_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/view_rules.h"

using namespace viewtest;

namespace {

using Names = std::vector<std::string>;

bool LooksLikeStamp(const std::string& text)
{
    int y, mo, d, h, mi, s;
    char tail;
    return text.size() == 19 && std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) == 6;
}

// Disk folder with two files, a folder and an archive made by jar32 from a few files.
struct ArchiveFolder {
    std::string folder;
    std::string archive;
    bool made = false;

    ArchiveFolder()
    {
        folder = MakeScratchFolder("view");
        std::string src = folder + "\\src";
        MakeFolder(src);
        MakeFolder(src + "\\docs");
        MakeFolder(src + "\\docs\\img");
        MakeFolder(src + "\\tools");
        WriteFile(src + "\\README", "read me\r\n");
        WriteFile(src + "\\big.bin", std::string(5000, 'b'));
        WriteFile(src + "\\small.txt", "tiny");
        WriteFile(src + "\\docs\\guide.txt", std::string(700, 'g'));
        WriteFile(src + "\\docs\\img\\p.raw", std::string(300, 'p'));
        WriteFile(src + "\\tools\\setup.exe", std::string(1200, 'x'));
        archive = folder + "\\a.j";
        std::string output;
        made = RunJar(src, "a -r -y \"" + archive + "\" *", &output);
        EXPECT_TRUE(made) << output;
        WriteFile(folder + "\\notes.txt", std::string(1000, 'n'));
        WriteFile(folder + "\\more.txt", std::string(234, 'm'));
    }
    ~ArchiveFolder() { RemoveTree(folder); }
};

void ExpectParentOnTop(TorvexWindow& w)
{
    ASSERT_GT(w.RowCount(), 0);
    EXPECT_EQ(w.Cell(0, 0), ". .");
}

} // namespace

TEST(ViewWindow, DiskFolderShowsColumnsRowsAndTitleAndBrowsesWithDoubleClicks)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder);
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\");
    EXPECT_FALSE(w.Doc().archiveMode);
    ASSERT_EQ(w.ColumnCount(), 4);
    const char* captions[] = {"Name", "Size", "Modified", "Created"};
    const int widths[] = {150, 80, 130, 130};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(w.ColumnCaption(c), captions[c]);
        EXPECT_EQ(w.ColumnWidth(c), widths[c]);
    }
    // Parent row, the folder, then files by name.
    EXPECT_EQ(w.Names(), (Names{". .", "src", "a.j", "more.txt", "notes.txt"}));
    EXPECT_EQ(w.Image(0), 0);
    EXPECT_EQ(w.Image(1), 0);
    int notes = w.RowNamed("notes.txt");
    EXPECT_EQ(w.Cell(notes, 1), "1000");
    EXPECT_TRUE(LooksLikeStamp(w.Cell(notes, 2))) << w.Cell(notes, 2);
    EXPECT_TRUE(LooksLikeStamp(w.Cell(notes, 3))) << w.Cell(notes, 3);
    EXPECT_GE(w.Image(notes), 3); // a shell icon, or the file image when the shell has none

    w.DoubleClickRow(w.RowNamed("src"));
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\src\\");
    EXPECT_EQ(w.Names(), (Names{". .", "docs", "tools", "big.bin", "README", "small.txt"}));
    EXPECT_EQ(w.View().diskFolder, data.folder + "\\src");
    w.DoubleClickRow(0);
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\");
    EXPECT_EQ(w.RowNamed("src"), 1);

    // Select All takes every row but the parent row; the size line counts the files.
    w.Command(ID_SELECT_ALL);
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(w.View().HasRealSelection());
    w.SetSelection({w.RowNamed("notes.txt"), w.RowNamed("more.txt")});
    EXPECT_EQ(w.View().SelectionSizeText(), "1,234 bytes in 2 file(s)");
    w.Pump(30);
    StatusBar& status = w.Frame().statusBar;
    ASSERT_EQ(status.GetPaneCount(), 2);
    EXPECT_EQ(status.GetPaneText(1), "2 selected: 1,234 bytes in 2 file(s)");
    w.SetSelection({0});
    EXPECT_FALSE(w.View().HasRealSelection()); // the parent row alone is no selection
    w.Pump(30);
    EXPECT_EQ(status.GetPaneCount(), 1);
}

TEST(ViewWindow, SortingByEveryColumnKeepsTheParentRowOnTopAndRepeatsTheSameOrder)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder + "\\src");
    w.ClickRow(w.RowNamed("small.txt"));
    ASSERT_EQ(w.View().hitItem, 5);
    w.ClickColumnHeader(1);
    // The selection and the clicked row move with their row.
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{w.RowNamed("small.txt")}));
    EXPECT_EQ(w.View().hitItem, w.RowNamed("small.txt"));
    EXPECT_EQ(w.View().diskSortColumn, 1);
    EXPECT_EQ(w.Names(), (Names{". .", "docs", "tools", "big.bin", "README", "small.txt"}));
    auto arrow = [&](int column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(ListView_GetHeader(w.List()), HDM_GETITEMA, column, (LPARAM)&item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    EXPECT_EQ(arrow(1), HDF_SORTUP);
    EXPECT_EQ(arrow(0), 0);
    // A second click reverses the order, and the arrow says so.
    w.ClickColumnHeader(1);
    EXPECT_EQ(w.Names(), (Names{". .", "small.txt", "README", "big.bin", "tools", "docs"}));
    EXPECT_EQ(arrow(1), HDF_SORTDOWN);
    for (int c = 0; c < 4; ++c) {
        w.ClickColumnHeader(c);
        ExpectParentOnTop(w);
        EXPECT_EQ(w.RowCount(), 6);
    }
    w.ClickColumnHeader(0);
    EXPECT_EQ(w.Names(), (Names{". .", "docs", "tools", "big.bin", "README", "small.txt"}));
}

TEST(ViewWindow, ArchiveOpensFromItsRowBrowsesDirectoriesAndLeavesForItsFolder)
{
    ArchiveFolder data;
    ASSERT_TRUE(data.made);
    std::vector<PromptRequest> prompts;
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });
    TorvexWindow w(data.folder);
    w.DoubleClickRow(w.RowNamed("a.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\");
    ASSERT_EQ(w.ColumnCount(), 8);
    const char* captions[] = {"Name", "Size", "Modified", "Created", "Attributes", "Chapter", "Method", "Block"};
    const int widths[] = {150, 80, 130, 130, 70, 60, 60, 60};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(w.ColumnCaption(c), captions[c]);
        EXPECT_EQ(w.ColumnWidth(c), widths[c]);
        // Names read from the left, numbers, dates and codes line up on the right.
        EXPECT_EQ(w.ColumnAlignment(c), c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT) << captions[c];
    }
    EXPECT_EQ(w.Names(), (Names{". .", "docs", "tools", "big.bin", "README", "small.txt"}));
    EXPECT_EQ(w.Image(0), 2); // leads out of the archive
    EXPECT_EQ(w.Image(1), 0);
    EXPECT_EQ(w.Image(w.RowNamed("README")), 3);
    int big = w.RowNamed("big.bin");
    EXPECT_EQ(w.Cell(big, 1), "5000");
    EXPECT_EQ(w.Cell(w.RowNamed("docs"), 4).substr(4), "D");
    EXPECT_EQ(w.Cell(big, 5), "1");
    for (int c = 1; c < 8; ++c)
        EXPECT_FALSE(w.Cell(big, c).empty()) << c;
    EXPECT_EQ(w.View().diskFolder, data.folder);

    w.DoubleClickRow(w.RowNamed("tools"));
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\tools");
    EXPECT_EQ(w.Names(), (Names{". .", "setup.exe"}));
    EXPECT_EQ(w.Image(0), 0);
    EXPECT_EQ(w.Image(1), 4); // a program inside an archive
    w.DoubleClickRow(0);
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\");
    w.DoubleClickRow(w.RowNamed("docs"));
    w.DoubleClickRow(w.RowNamed("img"));
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\docs\\img");
    EXPECT_EQ(w.Names(), (Names{". .", "p.raw"}));
    w.DoubleClickRow(0);
    w.DoubleClickRow(0);
    EXPECT_EQ(w.View().archiveFolder, "\\");

    // Every column sorts with the parent row on top; Size puts folders first, then largest first.
    for (int c = 0; c < 8; ++c) {
        w.ClickColumnHeader(c);
        EXPECT_EQ(w.View().archiveSortColumn, c);
        ExpectParentOnTop(w);
    }
    w.ClickColumnHeader(1);
    EXPECT_EQ(w.Names(), (Names{". .", "docs", "tools", "big.bin", "README", "small.txt"}));
    w.ClickColumnHeader(0);

    // Out of the archive through the parent row at its root.
    w.DoubleClickRow(0);
    EXPECT_FALSE(w.Doc().archiveMode);
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\");
    EXPECT_EQ(w.ColumnCount(), 4);
    EXPECT_EQ(w.View().diskSortColumn, 0);

    // Back into the loaded archive without running the archiver: with jar32 out of reach the
    // archive still shows and no message comes.
    w.App().DirectoriesDialog.jarEdit = "C:\\no-such-folder";
    w.DoubleClickRow(w.RowNamed("a.j"));
    EXPECT_TRUE(w.Doc().archiveMode);
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\");
    EXPECT_EQ(w.RowCount(), 6);
    EXPECT_TRUE(prompts.empty()) << prompts.front().text;
}

TEST(ViewWindow, RefreshListsTheNewestStateAndFallsBackToTheRootWhenTheFolderWentAway)
{
    ArchiveFolder data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    w.DoubleClickRow(w.RowNamed("a.j"));
    w.DoubleClickRow(w.RowNamed("tools"));
    ASSERT_EQ(w.View().archiveFolder, "\\tools");

    // The archive is replaced by one without \tools.
    std::string other = data.folder + "\\other";
    MakeFolder(other);
    WriteFile(other + "\\only.txt", "1");
    ASSERT_TRUE(RunJar(other, "a -r -y \"" + data.folder + "\\b.j\" *"));
    ASSERT_TRUE(CopyFileA((data.folder + "\\b.j").c_str(), data.archive.c_str(), FALSE));
    w.Command(ID_REFRESH);
    EXPECT_EQ(w.View().archiveFolder, "\\");
    EXPECT_EQ(w.Title(), "Torvex - " + data.archive + " --> \\");
    EXPECT_EQ(w.Names(), (Names{". .", "only.txt"}));
    EXPECT_EQ(w.Image(0), 2);

    // A refresh whose listing fails keeps what is shown, and the rows stay readable.
    std::vector<std::string> texts;
    SetPromptScript([&](const PromptRequest& r) { texts.push_back(r.text); return prompt::IdOk; });
    DeleteFileA(data.archive.c_str());
    w.Command(ID_REFRESH);
    EXPECT_FALSE(texts.empty());
    w.Pump(50);
    EXPECT_EQ(w.Names(), (Names{". .", "only.txt"}));
}

TEST(ViewWindow, AFailedOpenKeepsTheArchiveAndAnEmptiedCatalogueIsNeverRead)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder);
    w.DoubleClickRow(w.RowNamed("a.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    std::string title = w.Title();
    WriteFile(data.folder + "\\broken.j", "this is not an archive");
    std::vector<std::string> texts;
    SetPromptScript([&](const PromptRequest& r) { texts.push_back(r.text); return prompt::IdOk; });
    EXPECT_EQ(w.App().OpenDocumentFile(data.folder + "\\broken.j"), nullptr);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].substr(0, 4), "JAR ");
    w.Pump(50);
    EXPECT_EQ(w.Title(), title);
    EXPECT_EQ(w.RowCount(), 6);
    EXPECT_EQ(w.Cell(w.RowNamed("big.bin"), 1), "5000");

    // A catalogue replaced under the view: it lets go of the rows that went with it, so painting,
    // the toolbar's enabling, sorting and the size line never read them.
    w.ClickRow(w.RowNamed("big.bin"));
    w.Doc().ReplaceCatalogue(ArchiveCatalogue{});
    RedrawWindow(w.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    w.Pump(100);
    EXPECT_EQ(w.RowCount(), 0);
    w.ClickColumnHeader(1);
    w.Command(ID_SELECT_ALL);
    EXPECT_EQ(w.View().SelectionSizeText(), "0 bytes in 0 file(s)");
}

TEST(ViewWindow, ViewStylesAndEnablingFollowTheSelection)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder);
    w.Command(ID_LIST_VIEW);
    EXPECT_EQ(GetWindowLongA(w.List(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_EQ(w.App().DirectoriesDialog.viewType, 0);
    w.Command(ID_DETAILS_VIEW);
    EXPECT_EQ(GetWindowLongA(w.List(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(w.App().DirectoriesDialog.viewType, 1);

    // The rules on the window's live state (selection, clicked row, running flag)...
    auto enabled = [&](unsigned id) { return ViewCommandEnabled(id, w.View().CurrentState()).value_or(false); };
    // ...and what the frame shows: commands with nothing behind them yet stay greyed.
    auto shown = [&](unsigned id) {
        CommandState s(id);
        return w.Frame().RouteUpdate(s) && s.Enabled();
    };
    EXPECT_FALSE(enabled(ID_EXTRACT_ARCHIVE_TO));
    w.ClickRow(w.RowNamed("a.j"));
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{w.RowNamed("a.j")}));
    EXPECT_TRUE(enabled(ID_EXTRACT_ARCHIVE_TO));
    EXPECT_TRUE(enabled(ID_TEST));
    EXPECT_TRUE(enabled(ID_ADD));
    EXPECT_TRUE(shown(ID_TEST));
    EXPECT_TRUE(shown(ID_REFRESH));
    EXPECT_TRUE(shown(ID_SELECT_ALL));
    w.ClickRow(w.RowNamed("notes.txt"));
    EXPECT_FALSE(enabled(ID_TEST));
    EXPECT_TRUE(enabled(ID_VIEW_OPEN_FILE));
    w.View().operationRunning = 1;
    EXPECT_FALSE(enabled(ID_ADD));
    EXPECT_FALSE(enabled(ID_REFRESH));
    EXPECT_FALSE(shown(ID_REFRESH));
    EXPECT_TRUE(shown(ID_DETAILS_VIEW));
    // Clicks are refused while an operation runs.
    int before = w.View().hitItem;
    w.ClickRow(w.RowNamed("a.j"));
    EXPECT_EQ(w.View().hitItem, before);
    w.DoubleClickRow(w.RowNamed("src"));
    EXPECT_EQ(w.Title(), "Torvex - " + data.folder + "\\");
    w.View().operationRunning = 0;
}

namespace {

// Texts of the pop-up menu on screen, and which items are greyed, read when it opens; the menu
// is then closed.
std::vector<std::string> menuTexts;
std::vector<std::string> menuGreyed;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup))
        return;
    KillTimer(nullptr, timer);
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        menuTexts.push_back(text);
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED)
            menuGreyed.push_back(text);
    }
    EndMenu();
}

std::vector<std::string> ContextMenuAt(TorvexWindow& w, int row)
{
    menuTexts.clear();
    menuGreyed.clear();
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(w.List(), LVM_GETITEMRECT, row, (LPARAM)&r);
    POINT p{r.left + 4, (r.top + r.bottom) / 2};
    ClientToScreen(w.List(), &p);
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadOpenMenu);
    SendMessageA(w.List(), WM_CONTEXTMENU, (WPARAM)w.List(), MAKELPARAM(p.x, p.y));
    KillTimer(nullptr, timer);
    return menuTexts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

TEST(ViewWindow, ContextMenuShowsTheSelectionSizeAndTheViewOrOpenLabel)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder);
    w.SetSelection({w.RowNamed("notes.txt"), w.RowNamed("more.txt")});
    std::vector<std::string> texts = ContextMenuAt(w, w.RowNamed("more.txt"));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Add ...\tCtrl+A"); // the disk pop-up
    EXPECT_TRUE(Holds(texts, "1,234 bytes in 2 file(s)"));
    EXPECT_TRUE(Holds(texts, "View File\tCtrl+V"));
    EXPECT_FALSE(Holds(texts, "Compute size\tF7"));
    // The menu skips the enabling rules: View is offered, and itself says it wants one file.
    EXPECT_FALSE(Holds(menuGreyed, "View File\tCtrl+V"));
    EXPECT_FALSE(Holds(menuGreyed, "Add ...\tCtrl+A"));
    EXPECT_FALSE(Holds(menuGreyed, "1,234 bytes in 2 file(s)"));
    EXPECT_EQ(w.View().hitItem, w.RowNamed("more.txt"));

    // With the viewer as the double click's program, the command opens with the associated one.
    w.App().Settings().WriteProfileInt(kSettingsSection, "AssocProg", 1);
    w.DoubleClickRow(w.RowNamed("a.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    w.PressKey('S', true); // Ctrl+S: Select All
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{1, 2, 3, 4, 5}));
    texts = ContextMenuAt(w, 1);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Extract\tCtrl+E"); // the archive pop-up
    EXPECT_TRUE(Holds(texts, "Open File\tCtrl+V"));
    // Everything in the archive: 5000 + 9 + 4 + 700 + 300 + 1200 bytes in six files.
    EXPECT_TRUE(Holds(texts, "7,213 bytes in 6 file(s)")) << ::testing::PrintToString(texts);

    // While an operation runs the menu does not open.
    w.View().operationRunning = 1;
    EXPECT_TRUE(ContextMenuAt(w, 1).empty());
    w.View().operationRunning = 0;
}

namespace {

int FocusedRow(TorvexWindow& w)
{
    return (int)SendMessageA(w.List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}


} // namespace

TEST(ViewWindow, TypingANameGoesToTheFirstRowItBeginsAndNowhereWhenNoneDoes)
{
    ArchiveFolder data;
    TorvexWindow w(data.folder);
    SetFocus(w.List());
    PostMessageA(w.List(), WM_CHAR, 'n', 1);
    w.Pump(30);
    EXPECT_EQ(FocusedRow(w), w.RowNamed("notes.txt"));
    // A capital typed with Shift held moves the selection; it is no Shift+click. The chosen row
    // follows, so the row commands act on it.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Sleep(TypeAhead::PauseMs + 100);
    PostMessageA(w.List(), WM_CHAR, 'M', 1);
    w.Pump(30);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{w.RowNamed("more.txt")}));
    EXPECT_EQ(w.View().hitItem, w.RowNamed("more.txt"));
    Sleep(TypeAhead::PauseMs + 100);  // a new name
    PostMessageA(w.List(), WM_CHAR, 'a', 1);
    w.Pump(30);
    EXPECT_EQ(w.View().hitItem, w.RowNamed("a.j"));
    EXPECT_TRUE(ViewCommandEnabled(ID_TEST, w.View().CurrentState()).value_or(false));

    // The list asks in the wide form (as Wine does for owner-data lists) or the narrow one.
    NMLVFINDITEMW wide{};
    wide.hdr.hwndFrom = w.List();
    wide.hdr.code = LVN_ODFINDITEMW;
    wide.lvfi.flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP;
    wide.lvfi.psz = L"MO";
    wide.iStart = 0;
    HWND frame = w.Frame().Handle();
    EXPECT_EQ(SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&wide), w.RowNamed("more.txt"));
    wide.lvfi.psz = L"zz";
    EXPECT_EQ(SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&wide), -1);
    NMLVFINDITEMA narrow{};
    narrow.hdr.hwndFrom = w.List();
    narrow.hdr.code = LVN_ODFINDITEMA;
    narrow.lvfi.flags = LVFI_STRING;
    narrow.lvfi.psz = "NOTES.TXT";
    EXPECT_EQ(SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&narrow), w.RowNamed("notes.txt"));
    narrow.lvfi.psz = "notes";  // whole names only without LVFI_PARTIAL
    EXPECT_EQ(SendMessageA(frame, WM_NOTIFY, 0, (LPARAM)&narrow), -1);
}

TEST(ViewWindow, EnterOpensTheRowAndBackspaceGoesUpUnlessAnOperationRuns)
{
    ArchiveFolder data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    w.View().SelectRow(w.RowNamed("src"));
    w.PressKey(VK_RETURN, false);
    EXPECT_EQ(w.View().diskFolder, data.folder + "\\src");
    w.PressKey(VK_BACK, false);
    EXPECT_EQ(w.View().diskFolder, data.folder);
    // Up a level, the folder the view came from is the chosen row.
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{w.RowNamed("src")}));
    EXPECT_EQ(w.View().hitItem, w.RowNamed("src"));

    w.View().SelectRow(w.RowNamed("a.j"));
    w.PressKey(VK_RETURN, false);
    ASSERT_TRUE(w.Doc().archiveMode);
    w.View().SelectRow(w.RowNamed("docs"));
    w.PressKey(VK_RETURN, false);
    EXPECT_EQ(w.View().archiveFolder, "\\docs");
    w.View().SelectRow(0);
    w.PressKey(VK_RETURN, false);  // ". ." opens as a double click does
    EXPECT_EQ(w.View().archiveFolder, "\\");

    // While an operation runs both keys wait, like the double click.
    w.View().operationRunning = 1;
    w.View().SelectRow(w.RowNamed("docs"));
    w.PressKey(VK_RETURN, false);
    w.PressKey(VK_BACK, false);
    EXPECT_EQ(w.View().archiveFolder, "\\");
    EXPECT_TRUE(w.Doc().archiveMode);
    w.View().operationRunning = 0;

    w.PressKey(VK_BACK, false);  // up from the root leaves the archive for its folder
    EXPECT_FALSE(w.Doc().archiveMode);
    EXPECT_EQ(w.View().diskFolder, data.folder);
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{w.RowNamed("a.j")}));
    // The chosen row follows the arrow keys: Test is for the archive row only.
    auto enabled = [&](unsigned id) { return ViewCommandEnabled(id, w.View().CurrentState()).value_or(false); };
    EXPECT_TRUE(enabled(ID_TEST));
    w.PressKey(VK_DOWN, false);
    EXPECT_EQ(w.View().hitItem, w.RowNamed("a.j") + 1);
    EXPECT_FALSE(enabled(ID_TEST));
    w.PressKey(VK_UP, false);
    EXPECT_TRUE(enabled(ID_TEST));
}

// Pixels of `text` unlike the background when each character is drawn alone in `font`: what a
// cell must show when none of its characters is cut.
static int InkOfCharacters(HFONT font, const std::string& text)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT all{0, 0, 64, 64};
    int ink = 0;
    for (char c : text) {
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        TextOutA(dc, 16, 16, &c, 1);
        for (int x = 0; x < 64; ++x)
            for (int y = 0; y < 64; ++y)
                ink += GetPixel(dc, x, y) != RGB(255, 255, 255);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ink;
}

TEST(ViewWindow, RightAlignedCellsShowEveryCharacterWhole)
{
    ArchiveFolder data;
    ASSERT_TRUE(data.made);
    TorvexWindow w(data.folder);
    w.Command(ID_DETAILS_VIEW);
    w.DoubleClickRow(w.RowNamed("a.j"));
    ASSERT_TRUE(w.Doc().archiveMode);
    int docs = w.RowNamed("docs");
    int big = w.RowNamed("big.bin");
    ASSERT_GT(docs, 0);
    ASSERT_GT(big, 0);
    ListView_SetItemState(w.List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    InvalidateRect(w.List(), nullptr, TRUE);
    UpdateWindow(w.List());
    w.Pump(20);

    HFONT font = (HFONT)SendMessageA(w.List(), WM_GETFONT, 0, 0);
    HDC dc = GetDC(w.List());
    // Attributes ("....D", "...A."), Modified, Created and Size: a cut last character (a "D"
    // showing as "[", a lost final "." or digit) leaves fewer pixels than the characters hold.
    for (auto [row, column] : {std::pair{docs, 4}, std::pair{big, 4}, std::pair{big, 2}, std::pair{big, 3}, std::pair{big, 1}}) {
        std::string text = w.Cell(row, column);
        ASSERT_FALSE(text.empty());
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        ASSERT_TRUE(SendMessageA(w.List(), LVM_GETSUBITEMRECT, row, (LPARAM)&cell));
        COLORREF background = GetPixel(dc, cell.left + 1, cell.top + 1);
        int ink = 0;
        for (int x = cell.left; x < cell.right; ++x)
            for (int y = cell.top; y < cell.bottom; ++y)
                ink += GetPixel(dc, x, y) != background;
        EXPECT_EQ(ink, InkOfCharacters(font ? font : (HFONT)GetStockObject(DEFAULT_GUI_FONT), text))
            << "\"" << text << "\" in column " << column;
    }
    ReleaseDC(w.List(), dc);
}

// Scrolled down, the list used to keep rows of the other style on screen where its own rows no
// longer were, so a click chose another row than the one seen.
TEST(ViewWindow, SwitchingListAndDetailsLeavesNoPictureOfTheOtherStyle)
{
    ArchiveFolder data;
    for (int i = 0; i < 80; ++i)
        WriteFile(data.folder + "\\row" + std::to_string(100 + i) + ".txt", "r");
    TorvexWindow w(data.folder);
    w.Command(ID_DETAILS_VIEW);
    SetFocus(w.List());
    w.PressKey(VK_END, false);
    w.Pump(200);
    ASSERT_GT(SendMessageA(w.List(), LVM_GETTOPINDEX, 0, 0), 0) << "scrolled";
    for (unsigned style : {ID_LIST_VIEW, ID_DETAILS_VIEW, ID_LIST_VIEW, ID_DETAILS_VIEW}) {
        w.Command(style);
        w.Pump(200);
        std::vector<uint32_t> shown = ScreenPicture(w.List());
        RedrawWindow(w.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        w.Pump(200);
        std::vector<uint32_t> redrawn = ScreenPicture(w.List());
        ASSERT_EQ(shown.size(), redrawn.size());
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differing += shown[i] != redrawn[i];
        EXPECT_EQ(differing, 0u) << "pixels of an older picture after switching to "
                                 << (style == ID_LIST_VIEW ? "List" : "Details");
    }

    // A click selects the row drawn where it lands.
    int notes = w.RowNamed("notes.txt");
    SendMessageA(w.List(), LVM_ENSUREVISIBLE, notes, FALSE);
    w.ClickRow(notes);
    EXPECT_EQ(w.SelectedRows(), std::vector<int>{notes});
}
