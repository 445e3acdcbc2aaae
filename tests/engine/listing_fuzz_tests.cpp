// Feeds the listing parsers damaged listings: real ones from the fixtures and a generated one,
// mutated at random. Nothing may crash, hang or trip the sanitizers; what the parsers build must
// hold together; and a listing read piece by piece as a pipe delivers it must give exactly what
// the same listing gives read whole.
//   TORVEX_FUZZ_ITERATIONS (default 1000) and TORVEX_FUZZ_SEED (default fixed) set the run;
//   scripts/fuzz-listing.sh runs it longer with a new seed.
#include "engine/jar_output.h"
#include "engine/listing_parser.h"
#include "engine/path_helpers.h"
#include "listing_generator.h"
#include "listing_mutator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

unsigned long EnvironmentNumber(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

std::vector<std::string> Seeds()
{
    std::vector<std::string> seeds;
    for (const auto& file : std::filesystem::directory_iterator(std::string(TORVEX_TEST_DATA) + "/listings")) {
        std::ifstream in(file.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        seeds.push_back(text.str());
    }
    seeds.push_back(GenerateVerboseListing(2, 3, 4, true).text);
    seeds.push_back(GenerateVerboseListing(2, 3, 4, false).text);
    return seeds;
}

// Everything a listing put into the catalogue, as text, to compare two readings.
std::string Describe(const ArchiveCatalogue& catalogue, const std::vector<std::string>& reports)
{
    std::ostringstream out;
    out << "last " << catalogue.LastChapter << " line [" << catalogue.ArchiveLine << "] ratio " << catalogue.Ratio << '\n';
    for (const std::string& line : catalogue.ArchiveComment)
        out << "comment [" << line << "]\n";
    for (size_t n = 0; n < catalogue.Chapters.size(); ++n) {
        const ChapterInfo* chapter = catalogue.Chapters[n].get();
        if (!chapter)
            continue;
        out << "chapter " << n << " [" << chapter->FirstStamp << "] [" << chapter->SecondStamp << "] files [" << chapter->TotalFiles
            << "] bytes [" << chapter->TotalBytes << "]\n";
        for (const std::string& line : chapter->ChapterComment)
            out << "  comment [" << line << "]\n";
        std::vector<std::string> keys;
        for (const auto& [directory, list] : chapter->Directories)
            keys.push_back(directory);
        std::sort(keys.begin(), keys.end());
        for (const std::string& key : keys) {
            out << "  list [" << key << "]\n";
            for (const auto& entry : *chapter->Directories.Find(key)) {
                out << "    [" << entry->Path << "] " << entry->Columns << '\n';
                for (const std::string& line : entry->Comment)
                    out << "      [" << line << "]\n";
            }
        }
    }
    for (const std::string& report : reports)
        out << "report [" << report << "]\n";
    return out.str();
}

// What the parsers promise whatever the input: the chapter table stays within its bound, every
// directory list hangs below the root through lists of its ancestors, every row lies in the
// list of its own directory and shows the leaf of its path.
void ExpectSound(const ArchiveCatalogue& catalogue)
{
    EXPECT_LE(catalogue.Chapters.size(), static_cast<size_t>(MaxListedChapter) + 1);
    EXPECT_GE(catalogue.LastChapter, 0);
    EXPECT_LE(catalogue.LastChapter, MaxListedChapter);
    for (const auto& chapter : catalogue.Chapters) {
        if (!chapter)
            continue;
        for (const auto& [directory, list] : chapter->Directories) {
            std::string parent;
            if (directory != "\\") {
                ASSERT_TRUE(ParentPath(directory, parent)) << directory;
                EXPECT_NE(chapter->Directories.Find(parent), nullptr) << "no list above " << directory;
            }
            for (const auto& entry : list) {
                ASSERT_TRUE(entry->ParentDirectory(parent) || entry->Path == "\\");
                EXPECT_EQ(parent, directory);
                EXPECT_EQ(entry->Columns[ArchiveEntry::Name].view(), LeafName(entry->Path));
                for (size_t c = 0; c < EntryColumnCount; ++c)
                    EXPECT_EQ(entry->Columns[c].view().find('\n'), std::string_view::npos);
            }
        }
    }
}

TEST(ListingFuzz, DamagedListingsNeitherCrashNorHangAndReadTheSameInPieces)
{
    const unsigned long iterations = EnvironmentNumber("TORVEX_FUZZ_ITERATIONS", 1000);
    const unsigned long seed = EnvironmentNumber("TORVEX_FUZZ_SEED", 20261207);
    std::printf("listing fuzz: %lu iterations, seed %lu\n", iterations, seed);
    const std::vector<std::string> seeds = Seeds();
    ASSERT_GT(seeds.size(), 10u);
    std::vector<std::string> donors;
    for (const std::string& text : seeds)
        SplitOutputLines(text, donors);

    ListingMutator mutator(static_cast<unsigned>(seed));
    for (unsigned long i = 0; i < iterations && !HasFailure(); ++i) {
        std::string text = mutator.Mutate(seeds[mutator.Below(seeds.size())], donors);
        // Saved with the seed and iteration in its name, so a failure can be replayed by hand.
        SCOPED_TRACE("iteration " + std::to_string(i) + " of seed " + std::to_string(seed));
        auto started = std::chrono::steady_clock::now();

        std::vector<std::string> lines;
        SplitOutputLines(text, lines);
        std::vector<std::string> reports;
        auto record = [&reports](const std::string& message) {
            reports.push_back(message);
            return false;
        };

        ArchiveCatalogue chapters;
        ParseChapterList(lines, chapters, record);
        ExpectSound(chapters);

        static const int numbers[] = {1, 1, 1, 2, 3, 0, -1, MaxListedChapter, MaxListedChapter + 1};
        int chapter = numbers[mutator.Below(std::size(numbers))];
        ArchiveCatalogue whole;
        reports.clear();
        ParseChapterListing(lines, whole, chapter, record);
        ExpectSound(whole);
        std::string wholeText = Describe(whole, reports);

        ArchiveCatalogue pieces;
        reports.clear();
        ChapterListingReader reader(pieces, chapter);
        LineSplitter splitter(reader);
        for (size_t pos = 0; pos < text.size();) {
            size_t size = 1 + mutator.Below(mutator.OneIn(2) ? 8 : 700);
            splitter.Feed(std::string_view(text).substr(pos, size));
            pos += size;
        }
        reader.Finish(record);
        EXPECT_EQ(Describe(pieces, reports), wholeText);

        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_LT(seconds, 10.0) << "one damaged listing took " << seconds << " s";
        if (HasFailure()) {
            auto saved = std::filesystem::temp_directory_path() / ("listing-fuzz-" + std::to_string(seed) + "-" + std::to_string(i) + ".txt");
            std::ofstream(saved, std::ios::binary) << text;
            ADD_FAILURE() << "the damaged listing is in " << saved.string();
        }
    }
}

} // namespace
