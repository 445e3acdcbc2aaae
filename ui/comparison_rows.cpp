#include "ui/comparison_rows.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <unordered_set>

#include "engine/path_helpers.h"
#include "ui/compare_rows.h"

namespace {

const ArchiveEntry* SideRow(const ComparedEntry& entry, ComparisonSide side)
{
    return side == ComparisonSide::Older ? entry.older : entry.newer;
}

void AppendSideLines(const ChapterComparison& comparison, const ComparedEntry& entry, ComparisonSide side,
                     std::vector<std::string>& lines)
{
    // A folder the listing only implies has no row of its own; what it holds still counts.
    if (SideRow(entry, side))
        lines.emplace_back(entry.path);
    if (!entry.directory)
        return;
    for (const ComparedEntry* inside : comparison.Folder(std::string(entry.path), true))
        AppendSideLines(comparison, *inside, side, lines);
}

} // namespace

std::vector<ComparisonColumn> ComparisonColumns(int older, int newer)
{
    std::string first = std::to_string(older), second = std::to_string(newer);
    return {{"Name", comparecell::Name, 150, false},
            {"Status", comparecell::Status, 70, false},
            {"Size in " + first, comparecell::OlderSize, 80, true},
            {"Modified in " + first, comparecell::OlderModified, 130, true},
            {"Size in " + second, comparecell::NewerSize, 80, true},
            {"Modified in " + second, comparecell::NewerModified, 130, true}};
}

int CompareComparisonRows(const ArchiveEntry& a, const ArchiveEntry& b, int cell)
{
    if (IsParentRow(a) || IsParentRow(b))
        return CompareRows(a, b, ArchiveEntry::Name);
    if (cell == comparecell::Status) {
        int order = a.Columns[cell].view().compare(b.Columns[cell].view());
        return order != 0 ? order : CompareRows(a, b, ArchiveEntry::Name);
    }
    if (cell == comparecell::OlderSize && !a.IsDirectory() && !b.IsDirectory()) {
        // It sits where the method would: read as a size, larger first as the other sizes.
        long long x = std::strtoll(a.Columns[cell].c_str(), nullptr, 10);
        long long y = std::strtoll(b.Columns[cell].c_str(), nullptr, 10);
        if (x != y)
            return x > y ? -1 : 1;
    }
    return CompareRows(a, b, cell == comparecell::OlderSize ? int(ArchiveEntry::Name) : cell);
}

EntryList ComparisonFolderRows(const ChapterComparison& comparison, const std::string& folder, bool withUnchanged)
{
    EntryList rows;
    std::vector<const ComparedEntry*> entries = comparison.Folder(folder, withUnchanged);
    rows.Reserve(entries.size());
    for (const ComparedEntry* entry : entries) {
        auto row = std::make_unique<ArchiveEntry>();
        row->Path = std::string(entry->path);
        row->Columns[comparecell::Name] = LeafName(row->Path);
        row->Columns[comparecell::Attributes] = entry->directory ? "....D" : ".....";
        row->Columns[comparecell::Status] = VersionChangeText(entry->change);
        if (!entry->directory) {
            if (entry->older) {
                row->Columns[comparecell::OlderSize] = entry->older->Columns[ArchiveEntry::Size];
                row->Columns[comparecell::OlderModified] = entry->older->Columns[ArchiveEntry::Modified];
            }
            if (entry->newer) {
                row->Columns[comparecell::NewerSize] = entry->newer->Columns[ArchiveEntry::Size];
                row->Columns[comparecell::NewerModified] = entry->newer->Columns[ArchiveEntry::Modified];
            }
        }
        rows.Add(std::move(row));
    }
    return rows;
}

const ComparedEntry* FindCompared(const ChapterComparison& comparison, const std::string& path)
{
    std::string parent;
    if (!ParentPath(path, parent))
        return nullptr;
    for (const ComparedEntry* entry : comparison.Folder(parent, true))
        if (entry->path == path)
            return entry;
    return nullptr;
}

std::string ComparisonText(int older, int newer)
{
    return ChapterLabel(newer) + " compared with chapter " + std::to_string(older);
}

std::string ComparisonInfoText(const ChapterComparison& comparison)
{
    return ComparisonText(comparison.Older(), comparison.Newer()) + ": " +
           std::to_string(comparison.FileCount(VersionChange::Added)) + " added, " +
           std::to_string(comparison.FileCount(VersionChange::Changed)) + " changed, " +
           std::to_string(comparison.FileCount(VersionChange::Removed)) + " removed";
}

std::string ComparisonTitle(const std::string& archivePath, const std::string& folder, int older, int newer)
{
    return "Torvex - " + archivePath + " --> " + folder + " (" + ComparisonText(older, newer) + ")";
}

std::pair<int, int> DefaultComparedChapters(const std::vector<int>& chapters, int shown)
{
    if (chapters.size() < 2)
        return {0, 0};
    auto at = std::find(chapters.begin(), chapters.end(), shown);
    if (at == chapters.end())
        at = chapters.end() - 1;
    if (at == chapters.begin())
        ++at;
    return {*(at - 1), *at};
}

ComparisonStep DecideComparisonClick(const ChapterComparison& comparison, const std::string& folder,
                                     const ArchiveEntry& row)
{
    if (IsParentRow(row)) {
        std::string parent;
        if (folder == "\\" || !ParentPath(folder, parent))
            return {ComparisonClick::Leave, {}};
        return {ComparisonClick::Up, parent};
    }
    if (row.IsDirectory())
        return comparison.HasFolder(row.Path) ? ComparisonStep{ComparisonClick::Enter, row.Path} : ComparisonStep{};
    return {ComparisonClick::View, row.Path};
}

int SideChapter(const ChapterComparison& comparison, ComparisonSide side)
{
    return side == ComparisonSide::Older ? comparison.Older() : comparison.Newer();
}

const ArchiveEntry* SideFile(const ChapterComparison& comparison, const std::string& path, ComparisonSide side)
{
    const ComparedEntry* entry = FindCompared(comparison, path);
    return entry && !entry->directory ? SideRow(*entry, side) : nullptr;
}

bool RowHasSide(const ArchiveEntry& row, ComparisonSide side)
{
    // Every file row of a listing has its modified time; a side without the file has no cells.
    int cell = side == ComparisonSide::Older ? comparecell::OlderModified : comparecell::NewerModified;
    return !row.IsDirectory() && !row.Columns[cell].empty();
}

ComparisonSide DefaultViewSide(const ChapterComparison& comparison, const std::string& path)
{
    return SideFile(comparison, path, ComparisonSide::Newer) ? ComparisonSide::Newer : ComparisonSide::Older;
}

std::vector<std::string> ComparisonListLines(const ChapterComparison& comparison, const std::vector<std::string>& paths,
                                             ComparisonSide side)
{
    std::unordered_set<std::string_view> wanted(paths.begin(), paths.end());
    std::set<std::string> folders;
    for (const std::string& path : paths) {
        std::string parent;
        if (ParentPath(path, parent))
            folders.insert(parent);
    }
    std::vector<std::string> lines;
    for (const std::string& folder : folders)
        for (const ComparedEntry* entry : comparison.Folder(folder, true))
            if (wanted.count(entry->path))
                AppendSideLines(comparison, *entry, side, lines);
    return lines;
}
