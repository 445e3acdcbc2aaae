// What an operation's archiver runs share with the window that shows them: the latest progress
// record the archiver sent, the user's Cancel, and whether the worker has a question up. The
// worker's reader thread writes, the interface thread reads a few times a second; only the latest
// record is kept, so a fast archiver never waits for the screen.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/jar_contract.h"

class RunMonitor {
public:
    // What the worker is waiting for besides the archiver.
    enum class Question { None, Asked, Failure };

    // From the reader thread: a record replaces the one before it.
    void Report(const jarcontract::ProgressRecord& record)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = record;
        ++reports_;
    }
    // The latest record and the number of records so far (0: the archiver has reported nothing,
    // and `record` is left as it is).
    uint64_t Latest(jarcontract::ProgressRecord& record) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (reports_ > 0)
            record = latest_;
        return reports_;
    }
    // A new run starts: what an earlier run of the operation reported no longer holds.
    void StartRun()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = {};
        reports_ = 0;
        ++runs_;
    }
    unsigned Runs() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return runs_;
    }

    // From the interface thread; the runner signals the archiver.
    void RequestCancel() { cancel_ = true; }
    bool CancelRequested() const { return cancel_; }

    // A failure stays a failure until the operation ends; a question ends with its answer.
    void SetQuestion(Question question)
    {
        if (question_ != Question::Failure || question == Question::Failure)
            question_ = question;
    }
    Question CurrentQuestion() const { return question_; }

private:
    mutable std::mutex mutex_;
    jarcontract::ProgressRecord latest_;
    uint64_t reports_ = 0;
    unsigned runs_ = 0;
    std::atomic<bool> cancel_{false};
    std::atomic<Question> question_{Question::None};
};
