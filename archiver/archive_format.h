// The archive's model and its bytes on disk (see archiver/FORMAT.md): a header, the stored data
// blocks, then an index holding everything else, protected by its own CRC-32.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archiver/file_system.h"

namespace jar {

enum class Method : uint8_t { Stored = 0, Deflate = 1 };

// A set of chapter numbers, kept as sorted, disjoint, non-adjacent ranges.
class ChapterSet {
public:
    struct Range { uint32_t first, last; };
    bool Contains(uint32_t chapter) const;
    bool Intersects(uint32_t first, uint32_t last) const;
    // The highest chapter of the set within first..last; 0 when none.
    uint32_t HighestWithin(uint32_t first, uint32_t last) const;
    void Add(uint32_t chapter);
    void Remove(uint32_t chapter);
    bool Empty() const { return ranges_.empty(); }
    uint32_t First() const { return ranges_.empty() ? 0 : ranges_.front().first; }
    uint32_t Last() const { return ranges_.empty() ? 0 : ranges_.back().last; }
    // "3" or "2-5": first and last chapter.
    std::string Text() const;
    const std::vector<Range>& Ranges() const { return ranges_; }
    void SetRanges(std::vector<Range> ranges) { ranges_ = std::move(ranges); }

private:
    std::vector<Range> ranges_;
};

struct DataBlock {
    uint64_t offset = 0; // in the archive's bytes
    uint64_t packedSize = 0;
    uint64_t size = 0;
    uint32_t crc = 0;
    Method method = Method::Stored;
    uint8_t level = 0; // 1..4 as asked with -m, 0 for stored data
};

struct StoredEntry {
    std::string path; // archive path: leading backslash, backslash separators
    uint32_t attributes = 0;
    int64_t modified = 0;
    int64_t created = 0;
    uint64_t size = 0;
    int64_t block = -1; // index into the blocks; -1 for a folder or an empty file
    ChapterSet chapters;
    bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

struct Chapter {
    uint32_t number = 0;
    int64_t created = 0;
    int64_t modified = 0;
    std::string comment;
};

struct ArchiveIndex {
    std::string comment;
    int64_t created = 0;
    int64_t modified = 0;
    std::vector<Chapter> chapters; // ascending numbers
    std::vector<DataBlock> blocks;
    std::vector<StoredEntry> entries;

    uint32_t LastChapter() const { return chapters.empty() ? 0 : chapters.back().number; }
    Chapter* FindChapter(uint32_t number);
    Chapter& AddChapter(uint32_t number, int64_t now);
};

// Sort order of archive paths: a folder comes right before what it holds.
bool PathLess(const std::string& a, const std::string& b);
bool PathEqual(const std::string& a, const std::string& b);
// "Fast", "Normal", "Better", "Best" or "Stored".
std::string MethodName(const DataBlock* block);
// Five characters, '.' for a missing attribute, 'D' at index 4 for a folder.
std::string AttributeText(uint32_t attributes);
uint32_t Crc32(uint32_t crc, const void* data, size_t size);

std::string SerializeIndex(const ArchiveIndex& index);
bool DeserializeIndex(const std::string& bytes, ArchiveIndex& index);

inline constexpr char kMagic[8] = {'T', 'V', 'J', 'A', 'R', '\x1a', '\r', '\n'};
inline constexpr uint32_t kFormatVersion = 1;
inline constexpr size_t kHeaderSize = 24;
inline constexpr size_t kTrailerSize = 40;

// The archive's bytes for reading, across every volume (volume 2 of a.j is a.j02, and so on).
class ArchiveSource {
public:
    // False with a message when the archive cannot be read.
    bool Open(const std::string& path, std::string& error);
    bool Read(uint64_t offset, void* buffer, size_t size);
    uint64_t Size() const { return total_; }
    int VolumeCount() const { return int(volumes_.size()); }
    // Lets go of the files (Windows cannot replace a file that is open).
    void Close() { volumes_.clear(); }

private:
    struct Volume { std::unique_ptr<DiskFile> file; uint64_t start, size; };
    std::vector<Volume> volumes_;
    uint64_t total_ = 0;
};

std::string VolumeName(const std::string& archive, int volume);

// Reads the header and the index; false with a message for anything damaged.
bool LoadIndex(ArchiveSource& source, ArchiveIndex& index, std::string& error);

} // namespace jar
