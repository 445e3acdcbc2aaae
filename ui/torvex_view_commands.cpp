// The view's commands: what each command id runs and when it is enabled, the context menu, the
// keys the list handles itself, the mouse while an operation runs, and view and save back.
#include "ui/torvex_view.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "dialogs/setting_names.h"
#include "dialogs/settings_dialogs_win.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/help.h"
#include "operations/open_verb.h"
#include "operations/view_commands.h"
#include "resources/resource.h"
#include "ui/compare_rows.h"
#include "ui/directory_picker.h"
#include "ui/main_frame.h"

// ---- Commands -----------------------------------------------------------------------------

bool CTorvexView::OnCommand(unsigned id, unsigned code)
{
    switch (id) {
    case ID_LIST_VIEW:
    case ID_DETAILS_VIEW: {
        ViewStyle style = id == ID_LIST_VIEW ? ViewStyle::List : ViewStyle::Details;
        ApplyViewStyle(style);
        services_.directories.viewType = static_cast<int>(style);
        return true;
    }
    case ID_SELECT_ALL:
        OnSelectAll();
        return true;
    case ID_REFRESH:
        OnRefresh();
        return true;
    case ID_ADD:
        ::OnAdd(*this, services_.add, services_.directories);
        return true;
    case ID_DELETE:
        ::OnDelete(*this);
        return true;
    case ID_VIEW_OPEN_FILE:
        if (const ChapterComparison* comparison = Comparison()) {
            if (const ArchiveEntry* hit = HitEntry())
                ViewComparedSide(DefaultViewSide(*comparison, hit->Path));
            return true;
        }
        // The parent row counts here: with it, more than one row is selected.
        ViewSave().OnViewFile(ViewSaveContext(), SelectedEntries(true));
        return true;
    case ID_SAVE_VIEWED:
        RelistAfterSave(ViewSave().OnSaveViewed());
        return true;
    case ID_DIRECTORIES: {
        HelpTopic topic(helpAnchor, "#ConfigureTorvex");
        DirectoriesDialog dialog(services_.directories);
        dialog.openHelp = services_.showHelp;
        HIMAGELIST icons = services_.icons.ImageList();
        dialog.pickFolder = [icons](HWND owner, std::string& folder) { return PickFolder(owner, icons, folder); };
        if (dialog.DoModal(GetParent(Handle())) == IDOK)
            services_.directories.Save(services_.store);
        return true;
    }
    case ID_MISCELLANEOUS: {
        MiscellaneousSettings misc;
        misc.Load(services_.store);
        HelpTopic topic(helpAnchor, "#SetMisc");
        MiscellaneousDialog dialog(misc);
        dialog.openHelp = services_.showHelp;
        if (dialog.DoModal(GetParent(Handle())) == IDOK)
            misc.Save(services_.store);
        return true;
    }
    case IDC_DRIVE_COMBO:
        if (code == CBN_SELENDOK)
            OnDriveChange();
        return true;
    case IDC_CHAPTER_COMBO:
        if (code == CBN_SELENDOK && !operationRunning)
            OnChapterSelected();
        return true;
    case ID_TEST:
        ::OnTest(*this);
        return true;
    case ID_EXTRACT:
        ::OnExtract(*this, services_.extract);
        return true;
    case ID_EXTRACT_TO:
        ::OnExtractTo(*this, services_.extract, services_.directories);
        return true;
    case ID_EXTRACT_ARCHIVE_TO:
        ExtractSelectedArchive();
        return true;
    case ID_ADD_TO_FILES_LIST:
        AddToFilesList();
        return true;
    case ID_EDIT_FILES_LIST:
        EditFilesList();
        return true;
    case ID_ARCHIVE_COMMENT:
        if (GetTorvexDoc()->archiveMode)
            PromptUser(ArchiveCommentText(GetTorvexDoc()->Catalogue()), prompt::Ok | prompt::IconInformation);
        return true;
    case ID_FIND:
        ::OnFind(*this);
        return true;
    case ID_COPY_FILES:
        OnCopyFiles();
        return true;
    case ID_PASTE_FILES:
        // Ctrl+V is also View/Open: with no files on the clipboard it views the chosen file.
        if (!OnPasteFiles()) {
            auto enabled = ViewCommandEnabled(ID_VIEW_OPEN_FILE, CurrentState());
            if (enabled && *enabled)
                OnCommand(ID_VIEW_OPEN_FILE, 0);
        }
        return true;
    case ID_HISTORY:
        ::OnHistory(*this, services_.extract, services_.directories);
        return true;
    case ID_COMPARE_CHAPTERS:
        OnCompareChapters();
        return true;
    case ID_LEAVE_COMPARISON:
        if (!operationRunning)
            LeaveComparison();
        return true;
    case ID_VIEW_OLDER:
    case ID_VIEW_NEWER:
        ViewComparedSide(id == ID_VIEW_OLDER ? ComparisonSide::Older : ComparisonSide::Newer);
        return true;
    case ID_EXTRACT_OLDER:
    case ID_EXTRACT_NEWER:
        ExtractComparedSide(id == ID_EXTRACT_OLDER ? ComparisonSide::Older : ComparisonSide::Newer);
        return true;
    default:
        return false;
    }
}

