#include "tests/support/jar_runner.h"

#include <cstdio>
#include <mutex>
#include <thread>

#include "tests/support/file_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#endif

namespace testsupport {

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
    HANDLE outRead = nullptr, errRead = nullptr;
    std::thread outThread, errThread;
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
        }
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
        CloseHandle(outRead);
        CloseHandle(errRead);
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
struct JarProcess::Child {
    pid_t pid = -1;
    int out = -1, err = -1;
    JarRun run;
    bool started = false, finished = false;

    Child(const std::string& arguments, const JarRunOptions& options)
    {
        // Close-on-exec: a child started by another thread meanwhile must not hold these pipes.
        int outPipe[2], errPipe[2], inPipe[2];
        if (pipe2(outPipe, O_CLOEXEC) || pipe2(errPipe, O_CLOEXEC) || pipe2(inPipe, O_CLOEXEC))
            return;
        std::string program = JarPath();
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
            // The whole argument text as one argument: jar32 splits it itself, as on Windows.
            execl(program.c_str(), program.c_str(), arguments.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(outPipe[1]);
        close(errPipe[1]);
        close(inPipe[0]);
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
