// The progress window's decisions: the bar's measure, the texts and the time left, from the
// archiver's records and the time.
#include "operations/progress_display.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

using jarcontract::ProgressRecord;

ProgressRecord Record(const char* phase, long long filesDone, long long filesTotal, long long bytesDone,
                      long long bytesTotal, const char* file = "")
{
    return ProgressRecord{phase, filesDone, filesTotal, bytesDone, bytesTotal, file};
}

struct Shown {
    const char* what;
    ProgressRecord record;
    int percent;
    const char* files;
    const char* bytes;
};

class ProgressMeasure : public ::testing::TestWithParam<Shown> {};

TEST_P(ProgressMeasure, BytesWhenTheirTotalIsKnownElseFilesElseAMovingBar)
{
    const Shown& c = GetParam();
    ProgressTracker tracker;
    ProgressTexts t = tracker.Describe(1, c.record, 0, false);
    EXPECT_EQ(t.percent, c.percent);
    EXPECT_EQ(t.files, c.files);
    EXPECT_EQ(t.bytes, c.bytes);
    EXPECT_EQ(t.status, "Torvex working ...");
    EXPECT_EQ(t.file, c.record.file);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ProgressMeasure,
    ::testing::Values(
        Shown{"bytes", Record("compress", 1, 4, 150LL << 20, 300LL << 20), 50, "1 of 4 files", "150 of 300 MB"},
        // Bytes rule over files: one big file of four is most of the work.
        Shown{"bytes over files", Record("extract", 3, 4, 1000, 40000), 2, "3 of 4 files", "0 of 39 KB"},
        Shown{"files alone", Record("test", 30, 120, -1, -1), 25, "30 of 120 files", ""},
        Shown{"scan: nothing known", Record("scan", 2500, -1, 900, -1, "C:\\in\\x"), -1, "2,500 files", "900 bytes"},
        Shown{"more than said", Record("copy", 5, 4, 9000, 8000), 100, "5 of 4 files", "9,000 of 8,000 bytes"},
        Shown{"nothing to do", Record("index", 0, 0, 0, 0), 100, "0 of 0 files", "0 of 0 bytes"}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.what))
            if (std::isalnum(static_cast<unsigned char>(c)))
                name += c;
        return name;
    });

TEST(ProgressTexts, BeforeAnyRecordTheOldTextsAndAMovingBarAndCancellingSaysSo)
{
    ProgressTracker tracker;
    ProgressTexts t = tracker.Describe(0, Record("compress", 1, 2, 3, 4, "ignored"), 65000, false);
    EXPECT_EQ(t.percent, -1);
    EXPECT_EQ(t.status, "Torvex working ...");
    EXPECT_EQ(t.action, "Press Ctrl+C in the DOS box to Cancel the operation");
    EXPECT_EQ(t.file, "");
    EXPECT_EQ(t.elapsed, "Elapsed 1:05");
    EXPECT_EQ(t.remaining, "");
    t = tracker.Describe(0, {}, 0, true);
    EXPECT_EQ(t.status, "Cancelling ...");
    t = tracker.Describe(4, Record("extract", 1, 2, 3, 4, "\\a\\b.txt"), 0, true);
    EXPECT_EQ(t.status, "Cancelling ...");
    EXPECT_EQ(t.action, "Extracting");
    EXPECT_EQ(t.file, "\\a\\b.txt");
}

TEST(ProgressTexts, TimeLeftIsMeasuredFromTheStartOfThePresentPhase)
{
    ProgressTracker tracker;
    // Ten seconds of scanning say nothing of how fast the compression goes.
    tracker.Describe(1, Record("scan", 100, -1, 0, -1), 0, false);
    EXPECT_EQ(tracker.Describe(2, Record("scan", 900, -1, 0, -1), 10000, false).remaining, "");
    EXPECT_EQ(tracker.Describe(3, Record("compress", 0, 900, 0, 1000), 10000, false).remaining, "");
    // Too soon, or too little done, for a rate.
    EXPECT_EQ(tracker.Describe(4, Record("compress", 90, 900, 100, 1000), 10500, false).remaining, "");
    EXPECT_EQ(tracker.Describe(5, Record("compress", 9, 900, 5, 1000), 12000, false).remaining, "");
    // A quarter in four seconds: twelve more.
    ProgressTexts t = tracker.Describe(6, Record("compress", 225, 900, 250, 1000), 14000, false);
    EXPECT_EQ(t.percent, 25);
    EXPECT_EQ(t.remaining, "Time left 0:12");
    EXPECT_EQ(t.elapsed, "Elapsed 0:14");
    EXPECT_EQ(tracker.Describe(7, Record("compress", 900, 900, 1000, 1000), 20000, false).remaining, "Time left 0:00");
    // New totals start the measure again.
    EXPECT_EQ(tracker.Describe(8, Record("compress", 1, 5, 400, 4000), 21000, false).remaining, "");
}

TEST(ProgressTaskbar, FollowsTheBarPausesForAQuestionAndStaysRedAfterAFailure)
{
    RunMonitor monitor;
    using Q = RunMonitor::Question;
    EXPECT_EQ(TaskbarShowFor(monitor.CurrentQuestion(), -1), TaskbarShow::Moving);
    EXPECT_EQ(TaskbarShowFor(monitor.CurrentQuestion(), 40), TaskbarShow::Normal);
    monitor.SetQuestion(Q::Asked);
    EXPECT_EQ(TaskbarShowFor(monitor.CurrentQuestion(), 40), TaskbarShow::Paused);
    monitor.SetQuestion(Q::None);
    EXPECT_EQ(TaskbarShowFor(monitor.CurrentQuestion(), 40), TaskbarShow::Normal);
    // The failure's box is answered, a later question comes and goes: still a failed run.
    monitor.SetQuestion(Q::Failure);
    for (Q next : {Q::None, Q::Asked, Q::None})
        monitor.SetQuestion(next);
    EXPECT_EQ(TaskbarShowFor(monitor.CurrentQuestion(), 40), TaskbarShow::Failed);
}

TEST(ProgressTexts, DurationsAndAmountsReadAsPeopleWriteThem)
{
    EXPECT_EQ(FormatDuration(-3), "0:00");
    EXPECT_EQ(FormatDuration(7), "0:07");
    EXPECT_EQ(FormatDuration(750), "12:30");
    EXPECT_EQ(FormatDuration(3723), "1:02:03");
    EXPECT_EQ(FormatAmounts(512, 900), "512 of 900 bytes");
    EXPECT_EQ(FormatAmounts(5000, 10239), "5,000 of 10,239 bytes");
    EXPECT_EQ(FormatAmounts(5000, 10240), "4 of 10 KB");
    EXPECT_EQ(FormatAmounts(118LL << 20, 300LL << 20), "118 of 300 MB");
    EXPECT_EQ(FormatAmounts(3000LL << 20, -1), "3,000 MB");
    EXPECT_EQ(PhaseText("scan"), "Looking for files ...");
    EXPECT_EQ(PhaseText("index"), "Writing the archive's index");
    EXPECT_EQ(PhaseText("later"), "later");
}

} // namespace
