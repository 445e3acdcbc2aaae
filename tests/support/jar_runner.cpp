#include "tests/support/jar_runner.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/jar_contract.h"
#include "tests/support/file_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#endif

namespace testsupport {

namespace {
// The progress channel's text as it arrives, read by a thread of its own so the run never waits
// for the test.
struct ProgressFeed {
    std::mutex mutex;
    std::condition_variable arrived;
    std::string text;
    size_t offered = 0;
    bool ended = false;

    void Append(const char* data, size_t size)
    {
        std::lock_guard<std::mutex> lock(mutex);
        text.append(data, size);
        arrived.notify_all();
    }
    void End()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        arrived.notify_all();
    }
    bool WaitFor(const std::function<bool(const std::string&)>& wanted, std::chrono::milliseconds timeout)
    {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            for (size_t end; (end = text.find('\n', offered)) != std::string::npos;) {
                std::string line = text.substr(offered, end - offered);
                offered = end + 1;
                if (wanted(line))
                    return true;
            }
            if (ended || arrived.wait_until(lock, deadline) == std::cv_status::timeout)
                return false;
        }
    }
};
} // namespace

#ifdef _WIN32
namespace {
void Drain(HANDLE pipe, std::string& text)
{
    char buffer[65536];
    DWORD got;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
}
} // namespace

struct JarProcess::Child {
    PROCESS_INFORMATION process{};
    HANDLE outRead = nullptr, errRead = nullptr, progressRead = nullptr, cancelEvent = nullptr;
    std::thread outThread, errThread, progressThread;
    ProgressFeed feed;
    JarRun run;
    bool started = false, finished = false;

    Child(const std::string& arguments, const JarRunOptions& options)
    {
        std::string text(1, '"');
        text.append(JarPath()).append("\" ").append(arguments);
        std::wstring line = Wide(text);
        std::wstring folder = Wide(options.folder);
        HANDLE inWrite = nullptr;
        std::string errors;
        {
            // Children inherit every inheritable handle open at their start: without the lock a
            // child started by another thread would hold this one's pipe ends, and its reader
            // would wait for that other child's end.
            static std::mutex startLock;
            std::lock_guard<std::mutex> hold(startLock);
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            HANDLE outWrite = nullptr, errWrite = nullptr, inRead = nullptr;
            CreatePipe(&outRead, &outWrite, &inherit, 0);
            CreatePipe(&errRead, &errWrite, &inherit, 0);
            CreatePipe(&inRead, &inWrite, &inherit, 0);
            SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
            SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
            SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
            // The channel and the signal are named in the child's environment, which it takes
            // from this process's own at its start.
            HANDLE progressWrite = nullptr;
            if (options.progress) {
                CreatePipe(&progressRead, &progressWrite, &inherit, 0);
                SetHandleInformation(progressRead, HANDLE_FLAG_INHERIT, 0);
                SetEnvironmentVariableA(jarcontract::ProgressVariable,
                                        std::to_string(reinterpret_cast<uintptr_t>(progressWrite)).c_str());
            }
            if (options.cancellable) {
                cancelEvent = CreateEventW(&inherit, TRUE, FALSE, nullptr);
                SetEnvironmentVariableA(jarcontract::CancelVariable,
                                        std::to_string(reinterpret_cast<uintptr_t>(cancelEvent)).c_str());
            }
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = inRead;
            startup.hStdOutput = outWrite;
            startup.hStdError = errWrite;
            // A start can fail for reasons of the moment (Wine's loader on a loaded machine): try
            // again a little later, and keep every error for the report.
            for (int attempt = 0; attempt < 3 && !started; ++attempt) {
                if (attempt > 0)
                    Sleep(DWORD(200 * attempt));
                started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                                         nullptr, options.folder.empty() ? nullptr : folder.c_str(), &startup,
                                         &process) != 0;
                if (!started)
                    errors += " error " + std::to_string(GetLastError());
            }
            CloseHandle(outWrite);
            CloseHandle(errWrite);
            CloseHandle(inRead);
            SetEnvironmentVariableA(jarcontract::ProgressVariable, nullptr);
            SetEnvironmentVariableA(jarcontract::CancelVariable, nullptr);
            if (progressWrite)
                CloseHandle(progressWrite);
            if (cancelEvent)
                SetHandleInformation(cancelEvent, HANDLE_FLAG_INHERIT, 0);
        }
        if (progressRead && options.readerGone) {
            CloseHandle(progressRead);
            progressRead = nullptr;
        }
        if (progressRead)
            progressThread = std::thread([this] {
                char buffer[4096];
                DWORD got;
                while (ReadFile(progressRead, buffer, sizeof buffer, &got, nullptr) && got > 0)
                    feed.Append(buffer, got);
                feed.End();
            });
        else
            feed.End();
        DWORD written;
        if (started && !options.input.empty())
            WriteFile(inWrite, options.input.data(), DWORD(options.input.size()), &written, nullptr);
        CloseHandle(inWrite);
        if (!started) {
            run.err = "ERROR: can't start " + JarPath() + ":" + errors;
            return;
        }
        if (!errors.empty())
            std::fprintf(stderr, "jar32 started after a failed start:%s\n", errors.c_str());
        outThread = std::thread(Drain, outRead, std::ref(run.out));
        errThread = std::thread(Drain, errRead, std::ref(run.err));
    }

    void Finish()
    {
        if (finished)
            return;
        finished = true;
        if (started) {
            WaitForSingleObject(process.hProcess, INFINITE);
            DWORD code = 0;
            if (GetExitCodeProcess(process.hProcess, &code))
                run.exitCode = int(code);
            outThread.join();
            errThread.join();
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        if (progressThread.joinable())
            progressThread.join();
        run.progress = feed.text;
        CloseHandle(outRead);
        CloseHandle(errRead);
        if (progressRead)
            CloseHandle(progressRead);
        if (cancelEvent)
            CloseHandle(cancelEvent);
    }

    void Cancel()
    {
        if (cancelEvent)
            SetEvent(cancelEvent);
    }
};

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string JarPath() { return ProgramFolder() + "\\jar32.exe"; }

