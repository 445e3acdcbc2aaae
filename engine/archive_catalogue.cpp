#include "engine/archive_catalogue.h"

#include <cstdio>

#include "engine/jar_contract.h"
#include "engine/path_helpers.h"

#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <utility>

std::ostream& operator<<(std::ostream& out, const CellText& cell)
{
    return out << cell.view();
}

CellRef::CellRef(EntryColumns& owner, size_t column) : CellText(std::as_const(owner)[column]), owner_(&owner), column_(column)
{
}

CellRef& CellRef::operator=(std::string_view text)
{
    owner_->Set(column_, text);
    static_cast<CellText&>(*this) = std::as_const(*owner_)[column_];
    return *this;
}

EntryColumns& EntryColumns::operator=(const EntryColumns& other)
{
    if (this != &other)
        Assign(other.Views());
    return *this;
}

EntryColumns::End EntryColumns::EndOf(size_t column) const
{
    End end;
    std::memcpy(&end, block_.get() + column * sizeof(End), sizeof(End));
    return end;
}

CellText EntryColumns::operator[](size_t column) const
{
    if (!block_ || column >= EntryColumnCount)
        return CellText();
    // Each text is followed by its NUL: the next one starts one past the previous end.
    size_t start = column == 0 ? 0 : EndOf(column - 1) + 1;
    return CellText(block_.get() + TableSize + start, EndOf(column) - start);
}

EntryColumns::Cells EntryColumns::Views() const
{
    Cells cells;
    for (size_t c = 0; c < EntryColumnCount; ++c)
        cells[c] = (*this)[c].view();
    return cells;
}

void EntryColumns::Set(size_t column, std::string_view text)
{
    if (column >= EntryColumnCount)
        throw std::out_of_range("no such column");
    Cells cells = Views();
    cells[column] = text;
    Assign(cells);
}

void EntryColumns::Assign(const Cells& cells)
{
    size_t textBytes = 0;
    for (std::string_view cell : cells)
        textBytes += cell.size() + 1;
    if (textBytes == EntryColumnCount) {
        block_.reset();
        return;
    }
    if (textBytes > std::numeric_limits<End>::max())
        throw std::length_error("row text too long");
    // Built aside: the texts may live in the block being replaced.
    std::unique_ptr<char[]> block(new char[TableSize + textBytes]);
    char* text = block.get() + TableSize;
    End end = 0;
    for (size_t c = 0; c < EntryColumnCount; ++c) {
        if (!cells[c].empty())
            std::memcpy(text + end, cells[c].data(), cells[c].size());
        end += static_cast<End>(cells[c].size());
        text[end] = '\0';
        std::memcpy(block.get() + c * sizeof(End), &end, sizeof(End));
        ++end;
    }
    block_ = std::move(block);
}

bool operator==(const EntryColumns& a, const std::array<std::string, EntryColumnCount>& b)
{
    for (size_t c = 0; c < EntryColumnCount; ++c) {
        if (a[c].view() != b[c])
            return false;
    }
    return true;
}

std::ostream& operator<<(std::ostream& out, const EntryColumns& columns)
{
    out << '{';
    for (size_t c = 0; c < EntryColumnCount; ++c)
        out << (c ? ", \"" : "\"") << columns[c].view() << '"';
    return out << '}';
}

ArchiveEntry& ArchiveEntry::operator=(const ArchiveEntry& other)
{
    if (this != &other) {
        Comment.clear();
        Path = other.Path;
        Columns = other.Columns;
    }
    return *this;
}

bool ArchiveEntry::IsDirectory() const
{
    std::string_view attributes = Columns[Attributes];
    return attributes.size() >= 5 && attributes[4] == 'D';
}

bool ArchiveEntry::ParentDirectory(std::string& parent) const
{
    // Same as ParentPath, except that a bare name lies in "no directory" rather than failing.
    return ParentPath(Path, parent) || Path.find('\\') == std::string::npos;
}

bool ArchiveEntry::IsArchiveFile() const
{
    return jarcontract::IsArchiveName(Path);
}

ArchiveEntry& EntryList::Add(std::unique_ptr<ArchiveEntry> entry)
{
    entries_.push_back(std::move(entry));
    return *entries_.back();
}

EntryList* DirectoryMap::Find(const std::string& directory)
{
    auto it = lists_.find(directory);
    return it == lists_.end() ? nullptr : &it->second;
}

const EntryList* DirectoryMap::Find(const std::string& directory) const
{
    auto it = lists_.find(directory);
    return it == lists_.end() ? nullptr : &it->second;
}

EntryList& DirectoryMap::Obtain(const std::string& directory)
{
    return lists_[directory];
}

void ArchiveCatalogue::Clear()
{
    Chapters.clear();
    LastChapter = 0;
}

ChapterInfo* ArchiveCatalogue::Chapter(int n)
{
    if (n < 1 || static_cast<size_t>(n) >= Chapters.size())
        return nullptr;
    return Chapters[n].get();
}

const ChapterInfo* ArchiveCatalogue::Chapter(int n) const
{
    return const_cast<ArchiveCatalogue*>(this)->Chapter(n);
}

ChapterInfo& ArchiveCatalogue::SetChapter(int n, std::unique_ptr<ChapterInfo> chapter)
{
    if (static_cast<size_t>(n) >= Chapters.size())
        Chapters.resize(static_cast<size_t>(n) + 1);
    Chapters[n] = std::move(chapter);
    return *Chapters[n];
}

std::string ArchiveCatalogue::FolderOrRoot(int n, const std::string& folder) const
{
    const ChapterInfo* chapter = Chapter(n);
    return chapter && chapter->Directories.Find(folder) ? folder : std::string("\\");
}

std::vector<int> ArchiveCatalogue::ChapterNumbers() const
{
    std::vector<int> numbers;
    for (size_t n = 1; n < Chapters.size(); ++n)
        if (Chapters[n])
            numbers.push_back(static_cast<int>(n));
    return numbers;
}

std::string ChapterLabel(int n)
{
    return "Chapter " + std::to_string(n);
}

std::string FormatStamp(const LocalStamp& s)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", s.year, s.month, s.day, s.hour, s.minute,
                  s.second);
    return text;
}
