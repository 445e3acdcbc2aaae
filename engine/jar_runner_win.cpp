#include "engine/jar_runner_win.h"

#include "engine/jar_commands.h"
#include "engine/jar_output.h"
#include "engine/listing_parser.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Closes a kernel handle on every way out of a run.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }

    HANDLE get() const { return handle_; }
    void reset(HANDLE handle)
    {
        Close();
        handle_ = handle;
    }
    bool Close()
    {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle == nullptr || CloseHandle(handle);
    }

private:
    HANDLE handle_ = nullptr;
};

// JAR_CFG_FILE exists only while the child is being created: the child keeps its copy of the
// environment, and nothing else in this process sees the variable afterwards.
class ConfigVariable {
public:
    explicit ConfigVariable(const std::string& programFolder)
    {
        std::string assignment = jarcontract::ConfigAssignment(programFolder);
        _putenv(assignment.c_str());
    }
    ConfigVariable(const ConfigVariable&) = delete;
    ConfigVariable& operator=(const ConfigVariable&) = delete;
    ~ConfigVariable() { _putenv(jarcontract::ConfigRemoval().c_str()); }
};

struct Child {
    Handle process;
    Handle thread;
};

// An anonymous pipe whose write end the child inherits; the read end stays ours alone, so the
// end of data arrives when the child has finished.
bool OpenPipe(JarSession& session, Handle& readEnd, Handle& writeEnd, const char* creationFailure)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0))
        return session.ReportFailure(creationFailure);
    writeEnd.reset(write);
    Handle inheritableRead(read);
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), read, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return session.ReportFailure("DuplicateHandle failed");
    readEnd.reset(own);
    if (!inheritableRead.Close())
        return session.ReportFailure("Closing handle failed");
    return true;
}

// The child gets the pipe through its start-up information, so the parent's own standard
// handles are never touched. A null handle leaves that stream on the child's console.
bool StartJar(JarSession& session, const std::string& arguments, HANDLE output, HANDLE error, int showState, Child& child)
{
    std::string commandLine = jarcontract::CommandLine(session.JarFolder(), arguments);
    std::string folder = session.WorkingFolder();
    // A drive root is held as "C:", which names the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.lpTitle = const_cast<char*>(jarcontract::ConsoleTitle);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = static_cast<WORD>(showState);
    startup.hStdOutput = output;
    startup.hStdError = error;

    PROCESS_INFORMATION info{};
    BOOL started;
    {
        ConfigVariable config(session.ProgramFolder());
        started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                                 nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info);
    }
    if (!started)
        return session.ReportFailure("Failed to run Jar");
    child.process.reset(info.hProcess);
    child.thread.reset(info.hThread);
    return true;
}

// The end of the output comes a moment before the process has gone; callers delete list files
// and move extracted files next, so wait until the archiver has released them.
void WaitForExit(const Child& child)
{
    WaitForSingleObject(child.process.get(), INFINITE);
}

bool BeginsWith(const std::string& line, const char* text)
{
    return line.rfind(text, 0) == 0;
}

} // namespace

bool WinJarSession::RunJarConsole(ArchiveCatalogue& catalogue, int showState)
{
    Handle readEnd;
    Handle writeEnd;
    if (!OpenPipe(*this, readEnd, writeEnd, "Stderr pipe creation failed\n"))
        return false;
    Child child;
    if (!StartJar(*this, catalogue.Command, nullptr, writeEnd.get(), showState, child))
        return false;
    if (!writeEnd.Close())
        return ReportFailure("Closing handle failed");

    std::string errors;
    char piece[1000];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), piece, sizeof(piece), &got, nullptr) && got > 0)
        errors.append(piece, got);
    if (!readEnd.Close())
        return ReportFailure("Closing handle failed");
    WaitForExit(child);

    std::vector<std::string> lines;
    SplitOutputLines(errors, lines);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (BeginsWith(lines[i], "ERROR") || BeginsWith(lines[i], "WARNING"))
            return ReportFailure(JarErrorMessage(lines, i));
    }
    return true;
}

bool WinJarSession::RunJarCaptured(const std::string& arguments, std::vector<std::string>& lines)
{
    size_t before = lines.size();
    LineCollector collector(lines);
    if (RunJarCapturedInto(arguments, collector))
        return true;
    // Nothing partial.
    lines.resize(before);
    return false;
}

bool WinJarSession::RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink)
{
    BeginWaitCursor();
    Handle readEnd;
    Handle writeEnd;
    if (!OpenPipe(*this, readEnd, writeEnd, "Stdout pipe creation failed\n"))
        return false;
    Child child;
    if (!StartJar(*this, arguments, writeEnd.get(), writeEnd.get(), SW_HIDE, child))
        return false;
    if (!writeEnd.Close())
        return ReportFailure("Closing handle failed");

    // Each piece is cut into lines and handed on while the archiver goes on writing, so the
    // listing's text is never held whole; the limit stays that of the blocks it once filled.
    const size_t pieceSize = outputBlockSize ? outputBlockSize : 1;
    const size_t maxBytes = pieceSize * outputMaxBlocks;
    std::unique_ptr<char[]> piece(new char[pieceSize]);
    LineSplitter splitter(sink);
    size_t total = 0;
    bool tooLong = false;
    for (;;) {
        DWORD got = 0;
        size_t room = std::min(pieceSize, maxBytes - total);
        if (room == 0) {
            // The limit is reached: one more byte means the listing cannot be held.
            char probe;
            tooLong = ReadFile(readEnd.get(), &probe, 1, &got, nullptr) && got > 0;
            break;
        }
        if (!ReadFile(readEnd.get(), piece.get(), static_cast<DWORD>(room), &got, nullptr) || got == 0)
            break;
        total += got;
        splitter.Feed(std::string_view(piece.get(), got));
    }
    // Closing our end makes a child still writing fail instead of waiting for us.
    if (!readEnd.Close())
        return ReportFailure("Closing handle failed");
    WaitForExit(child);
    if (tooLong)
        return ReportFailure("Jar's output is too long to be read (more than " + std::to_string(maxBytes) + " bytes)");
    EndWaitCursor();
    return true;
}
