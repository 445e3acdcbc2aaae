#include "engine/jar_runner_win.h"

#include "engine/jar_commands.h"
#include "engine/jar_output.h"
#include "engine/list_file_folder.h"
#include "engine/listing_parser.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
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

// This process's environment as "NAME=value" entries.
std::vector<std::string> CurrentEnvironment()
{
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    if (!block)
        return entries;
    for (const char* entry = block; *entry; entry += entries.back().size() + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsA(block);
    return entries;
}

// Paints the windows of the calling thread that need it. Nothing else is dispatched: no input,
// no command and no timer can start anything while a run is waited for.
void DispatchPaintOnly()
{
    std::vector<HWND> painted;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        if (std::find(painted.begin(), painted.end(), msg.hwnd) != painted.end()) {
            // A window that left itself invalid would come back for ever.
            ValidateRect(msg.hwnd, nullptr);
            continue;
        }
        painted.push_back(msg.hwnd);
        DispatchMessageA(&msg);
    }
}

// Waits for `object`, keeping the thread's windows painted meanwhile; `tick`, when given, is
// called every kTickMs or so until the object is signalled.
constexpr DWORD kTickMs = 50;
void WaitPainting(HANDLE object, const std::function<void()>& tick = {})
{
    for (;;) {
        DWORD rc = MsgWaitForMultipleObjects(1, &object, FALSE, tick ? kTickMs : INFINITE, QS_PAINT);
        if (rc == WAIT_OBJECT_0 + 1) {
            DispatchPaintOnly();
            continue;
        }
        if (rc == WAIT_TIMEOUT) {
            tick();
            continue;
        }
        if (rc != WAIT_OBJECT_0)
            WaitForSingleObject(object, INFINITE);
        return;
    }
}

// Runs `work` (reading the pipe, which blocks) on a thread of its own while this one waits
// painting: the call stays synchronous, and the window does not turn into a blank frame.
void RunWhilePainting(const std::function<void()>& work, const std::function<void()>& tick = {})
{
    struct Call {
        const std::function<void()>& work;
        std::exception_ptr failure;
        static DWORD WINAPI Run(void* parameter)
        {
            auto* call = static_cast<Call*>(parameter);
            try {
                call->work();
            } catch (...) {
                call->failure = std::current_exception();
            }
            return 0;
        }
    } call{work, nullptr};
    HANDLE thread = CreateThread(nullptr, 0, &Call::Run, &call, 0, nullptr);
    if (!thread) {
        work();
        return;
    }
    WaitPainting(thread, tick);
    CloseHandle(thread);
    if (call.failure)
        std::rethrow_exception(call.failure);
}

// Drains a pipe on a thread of its own into a queue of pieces, so the archiver goes on writing
// while what it wrote before is parsed. At most `maxBytes` are taken; one byte beyond them marks
// the output as too long. At most kMaxQueued pieces wait, so a slow reader holds the writer back.
class PipeDrain {
public:
    PipeDrain(HANDLE pipe, size_t pieceSize, size_t maxBytes) : pipe_(pipe), pieceSize_(pieceSize), maxBytes_(maxBytes)
    {
        InitializeCriticalSection(&lock_);
        InitializeConditionVariable(&changed_);
        thread_ = CreateThread(nullptr, 0, &PipeDrain::Run, this, 0, nullptr);
        if (!thread_)
            Read(); // no thread: everything is read now, and handed out afterwards
    }
    ~PipeDrain()
    {
        EnterCriticalSection(&lock_);
        abandoned_ = true;
        WakeAllConditionVariable(&changed_);
        LeaveCriticalSection(&lock_);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        DeleteCriticalSection(&lock_);
    }
    PipeDrain(const PipeDrain&) = delete;
    PipeDrain& operator=(const PipeDrain&) = delete;

    // The next piece in order; false once the output has ended and every piece was handed out.
    bool Next(std::string& piece)
    {
        EnterCriticalSection(&lock_);
        while (pieces_.empty() && !ended_)
            SleepConditionVariableCS(&changed_, &lock_, INFINITE);
        bool got = !pieces_.empty();
        if (got) {
            piece.swap(pieces_.front());
            pieces_.pop_front();
            WakeAllConditionVariable(&changed_);
        }
        LeaveCriticalSection(&lock_);
        return got;
    }
    // Valid once Next has returned false.
    bool TooLong() const { return tooLong_; }

private:
    static constexpr size_t kMaxQueued = 64; // pieces: 32 MB of 512,000-byte ones

