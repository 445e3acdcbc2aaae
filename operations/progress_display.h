// What the progress window shows, decided from the archiver's latest record and the time: the
// bar's position (or a moving bar when nothing can be measured), the texts, and the time left.
// Plain code: the window only copies the texts into its controls.
#pragma once

#include <cstdint>
#include <string>

#include "engine/jar_contract.h"
#include "engine/run_monitor.h"

struct ProgressTexts {
    int percent = -1;        // 0 to 100; -1: nothing to measure, the bar moves on its own
    std::string status;      // "Torvex working ...", "Cancelling ..."
    std::string action;      // what the archiver is doing; the Ctrl+C hint while it says nothing
    std::string file;        // the file it is on
    std::string files;       // "12 of 345 files"
    std::string bytes;       // "118 of 300 MB"
    std::string elapsed;     // "Elapsed 0:12"
    std::string remaining;   // "Time left 1:05"; empty while it cannot be told
};

// The texts of the window before the archiver has reported anything (and for an archiver that
// never does).
inline constexpr const char* kWorkingText = "Torvex working ...";
inline constexpr const char* kCtrlCHint = "Press Ctrl+C in the DOS box to Cancel the operation";
inline constexpr const char* kCancellingText = "Cancelling ...";

// "0:07", "12:30", "1:02:03".
std::string FormatDuration(int64_t seconds);
// Done of total in the unit that suits the total: "512 of 900 bytes", "118 of 300 MB". A total
// not known (-1) gives the done part alone ("118 MB").
std::string FormatAmounts(long long done, long long total);
// What a phase of the record is called on screen.
std::string PhaseText(const std::string& phase);

// What the taskbar button shows: the bar as the window shows it, paused while a question waits
// for the user, red once the run has failed.
enum class TaskbarShow { Moving, Normal, Paused, Failed };
TaskbarShow TaskbarShowFor(RunMonitor::Question question, int percent);

// Follows one operation's records. The time left is measured from when the present measure
// began (a new phase or new totals start it again), so that a scan before the work does not
// make the estimate look better than it is.
class ProgressTracker {
public:
    // `reports`: how many records have come (0: none, `record` is ignored); `nowMs`: time since
    // the operation started.
    ProgressTexts Describe(uint64_t reports, const jarcontract::ProgressRecord& record, int64_t nowMs,
                           bool cancelling);

private:
    std::string phase_;
    long long filesTotal_ = -2;
    long long bytesTotal_ = -2;
    int64_t measureStartMs_ = 0;
};
