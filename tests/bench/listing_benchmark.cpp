#include "engine/chapter_versions.h"
#include "engine/jar_output.h"
#include "engine/listing_parser.h"
#include "listing_generator.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// Counts live heap bytes and their peak, so a run can report what one parse needs.
namespace {
std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};

void* Allocate(size_t size)
{
    // The size is kept in front of the block so that delete can count it back.
    void* block = std::malloc(size + 16);
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, &size, sizeof(size));
    size_t now = liveBytes += size;
    size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + 16;
}

void Release(void* pointer)
{
    if (!pointer)
        return;
    char* block = static_cast<char*>(pointer) - 16;
    size_t size;
    std::memcpy(&size, block, sizeof(size));
    liveBytes -= size;
    std::free(block);
}
} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }

namespace {

// 10 folders at the root, 99 inside each: 1,000 directories; 99 files in each: 100,000 entries.
const GeneratedListing& Listing(bool withDirectoryLines)
{
    static const GeneratedListing listed = GenerateVerboseListing(10, 99, 99, true);
    static const GeneratedListing implied = GenerateVerboseListing(10, 99, 99, false);
    return withDirectoryLines ? listed : implied;
}

double Megabytes(size_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void SplitOutput(benchmark::State& state)
{
    const std::string& text = Listing(true).text;
    for (auto _ : state) {
        std::vector<std::string> lines;
        SplitOutputLines(text, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ParseListing(benchmark::State& state)
{
    const bool withDirectoryLines = state.range(0) != 0;
    const GeneratedListing& generated = Listing(withDirectoryLines);
    std::vector<std::string> lines;
    SplitOutputLines(generated.text, lines);
    auto ignore = [](const std::string&) { return false; };

    size_t peak = 0;
    size_t kept = 0;
    for (auto _ : state) {
        ArchiveCatalogue catalogue;
        size_t before = liveBytes.load();
        peakBytes = before;
        ParseChapterListing(lines, catalogue, 1, ignore);
        peak = peakBytes.load() - before;
        kept = liveBytes.load() - before;
        state.PauseTiming();
        const ChapterInfo& chapter = *catalogue.Chapter(1);
        if (chapter.Directories.size() != generated.directories + 1 || chapter.TotalFiles != GroupThousands(generated.entries) ||
            chapter.TotalBytes != GroupThousands(generated.bytes) || chapter.Directories.Find("\\")->size() != 10) {
            state.SkipWithError("wrong directories or totals");
            break;
        }
        catalogue.Clear();
        state.ResumeTiming();
    }
    state.counters["entries"] = static_cast<double>(generated.files + generated.directories);
    state.counters["directories"] = static_cast<double>(generated.directories);
    state.counters["input_MB"] = Megabytes(generated.text.size());
    state.counters["parse_peak_MB"] = Megabytes(peak);
    state.counters["catalogue_MB"] = Megabytes(kept);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["process_maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// From the pipe's pieces to the catalogue, as the runner hands a real listing on: each piece
// is cut into lines and read while the next is still to come.
void PiecesToCatalogue(benchmark::State& state)
{
    const GeneratedListing& generated = Listing(true);
    const size_t pieceSize = static_cast<size_t>(state.range(0));
    auto ignore = [](const std::string&) { return false; };
    size_t peak = 0;
    for (auto _ : state) {
        ArchiveCatalogue catalogue;
        size_t before = liveBytes.load();
        peakBytes = before;
        ChapterListingReader reader(catalogue, 1);
        LineSplitter splitter(reader);
        for (size_t pos = 0; pos < generated.text.size(); pos += pieceSize)
            splitter.Feed(std::string_view(generated.text).substr(pos, pieceSize));
        reader.Finish(ignore);
        peak = peakBytes.load() - before;
        state.PauseTiming();
        if (catalogue.Chapter(1)->TotalFiles != GroupThousands(generated.entries))
            state.SkipWithError("listing not read to its end");
        catalogue.Clear();
        state.ResumeTiming();
    }
    state.counters["parse_peak_MB"] = Megabytes(peak);
}

// A listing of chapters 1-2 of `entries` files in folders of 100: every file in both chapters,
// except one in a hundred, changed in chapter 2 (two rows, "1" and "2").
std::string TwoChapterListing(int entries, bool range)
{
    std::string out = "JAR32 1.00\r\nArchive C:\\big.j  created 2026-01-01 00:00:00, modified 2026-01-01 00:00:00\r\n";
    out += range ? "Analyzing chapters 1-2\r\n\r\n" : "Analyzing chapter 2\r\n\r\n";
    out += "Name\r\n        Size Attr          Packed Method Chapters Modified            Created\r\nBlock\r\n"
           "------------ ----- ------------ ------ -------- ------------------- -------------------\r\n";
    char line[300];
    int n = 0;
    auto row = [&](const std::string& path, int size, const char* chapters, int block) {
        std::snprintf(line, sizeof line,
                      "%d) %s\r\n%12d ..... %12d Stored %-8s 2026-01-01 00:00:00 2026-01-01 00:00:00\r\n%12d CRC-32 0000%04X\r\n",
                      ++n, path.c_str(), size, size, chapters, block, block & 0xFFFF);
        out += line;
    };
    for (int i = 0; i < entries; ++i) {
        std::string path = "d" + std::to_string(i / 100) + "\\f" + std::to_string(i % 100) + ".dat";
        if (i % 100 == 7) {
            if (range)
                row(path, 100 + i % 900, "1", i);
            row(path, 101 + i % 900, "2", entries + i);
        } else {
            row(path, 100 + i % 900, "1-2", i);
        }
    }
    out += "------------\r\nTotal files listed: 1\r\nTotal bytes in files listed: 1\r\n";
    return out;
}

// Comparing two chapters from one listing of both, against showing one chapter (its listing
// read into a catalogue): the time and the memory the comparison adds.
void CompareTwoChapters(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    std::vector<std::string> one, both;
    SplitOutputLines(TwoChapterListing(entries, false), one);
    SplitOutputLines(TwoChapterListing(entries, true), both);
    auto ignore = [](const std::string&) { return false; };
    double oneSeconds = 0, compareSeconds = 0;
    size_t onePeak = 0, comparePeak = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        size_t before = liveBytes.load();
        peakBytes = before;
        {
            ArchiveCatalogue catalogue;
            ParseChapterListing(one, catalogue, 2, ignore);
            onePeak = peakBytes.load() - before;
        }
        auto middle = std::chrono::steady_clock::now();
        auto parsed = middle, indexed = middle, compared = middle;
        peakBytes = liveBytes.load();
        {
            ArchiveCatalogue scratch;
            ParseChapterListing(both, scratch, 1, ignore);
            parsed = std::chrono::steady_clock::now();
            VersionIndex index;
            index.Add(std::move(scratch.Chapters[1]), 1, 2);
            indexed = std::chrono::steady_clock::now();
            ChapterComparison comparison(index, 1, 2);
            compared = std::chrono::steady_clock::now();
            comparePeak = peakBytes.load() - before;
            if (comparison.FileCount(VersionChange::Changed) != size_t(entries / 100)) {
                state.SkipWithError("wrong number of changed files");
                break;
            }
        }
        auto end = std::chrono::steady_clock::now();
        oneSeconds = std::chrono::duration<double>(middle - start).count();
        compareSeconds = std::chrono::duration<double>(end - middle).count();
        state.counters["parse_s"] = std::chrono::duration<double>(parsed - middle).count();
        state.counters["index_s"] = std::chrono::duration<double>(indexed - parsed).count();
        state.counters["comparison_s"] = std::chrono::duration<double>(compared - indexed).count();
        state.counters["freed_s"] = std::chrono::duration<double>(end - compared).count();
    }
    state.counters["one_chapter_s"] = oneSeconds;
    state.counters["compare_s"] = compareSeconds;
    state.counters["ratio"] = oneSeconds > 0 ? compareSeconds / oneSeconds : 0;
    state.counters["one_chapter_MB"] = Megabytes(onePeak);
    state.counters["compare_extra_MB"] = Megabytes(comparePeak > onePeak ? comparePeak - onePeak : 0);
}

} // namespace

BENCHMARK(CompareTwoChapters)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitOutput)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseListing)->Arg(1)->Arg(0)->ArgName("directory_lines")->Unit(benchmark::kMillisecond);
BENCHMARK(PiecesToCatalogue)->Arg(4096)->Arg(512000)->ArgName("piece")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
