// Reading a disk folder into rows (the document's ScanFolder uses it).
#pragma once

#include <string>

#include "engine/archive_catalogue.h"

// Appends one row per file and folder of `folder` ("C:" for a drive root), in the order the
// search returns them; the list is not emptied first. Empty when the folder was read whole,
// otherwise the message for the user (the rows read before the failure stay).
std::string ScanDiskFolder(EntryList& list, const std::string& folder);

struct SizeTotals;
// Adds every file below a disk folder (recursively): 1 and its length each.
void AddUpDiskFolder(const std::string& folder, SizeTotals& totals);