bool JarAvailable() { return GetFileAttributesA(JarPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

bool JarProcess::Running()
{
    return child_->started && !child_->finished && WaitForSingleObject(child_->process.hProcess, 0) == WAIT_TIMEOUT;
}

void JarProcess::Stop(bool)
{
    // Without a console of its own to send Ctrl+C through, both ways end it from outside.
    if (child_->started && !child_->finished)
        TerminateProcess(child_->process.hProcess, 9);
}

#else
// A pseudo-terminal in place of a pipe: [0] the side read here, [1] the child's; raw, so what the
// child writes arrives unchanged.
static bool OpenTerminal(int ends[2], int columns)
{
    termios raw{};
    cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 25;
    size.ws_col = (unsigned short)columns;
    if (openpty(&ends[0], &ends[1], nullptr, &raw, &size) != 0)
        return false;
    for (int i = 0; i < 2; ++i)
        fcntl(ends[i], F_SETFD, FD_CLOEXEC);
    return true;
}

struct JarProcess::Child {
    pid_t pid = -1;
    int out = -1, err = -1, progressRead = -1, cancelWrite = -1;
    std::thread progressThread;
    ProgressFeed feed;
    JarRun run;
    bool started = false, finished = false;

    Child(const std::string& arguments, const JarRunOptions& options)
    {
        // Close-on-exec: a child started by another thread meanwhile must not hold these pipes.
        int outPipe[2], errPipe[2], inPipe[2], progressPipe[2] = {-1, -1}, cancelPipe[2] = {-1, -1};
        if ((options.terminalColumns > 0 ? !OpenTerminal(outPipe, options.terminalColumns) : pipe2(outPipe, O_CLOEXEC)) ||
            pipe2(errPipe, O_CLOEXEC) || pipe2(inPipe, O_CLOEXEC) ||
            (options.progress && pipe2(progressPipe, O_CLOEXEC)) || (options.cancellable && pipe2(cancelPipe, O_CLOEXEC))) {
            feed.End();
            return;
        }
        // The environment is made before the fork: the child may only make async-signal-safe calls.
        std::vector<std::string> variables;
        for (char** e = environ; *e; ++e)
            variables.push_back(*e);
        if (options.progress)
            variables.push_back(std::string(jarcontract::ProgressVariable) + "=" + std::to_string(progressPipe[1]));
        if (options.cancellable)
            variables.push_back(std::string(jarcontract::CancelVariable) + "=" + std::to_string(cancelPipe[0]));
        std::vector<char*> environment;
        for (std::string& v : variables)
            environment.push_back(v.data());
        environment.push_back(nullptr);
        std::string program = JarPath();
        char* argv[] = {program.data(), const_cast<char*>(arguments.c_str()), nullptr};
        pid = fork();
        if (pid == 0) {
            if (options.fileLimit > 0) {
                rlimit limit{rlim_t(options.fileLimit), rlim_t(options.fileLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN); // writes past the limit then fail instead of killing
            }
            if (options.memoryLimit > 0) {
                rlimit limit{rlim_t(options.memoryLimit), rlim_t(options.memoryLimit)};
                setrlimit(RLIMIT_AS, &limit);
            }
            if (!options.folder.empty() && chdir(options.folder.c_str()) != 0)
                _exit(126);
            dup2(inPipe[0], 0);
            dup2(outPipe[1], 1);
            dup2(errPipe[1], 2);
            for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1], inPipe[0], inPipe[1]})
                close(fd);
            // The channel's write end and the signal's read end stay open in the child.
            for (int fd : {progressPipe[1], cancelPipe[0]})
                if (fd >= 0)
                    fcntl(fd, F_SETFD, 0);
            // The whole argument text as one argument: jar32 splits it itself, as on Windows.
            execve(program.c_str(), argv, environment.data());
            _exit(127);
        }
        close(outPipe[1]);
        close(errPipe[1]);
        close(inPipe[0]);
        for (int fd : {progressPipe[1], cancelPipe[0]})
            if (fd >= 0)
                close(fd);
        progressRead = progressPipe[0];
        cancelWrite = cancelPipe[1];
        if (progressRead >= 0 && options.readerGone) {
            close(progressRead);
            progressRead = -1;
        }
        if (progressRead >= 0)
            progressThread = std::thread([this] {
                char buffer[4096];
                for (ssize_t n; (n = read(progressRead, buffer, sizeof buffer)) != 0;) {
                    if (n < 0 && errno == EINTR)
                        continue;
                    if (n < 0)
                        break;
                    feed.Append(buffer, size_t(n));
                }
                feed.End();
            });
        else
            feed.End();
        signal(SIGPIPE, SIG_IGN);
        if (pid > 0 && !options.input.empty() && write(inPipe[1], options.input.data(), options.input.size()) < 0)
            run.err += "can't write the input";
        close(inPipe[1]);
        out = outPipe[0];
        err = errPipe[0];
        started = pid > 0;
    }

    void Finish()
    {
        if (!started && progressThread.joinable())
            progressThread.join();
        if (finished || !started)
            return;
        finished = true;
        pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
        std::string* texts[2] = {&run.out, &run.err};
        int open = 2;
        char buffer[65536];
        while (open > 0) {
            if (poll(fds, 2, -1) < 0)
                break;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n <= 0) {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                } else {
                    texts[i]->append(buffer, size_t(n));
                }
            }
        }
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        if (progressThread.joinable())
            progressThread.join();
        run.progress = feed.text;
        for (int fd : {progressRead, cancelWrite})
            if (fd >= 0)
                close(fd);
    }

    void Cancel()
    {
        if (cancelWrite >= 0 && write(cancelWrite, "c", 1) < 0)
            run.err += "can't set the cancel signal";
    }
};

