// The progress channel, the cancel signal and the console line's room, over Win32.
#include <windows.h>

#include <thread>

#include "archiver/progress.h"

namespace jar::channel {
namespace {
HANDLE pipe = nullptr;

HANDLE AsHandle(uint64_t number) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number)); }
} // namespace

bool Open(uint64_t handle)
{
    HANDLE h = AsHandle(handle);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return false;
    DWORD flags = 0;
    if (!GetHandleInformation(h, &flags))
        return false;
    // A command run before each volume has no use for it, and would keep the parent's reader waiting.
    SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    pipe = h;
    return true;
}

bool Write(const std::string& text)
{
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(pipe, p, DWORD(left), &written, nullptr) || written == 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

void Close()
{
    if (pipe)
        CloseHandle(pipe);
    pipe = nullptr;
}

bool WatchCancel(uint64_t handle, void (*onCancel)())
{
    HANDLE event = AsHandle(handle);
    if (event == nullptr || event == INVALID_HANDLE_VALUE || WaitForSingleObject(event, 0) == WAIT_FAILED)
        return false;
    SetHandleInformation(event, HANDLE_FLAG_INHERIT, 0);
    // A thread of its own waits, so the loops look at a flag and the check costs nothing.
    std::thread([event, onCancel] {
        if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0)
            onCancel();
    }).detach();
    return true;
}

int ConsoleColumns()
{
    // Without a standard output of its own the run writes to its console window (Torvex hands
    // over standard error only), so that is where the line goes.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE opened = nullptr;
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        out = opened = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info;
    bool console = out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info);
    if (opened != nullptr && opened != INVALID_HANDLE_VALUE)
        CloseHandle(opened);
    return console ? info.srWindow.Right - info.srWindow.Left + 1 : 0;
}

} // namespace jar::channel
