// Totals of files and bytes under rows, for the size line of the context menu.
#pragma once

#include <string>

#include "engine/archive_catalogue.h"

struct SizeTotals {
    long long files = 0;
    long long bytes = 0;
};

// An archive directory adds up everything below it in `directories` (one chapter); a file adds 1
// and its "Size" text read as a number.
void AddUpArchiveEntry(const ArchiveEntry& entry, const DirectoryMap& directories, SizeTotals& totals);
// A disk file row adds 1 and its "Size" text (directories are searched on disk, see
// AddUpDiskFolder).
void AddUpFileRow(const ArchiveEntry& entry, SizeTotals& totals);

// "1,234 bytes in 2 file(s)".
std::string SizeLineText(const SizeTotals& totals);

// The status bar's selection pane: "3 selected: 1,234 bytes in 2 file(s)"; empty for fewer than
// two rows (one row is plain to see).
std::string SelectionStatusText(size_t rows, const SizeTotals& totals);
