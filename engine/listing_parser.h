// Reads the archiver's two listings (the chapter list and the verbose listing of one chapter)
// into the catalogue. Only the lines and tokens named here are relied on; the rest is ignored.
#pragma once

#include "engine/archive_catalogue.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Cuts the archiver's output into lines and appends them: a line ends at every line feed, a
// carriage return just before it is dropped, text after the last line feed is not kept.
void SplitOutputLines(std::string_view output, std::vector<std::string>& lines);

// "JAR " + lines[first] and every later line, each followed by "\n": how the archiver's own
// errors are shown.
std::string JarErrorMessage(const std::vector<std::string>& lines, size_t first);

// Ratio text: first / (second + 1), commas removed from both numbers first, "%.2f".
std::string FormatRatio(const std::string& packed, const std::string& original);