bool CTorvexView::OnUpdateCommand(CommandState& state)
{
    if (state.Id() == ID_SELECT_ALL) {
        state.Enable(operationRunning == 0);
        return true;
    }
    auto enabled = ViewCommandEnabled(state.Id(), CurrentState());
    if (!enabled)
        return false;
    state.Enable(*enabled);
    if (state.Id() == ID_LIST_VIEW || state.Id() == ID_DETAILS_VIEW)
        state.SetCheck(List().GetViewType() == (state.Id() == ID_LIST_VIEW ? (DWORD)LVS_LIST : (DWORD)LVS_REPORT));
    return true;
}


ViewState CTorvexView::CurrentState() const
{
    ViewState s;
    s.archiveMode = GetTorvexDoc()->archiveMode;
    s.operationRunning = operationRunning != 0;
    s.selectedCount = List().GetSelectedCount();
    s.realSelection = HasRealSelection();
    s.hitEntry = HitEntry();
    // While an operation runs the WorkSet and the files list are the worker's (and every command
    // reading them is disabled anyway): the interface thread keeps off them.
    s.filesListHasItems = !operationRunning && !FilesListTree.Empty();
    s.viewedCopyModified = viewSave_ && viewSave_->AnyCopyModified();
    s.chapterCount = s.archiveMode ? int(GetTorvexDoc()->Catalogue().ChapterNumbers().size()) : 0;
    if (comparison_) {
        s.comparison = true;
        if (s.hitEntry && !IsParentRow(*s.hitEntry)) {
            s.hitInOlder = RowHasSide(*s.hitEntry, ComparisonSide::Older);
            s.hitInNewer = RowHasSide(*s.hitEntry, ComparisonSide::Newer);
        }
    }
    return s;
}

void CTorvexView::OnDropAdd(HDROP drop)
{
    // While an operation runs a drop is refused, silently, like every other way in.
    if (operationRunning) {
        ::DragFinish(drop);
        return;
    }
    if (comparison_) {
        ::DragFinish(drop);
        PromptUser("Files cannot be added while two chapters are compared. Leave the comparison (Esc) first.",
                   prompt::Ok | prompt::IconExclamation);
        return;
    }
    ::OnDropAdd(*this, services_.add, drop);
}

void CTorvexView::ShowHelp(const std::string& anchor) const
{
    if (services_.showHelp)
        services_.showHelp(anchor);
}

void CTorvexView::ExtractSelectedArchive()
{
    ::OnExtractArchive(*this, services_.extract, services_.directories);
}