    static DWORD WINAPI Run(void* self)
    {
        static_cast<PipeDrain*>(self)->Read();
        return 0;
    }
    void Read()
    {
        size_t total = 0;
        for (;;) {
            DWORD got = 0;
            size_t room = std::min(pieceSize_, maxBytes_ - total);
            if (room == 0) {
                char probe;
                tooLong_ = ReadFile(pipe_, &probe, 1, &got, nullptr) && got > 0;
                break;
            }
            std::string piece(room, '\0');
            if (!ReadFile(pipe_, piece.data(), static_cast<DWORD>(room), &got, nullptr) || got == 0)
                break;
            piece.resize(got);
            total += got;
            EnterCriticalSection(&lock_);
            while (thread_ && pieces_.size() >= kMaxQueued && !abandoned_)
                SleepConditionVariableCS(&changed_, &lock_, INFINITE);
            bool stop = abandoned_;
            pieces_.push_back(std::move(piece));
            WakeAllConditionVariable(&changed_);
            LeaveCriticalSection(&lock_);
            if (stop)
                break;
        }
        EnterCriticalSection(&lock_);
        ended_ = true;
        WakeAllConditionVariable(&changed_);
        LeaveCriticalSection(&lock_);
    }

    HANDLE pipe_;
    size_t pieceSize_;
    size_t maxBytes_;
    HANDLE thread_ = nullptr;
    CRITICAL_SECTION lock_;
    CONDITION_VARIABLE changed_;
    std::deque<std::string> pieces_;
    bool ended_ = false;
    bool abandoned_ = false;
    bool tooLong_ = false;
};

struct Child {
    Handle process;
    Handle thread;
};

// An anonymous pipe whose write end the child inherits; the read end stays ours alone, so the
// end of data arrives when the child has finished.
bool OpenPipe(JarRunner& session, Handle& readEnd, Handle& writeEnd, const char* creationFailure)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 16 << 20))
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

// Every archiver this process starts belongs to one job that ends its processes when its last
// handle closes: a Torvex that dies, however it dies, takes its archiver runs with it. The
// handle is never closed by us; the system closes it with the process.
HANDLE ChildrenJob()
{
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        if (created) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            if (!SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
                CloseHandle(created);
                created = nullptr;
            }
        }
        return created;
    }();
    return job;
}

// A handle the child inherits, named in its environment as a decimal number.
struct PassedHandle {
    const char* variable;
    HANDLE handle;
};

// The entries of an environment block.
std::vector<std::string> BlockEntries(const std::string& block)
{
    std::vector<std::string> entries;
    for (size_t at = 0; at < block.size() && block[at] != '\0';) {
        size_t end = block.find('\0', at);
        entries.push_back(block.substr(at, end - at));
        at = end + 1;
    }
    return entries;
}

