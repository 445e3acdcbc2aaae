#include "engine/jar_output.h"
#include "engine/listing_parser.h"
#include "listing_generator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/fake_runner.h"

namespace {

std::string ReadFixture(const std::string& name)
{
    std::string text = testsupport::ListingFixture(name);
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

std::vector<std::string> FixtureLines(const std::string& name)
{
    std::vector<std::string> lines;
    SplitOutputLines(ReadFixture(name), lines);
    return lines;
}

// Records what would have been shown to the user.
struct Reports {
    std::vector<std::string> messages;
    FailureReporter reporter()
    {
        return [this](const std::string& message) {
            messages.push_back(message);
            return false;
        };
    }
};

const EntryList& ListOf(const ArchiveCatalogue& catalogue, int chapter, const std::string& directory)
{
    static const EntryList none;
    const ChapterInfo* info = catalogue.Chapter(chapter);
    const EntryList* list = info ? info->Directories.Find(directory) : nullptr;
    EXPECT_NE(list, nullptr) << "no list for " << directory;
    return list ? *list : none;
}

std::vector<std::string> Names(const EntryList& list)
{
    std::vector<std::string> names;
    for (const auto& entry : list)
        names.push_back(entry->Columns[ArchiveEntry::Name]);
    return names;
}

size_t EntryCount(const ChapterInfo& chapter)
{
    size_t count = 0;
    for (const auto& [directory, list] : chapter.Directories)
        count += list.size();
    return count;
}

using Strings = std::vector<std::string>;

// ---- chapter list

TEST(ChapterList, ReadsArchiveLineCommentsStampsAndChapterComments)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterList(FixtureLines("chapters_three.txt"), catalogue, reports.reporter()));
    EXPECT_TRUE(reports.messages.empty());

    EXPECT_EQ(catalogue.ArchiveLine, "Archive: C:\\data\\project.j   Created 2026-11-02 09:14:05   Modified 2026-12-01 08:03:41");
    EXPECT_EQ(catalogue.ArchiveComment, (Strings{"Project sources, kept for the review", "and the release notes"}));
    EXPECT_EQ(catalogue.LastChapter, 3);
    ASSERT_EQ(catalogue.Chapters.size(), 4u);
    for (int n = 1; n <= 3; ++n)
        ASSERT_NE(catalogue.Chapter(n), nullptr) << n;
    EXPECT_EQ(catalogue.Chapter(2)->FirstStamp, "2026-11-20 17:40:12");
    EXPECT_EQ(catalogue.Chapter(2)->SecondStamp, "2026-11-20 17:52:00");
    EXPECT_EQ(catalogue.Chapter(1)->ChapterComment, Strings{"First import"});
    EXPECT_TRUE(catalogue.Chapter(2)->ChapterComment.empty());
    EXPECT_EQ(catalogue.Chapter(3)->ChapterComment, (Strings{"Before the release", "second line of the comment"}));

    // Listing again (a refresh) does not pile up the archive comment.
    catalogue.Clear();
    ASSERT_TRUE(ParseChapterList(FixtureLines("chapters_three.txt"), catalogue, reports.reporter()));
    EXPECT_EQ(catalogue.ArchiveComment.size(), 2u);
}

TEST(ChapterList, DeletedChapterLeavesItsSlotEmpty)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterList(FixtureLines("chapters_one_and_three.txt"), catalogue, reports.reporter()));
    EXPECT_EQ(catalogue.LastChapter, 3);
    ASSERT_EQ(catalogue.Chapters.size(), 4u);
    EXPECT_NE(catalogue.Chapter(1), nullptr);
    EXPECT_EQ(catalogue.Chapter(2), nullptr);
    ASSERT_NE(catalogue.Chapter(3), nullptr);
    EXPECT_EQ(catalogue.Chapter(3)->ChapterComment, Strings{"Kept after chapter 2 went"});
}

TEST(ChapterList, ArchiveWithoutChapterLinesYieldsNoChapter)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    EXPECT_TRUE(ParseChapterList(FixtureLines("chapters_none.txt"), catalogue, reports.reporter()));
    EXPECT_EQ(catalogue.LastChapter, 0);
    EXPECT_TRUE(catalogue.Chapters.empty());
    EXPECT_TRUE(reports.messages.empty());
}

