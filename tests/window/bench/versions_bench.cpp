// Measures, under Wine, what the questions about versions cost on a large archive: Find over every
// chapter, a file's history and the comparison of two chapters, each the way the window runs it
// (the archiver's listing read through our runner). Not a test: it prints figures.
//   torvex_versions_bench [-archive=<a.j>] [-chapters=100] [-files=10000] [-runs=3]
// Without -archive it makes one in a scratch folder: `files` files in folders of 100, and each
// later chapter changes 1% of them.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "engine/chapter_versions.h"
#include "engine/jar_commands.h"
#include "engine/jar_runner_win.h"
#include "operations/find_rules.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

std::string Argument(int argc, char** argv, const std::string& name, const std::string& otherwise = {})
{
    std::string prefix = "-" + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(prefix, 0) == 0)
            return std::string(argv[i]).substr(prefix.size());
    return otherwise;
}

// The fastest of `runs` timings, in seconds.
double Best(int runs, const std::function<void()>& work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

std::string FileName(const std::string& src, int n)
{
    char name[64];
    std::snprintf(name, sizeof name, "\\d%03d\\f%05d.txt", n / 100, n);
    return src + name;
}

bool MakeArchive(const std::string& folder, int chapters, int files)
{
    std::string src = folder + "\\src";
    MakeFolder(src);
    for (int d = 0; d * 100 < files; ++d) {
        char name[16];
        std::snprintf(name, sizeof name, "\\d%03d", d);
        MakeFolder(src + name);
    }
    for (int n = 0; n < files; ++n)
        WriteFile(FileName(src, n), "file " + std::to_string(n) + " chapter 1\r\n");
    std::string archive = "\"" + folder + "\\big.j\" *";
    if (!RunJar(src, "a -r -y " + archive))
        return false;
    int changed = std::max(files / 100, 1);
    for (int chapter = 2; chapter <= chapters; ++chapter) {
        for (int i = 0; i < changed; ++i) {
            int n = ((chapter - 2) * changed + i) % files;
            WriteFile(FileName(src, n), "file " + std::to_string(n) + " chapter " + std::to_string(chapter) + "\r\n");
        }
        // The first file changes in every chapter: its history is the longest.
        WriteFile(FileName(src, 0), "file 0 chapter " + std::to_string(chapter) + "\r\n");
        if (!RunJar(src, "ac -r -y " + archive))
            return false;
        if (chapter % 10 == 0)
            std::printf("  chapter %d written\n", chapter);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int chapters = std::atoi(Argument(argc, argv, "chapters", "100").c_str());
    int files = std::atoi(Argument(argc, argv, "files", "10000").c_str());
    int runs = std::max(1, std::atoi(Argument(argc, argv, "runs", "3").c_str()));
    std::string archive = Argument(argc, argv, "archive");
    std::string scratch;
    if (archive.empty()) {
        scratch = MakeScratchFolder("versions_bench");
        std::printf("Making %d chapters of %d files...\n", chapters, files);
        if (!MakeArchive(scratch, chapters, files)) {
            std::printf("the archive could not be made\n");
            return 1;
        }
        archive = scratch + "\\big.j";
    }
    WinJarRunner runner;
    runner.jarFolder = ProgramFolder();
    runner.programFolder = ProgramFolder();
    runner.workingFolder = ProgramFolder();
    auto fail = [&](const std::string& message) {
        std::printf("failed: %s\n", message.c_str());
        return false;
    };

    // Find in every chapter, as the Find dialog's search runs it: few matches, and every file.
    for (const char* pattern : {"f0000*", "*.txt"}) {
        size_t found = 0;
        double seconds = Best(runs, [&] {
            FindQuery query;
            query.pattern = pattern;
            std::atomic<bool> stop{false};
            found = 0;
            FindSink sink(query, [&](FoundEntry) { ++found; }, stop);
            if (!runner.RunJarCapturedInto(VersionListingArguments(1, chapters, archive), sink) || !sink.Finish(fail))
                std::printf("find failed\n");
        });
        std::printf("Find \"%s\" in %d chapters: %zu versions found in %.2f s\n", pattern, chapters, found, seconds);
    }

    // A file's history, as History lists it: every version in one listing, then the file's.
    size_t versions = 0;
    double history = Best(runs, [&] {
        VersionIndex index;
        if (!ListVersions(runner, archive, 1, chapters, index))
            std::printf("history listing failed\n");
        versions = FileHistory(index, "\\d000\\f00000.txt").size();
    });
    std::printf("History of a file over %d chapters: %zu versions in %.2f s\n", chapters, versions, history);

    // Compare Chapters: neighbours (one listing of the range) and first with last (two listings),
    // against the listing of one chapter the window shows.
    double one = Best(runs, [&] {
        VersionIndex index;
        ListVersions(runner, archive, chapters, chapters, index);
    });
    for (auto [older, newer] : {std::pair{chapters - 1, chapters}, std::pair{1, chapters}}) {
        size_t changed = 0;
        double seconds = Best(runs, [&, older = older, newer = newer] {
            auto compared = CompareChapters(runner, archive, older, newer);
            changed = compared ? compared->comparison->FileCount(VersionChange::Changed) : 0;
        });
        std::printf("Compare chapters %d and %d: %zu changed in %.2f s (one chapter's listing: %.2f s)\n", older, newer,
                    changed, seconds, one);
    }
    // Far apart: the range in one listing against each chapter alone.
    for (auto [first, last] : {std::pair{1, 1}, std::pair{chapters, chapters}, std::pair{1, chapters}}) {
        double seconds = Best(runs, [&, first = first, last = last] {
            VersionIndex index;
            ListVersions(runner, archive, first, last, index);
        });
        std::printf("Listing of chapters %d-%d: %.2f s\n", first, last, seconds);
    }
    if (!scratch.empty() && Argument(argc, argv, "keep").empty())
        RemoveTree(scratch);
    else
        std::printf("archive kept: %s\n", archive.c_str());
    return 0;
}
