// Watches the shown disk folder on a thread of its own. A change only arms the view's refresh
// timer (the rescan runs on the interface thread a second after the last change of a burst);
// the thread never touches the list or the document.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

constexpr UINT_PTR REFRESH_TIMER = 100;
constexpr UINT RefreshDelayMs = 1000;

class FolderWatcher {
public:
    FolderWatcher() = default;
    ~FolderWatcher() { Stop(); }
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Starts watching `diskFolder` for `view` (whose window gets the timer); once.
    bool Start(HWND view, const std::string& diskFolder);
    // Ends the thread and closes the events. It waits as long as the thread takes: the thread
    // reads this object, which must not go away under it.
    void Stop();
    bool Started() const { return thread_ != nullptr; }
    HANDLE Thread() const { return thread_; }

    // The interface thread changed the shown folder: watch the new one.
    void SwitchFolder(const std::string& diskFolder);
    // While the archive is shown, changes arm no timer.
    void SetArchiveShown(bool shown) { archiveShown_ = shown; }
    const std::string& WatchedFolder() const { return folderShown_; }
    // The folder whose change notification the thread holds open now (empty before it has one):
    // a change made there from now on is seen.
    std::string FolderInWatch() const;
    // How many changes the thread has been told of, whether it passed them on or not.
    unsigned ChangesSeen() const { return changesSeen_; }

private:
    static DWORD WINAPI ThreadProc(void* param);
    DWORD Run();
    std::string TakeFolder();
    // Opens the change notification of `folder` and records it as the one in watch.
    HANDLE Watch(const std::string& folder);

    HWND view_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE folderSwitched_ = nullptr; // auto-reset
    HANDLE stopWatching_ = nullptr;   // manual-reset
    std::atomic<bool> archiveShown_{false};
    std::atomic<unsigned> changesSeen_{0};
    mutable std::mutex folderMutex_;
    std::string folder_;      // handed to the thread under the mutex
    std::string inWatch_;     // set by the thread under the mutex
    std::string folderShown_; // the interface thread's copy
};
