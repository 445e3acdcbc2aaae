#include "framework/frame_window.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/dpi_scale.h"
#include "framework/framework_ids.h"
#include "framework/list_view.h"
#include "framework/wide_text.h"

#include <windowsx.h>

#include <vector>

namespace {
constexpr const char* kFrameClass = "TorvexFrameWindow";

bool RegisterFrameClass(HINSTANCE instance, UINT iconId, WNDPROC proc)
{
    WNDCLASSEXA wc{};
    if (::GetClassInfoExA(instance, kFrameClass, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    int smallSize = ::GetSystemMetrics(SM_CXSMICON);
    wc.hIconSm = (HICON)::LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, smallSize, smallSize, 0);
    wc.hCursor = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    return ::RegisterClassExA(&wc) != 0;
}

bool IsRecentFileId(UINT id) { return id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 16; }
// What the File menu shows while the recent-file list is empty (greyed).
constexpr const char* kRecentFilePlaceholder = "Recent File";
} // namespace

FrameWindow::~FrameWindow()
{
    if (hwnd_) {
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    for (HICON icon : dpiIcons_)
        if (icon)
            ::DestroyIcon(icon);
}

bool FrameWindow::LoadFrame(UINT resourceId, DWORD style)
{
    Application* app = Application::Current();
    HINSTANCE instance = app->Instance();
    if (!RegisterFrameClass(instance, resourceId, WindowProc))
        return false;
    iconId_ = resourceId;
    HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    accelerators_ = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    HWND hwnd = ::CreateWindowExA(0, kFrameClass, app->AppName().c_str(), PreCreate(style),
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, this);
    if (!hwnd) {
        if (menu)
            ::DestroyMenu(menu);
        return false;
    }
    return true;
}

void FrameWindow::SetActiveView(ListView* view)
{
    view_ = view;
    if (view_ && view_->List().IsWindow())
        ScaleChildFont(view_->Handle());
    RecalcLayout();
}

Document* FrameWindow::GetActiveDocument() const { return view_ ? view_->GetDocument() : nullptr; }

void FrameWindow::RecalcLayout()
{
    if (!hwnd_)
        return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    if (toolBar_ && toolBar_->IsWindow() && toolBar_->IsVisible()) {
        toolBar_->AutoSize();
        client.top += toolBar_->Height();
    }
    if (statusBar_ && statusBar_->IsWindow() && statusBar_->IsVisible()) {
        statusBar_->Send(WM_SIZE);
        statusBar_->Layout();
        client.bottom -= statusBar_->Height();
        // Moving copies the bar's old picture along, which after it was hidden and shown again can be
        // blank (the same fault as the list's header below): it paints itself anew.
        ::RedrawWindow(statusBar_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
    if (view_ && view_->List().IsWindow()) {
        if (client.bottom < client.top)
            client.bottom = client.top;
        view_->List().Move(client);
        // Moving copies the old picture along, and the list's header child (whose place in the
        // list did not change) is then taken as painted even where the copy was blank.
        ::RedrawWindow(view_->List().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void FrameWindow::ScaleChildFont(HWND child)
{
    if (!child)
        return;
    ChildFont* entry = nullptr;
    for (ChildFont& f : childFonts_)
        if (f.child == child)
            entry = &f;
    if (!entry) {
        childFonts_.push_back({child, (HFONT)::SendMessageA(child, WM_GETFONT, 0, 0), OwnedFont()});
        entry = &childFonts_.back();
        if (dpi_ == createDpi_)
            return;  // it has the right font already
    }
    // Always made from the first font, so moving back and forth never lets the size drift.
    HFONT font = entry->first;
    OwnedFont scaled;
    if (dpi_ != createDpi_) {
        scaled.Reset(CreateFontForDpi(entry->first, createDpi_, dpi_));
        if (scaled.Handle())
            font = scaled.Handle();
    }
    ::SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
    entry->scaled = std::move(scaled);  // the old copy goes once the child stopped using it
}

void FrameWindow::LoadIconsForDpi()
{
    // The caption's and the task switcher's icons, drawn at the sizes of the new DPI.
    Application* app = Application::Current();
    if (!app || !iconId_)
        return;
    const int which[] = {ICON_SMALL, ICON_BIG};
    const int metric[] = {SM_CXSMICON, SM_CXICON};
    for (int i = 0; i < 2; ++i) {
        int size = SystemMetricForDpi(metric[i], dpi_);
        auto icon = (HICON)::LoadImageA(app->Instance(), MAKEINTRESOURCEA(iconId_), IMAGE_ICON, size, size, 0);
        if (!icon)
            continue;
        ::SendMessageA(hwnd_, WM_SETICON, which[i], (LPARAM)icon);
        if (dpiIcons_[i])
            ::DestroyIcon(dpiIcons_[i]);
        dpiIcons_[i] = icon;
    }
}

void FrameWindow::DpiChanged(int newDpi, const RECT& suggested)
{
    int oldDpi = dpi_;
    dpi_ = newDpi > 0 ? newDpi : dpi::kBase;
    if (dpi_ != oldDpi) {
        // Children gone since (a combo replaced) are forgotten.
        std::erase_if(childFonts_, [](const ChildFont& f) { return !::IsWindow(f.child); });
        for (ChildFont& f : childFonts_)
            ScaleChildFont(f.child);
        if (statusBar_)
            statusBar_->SetDpi(dpi_);
        LoadIconsForDpi();
        if (view_)
            view_->OnDpiChanged(oldDpi, dpi_);
        OnDpiChanged(oldDpi, dpi_);
    }
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
}

void FrameWindow::SetMessageText(const std::string& text)
{
    if (statusBar_ && statusBar_->IsWindow())
        statusBar_->SetPaneText(0, text);
}

void FrameWindow::SetIdleMessage()
{
    if (Application* app = Application::Current())
        SetMessageText(app->LoadString(IDS_IDLE_MESSAGE));
}

bool FrameWindow::RouteCommand(unsigned id, unsigned code)
{
    if (OnCommand(id, code))
        return true;
    if (view_ && view_->OnCommand(id, code))
        return true;
    if (Document* doc = GetActiveDocument(); doc && doc->OnCommand(id, code))
        return true;
    Application* app = Application::Current();
    return app && app->OnCommand(id, code);
}

bool FrameWindow::RouteUpdate(CommandState& state)
{
    if (OnUpdateCommand(state))
        return true;
    if (view_ && view_->OnUpdateCommand(state))
        return true;
    if (Document* doc = GetActiveDocument(); doc && doc->OnUpdateCommand(state))
        return true;
    if (Application* app = Application::Current(); app && app->OnUpdateCommand(state))
        return true;
    // Nobody handles it: it cannot be chosen.
    state.Enable(false);
    return false;
}

void FrameWindow::UpdateToolBarButtons()
{
    if (!toolBar_ || !toolBar_->IsWindow() || !toolBar_->IsVisible())
        return;
    int count = toolBar_->GetButtonCount();
    for (int i = 0; i < count; ++i) {
        if (toolBar_->IsSeparator(i))
            continue;
        UINT id = toolBar_->GetItemId(i);
        CommandState state(id);
        RouteUpdate(state);
        if (toolBar_->IsButtonEnabled(id) != state.Enabled())
            toolBar_->EnableButton(id, state.Enabled());
    }
}

void FrameWindow::OnClose()
{
    if (Document* doc = GetActiveDocument(); doc && !doc->SaveModified())
        return;
    ::DestroyWindow(hwnd_);
}

void FrameWindow::OnInitMenuPopup(HMENU popup, UINT, bool systemMenu)
{
    if (systemMenu)
        return;
    Application* app = Application::Current();
    // The recent files take the place of the items with their ids (or of the placeholder).
    // The menu is changed only when the list differs from what it shows.
    int count = ::GetMenuItemCount(popup);
    int first = -1;
    std::vector<std::string> shown;
    for (int i = 0; i < count; ++i) {
        if (IsRecentFileId(::GetMenuItemID(popup, i))) {
            if (first < 0)
                first = i;
            std::string text(::GetMenuStringA(popup, i, nullptr, 0, MF_BYPOSITION) + 1, '\0');
            ::GetMenuStringA(popup, i, text.data(), (int)text.size(), MF_BYPOSITION);
            shown.push_back(text.c_str());
        }
    }
    if (first >= 0) {
        RecentFileList* recent = app ? app->RecentFiles() : nullptr;
        std::vector<std::string> wanted;
        for (int i = 0; recent && i < recent->GetCount(); ++i)
            wanted.push_back(recent->MenuText(i));
        if (wanted.empty())
            wanted.push_back(kRecentFilePlaceholder);
        if (wanted != shown) {
            for (int i = first + (int)shown.size() - 1; i >= first; --i)
                ::DeleteMenu(popup, i, MF_BYPOSITION);
            for (size_t i = 0; i < wanted.size(); ++i)
                ::InsertMenuA(popup, first + (int)i, MF_BYPOSITION | MF_STRING, ID_FILE_MRU_FILE1 + i, wanted[i].c_str());
        }
    }

    count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(popup, i);
        if (id == 0 || id == (UINT)-1)  // separators and sub-menus
            continue;
        CommandState state(id);
        RouteUpdate(state);
        ::EnableMenuItem(popup, i, MF_BYPOSITION | (state.Enabled() ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(popup, i, MF_BYPOSITION | (state.Checked() ? MF_CHECKED : MF_UNCHECKED));
    }
}

unsigned FrameWindow::DroppedCount(HDROP drop) { return ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); }

std::string FrameWindow::DroppedName(HDROP drop, unsigned index)
{
    std::wstring wide(::DragQueryFileW(drop, index, nullptr, 0), L'\0');
    if (!wide.empty())
        wide.resize(::DragQueryFileW(drop, index, wide.data(), (UINT)wide.size() + 1));
    return Utf8Name(wide.c_str(), (int)wide.size());
}

void FrameWindow::OnDropFiles(HDROP drop)
{
    unsigned count = DroppedCount(drop);
    std::string name = count > 0 ? DroppedName(drop, 0) : std::string();
    ::DragFinish(drop);
    if (count > 0 && Application::Current())
        Application::Current()->OpenDocumentFile(name);
}

bool FrameWindow::OnCommand(unsigned id, unsigned)
{
    if (id == ID_VIEW_TOOLBAR && toolBar_) {
        ShowBar(*toolBar_, !toolBar_->IsVisible());
        return true;
    }
    if (id == ID_VIEW_STATUS_BAR && statusBar_) {
        ShowBar(*statusBar_, !statusBar_->IsVisible());
        return true;
    }
    return false;
}

bool FrameWindow::OnUpdateCommand(CommandState& state)
{
    if (state.Id() == ID_VIEW_TOOLBAR && toolBar_) {
        state.SetCheck(toolBar_->IsVisible());
        return true;
    }
    if (state.Id() == ID_VIEW_STATUS_BAR && statusBar_) {
        state.SetCheck(statusBar_->IsVisible());
        return true;
    }
    return false;
}

bool FrameWindow::MouseOverButton(UINT id) const
{
    if (!toolBar_ || !toolBar_->IsWindow() || !toolBar_->IsVisible())
        return false;
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(toolBar_->Handle(), &pt);
    int index = toolBar_->HitTest(pt);
    return index >= 0 && index < toolBar_->GetButtonCount() && toolBar_->GetItemId(index) == id;
}

void FrameWindow::ShowBar(Window bar, bool show)
{
    bar.Show(show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

namespace {
std::string CommandString(UINT id, bool toolTip)
{
    Application* app = Application::Current();
    if (!app || id == 0)
        return std::string();
    std::string text = app->LoadString(id);
    size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return toolTip ? std::string() : text;
    return toolTip ? text.substr(newline + 1) : text.substr(0, newline);
}
} // namespace

std::string FrameWindow::CommandPrompt(UINT id) { return CommandString(id, false); }
std::string FrameWindow::CommandToolTip(UINT id) { return CommandString(id, true); }

bool FrameWindow::HandleNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case TTN_GETDISPINFOA: {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        tipBufferA_ = CommandToolTip((UINT)header.idFrom);
        info.lpszText = tipBufferA_.data();
        info.hinst = nullptr;
        return true;
    }
    case TTN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        std::string text = CommandToolTip((UINT)header.idFrom);
        int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        tipBuffer_.assign(length > 0 ? length : 1, L'\0');
        if (length > 0)
            ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, tipBuffer_.data(), length);
        info.lpszText = tipBuffer_.data();
        info.hinst = nullptr;
        return true;
    }
    case TBN_HOTITEMCHANGE: {
        // Fly-by prompts: the status bar tells what the button under the mouse does.
        auto& hot = reinterpret_cast<NMTBHOTITEM&>(header);
        ::KillTimer(hwnd_, kGreyedPromptTimer);
        if (!menuOpen_) {
            if (hot.dwFlags & HICF_LEAVING) {
                SetIdleMessage();
            } else {
                SetMessageText(CommandPrompt((UINT)hot.idNew));
                // The toolbar never makes a greyed button hot, so it tells nobody when the mouse
                // leaves one: watch the mouse until it does.
                if (toolBar_ && !toolBar_->IsButtonEnabled((UINT)hot.idNew)) {
                    greyedPrompt_ = (UINT)hot.idNew;
                    ::SetTimer(hwnd_, kGreyedPromptTimer, kGreyedPromptCheckMs, nullptr);
                }
            }
        }
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK FrameWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* frame = static_cast<FrameWindow*>(create->lpCreateParams);
        frame->hwnd_ = hwnd;
        frame->dpi_ = frame->createDpi_ = WindowDpi(hwnd);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)frame);
    }
    auto* frame = reinterpret_cast<FrameWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!frame)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    try {
        return frame->Dispatch(msg, wp, lp);
    } catch (...) {
        // Nothing thrown may cross into the system's window code.
        return 0;
    }
}

LRESULT FrameWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    Application* app = Application::Current();
    switch (msg) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_SETFOCUS:
        if (view_ && view_->List().IsWindow())
            ::SetFocus(view_->Handle());
        return 0;
    case WM_COMMAND: {
        unsigned id = LOWORD(wp), code = HIWORD(wp);
        HWND control = (HWND)lp;
        bool fromToolBar = control && toolBar_ && control == toolBar_->Handle();
        if (!control || fromToolBar) {
            // Menus, accelerators and toolbar buttons: a disabled command does nothing
            // (its accelerator is swallowed).
            CommandState state(id);
            if (!RouteUpdate(state) || !state.Enabled())
                return 0;
        }
        RouteCommand(id, code);
        return 0;
    }
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lp);
        LRESULT result = 0;
        if (view_ && header.hwndFrom == view_->Handle() && view_->OnNotify(header, result))
            return result;
        if (HandleNotify(header, result))
            return result;
        break;
    }
    case WM_INITMENU:
        OnInitMenu((HMENU)wp);
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup((HMENU)wp, LOWORD(lp), HIWORD(lp) != 0);
        return 0;
    case WM_ENTERMENULOOP:
        menuOpen_ = true;
        break;
    case WM_EXITMENULOOP:
        menuOpen_ = false;
        SetIdleMessage();
        break;
    case WM_MENUSELECT: {
        UINT item = LOWORD(wp), flags = HIWORD(wp);
        if (flags == 0xFFFF && lp == 0)
            SetIdleMessage();
        else if (flags & (MF_POPUP | MF_SEPARATOR))
            SetMessageText(std::string());
        else
            SetMessageText(CommandPrompt(item));
        return 0;
    }
    case WM_SETCURSOR:
        if (app && app->WaitCursorShown()) {
            ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        if (app && app->MainWindow() == this)
            app->OnMainWindowGone();
        return 0;
    case WM_DROPFILES:
        OnDropFiles((HDROP)wp);
        return 0;
    case WM_DPICHANGED:
        DpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_TIMER:
        if (wp == kGreyedPromptTimer) {
            if (!MouseOverButton(greyedPrompt_)) {
                ::KillTimer(hwnd_, kGreyedPromptTimer);
                if (!menuOpen_)
                    SetIdleMessage();
            }
            return 0;
        }
        [[fallthrough]];
    default: {
        LRESULT result = 0;
        if (OnMessage(msg, wp, lp, result))
            return result;
        break;
    }
    }
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}
