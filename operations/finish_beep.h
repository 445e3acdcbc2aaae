// The beep at the end of a long operation. The worker measures how long the operation took
// rather than arming a timer: a thread timer never fires while the worker waits for the archiver.
#pragma once

#include <cstdint>

// "Beep" and "BeepEdit" (minutes) as the operation found them when it started.
struct FinishBeepSettings {
    int beep = 1;
    int beepEditMinutes = 10;
};

// True when the operation lasted at least BeepEdit minutes and Beep is on.
bool FinishBeepDue(const FinishBeepSettings& settings, int64_t elapsedMilliseconds);