void CTorvexView::ExtractArchiveFile(const std::string& archivePath)
{
    ::ExtractArchiveFile(*this, services_.extract, services_.directories, archivePath);
}

// ---- Mouse, context menu and keys ------------------------------------------------------------

bool CTorvexView::OnLButtonDown(UINT, POINT pt)
{
    if (operationRunning)
        return true;
    // A click chooses the row under the mouse, whatever the selection it leaves.
    clicking_ = true;
    DefaultProcessing();
    clicking_ = false;
    hitItem = List().HitTest(pt);
    return true;
}

bool CTorvexView::OnLButtonDblClk(UINT, POINT pt)
{
    if (operationRunning)
        return true;
    UINT flags = 0;
    int row = List().HitTest(pt, &flags);
    hitItem = row;
    if (row >= 0 && (flags & LVHT_ONITEM))
        ActivateRow(row);
    return false;
}

bool CTorvexView::OnRButtonDown(UINT, POINT)
{
    return operationRunning != 0;
}

bool CTorvexView::OnContextMenu(POINT screenPt)
{
    if (operationRunning)
        return true;
    POINT client = screenPt;
    if (screenPt.x == -1 && screenPt.y == -1) {
        // From the keyboard: at the focused row.
        int focused = List().GetNextItem(-1, LVNI_FOCUSED);
        RECT r{};
        if (focused >= 0 && List().GetItemRect(focused, r, LVIR_LABEL))
            client = {r.left, r.bottom};
        else
            client = {0, 0};
        screenPt = client;
        ClientToScreen(Handle(), &screenPt);
    } else {
        ScreenToClient(Handle(), &client);
    }
    hitItem = List().HitTest(client);

    HMENU menu = LoadMenuA(services_.instance, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    if (!menu)
        return true;
    const ChapterComparison* comparison = Comparison();
    HMENU popup = GetSubMenu(menu, comparison ? 3 : GetTorvexDoc()->archiveMode ? 0 : 1);
    if (popup && comparison) {
        for (auto [id, text, chapter] : {std::tuple{ID_VIEW_OLDER, "View from ", comparison->Older()},
                                         {ID_VIEW_NEWER, "View from ", comparison->Newer()},
                                         {ID_EXTRACT_OLDER, "Extract from ", comparison->Older()},
                                         {ID_EXTRACT_NEWER, "Extract from ", comparison->Newer()}}) {
            std::string label = text + ChapterLabel(chapter) + (id == ID_EXTRACT_OLDER || id == ID_EXTRACT_NEWER ? "..." : "");
            ModifyMenuA(popup, id, MF_BYCOMMAND | MF_STRING, id, label.c_str());
        }
        // Items the rules disable are greyed, as in the main menu.
        ViewState state = CurrentState();
        for (UINT id : {ID_VIEW_OLDER, ID_VIEW_NEWER, ID_EXTRACT_OLDER, ID_EXTRACT_NEWER, ID_COMPARE_CHAPTERS})
            EnableMenuItem(popup, id, MF_BYCOMMAND | (ViewCommandEnabled(id, state).value_or(true) ? MF_ENABLED : MF_GRAYED));
        UINT chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screenPt.x, screenPt.y,
                                     0, Handle(), nullptr);
        if (chosen)
            OnCommand(chosen, 0);
    } else if (popup) {
        ModifyMenuA(popup, ID_VIEW_OPEN_FILE, MF_BYCOMMAND | MF_STRING, ID_VIEW_OPEN_FILE,
                    ViewCommandLabel(ReadSetting(services_.store, setting::AssocProg)));
        if (!ClipboardHoldsFiles())
            EnableMenuItem(popup, ID_PASTE_FILES, MF_BYCOMMAND | MF_GRAYED);
        std::string size = SelectionSizeText();
        ModifyMenuA(popup, ID_COMPUTE_SIZE, MF_BYCOMMAND | MF_STRING, 0, size.c_str());
        UINT chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screenPt.x, screenPt.y,
                                     0, Handle(), nullptr);
        if (chosen)
            OnCommand(chosen, 0);
    }
    DestroyMenu(menu);
    return true;
}