// The list of the handles a child inherits: these and no other inheritable handle this process
// has open at the time (another run's pipe, above all, whose end would never come).
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles))
    {
        handles_.erase(std::remove(handles_.begin(), handles_.end(), nullptr), handles_.end());
        std::sort(handles_.begin(), handles_.end());
        handles_.erase(std::unique(handles_.begin(), handles_.end()), handles_.end());
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (handles_.empty() || size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size))
            return;
        if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                       handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list);
            return;
        }
        list_ = list;
    }
    ~InheritedHandles()
    {
        if (list_)
            DeleteProcThreadAttributeList(list_);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;
    // Null when the system takes no list: the child then inherits as before.
    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::vector<char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

// The child gets the pipe through its start-up information, so the parent's own standard
// handles are never touched. A null handle leaves that stream on the child's console.
bool StartJar(JarRunner& session, const std::string& arguments, HANDLE output, HANDLE error, ConsoleShow show,
              Child& child, const std::vector<PassedHandle>& passed = {})
{
    std::string commandLine = jarcontract::CommandLine(session.JarFolder(), arguments);
    // A drive root is held as "C:", which names the drive's current folder, not its root. Every
    // path the archiver is given is full, so in a folder too long to be a current folder it runs
    // in this process's folder instead of not at all.
    std::string folder = StartFolder(session.WorkingFolder());

    STARTUPINFOEXA extended{};
    STARTUPINFOA& startup = extended.StartupInfo;
    startup.cb = sizeof(startup);
    startup.lpTitle = const_cast<char*>(jarcontract::ConsoleTitle);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = static_cast<WORD>(show);
    startup.hStdOutput = output;
    startup.hStdError = error;

    // JAR_CFG_FILE goes into the child's own environment: this process's stays untouched, so a
    // variable of that name it had keeps its value, and no other thread ever sees Torvex's.
    std::string environment = jarcontract::EnvironmentBlockWith(CurrentEnvironment(), jarcontract::ConfigVariable,
                                                                jarcontract::ConfigFile(session.ProgramFolder()));
    std::vector<HANDLE> inherited{output, error};
    for (const PassedHandle& handle : passed) {
        environment = jarcontract::EnvironmentBlockWith(BlockEntries(environment), handle.variable,
                                                        std::to_string(reinterpret_cast<uintptr_t>(handle.handle)));
        inherited.push_back(handle.handle);
    }
    InheritedHandles only(inherited);
    DWORD flags = CREATE_NEW_CONSOLE | CREATE_SUSPENDED | NORMAL_PRIORITY_CLASS;
    if (only.List()) {
        extended.lpAttributeList = only.List();
        startup.cb = sizeof(extended);
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION info{};
    // Started suspended, so that it is in the job before it can start anything of its own.
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, environment.data(),
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return session.ReportFailure("Failed to run Jar");
    child.process.reset(info.hProcess);
    child.thread.reset(info.hThread);
    // Outside the job (a system that refuses nested jobs) the run still goes ahead.
    if (HANDLE job = ChildrenJob())
        AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    return true;
}

// The end of the output comes a moment before the process has gone; callers delete list files
// and move extracted files next, so wait until the archiver has released them.
void WaitForExit(const Child& child)
{
    WaitPainting(child.process.get());
}

bool BeginsWith(const std::string& line, const char* text)
{
    return line.rfind(text, 0) == 0;
}

// Reads the archiver's progress records on a thread of its own as fast as they come, so that the
// archiver never waits on a full pipe, and hands the monitor the latest of each piece read.
class ProgressReader {
public:
    ProgressReader(HANDLE pipe, RunMonitor& monitor) : pipe_(pipe), monitor_(monitor)
    {
        thread_ = CreateThread(nullptr, 0, &ProgressReader::Run, this, 0, nullptr);
    }
    ~ProgressReader()
    {
        if (!thread_)
            return;
        // The end comes when the archiver has gone. Something it started that holds the pipe
        // still must not hold this run: the read is given up after a moment.
        if (WaitForSingleObject(thread_, 2000) == WAIT_TIMEOUT) {
            CancelSynchronousIo(thread_);
            WaitForSingleObject(thread_, INFINITE);
        }
        CloseHandle(thread_);
    }
    ProgressReader(const ProgressReader&) = delete;
    ProgressReader& operator=(const ProgressReader&) = delete;
    // False when there is no thread to read: the archiver must then not be given the pipe.
    bool Reading() const { return thread_ != nullptr; }

private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<ProgressReader*>(self)->Read();
        return 0;
    }
    void Read()
    {
        std::string pending;
        char piece[4096];
        DWORD got = 0;
        while (ReadFile(pipe_, piece, sizeof piece, &got, nullptr) && got > 0) {
            pending.append(piece, got);
            size_t end = pending.rfind('\n');
            if (end == std::string::npos)
                continue;
            // Only the last whole record matters; the ones before it are already out of date. A
            // line that is not one is passed over.
            for (size_t lineEnd = end;;) {
                size_t start = lineEnd == 0 ? std::string::npos : pending.rfind('\n', lineEnd - 1);
                size_t from = start == std::string::npos ? 0 : start + 1;
                jarcontract::ProgressRecord record;
                if (jarcontract::ParseProgressRecord(pending.substr(from, lineEnd - from), record)) {
                    monitor_.Report(record);
                    break;
                }
                if (start == std::string::npos)
                    break;
                lineEnd = start;
            }
            pending.erase(0, end + 1);
        }
    }

    HANDLE pipe_;
    RunMonitor& monitor_;
    HANDLE thread_ = nullptr;
};

// How long an archiver asked to stop has before it is ended as Ctrl+C would end it.
constexpr auto kCancelGrace = std::chrono::milliseconds(3000);

// Ends the run's processes: the archiver and whatever it started (a volume command), as Ctrl+C
// in its console would. One operation runs at a time and only its runs are in the job then.
void EndRun(const Child& child)
{
    BOOL inJob = FALSE;
    HANDLE job = ChildrenJob();
    if (job && IsProcessInJob(child.process.get(), job, &inJob) && inJob && TerminateJobObject(job, jarcontract::CancelledExitCode))
        return;
    TerminateProcess(child.process.get(), jarcontract::CancelledExitCode);
}

// A captured run whose output a thread of its own reads whole, while the caller makes another
// run: the output of both streams, at most `maxBytes` of it.
class WinBackgroundRun : public BackgroundRun {
public:
    WinBackgroundRun(JarRunner& session, const std::string& arguments, size_t maxBytes) : maxBytes_(maxBytes)
    {
        Handle writeEnd;
        if (!OpenPipe(session, readEnd_, writeEnd, "Stdout pipe creation failed\n"))
            return;
        if (!StartJar(session, arguments, writeEnd.get(), writeEnd.get(), ConsoleShow::Hidden, child_))
            return;
        if (!writeEnd.Close()) {
            session.ReportFailure("Closing handle failed");
            End();
            return;
        }
        started_ = true;
        // Without a thread of its own the output is read when it is asked for.
        thread_ = CreateThread(nullptr, 0, &WinBackgroundRun::Run, this, 0, nullptr);
    }
    ~WinBackgroundRun() override
    {
        if (started_ && !finished_)
            End();
    }
    WinBackgroundRun(const WinBackgroundRun&) = delete;
    WinBackgroundRun& operator=(const WinBackgroundRun&) = delete;

    bool Started() const override { return started_; }
    bool Finish(std::vector<std::string>& lines) override
    {
        if (!started_ || finished_)
            return false;
        finished_ = true;
        if (thread_) {
            WaitPainting(thread_);
            CloseHandle(thread_);
            thread_ = nullptr;
        } else {
            RunWhilePainting([this] { Read(); });
        }
        readEnd_.Close();
        WaitForExit(child_);
        if (tooLong_)
            return false;
        SplitOutputLines(text_, lines);
        return true;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<WinBackgroundRun*>(self)->Read();
        return 0;
    }
    void Read()
    {
        char piece[65536];
        DWORD got = 0;
        while (ReadFile(readEnd_.get(), piece, sizeof(piece), &got, nullptr) && got > 0) {
            if (text_.size() + got > maxBytes_) {
                tooLong_ = true;
                return;
            }
            text_.append(piece, got);
        }
    }
    // Ends the archiver, so that the reading thread sees the end of its output.
    void End()
    {
        ::TerminateProcess(child_.process.get(), 1);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        WaitForSingleObject(child_.process.get(), INFINITE);
    }

    size_t maxBytes_;
    Handle readEnd_;
    Child child_;
    HANDLE thread_ = nullptr;
    bool started_ = false;
    bool finished_ = false;
    bool tooLong_ = false;
    std::string text_;
};

} // namespace