TEST(ChapterList, ErrorLinesBeforeTheArchiveLineAreReportedWithEverythingAfter)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    EXPECT_FALSE(ParseChapterList(FixtureLines("chapters_error.txt"), catalogue, reports.reporter()));
    EXPECT_EQ(reports.messages, Strings{"JAR ERROR: C:\\data\\broken.j is not an archive\nProcessing stopped\n"});

    // The same word after the archive line is just text (here a chapter comment).
    Strings lines = {"banner", "Archive: x.j", "Current chapter: 1", "1 2026-01-01 10:00:00 2026-01-01 10:00:00",
                     "ERROR budget raised", "Total chapters listed: 1"};
    reports.messages.clear();
    EXPECT_TRUE(ParseChapterList(lines, catalogue, reports.reporter()));
    EXPECT_TRUE(reports.messages.empty());
    EXPECT_EQ(catalogue.Chapter(1)->ChapterComment, Strings{"ERROR budget raised"});
}

TEST(ChapterList, ChapterNumbersTheTableCannotHoldStartNoChapter)
{
    // A negative or huge number would index the chapter table out of its range.
    Strings lines = {"banner",
                     "Archive: x.j",
                     "Current chapter: 2",
                     "-3 2026-01-01 10:00:00 2026-01-01 10:00:00",
                     "comment of nothing",
                     "99999999999999999999999 2026-01-01 10:00:00 2026-01-01 10:00:00",
                     "2 2026-01-02 10:00:00 2026-01-02 11:00:00",
                     "2 2026-01-03 10:00:00 2026-01-03 11:00:00",
                     "Total chapters listed: 3"};
    ArchiveCatalogue catalogue;
    Reports reports;
    EXPECT_TRUE(ParseChapterList(lines, catalogue, reports.reporter()));
    EXPECT_EQ(catalogue.LastChapter, 2);
    ASSERT_EQ(catalogue.Chapters.size(), 3u);
    EXPECT_EQ(catalogue.Chapter(2)->FirstStamp, "2026-01-03 10:00:00"); // a repeated number replaces the slot
    EXPECT_TRUE(catalogue.Chapter(2)->ChapterComment.empty());
}

// ---- verbose listing

TEST(ChapterListing, ReadsEntriesColumnsCommentsAndTotals)
{
    ArchiveCatalogue catalogue;
    catalogue.SetChapter(3, std::make_unique<ChapterInfo>());
    Reports reports;
    ASSERT_TRUE(ParseChapterListing(FixtureLines("listing_project.txt"), catalogue, 3, reports.reporter()));
    EXPECT_TRUE(reports.messages.empty());
    const ChapterInfo& chapter = *catalogue.Chapter(3);

    EXPECT_EQ(chapter.Directories.size(), 3u); // root, \docs, \src
    // \src is only implied by \src\main.c: made up where it first became needed.
    EXPECT_EQ(Names(ListOf(catalogue, 3, "\\")), (Strings{"docs", "src", "build.cmd"}));
    EXPECT_EQ(Names(ListOf(catalogue, 3, "\\docs")), (Strings{"read me.txt", "empty.log"}));
    EXPECT_EQ(Names(ListOf(catalogue, 3, "\\src")), Strings{"main.c"});

    const ArchiveEntry& readMe = ListOf(catalogue, 3, "\\docs")[0];
    EXPECT_EQ(readMe.Path, "\\docs\\read me.txt");
    EXPECT_EQ(readMe.Comment, (Strings{"Reviewed by the whole team", "and approved on Monday"}));
    EXPECT_EQ(readMe.Columns, (std::array<std::string, ArchiveEntry::ColumnCount>{
                                  "read me.txt", "1234", "2026-11-02 09:14:05", "2026-11-02 09:10:00", "A....", "1-3", "3", "0", ""}));

    // Size 0: recognised by the time in its seventh token.
    const ArchiveEntry& empty = ListOf(catalogue, 3, "\\docs")[1];
    EXPECT_EQ(empty.Columns[ArchiveEntry::Size], "0");
    EXPECT_EQ(empty.Columns[ArchiveEntry::Chapter], "2-3");
    EXPECT_TRUE(empty.Comment.empty());

    const ArchiveEntry& src = ListOf(catalogue, 3, "\\")[1];
    EXPECT_EQ(src.Path, "\\src");
    EXPECT_TRUE(src.IsDirectory());
    EXPECT_EQ(src.Columns[ArchiveEntry::Size], "0");
    EXPECT_EQ(src.Columns[ArchiveEntry::Modified], "");
    EXPECT_EQ(ListOf(catalogue, 3, "\\src")[0].Columns[ArchiveEntry::Block], "1");

    EXPECT_EQ(chapter.TotalFiles, "5");
    EXPECT_EQ(chapter.TotalBytes, "6,924");
    EXPECT_EQ(catalogue.Ratio, "0.22"); // 1234 / (5678 + 1)
}