bool CTorvexView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    // Enter opens the focused row as a double click does; Backspace goes up one level (the parent
    // row). Both wait, like the double click, while an operation runs.
    if (key == VK_ESCAPE && comparison_) {
        if (!operationRunning)
            LeaveComparison();
        return true;
    }
    if (key == VK_RETURN || key == VK_BACK) {
        if (operationRunning)
            return true;
        int row = key == VK_RETURN ? List().GetNextItem(-1, LVNI_FOCUSED) : (rows_.HasParentRow() ? 0 : -1);
        if (row >= 0)
            ActivateRow(row);
        return true;
    }
    bool firstStroke = repeat == 1 && !(flags & KF_REPEAT);
    KeyDecision decision = DecideListKey(GetTorvexDoc()->archiveMode, operationRunning != 0,
                                         GetKeyState(VK_CONTROL) < 0, key, firstStroke ? 1 : 2);
    if (comparison_ && (decision.quickDelete || decision.command == ID_ADD))
        return true;  // nothing is deleted from or added to a comparison
    if (decision.quickDelete) {
        ::QuickDelete(*this);
        return true;
    }
    if (decision.command == ID_ADD) {
        ::OnAdd(*this, services_.add, services_.directories);
        return true;
    }
    if (decision.command == ID_EXTRACT || decision.command == ID_EXTRACT_TO ||
        decision.command == ID_EXTRACT_ARCHIVE_TO) {
        auto enabled = ViewCommandEnabled(decision.command, CurrentState());
        if (enabled && *enabled)
            OnCommand(decision.command, 0);
        return true;
    }
    return false;
}

// ---- View and save back -------------------------------------------------------------------

ViewSaveOperations& CTorvexView::ViewSave()
{
    if (!viewSave_)
        viewSave_ = std::make_unique<ViewSaveOperations>(services_.store, *GetTorvexDoc());
    return *viewSave_;
}

void CTorvexView::ViewVersion(const ArchiveEntry& entry, int chapter)
{
    ViewSaveOperations::Context context = ViewSaveContext();
    context.shownChapter = chapter;
    ViewSave().OnViewFile(context, {&entry});
}

ViewSaveOperations::Context CTorvexView::ViewSaveContext() const
{
    ViewSaveOperations::Context context;
    context.owner = GetParent(Handle());
    const CTorvexDoc* doc = GetTorvexDoc();
    context.archiveShown = doc->archiveMode;
    context.archivePath = doc->Catalogue().ArchivePath;
    context.shownChapter = shownChapter;
    context.diskFolder = diskFolder;
    return context;
}

void CTorvexView::SaveViewedFiles(bool closing)
{
    if (viewSave_)
        viewSave_->SaveViewedFiles(closing);
}

void CTorvexView::RelistAfterSave(const std::vector<std::string>& savedArchives)
{
    CTorvexDoc* doc = GetTorvexDoc();
    // The records carry the path the catalogue gave them, so the text compares as it stands.
    if (!doc->archiveMode ||
        std::find(savedArchives.begin(), savedArchives.end(), doc->Catalogue().ArchivePath) == savedArchives.end())
        return;
    // The open archive changed under the list: its rows show the saved copies' new size, date and
    // chapter, as after any operation that changes the archive.
    WithdrawStaleOffer();
    std::unique_ptr<ArchiveRelisting> relisting = RelistArchive(*doc, doc->Catalogue().ArchivePath, shownChapter,
                                                                archiveFolder);
    if (relisting)
        TakeRelisting(*relisting);
}

void CTorvexView::RecoverAbandonedCopies()
{
    ViewSave().RecoverAbandonedCopies(GetParent(Handle()));
}