std::unique_ptr<BackgroundRun> WinJarRunner::StartInBackground(const std::string& arguments)
{
    return std::make_unique<WinBackgroundRun>(*this, arguments, (outputBlockSize ? outputBlockSize : 1) * outputMaxBlocks);
}

bool WinJarRunner::RunConsole(const std::string& arguments, ConsoleShow show)
{
    lastRunCancelled = StopRequested();
    if (lastRunCancelled)
        return false;
    Handle readEnd;
    Handle writeEnd;
    if (!OpenPipe(*this, readEnd, writeEnd, "Stderr pipe creation failed\n"))
        return false;

    // With a monitor the archiver gets a pipe for its progress records and an event for Cancel.
    Handle progressRead;
    Handle progressWrite;
    Handle cancelEvent;
    std::unique_ptr<ProgressReader> reader;
    std::vector<PassedHandle> passed;
    if (monitor) {
        monitor->StartRun();
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        cancelEvent.reset(CreateEventA(&inheritable, TRUE, FALSE, nullptr));
        if (cancelEvent.get())
            passed.push_back({jarcontract::CancelVariable, cancelEvent.get()});
        // Without them the run goes ahead as it always did: nothing to tell the user.
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (CreatePipe(&read, &write, &inheritable, 64 << 10)) {
            progressRead.reset(read);
            progressWrite.reset(write);
            SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
            reader = std::make_unique<ProgressReader>(progressRead.get(), *monitor);
            if (reader->Reading())
                passed.push_back({jarcontract::ProgressVariable, progressWrite.get()});
        }
    }
    Child child;
    if (!StartJar(*this, arguments, nullptr, writeEnd.get(), show, child, passed)) {
        progressWrite.Close();
        return false;
    }
    if (!writeEnd.Close() || !progressWrite.Close())
        return ReportFailure("Closing handle failed");

    // Cancel: the archiver is asked through the event; one that has not ended after a moment
    // (it does not listen, or is waiting on its console) is ended.
    bool asked = false;
    bool ended = false;
    auto askedAt = std::chrono::steady_clock::now();
    auto watchCancel = [&] {
        if (!monitor || ended || !monitor->CancelRequested())
            return;
        if (!asked) {
            asked = true;
            askedAt = std::chrono::steady_clock::now();
            if (cancelEvent.get())
                SetEvent(cancelEvent.get());
        } else if (std::chrono::steady_clock::now() - askedAt >= kCancelGrace) {
            ended = true;
            EndRun(child);
        }
    };
    std::string errors;
    RunWhilePainting([&] {
        char piece[1000];
        DWORD got = 0;
        while (ReadFile(readEnd.get(), piece, sizeof(piece), &got, nullptr) && got > 0)
            errors.append(piece, got);
    }, monitor ? std::function<void()>(watchCancel) : std::function<void()>());
    if (!readEnd.Close())
        return ReportFailure("Closing handle failed");
    WaitPainting(child.process.get(), monitor ? std::function<void()>(watchCancel) : std::function<void()>());
    reader.reset();

    DWORD exitCode = 0;
    GetExitCodeProcess(child.process.get(), &exitCode);
    if (ended || (asked && exitCode == static_cast<DWORD>(jarcontract::CancelledExitCode))) {
        lastRunCancelled = true;
        return false;
    }

    std::vector<std::string> lines;
    SplitOutputLines(errors, lines);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (BeginsWith(lines[i], "ERROR") || BeginsWith(lines[i], "WARNING"))
            return ReportFailure(JarErrorMessage(lines, i));
    }
    return true;
}

