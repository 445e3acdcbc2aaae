// Reads the archiver's two listings (the chapter list and the verbose listing of one chapter)
// into the catalogue. Only the lines and tokens named here are relied on; the rest is ignored.
#pragma once

#include "engine/archive_catalogue.h"
#include "engine/jar_output.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Chapter numbers past this are not taken from a listing: the chapter table is indexed by them.
inline constexpr int MaxListedChapter = 100000;

// Tells the user about a failure (stop icon) and returns false.
using FailureReporter = std::function<bool(const std::string& message)>;

// The chapter list ("lc"): ArchiveLine, ArchiveComment, LastChapter and one chapter per chapter
// line. False after reporting an "ERROR" line met before the archive line.
bool ParseChapterList(const std::vector<std::string>& lines, ArchiveCatalogue& catalogue, const FailureReporter& reportFailure);

// The verbose listing ("v -jbN") of chapter `chapter`: its directories and entries (missing
// ancestor directories completed), TotalFiles, TotalBytes and the catalogue's Ratio. False after
// reporting an "ERROR" line met before the header's end. The chapter is created when its slot
// is empty.
bool ParseChapterListing(const std::vector<std::string>& lines, ArchiveCatalogue& catalogue, int chapter, const FailureReporter& reportFailure);

// The same reading, fed one line at a time as the archiver writes them: each entry goes into the
// catalogue once its block line has arrived, so a listing's text is never held whole.
class ChapterListingReader : public OutputLineSink {
public:
    ChapterListingReader(ArchiveCatalogue& catalogue, int chapter);
    // A listing of the chapter its header names ("Analyzing chapter N"): the newest one, listed
    // before the chapter list has said which that is.
    struct NamedByHeader {};
    ChapterListingReader(ArchiveCatalogue& catalogue, NamedByHeader);
    ChapterListingReader(const ChapterListingReader&) = delete;
    ChapterListingReader& operator=(const ChapterListingReader&) = delete;
    ~ChapterListingReader() override;

    void Line(std::string_view line) override;
    // Called with each row of the listing as it goes into the catalogue, while the archiver is
    // still writing (not with the folders the listing only implies).
    std::function<void(const ArchiveEntry&)> onEntry;
    // After the last line: false after reporting an "ERROR" line met before the header's end
    // (with every line after it) or a chapter number the table cannot hold; true otherwise.
    bool Finish(const FailureReporter& reportFailure);
    // The chapter read; for a listing named by its header, 0 until the header has named one.
    int ChapterNumber() const { return number_; }

private:
    enum class Stage { BadChapter, Header, LeadIn, Entries, Comments, Block, Totals, TotalBytes, Ratio, Done, Error };

    bool TakeNamedChapter(std::string_view line);
    void EntryOrTotals(std::string_view line);
    void NameLine(std::string_view line);
    void DetailLine(std::string_view line, const std::array<std::string_view, 9>& details);
    void BlockLine(std::string_view line);
    void AddEntry(std::unique_ptr<ArchiveEntry> entry);

    ArchiveCatalogue& catalogue_;
    int number_;
    ChapterInfo* chapter_ = nullptr;
    Stage stage_;
    bool firstLine_ = true;
    std::string errorMessage_;

    // The entry between its name line and its block line, and its detail cells (the lines
    // themselves are gone by the time the block line arrives).
    std::unique_ptr<ArchiveEntry> entry_;
    bool named_ = false;
    std::array<std::string, EntryColumnCount> cells_;
    // A detail line that is the listing's last line and reads as its "Total files" line.
    bool detailIsTotals_ = false;
    std::string detailTotalFiles_;

    // Consecutive entries mostly share their directory: its list is kept at hand.
    std::string lastParent_;
    EntryList* lastList_ = nullptr;
    // Directory entries made up for implied directories, replaced by a real line that comes later.
    std::unordered_map<std::string, ArchiveEntry*> madeUp_;
};

// Cuts the archiver's output into lines and appends them: a line ends at every line feed, a
// carriage return just before it is dropped, text after the last line feed is not kept.
void SplitOutputLines(std::string_view output, std::vector<std::string>& lines);

// "JAR " + lines[first] and every later line, each followed by "\n": how the archiver's own
// errors are shown.
std::string JarErrorMessage(const std::vector<std::string>& lines, size_t first);

// Ratio text: first / (second + 1), commas removed from both numbers first, "%.2f".
std::string FormatRatio(const std::string& packed, const std::string& original);
