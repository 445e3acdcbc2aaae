// The rows of the list in display order: the list control asks for them by index (owner data),
// so filling and sorting cost no window messages per row.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "engine/archive_catalogue.h"

class ViewRows {
public:
    using ImageFor = std::function<int(const ArchiveEntry&)>;
    // Negative when a goes before b in `column`'s order, as CompareRows.
    using RowOrder = int (*)(const ArchiveEntry& a, const ArchiveEntry& b, int column);

    ViewRows();

    // Replaces the rows: the parent row first when wanted (with its image), then the entries in
    // list order, each with image 0 for a directory or imageFor's answer. Rows point into the
    // list, which must outlive them.
    void Fill(const EntryList* entries, bool withParentRow, int parentImage, const ImageFor& imageFor);
    void Clear();
    // Asks imageFor again for every row that is not a directory or the parent row (the image
    // list was rebuilt at another size).
    void Reimage(const ImageFor& imageFor);
    // Sorted with `order` (CompareRows when none), reversed when descending (rows that compare
    // equal keep their order either way); the parent row stays on top.
    void Sort(int column, bool descending = false, RowOrder order = nullptr);

    int Count() const { return static_cast<int>(rows_.size()); }
    const ArchiveEntry& Entry(int row) const { return *rows_[row].entry; }
    int Image(int row) const { return rows_[row].image; }
    bool HasParentRow() const { return hasParent_; }
    // The first row that is not the parent row.
    int FirstRealRow() const { return hasParent_ ? 1 : 0; }
    // Index of the first row from `start` on whose name equals `name` ignoring case; -1 when none.
    int FindName(const std::string& name, int start = 0) const;

private:
    struct Row {
        const ArchiveEntry* entry;
        int image;
    };
    std::unique_ptr<ArchiveEntry> parentEntry_;
    std::vector<Row> rows_;
    bool hasParent_ = false;
};
