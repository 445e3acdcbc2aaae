#include "ui/files_list.h"

#include <algorithm>

#include "framework/name_compare.h"
#include "ui/compare_rows.h"

bool FilesListTextBefore(const std::string& a, const std::string& b)
{
    return NameBeforeIgnoringCase(a, b);
}

namespace {

// Inserted after every item whose text does not come after it, as a sorted insertion does.
FilesListItem& InsertSorted(FilesListItems& items, std::unique_ptr<FilesListItem> item)
{
    auto at = std::upper_bound(items.begin(), items.end(), item,
                               [](const std::unique_ptr<FilesListItem>& a, const std::unique_ptr<FilesListItem>& b) {
                                   return FilesListTextBefore(a->text, b->text);
                               });
    return **items.insert(at, std::move(item));
}

std::unique_ptr<FilesListItem> CopySorted(const FilesListItem& from, FilesListItem* parent)
{
    auto item = std::make_unique<FilesListItem>();
    item->entry = from.entry;  // Source travels with the copy
    item->text = from.text;
    item->image = from.image;
    item->folder = from.folder;
    item->parent = parent;
    for (const auto& child : from.children)
        InsertSorted(item->children, CopySorted(*child, item.get()));
    return item;
}

void CollectFrom(const FilesListItems& items, EntryList& into)
{
    for (const auto& item : items) {
        if (item->children.empty())
            into.Add(item->entry);
        else
            CollectFrom(item->children, into);
    }
}

} // namespace

FilesList FilesList::Copy() const
{
    FilesList copy;
    for (const auto& item : items_)
        InsertSorted(copy.items_, CopySorted(*item, nullptr));
    return copy;
}

FilesListItem* FilesList::FindTop(const std::string& path) const
{
    for (const auto& item : items_) {
        if (item->entry.Path == path)
            return item.get();
    }
    return nullptr;
}

FilesListItem* FilesList::AddTop(const ArchiveEntry& row, const std::string& source, int image)
{
    if (FindTop(row.Path))
        return nullptr;
    auto item = std::make_unique<FilesListItem>();
    item->entry = row;
    item->entry.Columns[ArchiveEntry::Source] = source;
    item->text = row.Path;
    item->folder = row.IsDirectory();
    item->image = item->folder ? 0 : image;
    return &InsertSorted(items_, std::move(item));
}

bool FilesList::Expand(FilesListItem& item, const EntryList& rows, const ImageFor& imageFor)
{
    bool filled = false;
    if (item.entry.IsDirectory() && item.children.empty()) {
        const std::string& source = item.entry.Columns[ArchiveEntry::Source];
        for (const auto& row : rows) {
            auto child = std::make_unique<FilesListItem>();
            child->entry = *row;
            child->entry.Columns[ArchiveEntry::Source] = source;
            child->text = row->Columns[ArchiveEntry::Name];
            child->folder = row->IsDirectory();
            child->image = child->folder ? 0 : (imageFor ? imageFor(*row) : 0);
            child->parent = &item;
            item.children.push_back(std::move(child));
        }
        filled = !rows.empty();
    }
    std::stable_sort(item.children.begin(), item.children.end(),
                     [](const std::unique_ptr<FilesListItem>& a, const std::unique_ptr<FilesListItem>& b) {
                         return CompareRows(a->entry, b->entry, 0) < 0;
                     });
    return filled;
}

FilesListItem& FilesList::RemovalRoot(FilesListItem& item)
{
    FilesListItem* root = &item;
    while (root->parent && root->parent->children.size() == 1)
        root = root->parent;
    return *root;
}

void FilesList::Remove(FilesListItem& item)
{
    FilesListItem& root = RemovalRoot(item);
    FilesListItems& siblings = root.parent ? root.parent->children : items_;
    auto at = std::find_if(siblings.begin(), siblings.end(),
                           [&root](const std::unique_ptr<FilesListItem>& p) { return p.get() == &root; });
    if (at != siblings.end())
        siblings.erase(at);
}

void FilesList::CollectLeaves(EntryList& into) const
{
    CollectFrom(items_, into);
}

void FilesList::AddUp(const FilesListItem& item, const LeafAdder& leaf, SizeTotals& totals)
{
    if (item.children.empty()) {
        leaf(item.entry, totals);
        return;
    }
    for (const auto& child : item.children)
        AddUp(*child, leaf, totals);
}

void FilesList::AddUpAll(const LeafAdder& leaf, SizeTotals& totals) const
{
    for (const auto& item : items_)
        AddUp(*item, leaf, totals);
}

namespace {
void ReimageItems(FilesListItems& items, const FilesList::ImageFor& imageFor)
{
    for (auto& item : items) {
        if (!item->folder)
            item->image = imageFor(item->entry);
        ReimageItems(item->children, imageFor);
    }
}
} // namespace

void FilesList::Reimage(const ImageFor& imageFor)
{
    ReimageItems(items_, imageFor);
}
