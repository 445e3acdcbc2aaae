// The versions an archive keeps of its files, read from its listings, and the questions asked of
// them: what differs between two chapters, and the history of one file.
//
// A row of a listing is one stored version of an entry; its "Chapter" cell ("3" or "2-5") says
// which chapters hold that version. A listing of a range of chapters ("v -jbA-B") gives every
// version of the range once; listings of single chapters give the same versions, each repeated in
// every chapter listed, and are merged here, so the answers do not depend on which was run.
#pragma once

#include "engine/archive_catalogue.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// One stored version: its listing row and the chapters holding it (first..last). A folder the
// listing only implies (no row of its own) has no chapters: it is in a chapter when something
// below it is.
struct EntryVersion {
    const ArchiveEntry* entry = nullptr;
    int first = 0;
    int last = 0;

    bool Implied() const { return first == 0; }
    bool In(int chapter) const { return first != 0 && first <= chapter && chapter <= last; }
};

// "3" -> 3..3, "2-5" -> 2..5; false for any other text.
bool ReadChapterSpan(std::string_view text, int& first, int& last);

class VersionIndex {
public:
    // Takes the rows of a listing of chapters listedFirst..listedLast (one chapter: both the same).
    // A row whose Chapter cell cannot be read counts for the chapters listed. A version already
    // taken (same path, chapters, size, time and block) is not taken twice.
    void Add(std::unique_ptr<ChapterInfo> listing, int listedFirst, int listedLast);

    const std::vector<EntryVersion>& Versions() const { return versions_; }

private:
    std::vector<std::unique_ptr<ChapterInfo>> listings_;
    std::vector<EntryVersion> versions_;
    // Built when a second listing is merged in: the versions of each path.
    std::unordered_map<std::string_view, std::vector<size_t>> byPath_;
};

class JarRunner;

// Lists chapters first..last of `archive` in one run ("v -jbA-B") into the index. False after the
// failure was reported; the index is then as it was.
bool ListVersions(JarRunner& runner, const std::string& archive, int first, int last, VersionIndex& index);

// ---- Comparing two chapters ----------------------------------------------------------------

enum class VersionChange { Unchanged, Added, Removed, Changed };

// "Unchanged", "Added", "Removed", "Changed": the comparison's status column.
const char* VersionChangeText(VersionChange change);

// Two rows of one path hold the same content: the same size, modified time and data block.
bool SameContent(const ArchiveEntry& a, const ArchiveEntry& b);

// Valid while the index compared lives: it points into the index's rows.
struct ComparedEntry {
    std::string_view path;
    bool directory = false;
    VersionChange change = VersionChange::Unchanged;
    // The rows of the older and the newer chapter; nullptr on the side that lacks the entry (and
    // for a folder that side only implies).
    const ArchiveEntry* older = nullptr;
    const ArchiveEntry* newer = nullptr;

    // The row to show: the newer side's when there is one.
    const ArchiveEntry* Shown() const { return newer ? newer : older; }
};

// What differs between chapters `older` and `newer` (either order of numbers works; "older" is
// simply the first side). A file differs when it was added, removed, or its content changed; a
// folder that is on both sides differs when anything below it does. A rename is a removal and
// an addition.
class ChapterComparison {
public:
    ChapterComparison(const VersionIndex& index, int older, int newer);

    int Older() const { return older_; }
    int Newer() const { return newer_; }
    // The entries directly in `directory` ("\" for the root); unchanged ones only when asked.
    std::vector<const ComparedEntry*> Folder(const std::string& directory, bool withUnchanged) const;
    bool HasFolder(const std::string& directory) const { return children_.count(std::string_view(directory)) != 0; }
    // How many files (not folders) have this change.
    size_t FileCount(VersionChange change) const;

private:
    int older_;
    int newer_;
    std::vector<ComparedEntry> entries_;
    // Folder path -> its entries; the keys point into the index's rows.
    std::unordered_map<std::string_view, std::vector<size_t>> children_;
};

// A comparison with the versions it points into, kept together while the comparison is shown.
struct ComparedChapters {
    VersionIndex index;
    std::unique_ptr<ChapterComparison> comparison;
};

// Lists what chapters `older` and `newer` hold (one run for the range between them when they are
// neighbours, else one run each) and compares them. Null after the failure was reported.
std::unique_ptr<ComparedChapters> CompareChapters(JarRunner& runner, const std::string& archive, int older, int newer);

// ---- A file's history -----------------------------------------------------------------------

// One distinct version of a file: the chapter spans holding it, and its row (the newest one).
struct FileVersion {
    std::vector<std::pair<int, int>> spans;
    const ArchiveEntry* entry = nullptr;

    int Newest() const { return spans.empty() ? 0 : spans.back().second; }
};

// "1-2, 4": the spans as a reader writes them.
std::string SpansText(const std::vector<std::pair<int, int>>& spans);

// The versions of the file at `path`, newest first; rows of the same content are one version.
std::vector<FileVersion> FileHistory(const VersionIndex& index, const std::string& path);
