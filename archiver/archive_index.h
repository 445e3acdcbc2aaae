// The archive's model: its chapters, the stored data blocks and the stored versions of files
// (see archiver/FORMAT.md). The index holds all of it; the data blocks hold only file bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archiver/chapter_set.h"
#include "archiver/file_system.h"

namespace jar {

// Chapter numbers are 1 to 2^31-1, the range every reader accepts.
inline constexpr uint32_t kLastChapterNumber = 0x7FFFFFFF;

enum class Method : uint8_t { Stored = 0, Deflate = 1 };

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

// Sort order of archive paths: a folder comes right before what it holds. PathCompare is negative,
// zero or positive as a sorts before, with or after b.
int PathCompare(const std::string& a, const std::string& b);
bool PathLess(const std::string& a, const std::string& b);
bool PathEqual(const std::string& a, const std::string& b);
// "Fast", "Normal", "Better", "Best" or "Stored".
std::string MethodName(const DataBlock* block);
// Five characters, '.' for a missing attribute, 'D' at index 4 for a folder.
std::string AttributeText(uint32_t attributes);

} // namespace jar
