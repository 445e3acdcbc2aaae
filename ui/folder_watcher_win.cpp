#include "ui/folder_watcher.h"

#include "framework/wide_text.h"
#include "resources/window_messages.h"
#include "ui/disk_rows.h"

namespace {

constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

HANDLE OpenNotification(const std::string& folder)
{
    return FindFirstChangeNotificationW(FileSystemPath(WatchedPath(folder)).c_str(), FALSE, kChangeFilter);
}

} // namespace

bool FolderWatcher::Start(HWND view, const std::string& diskFolder)
{
    if (thread_)
        return true;
    view_ = view;
    folder_ = folderShown_ = diskFolder;
    folderSwitched_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    stopWatching_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!folderSwitched_ || !stopWatching_) {
        Stop();
        return false;
    }
    thread_ = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr);
    if (!thread_) {
        Stop();
        return false;
    }
    SetThreadPriority(thread_, THREAD_PRIORITY_IDLE);
    ResumeThread(thread_);
    return true;
}

void FolderWatcher::Stop()
{
    if (stopWatching_)
        SetEvent(stopWatching_);
    if (thread_) {
        // No time limit: the thread reads this object and its events until it has ended, and it
        // ends as soon as it runs again (it only ever waits on the events).
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (folderSwitched_)
        CloseHandle(folderSwitched_);
    if (stopWatching_)
        CloseHandle(stopWatching_);
    folderSwitched_ = stopWatching_ = nullptr;
}

void FolderWatcher::SwitchFolder(const std::string& diskFolder)
{
    if (!thread_ || diskFolder == folderShown_)
        return;
    folderShown_ = diskFolder;
    {
        std::lock_guard<std::mutex> lock(folderMutex_);
        folder_ = diskFolder;
    }
    SetEvent(folderSwitched_);
}

std::string FolderWatcher::TakeFolder()
{
    std::lock_guard<std::mutex> lock(folderMutex_);
    return folder_;
}

std::string FolderWatcher::FolderInWatch() const
{
    std::lock_guard<std::mutex> lock(folderMutex_);
    return inWatch_;
}

HANDLE FolderWatcher::Watch(const std::string& folder)
{
    HANDLE change = OpenNotification(folder);
    std::lock_guard<std::mutex> lock(folderMutex_);
    inWatch_ = change != INVALID_HANDLE_VALUE ? folder : std::string();
    return change;
}

DWORD WINAPI FolderWatcher::ThreadProc(void* param)
{
    return static_cast<FolderWatcher*>(param)->Run();
}

DWORD FolderWatcher::Run()
{
    HANDLE change = Watch(TakeFolder());
    for (;;) {
        // A folder that cannot be watched waits only for a switch or the end.
        HANDLE waits[3] = {change, folderSwitched_, stopWatching_};
        bool watching = change != INVALID_HANDLE_VALUE;
        DWORD count = watching ? 3 : 2;
        DWORD rc = WaitForMultipleObjects(count, watching ? waits : waits + 1, FALSE, INFINITE);
        int which = rc - WAIT_OBJECT_0 + (watching ? 0 : 1);
        if (rc >= WAIT_OBJECT_0 + count || which == 2)
            break;
        if (which == 0) {
            if (!archiveShown_)
                PostMessageA(view_, WM_FOLDER_CHANGED, 0, 0);
            ++changesSeen_;  // after the message: whoever sees the count finds the message queued
            if (!FindNextChangeNotification(change)) {
                FindCloseChangeNotification(change);
                change = INVALID_HANDLE_VALUE;
                std::lock_guard<std::mutex> lock(folderMutex_);
                inWatch_.clear();
            }
        } else {
            if (watching)
                FindCloseChangeNotification(change);
            change = Watch(TakeFolder());
        }
    }
    if (change != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(change);
    return 0;
}
