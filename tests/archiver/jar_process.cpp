#include "jar_process.h"

#ifdef _WIN32
#include <windows.h>

#include <thread>

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\'));
}

namespace {
struct Child {
    PROCESS_INFORMATION process{};
    HANDLE outRead = nullptr, errRead = nullptr;
    std::string out, err;
    int exitCode = -1;
    std::thread outThread, errThread;
};

void Drain(HANDLE pipe, std::string& text)
{
    char buffer[65536];
    DWORD got;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
}

bool Start(const std::string& arguments, const std::string& input, Child& child)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outWrite, errWrite, inRead, inWrite;
    CreatePipe(&child.outRead, &outWrite, &inherit, 0);
    CreatePipe(&child.errRead, &errWrite, &inherit, 0);
    CreatePipe(&inRead, &inWrite, &inherit, 0);
    SetHandleInformation(child.outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(child.errRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::string line = "\"" + ProgramFolder() + "\\jar32.exe\" " + arguments;
    BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP, nullptr,
                             nullptr, &startup, &child.process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    CloseHandle(inRead);
    if (ok) {
        DWORD written;
        if (!input.empty())
            WriteFile(inWrite, input.data(), DWORD(input.size()), &written, nullptr);
    }
    CloseHandle(inWrite);
    if (!ok) {
        child.err = "ERROR: can't start " + line;
        return false;
    }
    child.outThread = std::thread(Drain, child.outRead, std::ref(child.out));
    child.errThread = std::thread(Drain, child.errRead, std::ref(child.err));
    return true;
}

void Finish(Child& child)
{
    WaitForSingleObject(child.process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(child.process.hProcess, &code))
        child.exitCode = int(code);
    child.outThread.join();
    child.errThread.join();
    CloseHandle(child.outRead);
    CloseHandle(child.errRead);
    CloseHandle(child.process.hProcess);
    CloseHandle(child.process.hThread);
}
} // namespace

JarRun RunJar(const std::string& arguments, const std::string& input)
{
    Child child;
    if (Start(arguments, input, child))
        Finish(child);
    return {child.out, child.err, child.exitCode};
}

std::string RunJarAndStop(const std::string& arguments, int milliseconds, bool hardKill)
{
    Child child;
    if (!Start(arguments, "", child))
        return child.err;
    Sleep(DWORD(milliseconds));
    // Without a console to send Ctrl+C through, both ways end the process from outside.
    (void)hardKill;
    TerminateProcess(child.process.hProcess, 9);
    Finish(child);
    return child.err;
}

#else
#include <csignal>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <thread>

std::string ProgramFolder()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder(path, n > 0 ? size_t(n) : 0);
    return folder.substr(0, folder.find_last_of('/'));
}

namespace {
struct Child {
    pid_t pid = -1;
    int out = -1, err = -1;
    std::string outText, errText;
    int exitCode = -1;
};

bool Start(const std::string& arguments, const std::string& input, Child& child, long fileLimit = 0,
           long memoryLimit = 0)
{
    int outPipe[2], errPipe[2], inPipe[2];
    if (pipe(outPipe) || pipe(errPipe) || pipe(inPipe))
        return false;
    std::string program = ProgramFolder() + "/jar32";
    child.pid = fork();
    if (child.pid == 0) {
        if (fileLimit > 0) {
            rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN); // writes past the limit then fail instead of killing
        }
        if (memoryLimit > 0) {
            rlimit limit{rlim_t(memoryLimit), rlim_t(memoryLimit)};
            setrlimit(RLIMIT_AS, &limit);
        }
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
    if (!input.empty() && write(inPipe[1], input.data(), input.size()) < 0)
        child.errText += "can't write the input";
    close(inPipe[1]);
    child.out = outPipe[0];
    child.err = errPipe[0];
    return child.pid > 0;
}

void Collect(Child& child)
{
    pollfd fds[2] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
    std::string* texts[2] = {&child.outText, &child.errText};
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
    if (waitpid(child.pid, &status, 0) == child.pid && WIFEXITED(status))
        child.exitCode = WEXITSTATUS(status);
}
} // namespace

JarRun RunJar(const std::string& arguments, const std::string& input)
{
    Child child;
    if (Start(arguments, input, child))
        Collect(child);
    return {child.outText, child.errText, child.exitCode};
}

std::string RunJarAndStop(const std::string& arguments, int milliseconds, bool hardKill)
{
    Child child;
    if (!Start(arguments, "", child))
        return "can't start";
    std::thread stopper([&] {
        usleep(useconds_t(milliseconds) * 1000);
        kill(child.pid, hardKill ? SIGKILL : SIGINT);
    });
    Collect(child);
    stopper.join();
    return child.errText;
}

JarRun RunJarWithFileLimit(const std::string& arguments, long bytes)
{
    Child child;
    if (Start(arguments, "", child, bytes))
        Collect(child);
    return {child.outText, child.errText, child.exitCode};
}

JarRun RunJarWithMemoryLimit(const std::string& arguments, long bytes)
{
    Child child;
    if (Start(arguments, "", child, 0, bytes))
        Collect(child);
    return {child.outText, child.errText, child.exitCode};
}
#endif
