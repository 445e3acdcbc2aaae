#include "operations/progress_display.h"

#include <algorithm>

namespace {

std::string Grouped(long long n)
{
    std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

// The share of the work done, 0 to 1, by bytes when their total is known, else by files;
// negative when neither can tell.
double DoneShare(const jarcontract::ProgressRecord& r)
{
    if (r.bytesTotal > 0 && r.bytesDone >= 0)
        return std::min(1.0, double(r.bytesDone) / double(r.bytesTotal));
    if (r.filesTotal > 0 && r.filesDone >= 0)
        return std::min(1.0, double(r.filesDone) / double(r.filesTotal));
    // Nothing to do is all done.
    if ((r.bytesTotal == 0 || r.filesTotal == 0) && r.bytesTotal <= 0 && r.filesTotal <= 0)
        return 1.0;
    return -1.0;
}

} // namespace

std::string FormatDuration(int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    auto two = [](int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    int64_t h = seconds / 3600;
    int64_t m = seconds / 60 % 60;
    int64_t s = seconds % 60;
    if (h > 0)
        return std::to_string(h) + ":" + two(m) + ":" + two(s);
    return std::to_string(m) + ":" + two(s);
}

std::string FormatAmounts(long long done, long long total)
{
    long long scale = std::max(done, total);
    long long unit = 1;
    const char* name = "bytes";
    if (scale >= 10LL << 20) {
        unit = 1LL << 20;
        name = "MB";
    } else if (scale >= 10LL << 10) {
        unit = 1LL << 10;
        name = "KB";
    }
    std::string text = Grouped(std::max(done, 0LL) / unit);
    if (total >= 0)
        text += " of " + Grouped(total / unit);
    return text + " " + name;
}

TaskbarShow TaskbarShowFor(RunMonitor::Question question, int percent)
{
    switch (question) {
    case RunMonitor::Question::Failure:
        return TaskbarShow::Failed;
    case RunMonitor::Question::Asked:
        return TaskbarShow::Paused;
    case RunMonitor::Question::None:
        break;
    }
    return percent < 0 ? TaskbarShow::Moving : TaskbarShow::Normal;
}

std::string PhaseText(const std::string& phase)
{
    namespace p = jarcontract::phase;
    if (phase == p::Scan)
        return "Looking for files ...";
    if (phase == p::Compress)
        return "Compressing";
    if (phase == p::Copy)
        return "Copying what the archive keeps";
    if (phase == p::Index)
        return "Writing the archive's index";
    if (phase == p::Test)
        return "Testing";
    if (phase == p::Extract)
        return "Extracting";
    return phase;
}

ProgressTexts ProgressTracker::Describe(uint64_t reports, const jarcontract::ProgressRecord& record, int64_t nowMs,
                                        bool cancelling)
{
    ProgressTexts t;
    t.status = cancelling ? kCancellingText : kWorkingText;
    t.elapsed = "Elapsed " + FormatDuration(nowMs / 1000);
    if (reports == 0) {
        t.action = kCtrlCHint;
        return t;
    }
    if (record.phase != phase_ || record.filesTotal != filesTotal_ || record.bytesTotal != bytesTotal_) {
        phase_ = record.phase;
        filesTotal_ = record.filesTotal;
        bytesTotal_ = record.bytesTotal;
        measureStartMs_ = nowMs;
    }
    t.action = PhaseText(record.phase);
    t.file = record.file;
    if (record.filesDone >= 0) {
        t.files = Grouped(record.filesDone);
        t.files += record.filesTotal >= 0 ? " of " + Grouped(record.filesTotal) + " files" : " files";
    }
    if (record.bytesDone >= 0)
        t.bytes = FormatAmounts(record.bytesDone, record.bytesTotal);
    double share = DoneShare(record);
    if (share < 0)
        return t;
    t.percent = static_cast<int>(share * 100);
    // Too little done, or too short a time, says nothing of the rate yet.
    int64_t measured = nowMs - measureStartMs_;
    if (share >= 1.0) {
        t.remaining = "Time left " + FormatDuration(0);
    } else if (share >= 0.01 && measured >= 1000) {
        double left = double(measured) * (1.0 - share) / share;
        t.remaining = "Time left " + FormatDuration(static_cast<int64_t>(left / 1000.0 + 0.999));
    }
    return t;
}
