#include "operations/delete_rules.h"

#include "engine/jar_commands.h"

DeleteDialogStart DecideDeleteDialogStart(bool filesListHasItems, bool realSelection)
{
    DeleteDialogStart start;
    if (filesListHasItems)
        start.deleteWhat = 1;
    else
        start.filesListEnabled = false;
    if (!realSelection) {
        start.selectedEnabled = false;
        if (start.deleteWhat != 1)
            start.deleteWhat = 2;
    }
    start.inAllChaptersEnabled = start.deleteWhat != 2;
    return start;
}

std::string DeleteChaptersCommand(const std::string& archivePath, const std::vector<int>& chapters)
{
    std::vector<std::string> numbers;
    for (int n : chapters)
        numbers.push_back(std::to_string(n));
    return DeleteChaptersArguments(archivePath, numbers);
}

std::string DeleteSelectedQuestion(const std::vector<const ArchiveEntry*>& entries)
{
    constexpr size_t shown = 5;
    std::string text = "Delete selected files?\n\n";
    text += entries.size() == 1 ? "1 entry:" : std::to_string(entries.size()) + " entries:";
    for (size_t i = 0; i < entries.size() && i < shown; ++i) {
        text += "\n";
        text += entries[i]->Columns[ArchiveEntry::Name];
        if (entries[i]->IsDirectory())
            text += "\\";
    }
    if (entries.size() > shown)
        text += "\nand " + std::to_string(entries.size() - shown) + " more";
    return text;
}
