// The main window: menu, the toolbar with its drive and chapter combo boxes, the status bar and
// the list view. The view drives the toolbar mode, the status text and the chapter combo through
// the operations below.
#pragma once

#include <functional>
#include <optional>

#include "engine/archive_catalogue.h"
#include "framework/controls.h"
#include "framework/frame_window.h"
#include "framework/tool_bar.h"
#include "ui/main_frame_rules.h"

// What the application hands the main window.
struct FrameServices {
    HINSTANCE instance;                  // toolbar bitmaps and strings
    std::function<void()> saveSettings;  // run when the window goes: the settings groups are saved
    std::function<void()> saveViewedFiles;  // run before the window closes: edited copies go back
    std::function<void(int dpi)> dpiChanged;  // the window moved to a screen of that DPI
};

class CMainFrame : public FrameWindow {
public:
    explicit CMainFrame(FrameServices services);

    void SetToolbarMode(ToolbarMode mode);
    // Archive or chapter totals in the status bar's info pane; without a catalogue, the message
    // pane alone.
    void ShowArchiveInfo(const ArchiveCatalogue* catalogue, int chapter);
    // The information pane's text as it stands (a comparison's summary).
    void ShowInfoText(const std::string& text);
    // The selection's count and size in a pane after the info pane; empty removes the pane.
    void ShowSelectionInfo(const std::string& text);
    // "Chapter n" for every chapter present (its number is the item's data), the last one selected.
    void FillChapterCombo(const ArchiveCatalogue& catalogue);
    // The chapter chosen in the chapter combo; 0 when none.
    int SelectedChapter() const;
    void SelectChapter(int n) const;

    // The window's normal place and size and whether it is maximised (FramePlacementText), to be
    // kept for the next run.
    std::string PlacementText() const;
    // Shows the window at a place PlacementText gave in an earlier run (maximised or not);
    // normally when there is none, it cannot be read, or it lies on no screen now. A start-up
    // show command (SW_ value, -1 for none) asking for minimised or maximised wins over the kept state.
    void ShowAsLastTime(const std::string& placement, int startedWith = -1);

    ComboBox DriveCombo() const { return MainToolBar.driveCombo; }
    ComboBox ChapterCombo() const { return MainToolBar.chapterCombo; }
    // The chapter box's tool tip: the shown chapter's dates and comment.
    HWND ChapterTip() const { return chapterTip_; }
    std::optional<ToolbarMode> ShownToolbar() const { return toolbarMode_; }
    // The toolbar's image size for the window's DPI: 24, 36 or 48 pixels.
    int ToolbarImageSize() const;

    struct TorvexToolBar : ToolBar {
        HFONT font = nullptr;      // the stock GUI font, shared by both combos
        ComboBox driveCombo;       // id 137
        ComboBox chapterCombo;     // id 110
    };
    TorvexToolBar MainToolBar;
    StatusBar statusBar;

protected:
    DWORD PreCreate(DWORD style) override;
    bool OnCreate() override;
    void OnClose() override;
    // Exit is greyed while an operation runs, as closing is refused then.
    bool OnUpdateCommand(CommandState& state) override;
    void OnDestroy() override;
    void OnInitMenu(HMENU menu) override;
    void OnDropFiles(HDROP drop) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    // Loads set `mode` (1 archive, 0 disk) with the strip and sizes of the window's DPI and makes
    // the combos' separators.
    bool LoadButtonSet(ToolbarMode mode);
    // Where combo `position` (0 drive, 1 chapter) goes on the toolbar.
    RECT ComboRect(int position) const;
    // The message pane, then the info and selection panes that have a text, each as wide as it.
    void LayOutStatusPanes();
    std::string infoText_;
    std::string selectionText_;
    HWND chapterTip_ = nullptr;
    // The chapter tool tip's text: empty shows no tip.
    void SetChapterTip(const std::string& text);

    FrameServices services_;
    std::optional<ToolbarMode> toolbarMode_;  // none before the first set is loaded
};
