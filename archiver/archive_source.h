// An archive opened for reading: its bytes across every volume, and its index read from them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archiver/archive_index.h"
#include "archiver/file_system.h"
#include "archiver/index_codec.h"

namespace jar {

// The archive's bytes for reading, across every volume (volume 2 of a.j is a.j02, and so on).
class ArchiveSource {
public:
    // False with a message when the archive cannot be read.
    bool Open(const std::string& path, std::string& error);
    bool Read(uint64_t offset, void* buffer, size_t size);
    uint64_t Size() const { return total_; }
    int VolumeCount() const { return int(volumes_.size()); }
    // Where the archive's last whole trailer ends and where its index begins, once LoadIndex has
    // found them; bytes past the end are what a killed append left, and count for nothing.
    uint64_t End() const { return end_; }
    uint64_t IndexOffset() const { return indexOffset_; }
    // The version of that trailer: only an archive ending in one of version 2 is appended to.
    uint32_t TrailerVersion() const { return trailerVersion_; }
    void SetEnd(uint64_t end, const Trailer& trailer)
    {
        end_ = end;
        indexOffset_ = trailer.indexOffset;
        trailerVersion_ = trailer.version;
    }
    // Lets go of the files (Windows cannot replace a file that is open).
    void Close() { volumes_.clear(); }

private:
    struct Volume { std::unique_ptr<DiskFile> file; uint64_t start, size; };
    std::vector<Volume> volumes_;
    uint64_t total_ = 0;
    uint64_t end_ = 0, indexOffset_ = 0;
    uint32_t trailerVersion_ = 0;
};

std::string VolumeName(const std::string& archive, int volume);

// What a command keeps of the index. Either way all of it is read and checked; the chapters
// alone are read a piece at a time and hold no memory for the files.
enum class IndexPart { Whole, Chapters };

// The archive's last whole trailer: the one at the end, or, when the end holds none (an append
// was killed before its trailer was complete), the last one of version 2 before it, whose chain
// no stored bytes can fake. `end` is where it ends.
bool FindTrailer(ArchiveSource& source, Trailer& trailer, uint64_t& end, std::string& error);

// Reads the trailer and the index; false with a message for anything damaged.
bool LoadIndex(ArchiveSource& source, ArchiveIndex& index, std::string& error, IndexPart part = IndexPart::Whole);

} // namespace jar
