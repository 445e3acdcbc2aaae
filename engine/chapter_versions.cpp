#include "engine/chapter_versions.h"

#include "engine/jar_commands.h"
#include "engine/jar_runner.h"
#include "engine/listing_parser.h"
#include "engine/path_helpers.h"

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

// Every folder above `path` up to the root, nearest first ("\a\b\c" -> "\a\b", "\a", "\").
template <typename Visit>
void ForEachAncestor(const std::string& path, Visit visit)
{
    std::string current = path, parent;
    while (ParentPath(current, parent)) {
        if (!visit(parent))
            return;
        current = parent;
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
            std::vector<size_t>& same = byPath_[entry.Path];
            bool taken = std::any_of(same.begin(), same.end(), [&](size_t i) {
                const EntryVersion& other = versions_[i];
                return other.first == version.first && other.last == version.last &&
                       other.entry->IsDirectory() == entry.IsDirectory() && SameContent(*other.entry, entry);
            });
            if (taken)
                continue;
            same.push_back(versions_.size());
            versions_.push_back(version);
        }
    }
    listings_.push_back(std::move(listing));
}

std::unordered_map<std::string_view, const EntryVersion*> VersionIndex::ChapterContent(int n) const
{
    std::unordered_map<std::string_view, const EntryVersion*> content;
    for (const EntryVersion& version : versions_) {
        if (version.In(n))
            content[version.entry->Path] = &version;
    }
    // Implied folders count where something below them is.
    std::unordered_map<std::string_view, const EntryVersion*> implied;
    for (const EntryVersion& version : versions_) {
        if (version.Implied())
            implied.emplace(version.entry->Path, &version);
    }
    if (implied.empty())
        return content;
    std::vector<std::string_view> paths;
    paths.reserve(content.size());
    for (const auto& item : content)
        paths.push_back(item.first);
    for (std::string_view path : paths) {
        ForEachAncestor(std::string(path), [&](const std::string& folder) {
            if (content.count(folder))
                return false;
            auto found = implied.find(folder);
            if (found != implied.end())
                content.emplace(found->first, found->second);
            return true;
        });
    }
    return content;
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
    auto before = index.ChapterContent(older);
    auto after = index.ChapterContent(newer);
    std::unordered_map<std::string_view, size_t> at;
    auto entryFor = [&](std::string_view path, const EntryVersion& version) -> ComparedEntry& {
        auto [found, added] = at.emplace(path, entries_.size());
        if (added) {
            entries_.emplace_back();
            entries_.back().path = path;
            entries_.back().directory = version.entry->IsDirectory();
        }
        return entries_[found->second];
    };
    for (const auto& [path, version] : before) {
        ComparedEntry& entry = entryFor(path, *version);
        entry.older = version->Implied() ? nullptr : version->entry;
        entry.change = VersionChange::Removed;
    }
    for (const auto& [path, version] : after) {
        bool onBothSides = before.count(path) != 0;
        ComparedEntry& entry = entryFor(path, *version);
        entry.newer = version->Implied() ? nullptr : version->entry;
        if (!onBothSides)
            entry.change = VersionChange::Added;
        else if (entry.directory)
            entry.change = VersionChange::Unchanged; // decided below, from what it holds
        else if (entry.older && entry.newer && SameContent(*entry.older, *entry.newer))
            entry.change = VersionChange::Unchanged;
        else
            entry.change = VersionChange::Changed;
    }
    // A folder on both sides differs when something below it does.
    for (const ComparedEntry& entry : entries_) {
        if (entry.change == VersionChange::Unchanged)
            continue;
        ForEachAncestor(std::string(entry.path), [&](const std::string& folder) {
            auto found = at.find(folder);
            if (found == at.end())
                return true;
            ComparedEntry& above = entries_[found->second];
            if (above.change != VersionChange::Unchanged)
                return false; // it and everything above it are marked already
            above.change = VersionChange::Changed;
            return true;
        });
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
        std::string parent;
        if (ParentPath(std::string(entries_[i].path), parent))
            children_[parent].push_back(i);
        if (entries_[i].directory)
            children_[std::string(entries_[i].path)];
    }
    children_["\\"];
}

std::vector<const ComparedEntry*> ChapterComparison::Folder(const std::string& directory, bool withUnchanged) const
{
    std::vector<const ComparedEntry*> rows;
    auto found = children_.find(directory);
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
