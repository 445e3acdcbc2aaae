// The small window that says an operation is running: what the archiver reports (a bar, the
// current file, files and bytes done, elapsed time and time left) and a Cancel button (Esc
// presses it); no close box. An archiver that reports nothing gets a moving bar and the old
// texts, and Cancel still ends its run. The taskbar button shows the same progress.
// The object lives with the view; its window is created for each operation and destroyed when
// the operation is done.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "engine/run_monitor.h"
#include "operations/progress_display.h"

struct ITaskbarList3;

class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow() { Destroy(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Creates the window (resource IDD_PROGRESS) centred on `parent`; it shows at once, and
    // follows `monitor` (none: the texts stay, the bar moves, Cancel is greyed) until destroyed.
    bool Create(HINSTANCE instance, HWND parent, std::shared_ptr<RunMonitor> monitor = {});
    void Destroy();
    HWND Handle() const { return hwnd_; }
    // Shows what the monitor holds now; a timer calls it a few times a second.
    void Refresh();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void OnCancel();
    void ShowBar(int percent);
    void ShowOnTaskbar(int percent);
    void SetText(int id, const std::string& text);

    HWND hwnd_ = nullptr;
    HWND taskbarWindow_ = nullptr;
    std::shared_ptr<RunMonitor> monitor_;
    ProgressTracker tracker_;
    std::chrono::steady_clock::time_point started_;
    int shownPercent_ = -2;  // -1: moving bar
    int taskbarState_ = -1;
    ITaskbarList3* taskbar_ = nullptr;
    bool comStarted_ = false;
};

// Places `window` at the centre of `parent` (of the screen's work area when there is none),
// kept inside the work area.
void CentreWindowOn(HWND window, HWND parent);
