// The main list showing what differs between two chapters: the rows of one folder of the
// comparison, its columns and their order, the chapters proposed for it, what its rows lead to
// and which chapter a command on them takes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/chapter_versions.h"

// A comparison row keeps its cells in a listing row's slots; the attributes stay where
// IsDirectory reads them.
namespace comparecell {
constexpr int Name = ArchiveEntry::Name, NewerSize = ArchiveEntry::Size, NewerModified = ArchiveEntry::Modified,
              OlderModified = ArchiveEntry::Created, Attributes = ArchiveEntry::Attributes,
              Status = ArchiveEntry::Chapter, OlderSize = ArchiveEntry::Method;
}

struct ComparisonColumn {
    std::string caption;
    int cell;         // comparecell
    int width;        // at 96 DPI
    bool rightAligned;
};

// Name, status, then the first chapter's size and time, then the second's ("Size in 2").
std::vector<ComparisonColumn> ComparisonColumns(int older, int newer);

// Rows of a comparison in the order of cell `cell`: as CompareRows, the status by its text.
int CompareComparisonRows(const ArchiveEntry& a, const ArchiveEntry& b, int cell);

// The rows of `folder` ("\" for the root): each entry that differs, every entry when
// `withUnchanged`, as a row with the cells above. A side that lacks the entry has empty cells.
EntryList ComparisonFolderRows(const ChapterComparison& comparison, const std::string& folder, bool withUnchanged);

// The compared entry at `path`; nullptr when the comparison has none.
const ComparedEntry* FindCompared(const ChapterComparison& comparison, const std::string& path);

// "Chapter 3 compared with chapter 2"
std::string ComparisonText(int older, int newer);
// The status line: the text above and how many files were added, changed and removed.
std::string ComparisonInfoText(const ChapterComparison& comparison);
// The window's caption while a comparison is shown.
std::string ComparisonTitle(const std::string& archivePath, const std::string& folder, int older, int newer);

// The chapters the dialog proposes, older first: the one before the shown chapter and the shown
// chapter itself (the first two when the shown one is the first). Both 0 with fewer than two.
std::pair<int, int> DefaultComparedChapters(const std::vector<int>& chapters, int shown);

// What a double click (or Enter, Backspace) on a comparison row does.
enum class ComparisonClick { None, Up, Enter, Leave, View };
struct ComparisonStep {
    ComparisonClick action = ComparisonClick::None;
    std::string target;  // the folder for Up and Enter
};
// The parent row goes up, and out of the comparison at its root; a folder of the comparison is
// entered; a file is viewed.
ComparisonStep DecideComparisonClick(const ChapterComparison& comparison, const std::string& folder,
                                     const ArchiveEntry& row);

enum class ComparisonSide { Older, Newer };
int SideChapter(const ChapterComparison& comparison, ComparisonSide side);
// The side's row of the file at `path`, which View and the chapter's extraction take; nullptr
// for a folder, or when that chapter lacks the file.
const ArchiveEntry* SideFile(const ChapterComparison& comparison, const std::string& path, ComparisonSide side);
// A row of ComparisonFolderRows is a file that chapter holds (read from its cells, so that the
// command enabling asks nothing of the comparison).
bool RowHasSide(const ArchiveEntry& row, ComparisonSide side);
// The one side a plain View (double click, Ctrl+V) takes: the second chapter's when it has the
// file, else the first's.
ComparisonSide DefaultViewSide(const ChapterComparison& comparison, const std::string& path);

// The extract list lines of `paths` from one side: each path that chapter holds, and for a folder
// everything the chapter holds below it, whether it differs or not. Each folder holding the
// paths is read once, so a whole large folder costs no more than showing it.
std::vector<std::string> ComparisonListLines(const ChapterComparison& comparison, const std::vector<std::string>& paths,
                                             ComparisonSide side);
