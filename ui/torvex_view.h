// The one view of the main window: a list of one archive directory (of the shown chapter) or of
// one disk folder, with the parent row ". ." on top. The rows live in ViewRows in display order
// and the list asks for them by index (owner data), so large directories show at once.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/add_dialog.h"
#include "dialogs/directories_settings.h"
#include "dialogs/extract_dialog.h"
#include "dialogs/settings_store.h"
#include "engine/archive_catalogue.h"
#include "engine/document_view.h"
#include "framework/dpi_scale.h"
#include "framework/list_view.h"
#include "operations/operation_job.h"
#include "operations/progress_window.h"
#include "operations/transfer_rules.h"
#include "operations/view_save_win.h"
#include "ui/comparison_rows.h"
#include "ui/data_transfer.h"
#include "ui/files_list.h"
#include "ui/folder_watcher.h"
#include "ui/icon_cache.h"
#include "ui/view_rows.h"
#include "ui/view_rules.h"

class CMainFrame;
class CTorvexDoc;

// What the application hands the view when it creates it.
struct ViewServices {
    HINSTANCE instance;                // the program's menus and windows
    IconCache& icons;                  // the 16x16 icons every list shares (closed folder first)
    SettingsStore& store;              // settings read when used (AssocProg)
    DirectoriesSettings& directories;  // start-up folder, view type, last folders
    ExtractDialog& extract;            // the Extract dialog, with its pools
    AddDialog& add;                    // the Add dialog: its choices and pool last the whole run
    HelpOpener showHelp;               // the manual at a topic
};

class CTorvexView : public ListView, public DocumentView {
public:
    explicit CTorvexView(ViewServices services);
    ~CTorvexView() override;

    // Archive directory shown in archive mode ("\" for the root, else e.g. \docs\img).
    std::string archiveFolder;
    // Disk folder shown in disk mode, no trailing backslash; a drive root is "C:".
    std::string diskFolder;
    // Chapter whose contents are shown.
    int shownChapter = 0;
    int archiveSortColumn = 0;
    int diskSortColumn = 0;
    // A second click on the sorted column's header reverses the order.
    bool archiveSortDescending = false;
    bool diskSortDescending = false;
    // Row under the last left click or double click, or the one selected row after the selection
    // changed by keyboard, typing or Select All; -1 when none.
    int hitItem = -1;
    // Set while a background operation runs: every input is refused.
    int operationRunning = 0;
    // Help topic of the dialog now open (e.g. "#Extract"); empty when none.
    std::string helpAnchor;

    CTorvexDoc* GetTorvexDoc() const;
    CMainFrame* MainFrame() const;

    // ---- The list: columns, rows, drawing (ui/torvex_view.cpp) ----
    void OnDpiChanged(int oldDpi, int newDpi) override;
    // After the application's small icons were rebuilt for another DPI.
    void ReloadIcons();
    // Fills the list with the parent row and `entries` (a directory of the shown chapter;
    // nullptr shows the parent row alone), sorts, sets the title.
    void ShowArchiveFolder(const EntryList* entries);
    // Fills the list with the parent row (below a drive root) and the disk rows.
    void ShowDiskFolder(const EntryList& entries);
    void SetArchiveColumns();
    void SetDiskColumns();
    void ApplyViewStyle(ViewStyle style);
    // First row from `start` whose name is `wanted` (or begins with it when partial), ignoring
    // case, going round to the top when wrap is set; -1 when none.
    int FindRowFrom(const std::string& wanted, bool partial, bool wrap, int start) const;
    // Rows in display order (index = list row).
    const ViewRows& Rows() const { return rows_; }
    int RowCount() const { return rows_.Count(); }
    // First row from `start` whose name equals `name` ignoring case; -1 when none.
    int FindRow(const std::string& name, int start = 0) const { return rows_.FindName(name, start); }

    // ---- Navigation and the two modes (ui/torvex_view_navigation.cpp) ----
    // Before the first update: the list's style from the settings.
    void OnInitialUpdate() override;
    // The document changed: show the archive's root or the start-up disk folder.
    void OnUpdate(ListView* sender, intptr_t hint) override;
    // What the document asks of the view (see DocumentView).
    std::string DiskFolder() const override { return diskFolder; }
    void ReleaseRows() override;
    int ShownChapter() const override { return shownChapter; }
    void ShowListedArchive(const std::string& folder) override;
    // Disk mode at `folder`: disk toolbar, no archive information, disk columns, its rows.
    void EnterDiskMode(const std::string& folder) override;
    bool SelectRowNamed(const std::string& name) override;
    // Archive mode at `folder` of the loaded catalogue's chapter shownChapter: archive toolbar,
    // the archive's information, archive columns, that directory's rows.
    void EnterArchiveMode(const std::string& folder);
    void OnRefresh();
    // The drive combo's accepted selection.
    void OnDriveChange();
    // The chapter combo's accepted selection: shows that chapter's root, listing it the first
    // time it is shown.
    void OnChapterSelected();
    // Shows archive entry `path` of chapter `chapter` in its folder, its row selected.
    void GoToEntry(const std::string& path, int chapter);
    // Runs what a double click on `row` does (the window's handler calls it after the hit test).
    void ActivateRow(int row);
    bool WatcherStarted() const { return watcher_.Started(); }
    const std::string& WatchedFolder() const { return watcher_.WatchedFolder(); }
    const FolderWatcher& Watcher() const { return watcher_; }

