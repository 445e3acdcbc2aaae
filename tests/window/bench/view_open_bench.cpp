// Measures, under Wine, how long a large archive takes from the open request to its rows on
// screen, and how long its largest directory takes to show. Not a test: it prints figures.
//   torvex_view_bench <archive.j> <directory to enter, e.g. big> [ms to keep the directory on screen]
#include "view_test_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace viewtest;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: torvex_view_bench ARCHIVE DIRECTORY\n");
        return 2;
    }
    std::string archive = argv[1];
    std::string folder = archive.substr(0, archive.rfind('\\'));
    TorvexWindow w(folder);

    auto start = Clock::now();
    if (!w.App().OpenDocumentFile(archive)) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    UpdateWindow(w.Frame().Handle());
    double opened = Since(start);
    int rootRows = w.RowCount();

    int row = w.RowNamed(argv[2]);
    if (row < 0) {
        std::fprintf(stderr, "no directory %s at the root\n", argv[2]);
        return 1;
    }
    start = Clock::now();
    w.DoubleClickRow(row);
    UpdateWindow(w.Frame().Handle());
    double entered = Since(start);
    int rows = w.RowCount();

    if (argc > 3) {
        std::fflush(stdout);
        w.Pump(std::atoi(argv[3]));
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

    std::printf("open to shown: %.0f ms (root: %d rows)\n", opened, rootRows);
    std::printf("  of which the two listings (archiver, pipe, parser): %.0f ms%s\n", listing, ok ? "" : " (failed)");
    std::printf("  the view's update alone (columns, toolbar, combos, root rows, paint): %.0f ms\n", update);
    std::printf("enter %s: %.0f ms (%d rows)\n", argv[2], entered, rows);
    std::printf("sort %d rows by size: %.0f ms\n", rows, sorted);
    std::printf("back to the root: %.0f ms\n", back);
    return 0;
}