TEST(ChapterListing, MissingAncestorsAreCompletedUpToTheRoot)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterListing(FixtureLines("listing_implied.txt"), catalogue, 1, reports.reporter()));
    EXPECT_EQ(catalogue.Chapter(1)->Directories.size(), 3u);
    const EntryList& root = ListOf(catalogue, 1, "\\");
    const EntryList& a = ListOf(catalogue, 1, "\\a");
    ASSERT_EQ(root.size(), 1u);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(root[0].Path, "\\a");
    EXPECT_EQ(a[0].Path, "\\a\\b");
    for (const ArchiveEntry* made : {&root[0], &a[0]}) {
        EXPECT_EQ(made->Columns[ArchiveEntry::Attributes], "....D");
        EXPECT_EQ(made->Columns[ArchiveEntry::Size], "0");
    }
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\a\\b")), Strings{"c.txt"});
}

TEST(ChapterListing, DirectoryListedAfterItsContentsIsShownOnce)
{
    Strings lines = {"banner", "Analyzing chapter 1",
                     "1) d\\f.txt", "5 A.... 5 0 1 2026-01-01 10:00:00 2026-01-01 10:00:00", "0",
                     "2) d", "0 ....D 0 0 1 2026-01-02 10:00:00 2026-01-02 10:00:00", "0",
                     "Total files listed: 2"};
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterListing(lines, catalogue, 1, reports.reporter()));
    EXPECT_EQ(catalogue.Chapter(1)->Directories.size(), 2u);
    const EntryList& root = ListOf(catalogue, 1, "\\");
    ASSERT_EQ(root.size(), 1u);
    EXPECT_EQ(root[0].Columns[ArchiveEntry::Modified], "2026-01-02 10:00:00"); // the real line's data
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\d")), Strings{"f.txt"});
}

TEST(ChapterListing, ErrorBeforeTheHeaderEndStopsWithNoEntries)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    Strings lines = FixtureLines("listing_error.txt");
    EXPECT_FALSE(ParseChapterListing(lines, catalogue, 7, reports.reporter()));
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0], JarErrorMessage(lines, 2));
    EXPECT_EQ(reports.messages[0].rfind("JAR ERROR: chapter 7 does not exist in C:\\data\\project.j\nProcessing stopped\n", 0), 0u);
    EXPECT_EQ(reports.messages[0].back(), '\n');
    EXPECT_EQ(EntryCount(*catalogue.Chapter(7)), 0u);
}

TEST(ChapterListing, LeadInLinesAreSkippedAndAnEmptyChapterStillHasItsRoot)
{
    // Lead-in lines may start with a digit: entries begin only at "1)".
    Strings lines = {"banner", "Analyzing chapter 2", "2 chapters in archive", "9 files in all chapters",
                     "1) a.txt", "4 A.... 4 0 2 2026-01-01 10:00:00 2026-01-01 10:00:00", "0",
                     "Total files listed: 1", "Total bytes in files listed: 4", "Whole archived data ratio: 8 / 3 bytes"};
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterListing(lines, catalogue, 2, reports.reporter()));
    EXPECT_EQ(Names(ListOf(catalogue, 2, "\\")), Strings{"a.txt"});
    EXPECT_EQ(catalogue.Chapter(2)->Directories.size(), 1u);
    EXPECT_EQ(catalogue.Ratio, "2.00");

    // A chapter whose files were all deleted: no entry, but a root list and its totals.
    lines = {"banner", "Analyzing chapter 3", "Total files listed: 0", "Total bytes in files listed: 0",
             "Whole archived data ratio: 0 / 0 bytes"};
    ASSERT_TRUE(ParseChapterListing(lines, catalogue, 3, reports.reporter()));
    EXPECT_TRUE(ListOf(catalogue, 3, "\\").empty());
    EXPECT_EQ(catalogue.Chapter(3)->TotalFiles, "0");
    EXPECT_EQ(catalogue.Chapter(3)->TotalBytes, "0");
    EXPECT_EQ(catalogue.Ratio, "0.00");
    EXPECT_TRUE(reports.messages.empty());
}