    // ---- Selection (ui/torvex_view_selection.cpp) ----
    // The entries of the selected rows in list order, the parent row left out unless asked for.
    std::vector<const ArchiveEntry*> SelectedEntries(bool withParentRow = false) const;
    // The entry of the row last clicked; nullptr when none.
    const ArchiveEntry* HitEntry() const;
    // More than one row selected, or one that is not the parent row.
    bool HasRealSelection() const;
    bool IsRowSelected(int row) const;
    // Selects one row (and gives it the focus); the others lose their selection.
    void SelectRow(int row);
    void OnSelectAll();
    // Size line of the context menu: bytes and files under the selected rows.
    std::string SelectionSizeText();

    // ---- The operation set and the files list (ui/files_list_view.cpp) ----
    // Copies of rows the next operation works on.
    EntryList WorkSet;
    // The gathered files list; emptied by ClearWorkSet.
    FilesList FilesListTree;
    // Empties the operation set and the files list.
    void ClearWorkSet();
    // F5: copies the selected rows into the files list.
    void AddToFilesList();
    // F6: the "Edit Files List" dialog.
    void EditFilesList();
    // The WorkSet becomes copies of the files list's leaves.
    void CollectFilesList();
    // The WorkSet becomes copies of the selected rows (every row when allRows), the parent row
    // left out, each with `source` as the folder it was shown in.
    void CollectRows(bool allRows, const std::string& source);

    // ---- Commands, their enabling, the context menu and keys (ui/torvex_view_commands.cpp) ----
    bool OnCommand(unsigned id, unsigned code) override;
    bool OnUpdateCommand(CommandState& state) override;
    // The state the command-enabling rules read.
    ViewState CurrentState() const;
    // Files dropped onto the window that are not a single archive to open.
    void OnDropAdd(HDROP drop);
    void ExtractSelectedArchive() override;
    void ExtractArchiveFile(const std::string& archivePath) override;
    // The Extract dialog the application handed in: it keeps its options between openings.
    ExtractDialog& ExtractOptions() { return services_.extract; }
    // The manual at `anchor` (a dialog's Help button).
    void ShowHelp(const std::string& anchor) const;
    // Offers edited copies of viewed files back to their archives (closing: and removes them).
    void SaveViewedFiles(bool closing);
    // At start-up: copies left by a Torvex that was killed are offered for saving.
    void RecoverAbandonedCopies();
    // Views one version of an archive file: `entry` as chapter `chapter` holds it.
    void ViewVersion(const ArchiveEntry& entry, int chapter);
    // The view operations as they stand (tests).
    ViewSaveOperations& ViewSaveForTests() { return ViewSave(); }

    // ---- Comparing two chapters (ui/torvex_view_comparison.cpp) ----
    // Compare Chapters: asks for two chapters, then lists and compares them on the worker.
    void OnCompareChapters();
    // The list shows `compared` from its root until the comparison is left.
    void ShowComparison(std::unique_ptr<ComparedChapters> compared, bool withUnchanged);
    // Back to the shown chapter, at the folder it showed before the comparison.
    void LeaveComparison();
    // The comparison shown; nullptr while the list shows a chapter or the disk.
    const ChapterComparison* Comparison() const;
    // View of the one selected file as that side's chapter holds it.
    void ViewComparedSide(ComparisonSide side);
    // Extract to ... of the selection from that side's chapter.
    void ExtractComparedSide(ComparisonSide side);

    // ---- Drag out, Copy and Paste (ui/torvex_view_transfer.cpp) ----
    // The selected rows dragged out of the list.
    void OnBeginDrag();
    // Ctrl+C: the selected rows on the clipboard.
    void OnCopyFiles();
    // Ctrl+V: the files on the clipboard into the archive shown (through the Add dialog) or
    // copied into the disk folder shown; false when the clipboard holds no files.
    bool OnPasteFiles();
    // The view's offer is still on the clipboard.
    bool OfferOnClipboard() const { return clipboard_.OnClipboard(); }

