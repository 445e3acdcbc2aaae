// What the delete operation decides apart from the window.
#pragma once

#include <string>
#include <vector>

#include "engine/archive_catalogue.h"

// The list file in the program folder.
inline constexpr const char* kDeleteListName = "~TorvexDelete";

// The question before a quick delete: the question itself, then how many entries and the first
// few of their names, so the user sees what goes ("sub\" marks a folder).
std::string DeleteSelectedQuestion(const std::vector<const ArchiveEntry*>& entries);
