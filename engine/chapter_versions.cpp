#include "engine/chapter_versions.h"

#include "engine/jar_commands.h"
#include "engine/jar_runner.h"
#include "engine/listing_parser.h"

#include <algorithm>
#include <charconv>

namespace {

bool ReadNumber(std::string_view text, int& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

std::string_view Root()
{
    return "\\";
}

// The folder holding an archive path ("\a\b" -> "\a", "\a" -> "\"); a view into the path.
std::string_view ParentOf(std::string_view path)
{
    size_t slash = path.rfind('\\');
    return slash == 0 || slash == std::string_view::npos ? Root() : path.substr(0, slash);
}

// Every folder above `path` up to the root, nearest first ("\a\b\c" -> "\a\b", "\a", "\"), while
// `visit` says to go on.
template <typename Visit>
void ForEachAncestor(std::string_view path, Visit visit)
{
    while (path != Root()) {
        path = ParentOf(path);
        if (!visit(path))
            return;
    }
}

} // namespace

bool ReadChapterSpan(std::string_view text, int& first, int& last)
{
    size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        if (!ReadNumber(text, first))
            return false;
        last = first;
        return true;
    }
    return ReadNumber(text.substr(0, dash), first) && ReadNumber(text.substr(dash + 1), last) && first <= last;
}

// ---- The index ------------------------------------------------------------------------------

void VersionIndex::Add(std::unique_ptr<ChapterInfo> listing, int listedFirst, int listedLast)
{
    // Versions met again in another listing are taken once; a single listing has none twice.
    bool merging = !listings_.empty();
    if (merging && byPath_.empty()) {
        for (size_t i = 0; i < versions_.size(); ++i)
            byPath_[versions_[i].entry->Path].push_back(i);
    }
    for (const auto& [directory, list] : listing->Directories) {
        for (const auto& row : list) {
            const ArchiveEntry& entry = *row;
            EntryVersion version{&entry, 0, 0};
            if (!ReadChapterSpan(entry.Columns[ArchiveEntry::Chapter].view(), version.first, version.last)) {
                // A folder the listing made up holds no cells but its name and attributes.
                bool implied = entry.IsDirectory() && entry.Columns[ArchiveEntry::Modified].empty();
                version.first = implied ? 0 : listedFirst;
                version.last = implied ? 0 : listedLast;
            }
            if (merging) {
                std::vector<size_t>& same = byPath_[entry.Path];
                bool taken = std::any_of(same.begin(), same.end(), [&](size_t i) {
                    const EntryVersion& other = versions_[i];
                    return other.first == version.first && other.last == version.last &&
                           other.entry->IsDirectory() == entry.IsDirectory() && SameContent(*other.entry, entry);
                });
                if (taken)
                    continue;
                same.push_back(versions_.size());
            }
            versions_.push_back(version);
        }
    }
    listings_.push_back(std::move(listing));
}

bool ListVersions(JarRunner& runner, const std::string& archive, int first, int last, VersionIndex& index)
{
    // The listing is read as a chapter of a catalogue of its own; the index takes its rows.
    ArchiveCatalogue scratch;
    ChapterListingReader reader(scratch, 1);
    if (!runner.RunJarCapturedInto(VersionListingArguments(first, last, archive), reader) ||
        !reader.Finish([&](const std::string& message) { return runner.ReportFailure(message); }))
        return false;
    index.Add(std::move(scratch.Chapters[1]), first, last);
    return true;
}

// ---- Comparing ------------------------------------------------------------------------------

const char* VersionChangeText(VersionChange change)
{
    switch (change) {
    case VersionChange::Added:
        return "Added";
    case VersionChange::Removed:
        return "Removed";
    case VersionChange::Changed:
        return "Changed";
    case VersionChange::Unchanged:
        break;
    }
    return "Unchanged";
}

bool SameContent(const ArchiveEntry& a, const ArchiveEntry& b)
{
    return a.Columns[ArchiveEntry::Size] == b.Columns[ArchiveEntry::Size] &&
           a.Columns[ArchiveEntry::Modified] == b.Columns[ArchiveEntry::Modified] &&
           a.Columns[ArchiveEntry::Block] == b.Columns[ArchiveEntry::Block];
}

