// The order of the list's rows: the parent row first, then each column's own rule.
#pragma once

#include "engine/archive_catalogue.h"

// Name of the synthetic row that leads to the parent folder (dot, blank, dot).
inline constexpr const char* ParentRowText = ". .";

bool IsParentRow(const ArchiveEntry& entry);

// Negative when a goes before b, zero when they rank equal, positive otherwise.
int CompareRows(const ArchiveEntry& a, const ArchiveEntry& b, int column);
