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

std::vector<std::string> ChapterItems(const ArchiveCatalogue& catalogue)
{
    std::vector<std::string> items;
    for (size_t n = 1; n < catalogue.Chapters.size(); ++n)
        if (catalogue.Chapters[n])
            items.push_back("Chapter " + std::to_string(n));
    return items;
}

std::string DeleteChaptersCommand(const std::string& archivePath, const std::vector<std::string>& chosenItems)
{
    static const std::string prefix = "Chapter ";
    std::vector<std::string> numbers;
    for (const std::string& item : chosenItems) {
        if (item.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string word = item.substr(prefix.size());
        word = word.substr(0, word.find(' '));
        if (!word.empty())
            numbers.push_back(word);
    }
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
