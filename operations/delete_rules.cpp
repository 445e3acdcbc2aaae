#include "operations/delete_rules.h"

#include "engine/jar_commands.h"

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