bool WinJarRunner::RunJarCaptured(const std::string& arguments, std::vector<std::string>& lines)
{
    size_t before = lines.size();
    LineCollector collector(lines);
    if (RunJarCapturedInto(arguments, collector))
        return true;
    // Nothing partial.
    lines.resize(before);
    return false;
}

bool WinJarRunner::RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink)
{
    BeginWaitCursor();
    Handle readEnd;
    Handle writeEnd;
    if (!OpenPipe(*this, readEnd, writeEnd, "Stdout pipe creation failed\n"))
        return false;
    Child child;
    if (!StartJar(*this, arguments, writeEnd.get(), writeEnd.get(), ConsoleShow::Hidden, child))
        return false;
    if (!writeEnd.Close())
        return ReportFailure("Closing handle failed");

    // Each piece is cut into lines and handed on while the archiver goes on writing, so the
    // listing's text is never held whole; the limit stays that of the blocks it once filled.
    const size_t pieceSize = outputBlockSize ? outputBlockSize : 1;
    const size_t maxBytes = pieceSize * outputMaxBlocks;
    LineSplitter splitter(sink);
    bool tooLong = false;
    RunWhilePainting([&] {
        PipeDrain drain(readEnd.get(), pieceSize, maxBytes);
        std::string piece;
        while (!sink.Stopped() && drain.Next(piece))
            splitter.Feed(piece);
        tooLong = drain.TooLong();
    });
    // Closing our end makes a child still writing fail instead of waiting for us.
    if (!readEnd.Close())
        return ReportFailure("Closing handle failed");
    if (sink.Stopped()) {
        ::TerminateProcess(child.process.get(), 1);
        WaitForExit(child);
        EndWaitCursor();
        return false;
    }
    WaitForExit(child);
    if (tooLong)
        return ReportFailure("Jar's output is too long to be read (more than " + std::to_string(maxBytes) + " bytes)");
    EndWaitCursor();
    return true;
}

std::string WinJarRunner::ListFolder() const
{
    return ListFileFolder(ProgramFolder());
}

void WinJarRunner::ShowMessage(const std::string& text, bool failure)
{
    PromptUser(text, failure ? prompt::Ok | prompt::IconStop : prompt::Ok);
}
