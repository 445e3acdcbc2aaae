// How far a run is, told to whoever started it, and whether it was asked to stop.
//
// A parent that wants progress names an inheritable pipe's write end (a file descriptor on POSIX)
// in JAR_PROGRESS_HANDLE; records go there as lines "phase\tfilesDone\tfilesTotal\tbytesDone\t
// bytesTotal\tcurrent file\n", -1 for a count not known (see FORMAT.md). A parent that wants a
// Cancel names a manual-reset event (the read end of a pipe on POSIX) in JAR_CANCEL_HANDLE. A run
// in a console of its own, without a channel, shows one line updated in place instead.
#pragma once

#include <cstdint>
#include <string>

namespace jar {

inline constexpr const char* kProgressVariable = "JAR_PROGRESS_HANDLE";
inline constexpr const char* kCancelVariable = "JAR_CANCEL_HANDLE";
// The exit code of a run that stopped because the cancel signal was set.
inline constexpr int kCancelledExitCode = 3;

namespace phase {
inline constexpr const char* Scan = "scan";
inline constexpr const char* Compress = "compress";
inline constexpr const char* Copy = "copy";
inline constexpr const char* Index = "index";
inline constexpr const char* Test = "test";
inline constexpr const char* Extract = "extract";
} // namespace phase

class Progress {
public:
    // Reads the two variables once: opens the channel, starts watching the signal, or finds the
    // console the progress line goes to. Without them nothing changes in what the run prints.
    static void SetUp();
    // A phase begins; -1 for a total not known yet. The previous phase's last state goes out first.
    static void Phase(const char* name, int64_t filesTotal, int64_t bytesTotal);
    // A file found while scanning, of `size` bytes (no record of its own: scanning is quick).
    static void Found(const std::string& path, uint64_t size);
    // The file now being handled, of `size` bytes: a record of its own (those of quick files go
    // out together, at most every 20 ms).
    static void File(const std::string& name, uint64_t size);
    // Bytes of the current file done since the last call; a record at most every 200 ms.
    static void Bytes(uint64_t count);
    // The current file is finished or skipped: its bytes count as done, whatever was read.
    static void FileDone();
    // The phase is complete: its last state goes out at once, totals not known before now set
    // to what was done.
    static void Close();
};

// Ctrl+C or the cancel signal: long loops look at this and end cleanly.
bool StopAsked();
// True once the cancel signal was seen.
bool CancelAsked();
// The text of the one ERROR line a stopped run prints.
std::string StopMessage();

// The platform's side: the channel, the signal and the console. A handle is the number a variable
// names (a HANDLE's value on Windows, a file descriptor on POSIX).
namespace channel {
// False when the number names nothing open.
bool Open(uint64_t handle);
// False once the reader is gone (the run goes on without reporting).
bool Write(const std::string& text);
void Close();
// Starts a thread that calls `onCancel` once the signal is set; false when the value names none.
bool WatchCancel(uint64_t handle, void (*onCancel)());
// Columns of the console standard output writes to; 0 when it goes to a pipe or a file.
int ConsoleColumns();
} // namespace channel

} // namespace jar