ChapterComparison::ChapterComparison(const VersionIndex& index, int older, int newer) : older_(older), newer_(newer)
{
    // Each path with its version on either side, in one pass over the versions.
    struct Sides {
        const EntryVersion* older = nullptr;
        const EntryVersion* newer = nullptr;
        size_t entry = 0;
    };
    std::unordered_map<std::string_view, Sides> sides;
    sides.reserve(index.Versions().size());
    std::unordered_map<std::string_view, const EntryVersion*> implied;
    for (const EntryVersion& version : index.Versions()) {
        if (version.Implied()) {
            implied.emplace(version.entry->Path, &version);
            continue;
        }
        bool before = version.In(older), after = version.In(newer);
        if (!before && !after)
            continue;
        Sides& side = sides[version.entry->Path];
        if (before)
            side.older = &version;
        if (after)
            side.newer = &version;
    }
    // A folder the listing only implies is on each side where something below it is.
    if (!implied.empty()) {
        std::vector<std::pair<std::string_view, Sides>> found(sides.begin(), sides.end());
        // The sides already carried up from each folder: a walk stops where an earlier one went
        // on with the same sides, so each folder is climbed from once per side.
        std::unordered_map<std::string_view, unsigned> carried;
        for (const auto& [path, side] : found) {
            unsigned bits = (side.older ? 1u : 0u) | (side.newer ? 2u : 0u);
            ForEachAncestor(path, [&](std::string_view folder) {
                unsigned& done = carried[folder];
                if ((done & bits) == bits)
                    return false;
                done |= bits;
                auto made = implied.find(folder);
                if (made == implied.end())
                    return true;
                Sides& above = sides[made->first];
                if (side.older)
                    above.older = made->second;
                if (side.newer)
                    above.newer = made->second;
                return true;
            });
        }
    }
    entries_.reserve(sides.size());
    for (auto& [path, side] : sides) {
        side.entry = entries_.size();
        ComparedEntry& entry = entries_.emplace_back();
        entry.path = path;
        entry.directory = (side.newer ? side.newer : side.older)->entry->IsDirectory();
        entry.older = side.older && !side.older->Implied() ? side.older->entry : nullptr;
        entry.newer = side.newer && !side.newer->Implied() ? side.newer->entry : nullptr;
        if (!side.older)
            entry.change = VersionChange::Added;
        else if (!side.newer)
            entry.change = VersionChange::Removed;
        else if (entry.directory || side.older == side.newer ||
                 (entry.older && entry.newer && SameContent(*entry.older, *entry.newer)))
            entry.change = VersionChange::Unchanged; // a folder's is decided below, from what it holds
        else
            entry.change = VersionChange::Changed;
    }
    // A folder on both sides differs when something below it does.
    for (const ComparedEntry& entry : entries_) {
        if (entry.change == VersionChange::Unchanged)
            continue;
        ForEachAncestor(entry.path, [&](std::string_view folder) {
            auto found = sides.find(folder);
            if (found == sides.end())
                return true;
            ComparedEntry& above = entries_[found->second.entry];
            if (above.change != VersionChange::Unchanged)
                return false; // it and everything above it are marked already
            above.change = VersionChange::Changed;
            return true;
        });
    }
    children_[Root()];
    for (size_t i = 0; i < entries_.size(); ++i) {
        children_[ParentOf(entries_[i].path)].push_back(i);
        if (entries_[i].directory)
            children_[entries_[i].path];
    }
}

std::vector<const ComparedEntry*> ChapterComparison::Folder(const std::string& directory, bool withUnchanged) const
{
    std::vector<const ComparedEntry*> rows;
    auto found = children_.find(std::string_view(directory));
    if (found == children_.end())
        return rows;
    for (size_t i : found->second) {
        if (withUnchanged || entries_[i].change != VersionChange::Unchanged)
            rows.push_back(&entries_[i]);
    }
    return rows;
}

size_t ChapterComparison::FileCount(VersionChange change) const
{
    return size_t(std::count_if(entries_.begin(), entries_.end(),
                                [&](const ComparedEntry& e) { return !e.directory && e.change == change; }));
}

std::unique_ptr<ComparedChapters> CompareChapters(JarRunner& runner, const std::string& archive, int older, int newer)
{
    auto compared = std::make_unique<ComparedChapters>();
    int first = std::min(older, newer), last = std::max(older, newer);
    // Far apart, the range would bring every version in between: each side is listed alone.
    bool listed = last - first <= 1 ? ListVersions(runner, archive, first, last, compared->index)
                                    : ListVersions(runner, archive, first, first, compared->index) &&
                                          ListVersions(runner, archive, last, last, compared->index);
    if (!listed)
        return nullptr;
    compared->comparison = std::make_unique<ChapterComparison>(compared->index, older, newer);
    return compared;
}

// ---- History --------------------------------------------------------------------------------

std::string SpansText(const std::vector<std::pair<int, int>>& spans)
{
    std::string text;
    for (const auto& [first, last] : spans) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(first);
        if (last != first)
            text += "-" + std::to_string(last);
    }
    return text;
}

std::vector<FileVersion> FileHistory(const VersionIndex& index, const std::string& path)
{
    std::vector<const EntryVersion*> rows;
    for (const EntryVersion& version : index.Versions()) {
        if (!version.Implied() && version.entry->Path == path)
            rows.push_back(&version);
    }
    std::sort(rows.begin(), rows.end(), [](const EntryVersion* a, const EntryVersion* b) { return a->first < b->first; });
    std::vector<FileVersion> history;
    for (const EntryVersion* row : rows) {
        auto same = std::find_if(history.begin(), history.end(),
                                 [&](const FileVersion& v) { return SameContent(*v.entry, *row->entry); });
        if (same == history.end()) {
            history.push_back({{{row->first, row->last}}, row->entry});
            continue;
        }
        // Spans join when they touch; the row of the newest span is the one shown.
        auto& spans = same->spans;
        if (row->first <= spans.back().second + 1)
            spans.back().second = std::max(spans.back().second, row->last);
        else
            spans.emplace_back(row->first, row->last);
        same->entry = row->entry;
    }
    std::sort(history.begin(), history.end(), [](const FileVersion& a, const FileVersion& b) { return a.Newest() > b.Newest(); });
    return history;
}
