// The in-memory picture of one archive, built only from the archiver's listings, and the row
// type shared by archive listings, the disk browser and the files list.
#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr size_t EntryColumnCount = 9;

// One cell's text as a row holds it: valid until that row's cells change. NUL-terminated, so it
// can go straight to C and Win32 calls; converts to std::string for callers that keep it.
class CellText {
public:
    CellText() = default;
    CellText(const char* text, size_t size) : text_(text), size_(size) {}

    const char* c_str() const { return text_; }
    const char* data() const { return text_; }
    size_t size() const { return size_; }
    char operator[](size_t i) const { return text_[i]; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {text_, size_}; }
    std::string str() const { return std::string(text_, size_); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    friend bool operator==(const CellText& a, const CellText& b) { return a.view() == b.view(); }
    friend bool operator==(const CellText& a, std::string_view b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const CellText& cell);

protected:
    const char* text_ = "";
    size_t size_ = 0;
};

class EntryColumns;

// A writable cell: assigning text replaces that cell of its row.
class CellRef : public CellText {
public:
    CellRef(EntryColumns& owner, size_t column);
    CellRef(const CellRef&) = default;
    CellRef& operator=(std::string_view text);
    CellRef& operator=(const CellRef& other) { return *this = other.view(); }

private:
    EntryColumns* owner_;
    size_t column_;
};

// The nine cells of a row in one heap block (a table of where each cell ends, then the texts,
// each closed by a NUL): a million-entry chapter costs one allocation per row for its cells
// instead of one per cell, and a third of the memory. A row with no text holds no block.
class EntryColumns {
public:
    using Cells = std::array<std::string_view, EntryColumnCount>;

    EntryColumns() = default;
    EntryColumns(const EntryColumns& other) { *this = other; }
    EntryColumns& operator=(const EntryColumns& other);
    EntryColumns(EntryColumns&&) noexcept = default;
    EntryColumns& operator=(EntryColumns&&) noexcept = default;

    CellText operator[](size_t column) const;
    CellRef operator[](size_t column) { return CellRef(*this, column); }
    // Replaces one cell; the others stay.
    void Set(size_t column, std::string_view text);
    // Replaces every cell at once. The texts may point into this row's own cells.
    void Assign(const Cells& cells);
    Cells Views() const;

    friend bool operator==(const EntryColumns& a, const EntryColumns& b) { return a.Views() == b.Views(); }
    friend bool operator==(const EntryColumns& a, const std::array<std::string, EntryColumnCount>& b);
    friend std::ostream& operator<<(std::ostream& out, const EntryColumns& columns);

private:
    // Where a cell's text ends (its NUL), counted from the first text.
    using End = unsigned;
    static constexpr size_t TableSize = sizeof(End) * EntryColumnCount;
    End EndOf(size_t column) const;

    std::unique_ptr<char[]> block_;
};

// One row: an archive entry, a disk file or a files-list item.
struct ArchiveEntry {
    // Column indexes; Source is never shown.
    enum Column { Name = 0, Size, Modified, Created, Attributes, Chapter, Method, Block, Source, ColumnCount };
    static_assert(ColumnCount == EntryColumnCount);

    std::vector<std::string> Comment;
    std::string Path;
    EntryColumns Columns;

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

// A local date and time, and its text as the listings write it: "YYYY-MM-DD HH:MM:SS". Disk
// files' stamps are written the same way, so that they compare with the archived ones.
struct LocalStamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string FormatStamp(const LocalStamp& stamp);

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
    std::string ArchiveLine;
    std::string Ratio;
    // Indexed by chapter number; slot 0 is never used, a slot is empty for a missing chapter.
    std::vector<std::unique_ptr<ChapterInfo>> Chapters;

    // Drops every chapter; ArchivePath, ArchiveLine and Ratio stay.
    void Clear();
    // Chapter n, or nullptr when the table has no such slot or the slot is empty.
    ChapterInfo* Chapter(int n);
    const ChapterInfo* Chapter(int n) const;
    // Puts a chapter into slot n, growing the table; replaces what the slot held.
    ChapterInfo& SetChapter(int n, std::unique_ptr<ChapterInfo> chapter);
    // `folder` when chapter n has that directory (archive paths are case-sensitive), else the root.
    std::string FolderOrRoot(int n, const std::string& folder) const;
    // The numbers of the chapters present, in order.
    std::vector<int> ChapterNumbers() const;
};

// "Chapter n": how a list of chapters names chapter n. The lists keep the number as the item's
// data; nothing reads it back from this text.
std::string ChapterLabel(int n);
