// The one way tests run the real jar32 built beside them: as a child process with a raw argument
// text (exactly what Windows hands over; natively passed as one argument, which jar32 splits
// itself), text for its console input, and its two outputs and exit code captured.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace testsupport {

struct JarRun {
    std::string out;
    std::string err;
    int exitCode = -1; // -1 when it did not start or did not end by itself
    std::string progress; // the records of the progress channel, when it was given one
    // Both outputs as one text, the way Torvex reads a listing.
    std::string merged() const { return out + err; }
    bool HasError() const { return merged().find("ERROR") != std::string::npos; }
};

struct JarRunOptions {
    std::string folder; // the child's current folder; the caller's when empty
    std::string input;  // typed on its console, then the end of input
    long fileLimit = 0;   // POSIX only: no file larger than this (a stand-in for a full disk)
    long memoryLimit = 0; // POSIX only: no more memory mapped than this
    bool progress = false; // a progress channel (JAR_PROGRESS_HANDLE), read as it comes
    bool readerGone = false; // ... whose reader has gone before the first record
    bool cancellable = false; // a cancel signal (JAR_CANCEL_HANDLE) that Cancel sets
    int terminalColumns = 0; // POSIX only: standard output is a terminal this wide, as a console
};

JarRunOptions InFolder(const std::string& folder);
JarRunOptions WithInput(const std::string& input);
JarRunOptions WithFileLimit(long bytes);
JarRunOptions WithMemoryLimit(long bytes);
JarRunOptions WithProgress(bool cancellable = false);

// The folder holding the test executable, where jar32 is built.
std::string ProgramFolder();
std::string JarPath();
bool JarAvailable();

// Runs jar32 to its end. The arguments are UTF-8.
JarRun RunJar(const std::string& arguments, const JarRunOptions& options = {});

// jar32 started without waiting, so a test can stop it part-way.
class JarProcess {
public:
    explicit JarProcess(const std::string& arguments, const JarRunOptions& options = {});
    ~JarProcess();
    JarProcess(const JarProcess&) = delete;
    JarProcess& operator=(const JarProcess&) = delete;
    bool Running();
    // A hard kill, or Ctrl+C where the platform lets a test send one (POSIX: SIGINT; on Windows
    // both end the process from outside).
    void Stop(bool hardKill);
    // Sets the cancel signal (the run must be cancellable).
    void Cancel();
    // Waits until a record line of the progress channel satisfies `wanted` (each line is offered
    // once, in order); false when the run ends or the time passes first.
    bool WaitForRecord(const std::function<bool(const std::string&)>& wanted, std::chrono::milliseconds timeout);
    // Waits for the end and returns what it printed.
    JarRun Wait();

private:
    struct Child;
    std::unique_ptr<Child> child_;
};

} // namespace testsupport
