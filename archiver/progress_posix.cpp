// The progress channel, the cancel signal and the console line's room, over POSIX.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <thread>

#include "archiver/progress.h"

namespace jar::channel {
namespace {
int pipeFd = -1;

bool AsDescriptor(uint64_t number, int& fd)
{
    if (number > uint64_t(INT_MAX) || ::fcntl(int(number), F_GETFD) == -1)
        return false;
    fd = int(number);
    // A command run before each volume has no use for it, and would keep the parent's reader waiting.
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return true;
}
} // namespace

bool Open(uint64_t handle) { return AsDescriptor(handle, pipeFd); }

bool Write(const std::string& text)
{
    // SIGPIPE is ignored (SetUpConsole): a reader gone shows as EPIPE here.
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(pipeFd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= size_t(n);
    }
    return true;
}

void Close()
{
    if (pipeFd >= 0)
        ::close(pipeFd);
    pipeFd = -1;
}

bool WatchCancel(uint64_t handle, void (*onCancel)())
{
    int fd = -1;
    if (!AsDescriptor(handle, fd))
        return false;
    // Set once readable: a byte written, or the writer gone.
    std::thread([fd, onCancel] {
        pollfd watch{fd, POLLIN, 0};
        for (;;) {
            int n = ::poll(&watch, 1, -1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n > 0 && (watch.revents & (POLLIN | POLLHUP | POLLERR)))
                onCancel();
            return;
        }
    }).detach();
    return true;
}

int ConsoleColumns()
{
    if (!::isatty(1))
        return 0;
    winsize size{};
    if (::ioctl(1, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return 80;
    return size.ws_col;
}

} // namespace jar::channel