TEST(ChapterListing, OutputWithoutHeaderEndGivesOnlyTheRoot)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterListing({"banner", "Archive: x.j", "1) a.txt"}, catalogue, 1, reports.reporter()));
    EXPECT_EQ(catalogue.Chapter(1)->Directories.size(), 1u);
    EXPECT_TRUE(ListOf(catalogue, 1, "\\").empty());
}

TEST(ChapterListing, OutputCutInsideAnEntryKeepsOnlyCompleteEntries)
{
    ArchiveCatalogue catalogue;
    Reports reports;
    // A full listing first, so that totals left over from it would show.
    ASSERT_TRUE(ParseChapterListing(FixtureLines("listing_project.txt"), catalogue, 1, reports.reporter()));
    catalogue.Chapter(1)->Clear();
    ASSERT_TRUE(ParseChapterListing(FixtureLines("listing_cut.txt"), catalogue, 1, reports.reporter()));
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\")), Strings{"docs"});
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\docs")), Strings{"a.txt"});
    EXPECT_EQ(EntryCount(*catalogue.Chapter(1)), 2u);
    EXPECT_EQ(catalogue.Chapter(1)->TotalFiles, "");
    EXPECT_EQ(catalogue.Chapter(1)->TotalBytes, "");

    catalogue.Chapter(1)->Clear();
    ASSERT_TRUE(ParseChapterListing(FixtureLines("listing_cut_before_block.txt"), catalogue, 1, reports.reporter()));
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\")), Strings{"a.txt"});
    EXPECT_TRUE(reports.messages.empty());
}

TEST(ChapterListing, LongTokensAndOddNameLinesAreHandled)
{
    std::string longName(300, 'n');
    std::string longAttributes(150, '.');
    std::string longMethod(120, 'm');
    Strings lines = {"banner", "Analyzing chapter 1",
                     "1) deep\\" + longName, "7 " + longAttributes + " 7 " + longMethod + " 1 2026-01-01 10:00:00 2026-01-01 10:00:00", "0",
                     "2)", "9 A.... 9 0 1 2026-01-01 10:00:00 2026-01-01 10:00:00", "0",  // no name: dropped
                     "3 items follow", "9 A.... 9 0 1 2026-01-01 10:00:00 2026-01-01 10:00:00", "0", // no ")": dropped
                     "4) last.txt", "1 A.... 1 0 1 2026-01-01 10:00:00 2026-01-01 10:00:00", "0"};
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterListing(lines, catalogue, 1, reports.reporter()));
    const EntryList& deep = ListOf(catalogue, 1, "\\deep");
    ASSERT_EQ(deep.size(), 1u);
    EXPECT_EQ(deep[0].Columns[ArchiveEntry::Name], longName);
    EXPECT_EQ(deep[0].Columns[ArchiveEntry::Attributes], longAttributes);
    EXPECT_EQ(deep[0].Columns[ArchiveEntry::Method], longMethod);
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\")), (Strings{"deep", "last.txt"}));
}

TEST(ChapterListing, LargeListingGivesEveryDirectoryAndTotal)
{
    for (bool withDirectoryLines : {true, false}) {
        SCOPED_TRACE(withDirectoryLines ? "directory lines listed" : "directories implied");
        GeneratedListing generated = GenerateVerboseListing(4, 24, 9, withDirectoryLines);
        std::vector<std::string> lines;
        SplitOutputLines(generated.text, lines);
        ArchiveCatalogue catalogue;
        Reports reports;
        ASSERT_TRUE(ParseChapterListing(lines, catalogue, 1, reports.reporter()));
        const ChapterInfo& chapter = *catalogue.Chapter(1);

        EXPECT_EQ(generated.directories, 100u);
        EXPECT_EQ(chapter.Directories.size(), generated.directories + 1);
        EXPECT_EQ(EntryCount(chapter), generated.files + generated.directories);
        EXPECT_EQ(ListOf(catalogue, 1, "\\").size(), 4u);
        EXPECT_EQ(ListOf(catalogue, 1, "\\top3").size(), 9u + 24u);
        EXPECT_EQ(ListOf(catalogue, 1, "\\top3\\sub23").size(), 9u);
        unsigned long long bytes = 0;
        for (const auto& [directory, list] : chapter.Directories)
            for (const auto& entry : list)
                bytes += std::stoull(entry->Columns[ArchiveEntry::Size]);
        EXPECT_EQ(bytes, generated.bytes);
        EXPECT_EQ(chapter.TotalFiles, GroupThousands(generated.entries));
        EXPECT_EQ(chapter.TotalBytes, GroupThousands(generated.bytes));
        EXPECT_EQ(catalogue.Ratio, "0.50");
    }
}

