// The one way a long archive operation runs: the view builds the job on the interface thread and
// StartOperation freezes what could start a second operation, shows the progress window and
// starts OperationWorker on a thread of its own. The worker runs the job's body with a runner of
// its own and reports back through messages posted to the view's window, which the interface
// thread handles in posting order: a fresh listing first, WM_OPERATION_DONE last. The body
// never touches the view, the document, a dialog object or a window.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/run_monitor.h"
#include "engine/jar_runner_win.h"
#include "operations/operation_job.h"
#include "resources/window_messages.h"

// The record handed to the worker; the worker frees it as its very last step.
struct OperationRequest {
    HWND viewWindow = nullptr;
    // The main window: the bodies' messages stay in front of it.
    HWND promptOwner = nullptr;
    // Shared with the progress window: the runs' progress, its Cancel, a question up.
    std::shared_ptr<RunMonitor> monitor;
    OperationJob job;
};

// Replies that become messages posted to the view's window.
class PostedReplies : public OperationReplies {
public:
    explicit PostedReplies(HWND viewWindow) : viewWindow_(viewWindow) {}
    void HandOver(std::unique_ptr<ArchiveRelisting> relisting) override;

private:
    HWND viewWindow_;
};

// Posts `message` with `payload` as its lParam; the message owns it once posted. A queue that is
// full is waited for: the done message must arrive or the window would stay frozen. False (and
// the payload freed) only when the window is gone.
template <typename Payload>
bool PostOwned(HWND window, UINT message, std::unique_ptr<Payload> payload)
{
    while (!PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(payload.get()))) {
        if (!IsWindow(window))
            return false;
        Sleep(20);
    }
    payload.release();
    return true;
}

// The worker thread's procedure: body, beep check, done message, release of the request.
DWORD WINAPI OperationWorker(void* request);
// A runner of a worker thread works in the folders its job names, never through the document.
void UseFolders(WinJarRunner& runner, const RunnerFolders& folders);