    // ---- Operations, one at a time on a worker thread (ui/torvex_view_operation.cpp) ----
    // A job of `kind` with what every body may read: the archive, the shown chapter and
    // folders, the runner's folders, the finish beep.
    OperationJob NewJob(OperationKind kind) const;
    // The list-file lines of `work` (archive rows), from the shown chapter; in a comparison, from
    // `chapter` when it is one of its sides.
    std::vector<std::string> ListLinesOf(const EntryList& work, int chapter = 0) const;
    // Freezes what could start another operation, shows the progress window and runs the job's
    // body on a worker thread (operations/operation_runner.h). Refused (false, nothing started)
    // while an operation runs, or when the thread cannot be started.
    bool StartOperation(OperationJob job);
    // The progress window's object; its window exists while an operation runs.
    ProgressWindow progressWindow;

protected:
    DWORD PreCreate(DWORD style) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnLButtonDown(UINT flags, POINT pt) override;
    bool OnLButtonDblClk(UINT flags, POINT pt) override;
    bool OnRButtonDown(UINT flags, POINT pt) override;
    bool OnContextMenu(POINT screenPt) override;
    bool OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroy() override;

private:
    // The list.
    void SetColumns(int count);
    void SetComparisonColumns(int older, int newer);
    // What each column of the list shows: the row's cell, and whether it is right-aligned.
    struct ShownColumn {
        int cell;
        bool rightAligned;
    };
    std::vector<ShownColumn> shownColumns_;
    int CellOf(int column) const;
    // The sort column (a cell) and direction of what the list shows.
    int& SortColumn();
    bool& SortDescending();
    // The DPI of the frame the list is shown in.
    int FrameDpi() const;
    // Draws a right-aligned cell whole; false leaves it to the list.
    bool DrawRightAlignedCell(NMLVCUSTOMDRAW& draw);
    // Empties the list before the rows it points into go away.
    void DropRows();
    void ShowRows(int sortColumn, bool descending);
    void SortBy(int column);
    // The header's arrow on the sorted column.
    void ShowSortArrow();
    // The selection changed: the chosen row follows a single selected row, and the status bar's
    // selection pane is brought up to date (once, after a burst of changes).
    void OnSelectionChanged();
    void ShowSelectionStatus();
    bool selectionStatusPosted_ = false;
    bool clicking_ = false;
    // A printable character typed on the list: the row whose name it begins is selected alone.
    void OnTypedCharacter(char c);
    TypeAhead typeAhead_;
    // After going up a level: selects the row of the folder (or archive) the view came from.
    void SelectCameFrom(const std::string& path);
    void SetTitle(const std::string& title);

    // Navigation.
    void SelectDriveOf(const std::string& path);
    // The comparison shown, with the rows of its folder.
    struct ComparisonShown {
        std::unique_ptr<ComparedChapters> compared;
        bool withUnchanged = false;
        EntryList rows;
        // The chapter's folder shown before, shown again when the comparison is left.
        std::string returnFolder;
        int sortColumn = 0;
        bool sortDescending = false;
    };
    std::unique_ptr<ComparisonShown> comparison_;
    void ShowComparisonFolder(const std::string& folder);
    // A double click, Enter or Backspace on a row of the comparison.
    void ActivateComparedRow(int row);
    // Forgets the comparison, its rows first; the caller shows what follows.
    void EndComparison();
    // Shows the rows of disk folder `folder` (the mode stays).
    void ShowDisk(const std::string& folder);
    // Lists a ".j" file and shows it; the loaded archive stays when listing fails.
    bool OpenArchive(const std::string& path);
    const EntryList* ChapterList(const std::string& folder) const;
    // The watcher follows every disk folder the view shows; started with the first one.
    void WatchDiskFolder();
    // The watcher saw a change in the shown disk folder: the rows are read again a moment later.
    void OnFolderChanged();

    // Operations: the runner's end and its hand-over of a fresh catalogue.
    void OnOperationDone(std::unique_ptr<OperationOutcome> outcome);
    void TakeRelisting(ArchiveRelisting& relisting);
    void SetOperationCombosEnabled(bool enabled);

    // Files of the archive opened for viewing, created with the document the view shows.
    ViewSaveOperations& ViewSave();
    ViewSaveOperations::Context ViewSaveContext() const;
    // After Save: lists the open archive again when it was one of those written to.
    void RelistAfterSave(const std::vector<std::string>& savedArchives);

    // Drag out, Copy and Paste.
    struct TransferSource;
    // Files of the selected rows for a drag or the clipboard; none when nothing is selected or
    // the per-drag folder cannot be made. `archiveFiles`: they are extracted when taken.
    std::optional<FileOffer> MakeOffer(bool& archiveFiles);
    // A target takes the files: they are extracted into the per-drag folder, the window
    // answering meanwhile. False while another operation runs or when the archive changed.
    bool RenderTransfer(const TransferSource& source);
    // The offer on the clipboard goes when the archive it came from has changed.
    void WithdrawStaleOffer();
    ClipboardOffer clipboard_;
    ArchiveStamp clipboardStamp_;
    // Expires with the view: an offer a target still holds then extracts nothing.
    std::shared_ptr<int> transferAlive_ = std::make_shared<int>(0);

    std::unique_ptr<ViewSaveOperations> viewSave_;
    ViewServices services_;
    ViewRows rows_;
    // The column widths carried through DPI changes.
    dpi::KeptWidths keptWidths_;
    FolderWatcher watcher_;
    // The running operation's worker thread; nullptr when none.
    HANDLE operationThread_ = nullptr;
    // What the interface thread applies when the running operation is done (its kind and the
    // extract choices that go back into the dialog).
    std::unique_ptr<OperationJob> finishing_;
    // A disk change arrived while an operation ran: the rows are read again when it is done.
    bool rescanAfterOperation_ = false;
};
