// The files list: the user's gathered files and folders for the next extract, add or delete.
// A plain tree of owned copies of the rows they stand for; the view keeps one and the "Edit Files
// List" dialog edits a copy of it, which replaces the view's only on OK. All items of one list
// come from one mode (archive rows or disk rows): every change of mode or drive empties it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/archive_catalogue.h"
#include "ui/selection_size.h"

struct FilesListItem {
    // A copy of the row; Source holds the folder it was seen in (for an item added by
    // expanding a folder, that folder's Source).
    ArchiveEntry entry;
    // The entry's Path at the top level, its name below a folder.
    std::string text;
    int image = 0;
    // The children flag: set for a directory, whether or not it has been expanded.
    bool folder = false;
    FilesListItem* parent = nullptr;
    std::vector<std::unique_ptr<FilesListItem>> children;
};

using FilesListItems = std::vector<std::unique_ptr<FilesListItem>>;

class FilesList {
public:
    using ImageFor = std::function<int(const ArchiveEntry&)>;
    // How a leaf adds up: an archive entry, a disk folder or a disk file, by mode.
    using LeafAdder = std::function<void(const ArchiveEntry&, SizeTotals&)>;

    FilesList() = default;
    FilesList(FilesList&&) noexcept = default;
    FilesList& operator=(FilesList&&) noexcept = default;
    // A deep copy, every level sorted by text (the dialog's working copy, and its way back).
    FilesList Copy() const;

    bool Empty() const { return items_.empty(); }
    const FilesListItems& Items() const { return items_; }
    void Clear() { items_.clear(); }

    // The top-level item whose entry has exactly this Path; nullptr when none.
    FilesListItem* FindTop(const std::string& path) const;
    // Adds a copy of `row` at the top level, in text order, with `source` as its Source;
    // nullptr (and nothing added) when an item with the same Path is there already.
    FilesListItem* AddTop(const ArchiveEntry& row, const std::string& source, int image);

    // Expanding a folder item: the first time (a directory with no child yet) its children
    // become copies of `rows` carrying the folder's Source; on every expansion they are sorted
    // folders first, then by name. True when children were added.
    static bool Expand(FilesListItem& item, const EntryList& rows, const ImageFor& imageFor);
    // Every file item's image asked anew (the image list was rebuilt); folders keep theirs.
    void Reimage(const ImageFor& imageFor);
    // The item that Remove(item) takes away with everything below it: the item itself, or the
    // highest ancestor that would be left without children.
    static FilesListItem& RemovalRoot(FilesListItem& item);
    // Removes the item and every ancestor left without a child.
    void Remove(FilesListItem& item);

    // The WorkSet of an operation: copies of every leaf, depth first in tree order. A folder
    // with children gives its children, one without gives itself.
    void CollectLeaves(EntryList& into) const;

    // The totals under one item (a leaf adds up through `leaf`), or under the whole list.
    static void AddUp(const FilesListItem& item, const LeafAdder& leaf, SizeTotals& totals);
    void AddUpAll(const LeafAdder& leaf, SizeTotals& totals) const;

private:
    FilesListItems items_;
};

// The text order of the files list: letters compared without case, as the tree's own sorting does.
bool FilesListTextBefore(const std::string& a, const std::string& b);
