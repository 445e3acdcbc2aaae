#include "engine/archive_catalogue.h"

#include "engine/jar_contract.h"
#include "engine/path_helpers.h"

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
    const std::string& attributes = Columns[Attributes];
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
