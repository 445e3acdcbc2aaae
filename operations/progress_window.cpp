#include "operations/progress_window.h"

#include <commctrl.h>
#include <shobjidl.h>

#include "resources/resource.h"

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 200;
} // namespace

void CentreWindowOn(HWND window, HWND parent)
{
    RECT own{};
    ::GetWindowRect(window, &own);
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    // The view is a child: centre on the top-level window it belongs to.
    HWND top = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    if (top && ::IsWindowVisible(top) && !::IsIconic(top))
        ::GetWindowRect(top, &around);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    if (x + width > area.right)
        x = area.right - width;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ProgressWindow::Create(HINSTANCE instance, HWND parent, std::shared_ptr<RunMonitor> monitor)
{
    Destroy();
    monitor_ = std::move(monitor);
    tracker_ = ProgressTracker();
    started_ = std::chrono::steady_clock::now();
    shownPercent_ = -2;
    taskbarState_ = -1;
    taskbarWindow_ = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    hwnd_ = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        return false;
    if (taskbarWindow_) {
        HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comStarted_ = SUCCEEDED(com);
        void* list = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list))) {
            taskbar_ = static_cast<ITaskbarList3*>(list);
            if (FAILED(taskbar_->HrInit())) {
                taskbar_->Release();
                taskbar_ = nullptr;
            }
        }
    }
    if (!monitor_)
        ::EnableWindow(::GetDlgItem(hwnd_, IDCANCEL), FALSE);
    Refresh();
    ::SetTimer(hwnd_, kRefreshTimer, kRefreshMs, nullptr);
    return true;
}

void ProgressWindow::Destroy()
{
    if (taskbar_) {
        taskbar_->SetProgressState(taskbarWindow_, TBPF_NOPROGRESS);
        taskbar_->Release();
        taskbar_ = nullptr;
    }
    if (comStarted_) {
        ::CoUninitialize();
        comStarted_ = false;
    }
    if (hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    monitor_.reset();
}

void ProgressWindow::SetText(int id, const std::string& text)
{
    HWND control = ::GetDlgItem(hwnd_, id);
    std::string shown(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    shown.resize(static_cast<size_t>(::GetWindowTextA(control, shown.data(), static_cast<int>(shown.size()))));
    // Unchanged texts are not set again: the window would flicker at every refresh.
    if (text != shown)
        ::SetWindowTextA(control, text.c_str());
}

void ProgressWindow::ShowBar(int percent)
{
    if (percent == shownPercent_)
        return;
    HWND bar = ::GetDlgItem(hwnd_, IDC_PROGRESS_BAR);
    LONG style = ::GetWindowLongA(bar, GWL_STYLE);
    if (percent < 0) {
        ::SetWindowLongA(bar, GWL_STYLE, style | PBS_MARQUEE);
        ::SendMessageA(bar, PBM_SETMARQUEE, TRUE, 40);
    } else {
        if (shownPercent_ < 0) {
            ::SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
            ::SetWindowLongA(bar, GWL_STYLE, style & ~PBS_MARQUEE);
            ::SendMessageA(bar, PBM_SETRANGE32, 0, 100);
        }
        ::SendMessageA(bar, PBM_SETPOS, percent, 0);
    }
    shownPercent_ = percent;
}

void ProgressWindow::ShowOnTaskbar(int percent)
{
    if (!taskbar_)
        return;
    RunMonitor::Question question = monitor_ ? monitor_->CurrentQuestion() : RunMonitor::Question::None;
    int state = TBPF_NORMAL;
    switch (TaskbarShowFor(question, percent)) {
    case TaskbarShow::Moving: state = TBPF_INDETERMINATE; break;
    case TaskbarShow::Normal: state = TBPF_NORMAL; break;
    case TaskbarShow::Paused: state = TBPF_PAUSED; break;
    case TaskbarShow::Failed: state = TBPF_ERROR; break;
    }
    if (state != taskbarState_)
        taskbar_->SetProgressState(taskbarWindow_, static_cast<TBPFLAG>(state));
    taskbarState_ = state;
    // Paused and failed keep the value they had; a moving bar has none.
    if (state != TBPF_INDETERMINATE && percent >= 0)
        taskbar_->SetProgressValue(taskbarWindow_, percent, 100);
}

void ProgressWindow::Refresh()
{
    if (!hwnd_)
        return;
    jarcontract::ProgressRecord record;
    uint64_t reports = monitor_ ? monitor_->Latest(record) : 0;
    bool cancelling = monitor_ && monitor_->CancelRequested();
    auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    ProgressTexts t = tracker_.Describe(reports, record, now.count(), cancelling);
    SetText(IDC_PROGRESS_STATUS, t.status);
    SetText(IDC_PROGRESS_ACTION, t.action);
    SetText(IDC_PROGRESS_FILE, t.file);
    SetText(IDC_PROGRESS_FILES, t.files);
    SetText(IDC_PROGRESS_BYTES, t.bytes);
    SetText(IDC_PROGRESS_ELAPSED, t.elapsed);
    SetText(IDC_PROGRESS_REMAINING, t.remaining);
    ShowBar(t.percent);
    ShowOnTaskbar(t.percent);
}

void ProgressWindow::OnCancel()
{
    // Nothing is asked: the archiver leaves the archive as it was, and files it had not
    // finished are not left behind.
    if (!monitor_ || monitor_->CancelRequested())
        return;
    monitor_->RequestCancel();
    HWND button = ::GetDlgItem(hwnd_, IDCANCEL);
    // The keyboard focus must not stay on a greyed button.
    if (::GetFocus() == button)
        ::SetFocus(hwnd_);
    ::EnableWindow(button, FALSE);
    Refresh();
}

INT_PTR CALLBACK ProgressWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        CentreWindowOn(hwnd, ::GetParent(hwnd));
        return TRUE;
    case WM_TIMER:
        if (self && wp == kRefreshTimer)
            self->Refresh();
        return TRUE;
    case WM_COMMAND:
        if (self && LOWORD(wp) == IDCANCEL)
            self->OnCancel();
        return TRUE;
    }
    return FALSE;
}
