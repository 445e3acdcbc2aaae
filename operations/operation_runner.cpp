#include "operations/operation_runner.h"

#include <chrono>

#include "engine/jar_runner_win.h"
#include "framework/message_box.h"

void PostedReplies::HandOver(std::unique_ptr<ArchiveRelisting> relisting)
{
    PostOwned(viewWindow_, WM_OPERATION_CATALOGUE, std::move(relisting));
}

void UseFolders(WinJarRunner& runner, const RunnerFolders& folders)
{
    runner.jarFolder = folders.jarFolder;
    runner.programFolder = folders.programFolder;
    runner.workingFolder = folders.workingFolder;
    runner.outputBlockSize = folders.outputBlockSize;
    runner.outputMaxBlocks = folders.outputMaxBlocks;
}

DWORD WINAPI OperationWorker(void* raw)
{
    // The worker owns the request from here on and frees it last.
    std::unique_ptr<OperationRequest> request(static_cast<OperationRequest*>(raw));
    SetThreadPromptOwner(request->promptOwner);
    OperationJob& job = request->job;
    WinJarRunner runner;
    UseFolders(runner, job.folders);
    runner.monitor = request->monitor.get();
    if (RunMonitor* monitor = runner.monitor) {
        // A box waiting for the user pauses the progress on the taskbar; a failure turns it red.
        SetThreadPromptWatcher([monitor](const PromptRequest& r, bool shown) {
            bool failure = (r.type & 0xF0) == prompt::IconStop;
            monitor->SetQuestion(!shown ? RunMonitor::Question::None
                                 : failure ? RunMonitor::Question::Failure
                                           : RunMonitor::Question::Asked);
        });
    }
    PostedReplies replies(request->viewWindow);
    auto outcome = std::make_unique<OperationOutcome>();
    auto started = std::chrono::steady_clock::now();
    try {
        *outcome = RunOperationBody(job, runner, replies);
    } catch (...) {
        // Nothing may leave the thread; the user learns that the operation did not complete.
        PromptUser("The operation could not be completed (out of memory?)", prompt::Ok | prompt::IconStop);
    }
    SetThreadPromptWatcher({});
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (FinishBeepDue(job.beep, elapsed.count())) {
        MessageBeep(0xFFFFFFFF);
        Sleep(500);
        MessageBeep(0xFFFFFFFF);
        Sleep(500);
        MessageBeep(0xFFFFFFFF);
    }
    PostOwned(request->viewWindow, WM_OPERATION_DONE, std::move(outcome));
    return 0;
}
