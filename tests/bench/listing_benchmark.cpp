#include "engine/jar_output.h"
#include "engine/listing_parser.h"
#include "listing_generator.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
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

} // namespace

BENCHMARK(SplitOutput)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseListing)->Arg(1)->Arg(0)->ArgName("directory_lines")->Unit(benchmark::kMillisecond);
BENCHMARK(PiecesToCatalogue)->Arg(4096)->Arg(512000)->ArgName("piece")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
