// Measures, under Wine, how long a large archive takes from the open request to its rows on
// screen, how much memory the open needs, and how long its largest directory takes to show,
// against the archiver's own listing of the same chapter: through a plain pipe read with a large
// buffer and nothing else (as `jar32 v ... | cat` would), and through Torvex's own reader. Not a
// test: it prints figures.
//   torvex_view_bench -archive=<archive.j> -enter=<directory, e.g. big> [-keep=<ms to keep it on screen>]
// The options begin with "-" because the application reads the same command line: a bare path
// there would be opened at start-up, before the measurement.
#include "view_test_support.h"

#include "engine/jar_commands.h"

#define PSAPI_VERSION 2
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace viewtest;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Megabytes(SIZE_T bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// User and kernel time of this process so far, in ms: on a busy machine the wall clock also
// counts other programs' turns.
double ProcessCpu(HANDLE process = GetCurrentProcess())
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

// Reads the archiver's output and drops it: the archiver and the pipe alone.
class Discard : public OutputLineSink {
public:
    size_t lines = 0;
    void Line(std::string_view) override { ++lines; }
};

// The archiver run into a plain pipe whose reader only reads, a megabyte at a time, and drops
// what it reads: the pace of the archiver and the pipe alone, which the open is held against.
struct PlainRun {
    double ms = -1;
    double childCpu = 0;
    unsigned long long bytes = 0;
};

PlainRun IntoPlainPipe(const std::string& commandLine)
{
    PlainRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    // As large as the runner's own, so that the writer never waits on a full pipe sooner here.
    if (!CreatePipe(&read, &write, &inheritable, 16 << 20))
        return run;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    auto start = Clock::now();
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(write);
    if (started) {
        std::vector<char> buffer(1 << 20);
        DWORD got = 0;
        while (ReadFile(read, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
            run.bytes += got;
        WaitForSingleObject(info.hProcess, INFINITE);
        run.ms = Since(start);
        run.childCpu = ProcessCpu(info.hProcess);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(read);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    std::string archive, enter;
    int keep = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("-archive=", 0) == 0)
            archive = arg.substr(9);
        else if (arg.rfind("-enter=", 0) == 0)
            enter = arg.substr(7);
        else if (arg.rfind("-keep=", 0) == 0)
            keep = std::atoi(arg.c_str() + 6);
    }
    if (archive.empty() || enter.empty()) {
        std::fprintf(stderr, "usage: torvex_view_bench -archive=ARCHIVE -enter=DIRECTORY [-keep=MS]\n");
        return 2;
    }
    std::string folder = archive.substr(0, archive.rfind('\\'));
    TorvexWindow w(folder);

    // The open first, so that the process's peak is the open's own.
    PROCESS_MEMORY_COUNTERS before = Memory();
    double cpu = ProcessCpu();
    auto start = Clock::now();
    if (!w.App().OpenDocumentFile(archive)) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    UpdateWindow(w.Frame().Handle());
    double opened = Since(start);
    double openCpu = ProcessCpu() - cpu;
    PROCESS_MEMORY_COUNTERS after = Memory();
    int rootRows = w.RowCount();

    // The archiver's own listings through the same pipe, read and dropped: the chapter list,
    // and the verbose listing of the shown chapter.
    ArchiveCatalogue chapters;
    chapters.ArchivePath = archive;
    w.Doc().ListChapters(chapters);
    Discard discard;
    start = Clock::now();
    w.Doc().RunJarCapturedInto(ChapterListArguments(archive), discard);
    double chapterList = Since(start);
    discard.lines = 0;
    start = Clock::now();
    bool listedAlone = w.Doc().RunJarCapturedInto(ChapterListingArguments(chapters.LastChapter, archive), discard);
    double alone = Since(start);
    PlainRun plain = IntoPlainPipe(jarcontract::CommandLine(w.Doc().JarFolder(),
                                                            ChapterListingArguments(chapters.LastChapter, archive)));

    int row = w.RowNamed(enter);
    if (row < 0) {
        std::fprintf(stderr, "no directory %s at the root\n", enter.c_str());
        return 1;
    }
    start = Clock::now();
    w.DoubleClickRow(row);
    UpdateWindow(w.Frame().Handle());
    double entered = Since(start);
    int rows = w.RowCount();

    if (keep > 0) {
        std::fflush(stdout);
        w.Pump(keep);
    }

    start = Clock::now();
    w.ClickColumnHeader(1);
    UpdateWindow(w.Frame().Handle());
    double sorted = Since(start);

    start = Clock::now();
    w.DoubleClickRow(0);
    UpdateWindow(w.Frame().Handle());
    double back = Since(start);

    // The share of the archiver and the listing parser: the same two listings alone.
    start = Clock::now();
    ArchiveCatalogue listed;
    listed.ArchivePath = archive;
    bool ok = w.Doc().ListChapters(listed) && w.Doc().ListChapter(listed, listed.LastChapter);
    double listing = Since(start);

    // The view's share: the document's update that shows the root again.
    start = Clock::now();
    w.Doc().UpdateAllViews(nullptr, 0);
    UpdateWindow(w.Frame().Handle());
    double update = Since(start);

    std::printf("open to shown: %.0f ms, %.0f ms of this process's CPU (root: %d rows)\n", opened, openCpu, rootRows);
    std::printf("  the archiver's listing into a plain pipe: %.0f ms (%.0f ms of its CPU, %llu bytes)%s; open / plain pipe = %.2f\n",
                plain.ms, plain.childCpu, plain.bytes, plain.ms < 0 ? " (failed)" : "", opened / plain.ms);
    std::printf("  the archiver's listing through Torvex's reader: %.0f ms (%zu lines)%s; open / that = %.2f\n", alone,
                discard.lines, listedAlone ? "" : " (failed)", opened / alone);
    std::printf("  the archiver's own chapter list through a pipe: %.0f ms\n", chapterList);
    std::printf("  memory: peak working set %.0f MB (%.0f MB before the open, %.0f MB after), so the open took up to %.0f MB\n",
                Megabytes(after.PeakWorkingSetSize), Megabytes(before.WorkingSetSize), Megabytes(after.WorkingSetSize),
                Megabytes(after.PeakWorkingSetSize - before.WorkingSetSize));
    std::printf("  of which the two listings (archiver, pipe, parser): %.0f ms%s\n", listing, ok ? "" : " (failed)");
    std::printf("  the view's update alone (columns, toolbar, combos, root rows, paint): %.0f ms\n", update);
    std::printf("enter %s: %.0f ms (%d rows)\n", enter.c_str(), entered, rows);
    std::printf("sort %d rows by size: %.0f ms\n", rows, sorted);
    std::printf("back to the root: %.0f ms\n", back);
    return 0;
}
