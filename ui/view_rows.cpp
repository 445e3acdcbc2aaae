#include "ui/view_rows.h"

#include <algorithm>
#include "framework/name_compare.h"
#include "ui/compare_rows.h"

ViewRows::ViewRows() : parentEntry_(std::make_unique<ArchiveEntry>())
{
    parentEntry_->Columns[ArchiveEntry::Name] = ParentRowText;
    parentEntry_->Columns[ArchiveEntry::Attributes] = "....D";
}

void ViewRows::Fill(const EntryList* entries, bool withParentRow, int parentImage, const ImageFor& imageFor)
{
    rows_.clear();
    hasParent_ = withParentRow;
    rows_.reserve((entries ? entries->size() : 0) + 1);
    if (withParentRow)
        rows_.push_back({parentEntry_.get(), parentImage});
    if (!entries)
        return;
    for (const auto& e : *entries)
        rows_.push_back({e.get(), e->IsDirectory() ? 0 : imageFor(*e)});
}

void ViewRows::Reimage(const ImageFor& imageFor)
{
    for (size_t i = FirstRealRow(); i < rows_.size(); ++i)
        if (!rows_[i].entry->IsDirectory())
            rows_[i].image = imageFor(*rows_[i].entry);
}

void ViewRows::Clear()
{
    rows_.clear();
    hasParent_ = false;
}

void ViewRows::Sort(int column, bool descending, RowOrder compare)
{
    auto first = rows_.begin() + FirstRealRow();
    if (!compare)
        compare = CompareRows;
    std::stable_sort(first, rows_.end(), [column, descending, compare](const Row& a, const Row& b) {
        int order = compare(*a.entry, *b.entry, column);
        return descending ? order > 0 : order < 0;
    });
}

int ViewRows::FindName(const std::string& name, int start) const
{
    for (int i = std::max(start, 0); i < Count(); ++i) {
        if (SameNameIgnoringCase(rows_[i].entry->Columns[ArchiveEntry::Name], name))
            return i;
    }
    return -1;
}
