// The in-memory picture of one archive, built only from the archiver's listings, and the row
// type shared by archive listings, the disk browser and the files list.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One row: an archive entry, a disk file or a files-list item.
struct ArchiveEntry {
    // Column indexes; Source is never shown.
    enum Column { Name = 0, Size, Modified, Created, Attributes, Chapter, Method, Block, Source, ColumnCount };

    std::vector<std::string> Comment;
    std::string Path;
    std::array<std::string, ColumnCount> Columns;

    ArchiveEntry() = default;
    // Copies carry path and cells, never comment lines.
    ArchiveEntry(const ArchiveEntry& other) : Path(other.Path), Columns(other.Columns) {}
    ArchiveEntry& operator=(const ArchiveEntry& other);
    ArchiveEntry(ArchiveEntry&&) noexcept = default;
    ArchiveEntry& operator=(ArchiveEntry&&) noexcept = default;

    bool IsDirectory() const;
    // The archive path of the containing directory; false only for the root itself.
    bool ParentDirectory(std::string& parent) const;
    // An archive file (jarcontract::IsArchiveName).
    bool IsArchiveFile() const;
};

// An ordered list that owns its rows.
class EntryList {
public:
    EntryList() = default;
    EntryList(EntryList&&) noexcept = default;
    EntryList& operator=(EntryList&&) noexcept = default;

    ArchiveEntry& Add(std::unique_ptr<ArchiveEntry> entry);
    ArchiveEntry& Add(const ArchiveEntry& entry) { return Add(std::make_unique<ArchiveEntry>(entry)); }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    ArchiveEntry& operator[](size_t i) { return *entries_[i]; }
    const ArchiveEntry& operator[](size_t i) const { return *entries_[i]; }
    void Clear() { entries_.clear(); }
    void Reserve(size_t n) { entries_.reserve(n); }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<std::unique_ptr<ArchiveEntry>> entries_;
};

// Directory archive path (case-sensitive, root "\") -> the rows directly inside it.
class DirectoryMap {
public:
    EntryList* Find(const std::string& directory);
    const EntryList* Find(const std::string& directory) const;
    // The list of a directory, created empty when missing.
    EntryList& Obtain(const std::string& directory);
    size_t size() const { return lists_.size(); }
    void Clear() { lists_.clear(); }

    auto begin() const { return lists_.begin(); }
    auto end() const { return lists_.end(); }

private:
    std::unordered_map<std::string, EntryList> lists_;
};

struct ChapterInfo {
    std::vector<std::string> ChapterComment;
    std::string FirstStamp;
    std::string SecondStamp;
    DirectoryMap Directories;
    std::string TotalFiles;
    std::string TotalBytes;

    // Drops every directory and entry; the other members stay.
    void Clear() { Directories.Clear(); }
};

struct ArchiveCatalogue {
    int LastChapter = 0;
    std::string ArchivePath;
    std::vector<std::string> ArchiveComment;
    std::string Command;
    std::string ArchiveLine;
    std::string Ratio;
    // Indexed by chapter number; slot 0 is never used, a slot is empty for a missing chapter.
    std::vector<std::unique_ptr<ChapterInfo>> Chapters;

    // Drops every chapter; ArchivePath, Command, ArchiveLine and Ratio stay.
    void Clear();
    // Chapter n, or nullptr when the table has no such slot or the slot is empty.
    ChapterInfo* Chapter(int n);
    const ChapterInfo* Chapter(int n) const;
    // Puts a chapter into slot n, growing the table; replaces what the slot held.
    ChapterInfo& SetChapter(int n, std::unique_ptr<ChapterInfo> chapter);
};
