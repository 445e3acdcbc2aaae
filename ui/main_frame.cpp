#include "ui/main_frame.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/dpi_scale.h"
#include "framework/framework_ids.h"
#include "resources/resource.h"
#include "ui/main_frame_rules.h"
#include "ui/torvex_view.h"

namespace {
// Sizes at 96 DPI; the window multiplies them by its DPI / 96.
constexpr int kButtonSize = 31;
constexpr int kImageSize = 24;
constexpr int kComboSeparatorWidth = 100;
constexpr int kButtonGap = 8;
// The drop-down height the combos are created with (top 3, bottom 103).
constexpr int kComboTop = 3, kComboBottom = 103;

// The strip of a button set drawn for the image size in use (24, 36 or 48 pixels).
UINT StripFor(ToolbarMode mode, int imageSize)
{
    bool archive = mode == ToolbarMode::Archive;
    if (imageSize >= kImageSize * 2)
        return archive ? IDB_ARCHIVE_TOOLBAR_48 : IDB_DISK_TOOLBAR_48;
    if (imageSize >= kImageSize * 3 / 2)
        return archive ? IDB_ARCHIVE_TOOLBAR_36 : IDB_DISK_TOOLBAR_36;
    return archive ? IDR_ARCHIVE_TOOLBAR : IDR_MAINFRAME;
}

// The Help pop-up once found or made; kept for the life of the process.
HMENU helpPopup = nullptr;

std::string MenuItemText(HMENU menu, int position)
{
    char text[256] = {};
    ::GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

HWND CreateCombo(HWND parent, RECT r, DWORD style, UINT id)
{
    return ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, (HMENU)(UINT_PTR)id,
                             (HINSTANCE)::GetWindowLongPtrA(parent, GWLP_HINSTANCE), nullptr);
}
} // namespace

CMainFrame::CMainFrame(FrameServices services) : services_(std::move(services)) {}

DWORD CMainFrame::PreCreate(DWORD style)
{
    // The view writes the whole title; the frame adds no document name to it.
    return style;
}

int CMainFrame::ToolbarImageSize() const { return dpi::ImageSizeFor(kImageSize, Dpi()); }

bool CMainFrame::LoadButtonSet(ToolbarMode mode)
{
    int image = ToolbarImageSize();
    int button = dpi::Scale(kButtonSize, Dpi());
    MainToolBar.SetSeparatorWidth(dpi::Scale(kButtonGap, Dpi()));
    if (!MainToolBar.LoadButtons(services_.instance, StripFor(mode, image),
                                 mode == ToolbarMode::Archive ? ArchiveToolbarButtons() : DiskToolbarButtons(),
                                 SIZE{image, image}))
        return false;
    MainToolBar.SetSizes(SIZE{button, button}, SIZE{image, image});
    int comboRoom = dpi::Scale(kComboSeparatorWidth, Dpi());
    MainToolBar.SetSeparator(0, comboRoom);
    if (mode == ToolbarMode::Archive)
        MainToolBar.SetSeparator(2, comboRoom);
    return true;
}

RECT CMainFrame::ComboRect(int position) const
{
    // Over separator 0 for the drive combo; the chapter combo one separator width and a gap
    // further right.
    RECT r = MainToolBar.GetItemRect(0);
    if (position == 1)
        ::OffsetRect(&r, (r.right - r.left) + dpi::Scale(kButtonGap, Dpi()), 0);
    r.top = dpi::Scale(kComboTop, Dpi());
    r.bottom = dpi::Scale(kComboBottom, Dpi());
    return r;
}

bool CMainFrame::OnCreate()
{
    if (!MainToolBar.Create(Handle(), WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, ID_TOOLBAR_BAR))
        return false;
    if (!LoadButtonSet(ToolbarMode::Disk))
        return false;
    SetToolBar(&MainToolBar);
    SetToolbarMode(ToolbarMode::Disk);

    RECT r = ComboRect(0);
    MainToolBar.driveCombo.Attach(
        CreateCombo(MainToolBar.Handle(), r, WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, IDC_DRIVE_COMBO));
    if (!MainToolBar.driveCombo)
        return false;
    MainToolBar.font = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    MainToolBar.driveCombo.SetFont(MainToolBar.font);
    ScaleChildFont(MainToolBar.driveCombo.Handle());

    // Room for all 26 roots ("A:\" and its zero each) and the closing zero: 100 characters would
    // leave the combo empty on a machine with more than 24 drives.
    char drives[26 * 4 + 1] = {};
    DWORD length = ::GetLogicalDriveStringsA(sizeof(drives), drives);
    if (length > sizeof(drives))
        length = 0;
    for (const std::string& root : DriveComboTexts(drives, length))
        MainToolBar.driveCombo.AddString(root);
    FitComboDropHeight(MainToolBar.driveCombo);

    r = ComboRect(1);
    MainToolBar.chapterCombo.Attach(CreateCombo(MainToolBar.Handle(), r, CBS_DROPDOWNLIST | CBS_HASSTRINGS, IDC_CHAPTER_COMBO));
    if (!MainToolBar.chapterCombo)
        return false;
    MainToolBar.chapterCombo.SetFont(MainToolBar.font);
    ScaleChildFont(MainToolBar.chapterCombo.Handle());
    chapterTip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                    services_.instance, nullptr);
    if (chapterTip_) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(MainToolBar.chapterCombo.Handle());
        tool.lpszText = const_cast<char*>("");
        ::SendMessageA(chapterTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        // Comment lines are shown as typed, one per line.
        ::SendMessageA(chapterTip_, TTM_SETMAXTIPWIDTH, 0, dpi::Scale(480, Dpi()));
    }

    if (!statusBar.Create(Handle(), WS_VISIBLE | SBARS_SIZEGRIP, ID_STATUS_BAR))
        return false;
    const UINT message[] = {ID_SEPARATOR};
    statusBar.SetIndicators(message, 1);
    SetStatusBar(&statusBar);
    ScaleChildFont(statusBar.Handle());
    SetIdleMessage();
    return true;
}

