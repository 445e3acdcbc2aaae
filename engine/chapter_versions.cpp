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

namespace {

// Path -> a number given in the order paths are first met: an open-addressing table of numbers
// into a vector, so a million paths cost two arrays and no allocation each. `most` bounds the
// paths it will hold; the table stays at most half full.
class PathNumbers {
public:
    explicit PathNumbers(size_t most)
    {
        size_t size = 16;
        while (size < most * 2)
            size *= 2;
        slots_.assign(size, kEmpty);
        paths_.reserve(most);
    }
    // The number of `path`, given now when it is new.
    size_t Obtain(std::string_view path, bool& added)
    {
        size_t& slot = Slot(path);
        added = slot == kEmpty;
        if (added) {
            slot = paths_.size();
            paths_.push_back(path);
        }
        return slot;
    }
    // The number of `path`; npos when it has none.
    size_t Find(std::string_view path) const
    {
        size_t slot = const_cast<PathNumbers*>(this)->Slot(path);
        return slot == kEmpty ? std::string_view::npos : slot;
    }
    std::string_view Path(size_t number) const { return paths_[number]; }

private:
    static constexpr size_t kEmpty = ~size_t(0);
    // The slot holding `path`'s number, or the empty one where it would go.
    size_t& Slot(std::string_view path)
    {
        size_t mask = slots_.size() - 1;
        size_t at = std::hash<std::string_view>()(path) & mask;
        while (slots_[at] != kEmpty && paths_[slots_[at]] != path)
            at = (at + 1) & mask;
        return slots_[at];
    }
    std::vector<size_t> slots_;
    std::vector<std::string_view> paths_;
};

} // namespace

ChapterComparison::ChapterComparison(const VersionIndex& index, int older, int newer) : older_(older), newer_(newer)
{
    // Each path with its version on either side, in one pass over the versions. Paths are
    // numbered as the listing gives them, folder by folder, so the entries keep that order.
    struct Sides {
        const EntryVersion* older = nullptr;
        const EntryVersion* newer = nullptr;
        const EntryVersion* implied = nullptr;
        bool carriedOlder = false, carriedNewer = false; // passed up to the folders above
    };
    PathNumbers numbers(index.Versions().size()); // a path has at least one version
    std::vector<Sides> sides;
    sides.reserve(index.Versions().size());
    bool anyImplied = false;
    for (const EntryVersion& version : index.Versions()) {
        bool before = version.In(older), after = version.In(newer);
        if (!version.Implied() && !before && !after)
            continue;
        bool added = false;
        size_t n = numbers.Obtain(version.entry->Path, added);
        if (added)
            sides.emplace_back();
        Sides& side = sides[n];
        if (version.Implied()) {
            side.implied = &version;
            anyImplied = true;
        }
        if (before)
            side.older = &version;
        if (after)
            side.newer = &version;
    }
    // A folder the listing only implies is on each side where something below it is. A walk up
    // stops where an earlier one went on with the same sides.
    if (anyImplied) {
        for (size_t n = 0; n < sides.size(); ++n) {
            bool toOlder = sides[n].older && sides[n].older != sides[n].implied;
            bool toNewer = sides[n].newer && sides[n].newer != sides[n].implied;
            if (!toOlder && !toNewer)
                continue;
            ForEachAncestor(numbers.Path(n), [&](std::string_view folder) {
                size_t above = numbers.Find(folder);
                if (above == std::string_view::npos)
                    return true;
                Sides& up = sides[above];
                if ((!toOlder || up.carriedOlder) && (!toNewer || up.carriedNewer))
                    return false;
                up.carriedOlder = up.carriedOlder || toOlder;
                up.carriedNewer = up.carriedNewer || toNewer;
                if (up.implied && toOlder && !up.older)
                    up.older = up.implied;
                if (up.implied && toNewer && !up.newer)
                    up.newer = up.implied;
                return true;
            });
        }
    }
    // Paths only implied on no side (nothing below them in either chapter) are left out.
    std::vector<size_t> entryOf(sides.size(), std::string_view::npos);
    entries_.reserve(sides.size());
    for (size_t n = 0; n < sides.size(); ++n) {
        const Sides& side = sides[n];
        if (!side.older && !side.newer)
            continue;
        entryOf[n] = entries_.size();
        ComparedEntry& entry = entries_.emplace_back();
        entry.path = numbers.Path(n);
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
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].change == VersionChange::Unchanged)
            continue;
        ForEachAncestor(entries_[i].path, [&](std::string_view folder) {
            size_t above = numbers.Find(folder);
            if (above == std::string_view::npos || entryOf[above] == std::string_view::npos)
                return true;
            ComparedEntry& up = entries_[entryOf[above]];
            if (up.change != VersionChange::Unchanged)
                return false; // it and everything above it are marked already
            up.change = VersionChange::Changed;
            return true;
        });
    }
    // The entries come folder by folder: one look-up per run of entries of the same folder.
    children_[Root()];
    std::vector<size_t>* into = nullptr;
    std::string_view intoFolder;
    for (size_t i = 0; i < entries_.size(); ++i) {
        std::string_view parent = ParentOf(entries_[i].path);
        if (!into || parent != intoFolder) {
            into = &children_[parent];
            intoFolder = parent;
        }
        into->push_back(i);
        if (entries_[i].directory)
            children_[entries_[i].path]; // the lists stay where they are as the map grows
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
