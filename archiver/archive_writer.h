// Writes a whole new archive into a temporary file and puts it in place of the old one only when
// it is complete, so a failure, Ctrl+C or a kill leaves the old archive as it was.
#pragma once

#include <string>
#include <vector>

#include "archiver/archive_index.h"
#include "archiver/archive_source.h"
#include "archiver/command_line.h"

namespace jar {

// Removes `<archive>.tmp~` (beside the archive, and in the work folder when one is given) when
// it is an unfinished archive of ours that no running jar32 is still writing; true if it did.
bool RemoveStaleTemporary(const std::string& archive, const std::string& workFolder);

class ArchiveWriter {
public:
    ~ArchiveWriter() { Abandon(); }
    // Creates the temporary file (in the work folder when one is given) and writes the header.
    bool Begin(const std::string& archive, const std::string& workFolder);
    bool Append(const void* data, size_t size);
    uint64_t Position() const { return position_; }
    // Forgets everything written after `position` (a block that could not be completed).
    bool Rewind(uint64_t position);
    // Copies a block's packed bytes from the old archive; sets its new offset.
    bool CopyBlock(ArchiveSource& source, DataBlock& block);
    // Writes the index, splits into volumes when asked, and replaces the archive.
    // The old archive's source is closed first, when one is given.
    bool Finish(ArchiveIndex& index, const Options& options, ArchiveSource* old = nullptr);
    // Removes the temporary file of an unfinished archive.
    void Abandon();
    // Set on failure: why (disk full, unreadable old data...), one line.
    const std::string& Error() const { return error_; }

private:
    bool FlushBuffer();
    bool WriteFailed(const std::string& what);
    bool SplitVolumes(const Options& options);
    bool MoveInPlace(const std::string& from, const std::string& to);

    std::string archive_;
    std::string temp_;
    std::vector<std::string> extraTemps_;
    DiskFile file_;
    std::string buffer_;
    uint64_t position_ = 0;
    uint64_t flushed_ = 0;
    std::string error_;
};

} // namespace jar
