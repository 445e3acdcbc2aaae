// The small window that says an operation is running: no buttons, no close box. Cancelling is
// done in the archiver's own console (Ctrl+C), which the runner then reports as a failure.
// The object lives with the view; its window is created for each operation and destroyed when
// the operation is done.
#pragma once

#include <windows.h>

class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow() { Destroy(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Creates the window (resource IDD_PROGRESS) centred on `parent`; it shows at once.
    bool Create(HINSTANCE instance, HWND parent);
    void Destroy();
    HWND Handle() const { return hwnd_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Places `window` at the centre of `parent` (of the screen's work area when there is none),
// kept inside the work area.
void CentreWindowOn(HWND window, HWND parent);
