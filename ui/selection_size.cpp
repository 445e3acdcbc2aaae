#include "ui/selection_size.h"

#include <cstdlib>

#include "ui/format_thousands.h"

void AddUpFileRow(const ArchiveEntry& entry, SizeTotals& totals)
{
    totals.files += 1;
    totals.bytes += std::strtoll(entry.Columns[ArchiveEntry::Size].c_str(), nullptr, 10);
}

void AddUpArchiveEntry(const ArchiveEntry& entry, const DirectoryMap& directories, SizeTotals& totals)
{
    if (!entry.IsDirectory()) {
        AddUpFileRow(entry, totals);
        return;
    }
    const EntryList* list = directories.Find(entry.Path);
    if (!list)
        return;
    for (const auto& child : *list) {
        // Children lie deeper than their folder; a listing that says otherwise must not loop.
        if (child->Path.size() > entry.Path.size())
            AddUpArchiveEntry(*child, directories, totals);
    }
}

std::string SizeLineText(const SizeTotals& totals)
{
    return FormatThousands(totals.bytes) + " bytes in " + FormatThousands(totals.files) + " file(s)";
}

std::string SelectionStatusText(size_t rows, const SizeTotals& totals)
{
    if (rows < 2)
        return {};
    return FormatThousands(static_cast<long long>(rows)) + " selected: " + SizeLineText(totals);
}