std::string ProgramFolder()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder(path, n > 0 ? size_t(n) : 0);
    return folder.substr(0, folder.find_last_of('/'));
}

std::string JarPath() { return ProgramFolder() + "/jar32"; }

bool JarAvailable() { return access(JarPath().c_str(), X_OK) == 0; }

bool JarProcess::Running()
{
    if (!child_->started || child_->finished)
        return false;
    // Looks without reaping: Wait still collects the exit code.
    siginfo_t info{};
    if (waitid(P_PID, id_t(child_->pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    return info.si_pid == 0;
}

void JarProcess::Stop(bool hardKill)
{
    if (child_->started && !child_->finished)
        kill(child_->pid, hardKill ? SIGKILL : SIGINT);
}
#endif

JarProcess::JarProcess(const std::string& arguments, const JarRunOptions& options)
    : child_(std::make_unique<Child>(arguments, options))
{
}

JarProcess::~JarProcess()
{
    if (Running())
        Stop(true);
    child_->Finish();
}

JarRun JarProcess::Wait()
{
    child_->Finish();
    return child_->run;
}

void JarProcess::Cancel() { child_->Cancel(); }

bool JarProcess::WaitForRecord(const std::function<bool(const std::string&)>& wanted, std::chrono::milliseconds timeout)
{
    return child_->feed.WaitFor(wanted, timeout);
}

JarRunOptions WithProgress(bool cancellable)
{
    JarRunOptions options;
    options.progress = true;
    options.cancellable = cancellable;
    return options;
}

JarRunOptions InFolder(const std::string& folder)
{
    JarRunOptions options;
    options.folder = folder;
    return options;
}

JarRunOptions WithInput(const std::string& input)
{
    JarRunOptions options;
    options.input = input;
    return options;
}

JarRunOptions WithFileLimit(long bytes)
{
    JarRunOptions options;
    options.fileLimit = bytes;
    return options;
}

JarRunOptions WithMemoryLimit(long bytes)
{
    JarRunOptions options;
    options.memoryLimit = bytes;
    return options;
}

JarRun RunJar(const std::string& arguments, const JarRunOptions& options)
{
    JarProcess process(arguments, options);
    return process.Wait();
}

} // namespace testsupport
