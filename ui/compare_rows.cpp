#include "ui/compare_rows.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "framework/name_compare.h"

namespace {

// Directories first; within the same kind, by name ignoring case.
int CompareByName(const ArchiveEntry& a, const ArchiveEntry& b)
{
    bool da = a.IsDirectory(), db = b.IsDirectory();
    if (da != db)
        return da ? -1 : 1;
    return CompareNamesIgnoringCase(a.Columns[ArchiveEntry::Name], b.Columns[ArchiveEntry::Name]);
}

// Leading digits as a signed number; 64 bits, so sizes of 2 GiB and more still order right.
long long LeadingNumber(const CellText& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

// Larger first.
int Descending(long long a, long long b)
{
    return a > b ? -1 : (a < b ? 1 : 0);
}

int CompareDates(const ArchiveEntry& a, const ArchiveEntry& b, int column)
{
    CellText ta = a.Columns[column];
    CellText tb = b.Columns[column];
    if (ta.empty() || tb.empty())
        return CompareByName(a, b);
    // Fields a text does not hold read as -1, so a malformed date sorts after every real one.
    std::array<int, 6> fa, fb;
    fa.fill(-1);
    fb.fill(-1);
    std::sscanf(ta.c_str(), "%d-%d-%d %d:%d:%d", &fa[0], &fa[1], &fa[2], &fa[3], &fa[4], &fa[5]);
    std::sscanf(tb.c_str(), "%d-%d-%d %d:%d:%d", &fb[0], &fb[1], &fb[2], &fb[3], &fb[4], &fb[5]);
    for (size_t i = 0; i < fa.size(); ++i) {
        if (int r = Descending(fa[i], fb[i]))
            return r;
    }
    return CompareByName(a, b);
}

int CompareChapters(const CellText& ta, const CellText& tb)
{
    int a1 = -1, a2 = -1, b1 = -1, b2 = -1;
    // A single chapter "3" reads as the range 3-3.
    if (std::sscanf(ta.c_str(), "%d-%d", &a1, &a2) == 1)
        a2 = a1;
    if (std::sscanf(tb.c_str(), "%d-%d", &b1, &b2) == 1)
        b2 = b1;
    if (int r = Descending(a1, b1))
        return r;
    return Descending(a2, b2);
}

} // namespace

bool IsParentRow(const ArchiveEntry& entry)
{
    return entry.Columns[ArchiveEntry::Name] == ParentRowText;
}

int CompareRows(const ArchiveEntry& a, const ArchiveEntry& b, int column)
{
    bool pa = IsParentRow(a), pb = IsParentRow(b);
    if (pa || pb)
        return pa == pb ? 0 : (pa ? -1 : 1);

    switch (column) {
    case ArchiveEntry::Modified:
    case ArchiveEntry::Created:
        return CompareDates(a, b, column);
    case ArchiveEntry::Size:
    case ArchiveEntry::Chapter:
    case ArchiveEntry::Block: {
        bool da = a.IsDirectory(), db = b.IsDirectory();
        if (da || db)
            return CompareByName(a, b);
        if (column == ArchiveEntry::Chapter)
            return CompareChapters(a.Columns[column], b.Columns[column]);
        return Descending(LeadingNumber(a.Columns[column]), LeadingNumber(b.Columns[column]));
    }
    default:
        return CompareByName(a, b);
    }
}
