// The main window of the single-document application: menu and accelerators from one resource
// id, an optional toolbar and status bar laid out around the view, command routing (frame ->
// view -> document -> application) and command enabling applied to menus when they open and to
// the toolbar when the program is idle. Menu and toolbar prompts show in the status bar's
// message pane; the recent-file list fills the File menu.
#pragma once

#include "framework/command.h"
#include "framework/controls.h"
#include "framework/tool_bar.h"

#include <memory>
#include <string>
#include <vector>

class Document;
class ListView;

class FrameWindow : public CommandTarget {
public:
    FrameWindow() = default;
    ~FrameWindow() override;
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;

    // Creates the window with menu, accelerators and icon `resourceId`, titled with the
    // application title. `style` is passed through PreCreate.
    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW);
    HWND Handle() const { return hwnd_; }
    HACCEL Accelerators() const { return accelerators_; }

    // The view fills the client area between the bars.
    void SetActiveView(ListView* view);
    ListView* GetActiveView() const { return view_; }
    Document* GetActiveDocument() const;

    // The bars this frame lays out and shows or hides (ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR).
    void SetToolBar(ToolBar* bar) { toolBar_ = bar; }
    void SetStatusBar(StatusBar* bar)
    {
        statusBar_ = bar;
        if (bar)
            bar->SetDpi(dpi_);
    }
    void RecalcLayout();

    // The DPI the window is shown at: read when it is created, then the one each WM_DPICHANGED
    // gives. Sizes stated in pixels are for 96 DPI and multiplied by Dpi() / 96.
    int Dpi() const { return dpi_; }
    // Gives a child window a copy of its first font made for Dpi() (the first font itself at the
    // DPI the window was created at), so its text keeps its size on another screen.
    void ScaleChildFont(HWND child);

    // Text of the status bar's message pane; the idle text is string IDS_IDLE_MESSAGE.
    void SetMessageText(const std::string& text);
    void SetIdleMessage();

    // Routing. RouteCommand: true when some target handled it. RouteUpdate: false (and the
    // state disabled) when no target handles the id.
    bool RouteCommand(unsigned id, unsigned code);
    bool RouteUpdate(CommandState& state);
    // Applies the enabling rules to every toolbar button (called when the program is idle).
    void UpdateToolBarButtons();

    // Overridables.
    virtual DWORD PreCreate(DWORD style) { return style; }
    // WM_CREATE; false makes creation fail.
    virtual bool OnCreate() { return true; }
    // WM_CLOSE; the base destroys the window.
    virtual void OnClose();
    // WM_DESTROY, while the children still exist.
    virtual void OnDestroy() {}
    // WM_INITMENU: the menu bar is about to open.
    virtual void OnInitMenu(HMENU menu) { (void)menu; }
    // WM_INITMENUPOPUP; the base applies the enabling rules and the recent-file list.
    virtual void OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu);
    // WM_DROPFILES; the base opens the first file as the document and frees the drop.
    virtual void OnDropFiles(HDROP drop);
    // How many files a drop holds, and the full path of one of them (any length, any name).
    static unsigned DroppedCount(HDROP drop);
    static std::string DroppedName(HDROP drop, unsigned index);
    // WM_DPICHANGED, after Dpi() changed and the status bar, the view and the fonts given with
    // ScaleChildFont were rescaled, before the window takes the rectangle the system suggests.
    virtual void OnDpiChanged(int oldDpi, int newDpi) { (void)oldDpi; (void)newDpi; }
    // Messages no handler above covers; true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
    { (void)msg; (void)wp; (void)lp; (void)result; return false; }

    // The frame's own commands: toolbar and status bar show/hide.
    bool OnCommand(unsigned id, unsigned code) override;
    bool OnUpdateCommand(CommandState& state) override;

    // The prompt of a command (string table text before "\n"), or the tool tip (after it).
    static std::string CommandPrompt(UINT id);
    static std::string CommandToolTip(UINT id);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleNotify(NMHDR& header, LRESULT& result);
    void ShowBar(Window bar, bool show);
    void DpiChanged(int newDpi, const RECT& suggested);
    void LoadIconsForDpi();
    bool MouseOverButton(UINT id) const;

    // While a greyed button's prompt shows: how often the mouse is looked for.
    static constexpr UINT_PTR kGreyedPromptTimer = 0xE0F0;
    static constexpr UINT kGreyedPromptCheckMs = 100;

    HWND hwnd_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ListView* view_ = nullptr;
    ToolBar* toolBar_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    bool menuOpen_ = false;
    UINT greyedPrompt_ = 0;  // the greyed button whose prompt shows
    UINT iconId_ = 0;
    HICON dpiIcons_[2] = {};  // small and large, once the DPI changed
    int dpi_ = 96;
    int createDpi_ = 96;
    struct ChildFont {
        HWND child;
        HFONT first;        // the font it had at createDpi_ (not ours)
        OwnedFont scaled;   // ours, for dpi_ when it differs
    };
    std::vector<ChildFont> childFonts_;
    std::wstring tipBuffer_;
    std::string tipBufferA_;
};