void CMainFrame::SetToolbarMode(ToolbarMode mode)
{
    // The view asks on every display; reloading the same set would only make the bar flicker.
    if (mode == toolbarMode_)
        return;
    toolbarMode_ = mode;
    LoadButtonSet(mode);
    if (MainToolBar.chapterCombo)
        MainToolBar.chapterCombo.Show(mode == ToolbarMode::Archive ? SW_SHOW : SW_HIDE);
    // The new buttons start enabled; give them their real state before they are seen.
    UpdateToolBarButtons();
    RecalcLayout();
}

void CMainFrame::ShowArchiveInfo(const ArchiveCatalogue* catalogue, int chapter)
{
    infoText_ = catalogue ? ArchiveInfoText(*catalogue, chapter) : std::string();
    LayOutStatusPanes();
    SetChapterTip(catalogue ? ChapterTipText(*catalogue, chapter) : std::string());
}

void CMainFrame::ShowInfoText(const std::string& text)
{
    infoText_ = text;
    LayOutStatusPanes();
}

void CMainFrame::SetChapterTip(const std::string& text)
{
    if (!chapterTip_)
        return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(MainToolBar.chapterCombo.Handle());
    tool.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(chapterTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CMainFrame::ShowSelectionInfo(const std::string& text)
{
    if (text == selectionText_)
        return;
    selectionText_ = text;
    LayOutStatusPanes();
}

void CMainFrame::LayOutStatusPanes()
{
    std::vector<UINT> panes{ID_SEPARATOR};
    std::vector<std::string> texts{std::string()};
    for (const std::string* text : {&infoText_, &selectionText_}) {
        if (text->empty())
            continue;
        panes.push_back(text == &infoText_ ? ID_INFO_PANE : ID_SELECTION_PANE);
        texts.push_back(*text);
    }
    statusBar.SetIndicators(panes.data(), static_cast<int>(panes.size()));
    for (size_t i = 1; i < panes.size(); ++i) {
        statusBar.SetPaneInfo(static_cast<int>(i), panes[i], 0, InfoPaneWidth(TextWidth(statusBar.Handle(), texts[i]), Dpi()));
        statusBar.SetPaneText(static_cast<int>(i), texts[i]);
    }
}

void CMainFrame::FillChapterCombo(const ArchiveCatalogue& catalogue)
{
    ComboBox combo = MainToolBar.chapterCombo;
    combo.ResetContent();
    for (int n : catalogue.ChapterNumbers())
        combo.SetItemData(combo.AddString(ChapterLabel(n)), n);
    combo.SetCurSel(combo.GetCount() - 1);
    FitComboDropHeight(combo);
}

int CMainFrame::SelectedChapter() const
{
    ComboBox combo = MainToolBar.chapterCombo;
    int index = combo.GetCurSel();
    return index < 0 ? 0 : (int)combo.GetItemData(index);
}

void CMainFrame::SelectChapter(int n) const
{
    ComboBox combo = MainToolBar.chapterCombo;
    for (int i = 0, count = combo.GetCount(); i < count; ++i)
        if (combo.GetItemData(i) == n)
            combo.SetCurSel(i);
}

void CMainFrame::OnDpiChanged(int, int)
{
    // The fonts followed already (the frame rescales every font given with ScaleChildFont); the
    // buttons, the combos' places and the info pane follow here.
    LoadButtonSet(toolbarMode_.value_or(ToolbarMode::Disk));
    UpdateToolBarButtons();
    for (int position : {0, 1}) {
        ComboBox combo = position == 0 ? MainToolBar.driveCombo : MainToolBar.chapterCombo;
        if (!combo)
            continue;
        RECT r = ComboRect(position);
        combo.Move(r);
        FitComboDropHeight(combo);
    }
    LayOutStatusPanes();
    if (services_.dpiChanged)
        services_.dpiChanged(Dpi());
}

void CMainFrame::OnInitMenu(HMENU menu)
{
    std::string helpText = LoadResourceString(services_.instance, IDS_HELP_MENU_TEXT);
    std::string tipText = LoadResourceString(services_.instance, IDS_TIP_MENU_TEXT);

    std::vector<std::string> bar;
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i)
        bar.push_back(MenuItemText(menu, i));
    int help = FindMenuText(bar, helpText);
    if (help >= 0) {
        helpPopup = ::GetSubMenu(menu, help);
        if (helpPopup && TipItemMissing(MenuItemText(helpPopup, 0), tipText)) {
            ::InsertMenuA(helpPopup, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::InsertMenuA(helpPopup, 0, MF_BYPOSITION | MF_STRING, ID_TIP_OF_THE_DAY, tipText.c_str());
        }
        return;
    }
    if (!helpPopup) {
        helpPopup = ::CreatePopupMenu();
        ::AppendMenuA(helpPopup, MF_STRING, ID_TIP_OF_THE_DAY, tipText.c_str());
    }
    ::AppendMenuA(menu, MF_POPUP, (UINT_PTR)helpPopup, helpText.c_str());
    ::DrawMenuBar(Handle());
}

void CMainFrame::OnClose()
{
    // The worker of a running operation uses the document and the view: closing waits, silently,
    // like everything else the user asks for meanwhile.
    if (auto* view = static_cast<CTorvexView*>(GetActiveView()); view && view->operationRunning)
        return;
    // Closing never asks to save: the document holds nothing to save.
    if (Document* doc = GetActiveDocument())
        doc->SetModifiedFlag(false);
    // Edited copies of viewed files are offered back to their archives, and their records dropped.
    if (services_.saveViewedFiles)
        services_.saveViewedFiles();
    FrameWindow::OnClose();
}

bool CMainFrame::OnUpdateCommand(CommandState& state)
{
    if (state.Id() == ID_APP_EXIT) {
        auto* view = static_cast<CTorvexView*>(GetActiveView());
        state.Enable(!(view && view->operationRunning));
        return true;
    }
    return FrameWindow::OnUpdateCommand(state);
}

bool CMainFrame::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&)
{
    // An operation's progress window stays in front of the main window whenever the main window
    // comes forward (a click on it, or the archiver's console window giving way); the window
    // system does not always keep an owned window there by itself.
    if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) {
        auto* view = static_cast<CTorvexView*>(GetActiveView());
        if (view && view->progressWindow.Handle())
            ::SetWindowPos(view->progressWindow.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return false;
}

void CMainFrame::OnDestroy()
{
    if (services_.saveSettings)
        services_.saveSettings();
}

std::string CMainFrame::PlacementText() const
{
    WINDOWPLACEMENT now{};
    now.length = sizeof(now);
    if (!::GetWindowPlacement(Handle(), &now))
        return std::string();
    // A window closed while minimised comes back as it was before.
    bool maximized = now.showCmd == SW_SHOWMAXIMIZED ||
                     (now.showCmd == SW_SHOWMINIMIZED && (now.flags & WPF_RESTORETOMAXIMIZED));
    const RECT& r = now.rcNormalPosition;
    return FramePlacementText({(int)r.left, (int)r.top, (int)r.right, (int)r.bottom, maximized});
}

void CMainFrame::ShowAsLastTime(const std::string& placement, int startedWith)
{
    std::optional<FramePlacement> kept = ParseFramePlacement(placement);
    RECT r = kept ? RECT{kept->left, kept->top, kept->right, kept->bottom} : RECT{};
    // A screen that went away since would leave the window where nobody can reach it.
    if (!kept || !::MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
        ::ShowWindow(Handle(), FrameStartShowCommand(startedWith, false));
        return;
    }
    WINDOWPLACEMENT place{};
    place.length = sizeof(place);
    place.rcNormalPosition = r;
    place.showCmd = FrameStartShowCommand(startedWith, kept->maximized);
    // Started minimised from a window last left maximised: restoring maximises it again.
    if (kept->maximized)
        place.flags = WPF_RESTORETOMAXIMIZED;
    ::SetWindowPlacement(Handle(), &place);
}

void CMainFrame::OnDropFiles(HDROP drop)
{
    // While an operation runs nothing dropped is opened or added: silently refused.
    if (auto* view = static_cast<CTorvexView*>(GetActiveView()); view && view->operationRunning) {
        ::DragFinish(drop);
        return;
    }
    unsigned count = DroppedCount(drop);
    std::string first = count > 0 ? DroppedName(drop, 0) : std::string();
    switch (DecideDrop(count, first)) {
    case DropAction::OpenArchive:
        FrameWindow::OnDropFiles(drop);  // opens it as the document, like a file on the command line
        return;
    case DropAction::AddFiles:
        // The view adds them to the open archive or to a new one; it releases the handle.
        if (auto* view = static_cast<CTorvexView*>(GetActiveView())) {
            view->OnDropAdd(drop);
            return;
        }
        ::DragFinish(drop);
        return;
    case DropAction::Nothing:
        ::DragFinish(drop);
        return;
    }
}
