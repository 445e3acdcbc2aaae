#include "engine/chapter_versions.h"
#include "engine/listing_parser.h"
#include "framework/name_compare.h"
#include "operations/find_rules.h"
#include "ui/comparison_rows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <tuple>

namespace {

// One row of a listing: path, size, the chapters holding it, its block ("-" for a folder).
struct Row {
    const char* path;
    const char* size;
    const char* chapters;
    const char* block;
};

// A listing in the archiver's layout holding `rows`, as its lines.
std::vector<std::string> ListingLines(std::initializer_list<Row> rows)
{
    std::string text = "JAR32 1.00\nArchive C:\\a.j  created 2026-01-01 00:00:00, modified 2026-01-01 00:00:00\n"
                       "Analyzing chapters 1-4\n\nName\n        Size Attr          Packed Method Chapters Modified"
                       "            Created\nBlock\n------------ ----- ------------ ------ -------- ---\n";
    char line[200];
    int n = 0;
    for (const Row& row : rows) {
        bool folder = row.block[0] == '-';
        std::snprintf(line, sizeof line, "%d) %s\n%12s %s %12s Stored %-8s 2026-01-01 00:00:00 2026-01-01 00:00:00\n%12s\n",
                      ++n, row.path, row.size, folder ? "....D" : ".....", row.size, row.chapters, row.block);
        text += line;
    }
    text += "------------\nTotal files listed: 1\nTotal bytes in files listed: 1\n";
    std::vector<std::string> lines;
    SplitOutputLines(text, lines);
    return lines;
}

// The same listing read by the program's parser.
std::unique_ptr<ChapterInfo> Listing(std::initializer_list<Row> rows)
{
    ArchiveCatalogue catalogue;
    EXPECT_TRUE(ParseChapterListing(ListingLines(rows), catalogue, 1, [](const std::string& m) { ADD_FAILURE() << m; return false; }));
    return std::move(catalogue.Chapters[1]);
}

const std::initializer_list<Row> kFourChapters = {{"docs", "0", "1-4", "-"},
                                                   {"docs\\keep.txt", "10", "1-4", "1 CRC-32 0000000A"},
                                                   {"docs\\edit.txt", "5", "1-2", "2 CRC-32 0000000B"},
                                                   {"docs\\edit.txt", "7", "3-4", "5 CRC-32 0000000E"},
                                                   {"docs\\old.txt", "3", "1-2", "3 CRC-32 0000000C"},
                                                   {"docs\\new.txt", "3", "3-4", "3 CRC-32 0000000C"},
                                                   {"docs\\flip.txt", "4", "1", "6 CRC-32 0000000F"},
                                                   {"docs\\flip.txt", "6", "2", "7 CRC-32 00000010"},
                                                   {"docs\\flip.txt", "4", "3-4", "6 CRC-32 0000000F"},
                                                   {"docs\\deep\\x.txt", "1", "1-4", "8 CRC-32 00000011"},
                                                   {"gone\\a.txt", "2", "1", "9 CRC-32 00000012"},
                                                   {"added", "0", "4", "-"},
                                                   {"added\\b.txt", "2", "4", "10 CRC-32 00000013"}};

// Four chapters: keep.txt never changes, edit.txt changes in 3, old.txt is renamed new.txt in 3
// (same data), flip.txt goes back to its first content in 3, gone\a.txt (its folder implied) is
// only in 1, added\ comes in 4.
std::unique_ptr<ChapterInfo> FourChapters()
{
    return Listing(kFourChapters);
}

using Changes = std::vector<std::pair<std::string, std::string>>;

Changes Shown(const ChapterComparison& comparison, const std::string& folder, bool withUnchanged = false)
{
    Changes shown;
    for (const ComparedEntry* entry : comparison.Folder(folder, withUnchanged))
        shown.emplace_back(std::string(entry->path), VersionChangeText(entry->change));
    std::sort(shown.begin(), shown.end());
    return shown;
}

TEST(ChapterComparison, AddedRemovedChangedAndTheFoldersAboveThem)
{
    VersionIndex index;
    index.Add(FourChapters(), 1, 4);

    ChapterComparison twoToFour(index, 2, 4);
    EXPECT_EQ(Shown(twoToFour, "\\"), (Changes{{"\\added", "Added"}, {"\\docs", "Changed"}}));
    EXPECT_EQ(Shown(twoToFour, "\\docs"), (Changes{{"\\docs\\edit.txt", "Changed"}, {"\\docs\\flip.txt", "Changed"},
                                                     {"\\docs\\new.txt", "Added"}, {"\\docs\\old.txt", "Removed"}}));
    EXPECT_EQ(Shown(twoToFour, "\\docs", true).size(), 6u) << "keep.txt and deep are shown when asked";
    EXPECT_EQ(Shown(twoToFour, "\\docs\\deep"), Changes{});
    EXPECT_EQ(Shown(twoToFour, "\\added"), (Changes{{"\\added\\b.txt", "Added"}}));
    EXPECT_EQ(twoToFour.FileCount(VersionChange::Added), 2u);
    EXPECT_EQ(twoToFour.FileCount(VersionChange::Removed), 1u);
    EXPECT_EQ(twoToFour.FileCount(VersionChange::Changed), 2u);
    auto rows = twoToFour.Folder("\\docs", false);
    auto edit = *std::find_if(rows.begin(), rows.end(), [](auto* e) { return e->path == "\\docs\\edit.txt"; });
    ASSERT_TRUE(edit->older && edit->newer);
    EXPECT_EQ(edit->older->Columns[ArchiveEntry::Size], "5");
    EXPECT_EQ(edit->Shown()->Columns[ArchiveEntry::Size], "7");

    // A folder only implied by the listing comes and goes with what it holds; flip.txt is back
    // to its first content, so 1 and 3 hold the same.
    ChapterComparison oneToThree(index, 1, 3);
    EXPECT_EQ(Shown(oneToThree, "\\"), (Changes{{"\\docs", "Changed"}, {"\\gone", "Removed"}}));
    EXPECT_EQ(Shown(oneToThree, "\\gone"), (Changes{{"\\gone\\a.txt", "Removed"}}));
    EXPECT_EQ(oneToThree.FileCount(VersionChange::Changed), 1u);

    for (int n : {1, 4})
        EXPECT_EQ(Shown(ChapterComparison(index, n, n), "\\"), Changes{}) << "a chapter compared with itself";
}

TEST(ChapterComparison, TheMainListsRowsStepsAndTheChapterEachSideTakes)
{
    VersionIndex index;
    index.Add(FourChapters(), 1, 4);
    ChapterComparison twoToFour(index, 2, 4);

    // Each row says its status and both sides' sizes; the side that lacks the file is empty.
    auto cells = [](const EntryList& rows) {
        std::vector<std::string> shown;
        for (const auto& row : rows) {
            std::string line = row->Path + " " + row->Columns[comparecell::Status].str() + " " +
                               row->Columns[comparecell::OlderSize].str() + "/" + row->Columns[comparecell::NewerSize].str();
            shown.push_back(row->IsDirectory() ? line + " folder" : line);
        }
        std::sort(shown.begin(), shown.end());
        return shown;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(cells(ComparisonFolderRows(twoToFour, "\\", false)), (Lines{"\\added Added / folder", "\\docs Changed / folder"}));
    EXPECT_EQ(cells(ComparisonFolderRows(twoToFour, "\\docs", false)),
              (Lines{"\\docs\\edit.txt Changed 5/7", "\\docs\\flip.txt Changed 6/4", "\\docs\\new.txt Added /3",
                     "\\docs\\old.txt Removed 3/"}));
    EXPECT_EQ(cells(ComparisonFolderRows(twoToFour, "\\docs", true)).size(), 6u);
    // Which chapters hold a row's file, as the commands' enabling reads it from the row.
    std::string sides;
    for (const auto& row : ComparisonFolderRows(twoToFour, "\\", true))
        sides += row->Columns[comparecell::Name].str() + std::to_string(RowHasSide(*row, ComparisonSide::Older)) +
                 std::to_string(RowHasSide(*row, ComparisonSide::Newer)) + " ";
    for (const auto& row : ComparisonFolderRows(twoToFour, "\\docs", false))
        sides += row->Columns[comparecell::Name].str() + std::to_string(RowHasSide(*row, ComparisonSide::Older)) +
                 std::to_string(RowHasSide(*row, ComparisonSide::Newer)) + " ";
    for (const char* expected : {"docs00 ", "added00 ", "edit.txt11 ", "new.txt01 ", "old.txt10 "})
        EXPECT_NE(sides.find(expected), std::string::npos) << expected << " in " << sides;
    EXPECT_EQ(ComparisonInfoText(twoToFour), "Chapter 4 compared with chapter 2: 2 added, 2 changed, 1 removed");

    // Sorting by status groups the rows by their text; the parent row stays on top.
    ArchiveEntry parent, added, changed;
    parent.Columns[ArchiveEntry::Name] = ". .";
    added.Columns[comparecell::Status] = "Added";
    changed.Columns[comparecell::Status] = "Changed";
    EXPECT_LT(CompareComparisonRows(added, changed, comparecell::Status), 0);
    EXPECT_LT(CompareComparisonRows(parent, added, comparecell::Status), 0);
    added.Columns[comparecell::OlderSize] = "10";
    changed.Columns[comparecell::OlderSize] = "9";
    EXPECT_LT(CompareComparisonRows(added, changed, comparecell::OlderSize), 0) << "sizes compare as numbers";

    // Double click: a folder of the comparison is entered, the parent row goes up and, at the
    // root, out of the comparison; a file is viewed, from the second chapter when it holds it.
    auto step = [&](const std::string& folder, const ArchiveEntry& row) {
        ComparisonStep s = DecideComparisonClick(twoToFour, folder, row);
        return std::to_string(int(s.action)) + s.target;
    };
    EntryList docs = ComparisonFolderRows(twoToFour, "\\", false);
    const ArchiveEntry& docsRow = **std::find_if(docs.begin(), docs.end(), [](auto& r) { return r->Path == "\\docs"; });
    EXPECT_EQ(step("\\", docsRow), std::to_string(int(ComparisonClick::Enter)) + "\\docs");
    EXPECT_EQ(step("\\docs", parent), std::to_string(int(ComparisonClick::Up)) + "\\");
    EXPECT_EQ(step("\\", parent), std::to_string(int(ComparisonClick::Leave)));
    EXPECT_EQ(DefaultViewSide(twoToFour, "\\docs\\old.txt"), ComparisonSide::Older);
    EXPECT_EQ(DefaultViewSide(twoToFour, "\\docs\\edit.txt"), ComparisonSide::Newer);
    const ArchiveEntry* older = SideFile(twoToFour, "\\docs\\edit.txt", ComparisonSide::Older);
    ASSERT_NE(older, nullptr);
    EXPECT_EQ(older->Columns[ArchiveEntry::Chapter], "1-2") << "the row of chapter 2's version";
    EXPECT_EQ(SideFile(twoToFour, "\\docs\\new.txt", ComparisonSide::Older), nullptr);
    EXPECT_EQ(SideFile(twoToFour, "\\docs", ComparisonSide::Newer), nullptr) << "a folder is not viewed";
    EXPECT_EQ(SideChapter(twoToFour, ComparisonSide::Older), 2);

    // Extracting a folder from one side names what that chapter holds below it, unchanged
    // entries too; a folder the listing only implies names what it holds.
    EXPECT_EQ(ComparisonListLines(twoToFour, {"\\added", "\\docs\\new.txt"}, ComparisonSide::Older), Lines{});
    Lines newer = ComparisonListLines(twoToFour, {"\\docs"}, ComparisonSide::Newer);
    std::sort(newer.begin(), newer.end());
    EXPECT_EQ(newer, (Lines{"\\docs", "\\docs\\deep\\x.txt", "\\docs\\edit.txt", "\\docs\\flip.txt",
                            "\\docs\\keep.txt", "\\docs\\new.txt"}));
    EXPECT_EQ(ComparisonListLines(ChapterComparison(index, 1, 2), {"\\gone"}, ComparisonSide::Older), Lines{"\\gone\\a.txt"});

    // The dialog proposes the chapter before the shown one (the first two when the first is shown).
    std::vector<int> chapters{1, 3, 4};
    EXPECT_EQ(DefaultComparedChapters(chapters, 4), std::make_pair(3, 4));
    EXPECT_EQ(DefaultComparedChapters(chapters, 1), std::make_pair(1, 3));
    EXPECT_EQ(DefaultComparedChapters({2}, 2), std::make_pair(0, 0));
}

TEST(ChapterVersions, HistoryGroupsEqualContentAndListingsOfSingleChaptersAgree)
{
    VersionIndex index;
    index.Add(FourChapters(), 1, 4);
    std::vector<FileVersion> flip = FileHistory(index, "\\docs\\flip.txt");
    ASSERT_EQ(flip.size(), 2u);
    EXPECT_EQ(SpansText(flip[0].spans), "1, 3-4");
    EXPECT_EQ(SpansText(flip[1].spans), "2");
    std::vector<FileVersion> edit = FileHistory(index, "\\docs\\edit.txt");
    ASSERT_EQ(edit.size(), 2u);
    EXPECT_EQ(edit[0].entry->Columns[ArchiveEntry::Size], "7");
    EXPECT_EQ(SpansText(edit[1].spans), "1-2");
    EXPECT_TRUE(FileHistory(index, "\\nothing").empty());

    // The same versions met in listings of single chapters are taken once each.
    VersionIndex single;
    single.Add(Listing({{"docs\\keep.txt", "10", "1-4", "1 CRC-32 0000000A"}, {"docs\\edit.txt", "5", "1-2", "2 CRC-32 0000000B"}}), 2, 2);
    single.Add(Listing({{"docs\\keep.txt", "10", "1-4", "1 CRC-32 0000000A"}, {"docs\\edit.txt", "7", "3-4", "5 CRC-32 0000000E"}}), 3, 3);
    EXPECT_EQ(FileHistory(single, "\\docs\\keep.txt").size(), 1u);
    EXPECT_EQ(Shown(ChapterComparison(single, 2, 3), "\\docs"), (Changes{{"\\docs\\edit.txt", "Changed"}}));

    int first = 0, last = 0;
    EXPECT_TRUE(ReadChapterSpan("2-5", first, last) && first == 2 && last == 5);
    for (const char* bad : {"", "0", "5-2", "2-", "-2", "x", "1-2-3", "9999999999"})
        EXPECT_FALSE(ReadChapterSpan(bad, first, last)) << bad;
}

TEST(FindVersions, PatternsIgnoreCaseInAnyScriptAndBoundsNarrowTheVersions)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    for (const Case& c : std::initializer_list<Case>{{"*.txt", "Notes.TXT", true}, {"*.txt", "notes.txt.bak", false},
                                                     {"r?sum?.doc", "résumé.doc", true}, {"RÉSUMÉ*", "résumé.doc", true},
                                                     {"*", "", true}, {"?", "", false}, {"a*b*c", "aXbYbZc", true},
                                                     {"a*b*c", "aXbYbZ", false}, {"жук*", "ЖУК.txt", true},
                                                     {"**x", "x", true}, {"日本*", "日本語.txt", true}})
        EXPECT_EQ(MatchesNamePattern(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;

    VersionIndex index;
    index.Add(FourChapters(), 1, 4);
    auto found = [&](const FindQuery& query) {
        std::vector<std::string> paths;
        for (const EntryVersion& version : index.Versions())
            if (FindMatches(query, version))
                paths.push_back(version.entry->Path + "@" + version.entry->Columns[ArchiveEntry::Chapter].str());
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    using Paths = std::vector<std::string>;
    FindQuery edits;
    edits.pattern = "EDIT.*";
    EXPECT_EQ(found(edits), (Paths{"\\docs\\edit.txt@1-2", "\\docs\\edit.txt@3-4"}));
    edits.chapter = 2;
    EXPECT_EQ(found(edits), (Paths{"\\docs\\edit.txt@1-2"}));
    FindQuery sized;
    sized.minSize = 5;
    sized.maxSize = 6;
    EXPECT_EQ(found(sized), (Paths{"\\docs\\edit.txt@1-2", "\\docs\\flip.txt@2"}));
    FindQuery inPath;
    inPath.pattern = "docs\\d*\\*";
    EXPECT_EQ(found(inPath), (Paths{"\\docs\\deep\\x.txt@1-4"}));
    FindQuery gone;
    gone.pattern = "gone";
    EXPECT_EQ(found(gone), Paths{}) << "a folder the listing only implies is not found";
    FindQuery later;
    later.modifiedSince = "2026-01-02";
    EXPECT_EQ(found(later), Paths{});
    later.modifiedSince = "2026-01-01";
    EXPECT_EQ(found(later).size(), 13u);

    // While the listing is read: each row found is handed on at once, and the search stops when
    // asked to.
    FindQuery small;
    std::string error;
    ASSERT_TRUE(ReadFindQuery("*.TXT", "", "6", "", 0, small, error)) << error;
    std::atomic<bool> stop{false};
    std::vector<FoundEntry> hits;
    FindSink sink(small, [&](FoundEntry hit) { hits.push_back(hit); stop = hits.size() == 3; }, stop);
    size_t fed = 0;
    for (const std::string& line : ListingLines(kFourChapters)) {
        if (sink.Stopped())
            break;
        sink.Line(line);
        ++fed;
    }
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].path + " " + hits[0].chapters + " " + std::to_string(hits[0].chapter), "\\docs\\edit.txt 1-2 2");
    EXPECT_EQ(hits[2].path + " " + hits[2].size, "\\docs\\new.txt 3");
    EXPECT_LT(fed, ListingLines(kFourChapters).size());

    for (auto [min, max, since] : {std::tuple{"x", "", ""}, {"", "-1", ""}, {"9", "3", ""}, {"", "", "2026-1-1"},
                                   {"", "", "yesterday"}, {"", "", "2026-01-01 12:00"}})
        EXPECT_FALSE(ReadFindQuery("*", min, max, since, 0, small, error)) << min << max << since;
    ASSERT_TRUE(ReadFindQuery("", "2", "", "2026-01-01 12:00:00", 3, small, error));
    EXPECT_EQ(small.pattern + " " + std::to_string(small.minSize) + " " + small.modifiedSince + " " + std::to_string(small.chapter),
              "* 2 2026-01-01 12:00:00 3");
}

} // namespace