TEST(OwnArchiverOutput, ChapterListAndListingParse)
{
    // Captured from our jar32 (native build: bare line feeds).
    ArchiveCatalogue catalogue;
    Reports reports;
    ASSERT_TRUE(ParseChapterList(FixtureLines("jar32_chapters.txt"), catalogue, reports.reporter()));
    EXPECT_EQ(catalogue.ArchiveComment, (Strings{"  | comment | Release sources", "  | comment | second comment line"}));
    EXPECT_EQ(catalogue.LastChapter, 2);
    ASSERT_NE(catalogue.Chapter(1), nullptr);
    EXPECT_EQ(catalogue.Chapter(1)->FirstStamp.size(), 19u);

    ASSERT_TRUE(ParseChapterListing(FixtureLines("jar32_listing_chapter1.txt"), catalogue, 1, reports.reporter()));
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\")), Strings{"src"});
    EXPECT_EQ(Names(ListOf(catalogue, 1, "\\src")), (Strings{"docs", "top.txt"}));
    const ArchiveEntry& readMe = ListOf(catalogue, 1, "\\src\\docs")[0];
    EXPECT_EQ(readMe.Columns[ArchiveEntry::Name], "read me.txt");
    EXPECT_EQ(readMe.Columns[ArchiveEntry::Size], "2100");
    EXPECT_EQ(readMe.Columns[ArchiveEntry::Method], "Best");
    EXPECT_EQ(readMe.Columns[ArchiveEntry::Block], "1");
    EXPECT_EQ(catalogue.Chapter(1)->TotalFiles, "2");
    EXPECT_EQ(catalogue.Chapter(1)->TotalBytes, "2105");
    EXPECT_EQ(catalogue.Ratio, "0.02");
    EXPECT_TRUE(reports.messages.empty());
}

// ---- output lines and blocks

TEST(OutputLines, LineFeedsEndLinesAndTheUnterminatedTailIsDropped)
{
    Strings lines{"kept"};
    SplitOutputLines("a\r\nb\n\r\n\nc\r\r\nunterminated", lines);
    EXPECT_EQ(lines, (Strings{"kept", "a", "b", "", "", "c\r"}));

    // A listing with bare line feeds reads exactly like the same listing with CR LF.
    std::string crlf = ReadFixture("listing_project.txt");
    std::string lf;
    for (char c : crlf)
        if (c != '\r')
            lf += c;
    Strings fromCrlf, fromLf;
    SplitOutputLines(crlf, fromCrlf);
    SplitOutputLines(lf, fromLf);
    EXPECT_EQ(fromCrlf, fromLf);
}

TEST(LineSplitter, LinesAcrossPiecesArriveWholeAndOnce)
{
    const std::string output = "first line\r\nsecond\r\n\r\nthe third one is long\r\nx\r\nlast without end";
    for (size_t pieceSize : {1, 2, 3, 5, 7, 12, 64}) {
        Strings lines;
        LineCollector collector(lines);
        LineSplitter splitter(collector);
        // Pieces of odd sizes, as a pipe delivers them.
        for (size_t pos = 0; pos < output.size(); pos += pieceSize)
            splitter.Feed(std::string_view(output).substr(pos, pieceSize));
        EXPECT_EQ(lines, (Strings{"first line", "second", "", "the third one is long", "x"})) << "piece size " << pieceSize;
        EXPECT_EQ(splitter.Unfinished(), "last without end");
    }
}

TEST(Ratio, DividesByTheOriginalPlusOneAfterDroppingCommas)
{
    EXPECT_EQ(FormatRatio("1,234", "5,678"), "0.22");
    EXPECT_EQ(FormatRatio("3", "0"), "3.00");
    EXPECT_EQ(FormatRatio("1e3", "999"), "1.00");
    EXPECT_EQ(FormatRatio("2,000.5x", "1,000"), "2.00");
    EXPECT_EQ(FormatRatio("", ""), "0.00");
    EXPECT_EQ(FormatRatio("bytes", "12"), "0.00");
    EXPECT_EQ(FormatRatio("-26", "12"), "-2.00");
}

} // namespace
