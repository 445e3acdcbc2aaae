// What the delete operation and its dialog decide apart from the window.
#pragma once

#include <string>
#include <vector>

#include "engine/archive_catalogue.h"

// The list file in the program folder.
inline constexpr const char* kDeleteListName = "~TorvexDelete";

// The Delete dialog's choices as it opens.
struct DeleteDialogStart {
    int deleteWhat = 0;  // 0 selected files, 1 files in files list, 2 chapters
    bool selectedEnabled = true;
    bool filesListEnabled = true;
    bool inAllChaptersEnabled = true;
};
DeleteDialogStart DecideDeleteDialogStart(bool filesListHasItems, bool realSelection);

//  dc "archive" N M ...: the chosen chapters, in list order.
std::string DeleteChaptersCommand(const std::string& archivePath, const std::vector<int>& chapters);

// The question before a quick delete: the question itself, then how many entries and the first
// few of their names, so the user sees what goes ("sub\" marks a folder).
std::string DeleteSelectedQuestion(const std::vector<const ArchiveEntry*>& entries);
