#include "archiver/archive_source.h"

#include <algorithm>
#include <cstdio>

#include "archiver/index_codec.h"

namespace jar {

std::string VolumeName(const std::string& archive, int volume)
{
    if (volume <= 1)
        return archive;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%02d", volume);
    return archive + suffix;
}

bool ArchiveSource::Open(const std::string& path, std::string& error)
{
    volumes_.clear();
    total_ = 0;
    auto first = std::make_unique<DiskFile>();
    if (!first->Open(path, DiskFile::ForReading)) {
        error = "can't open: " + LastErrorText();
        return false;
    }
    unsigned char bytes[kHeaderSize];
    Header header;
    uint64_t size = first->Size();
    if (size < kHeaderSize + kTrailerSize || !first->ReadAt(0, bytes, kHeaderSize) || !ReadHeader(bytes, header)) {
        error = "not an archive of this program";
        return false;
    }
    error = VersionProblem(header.version);
    if (!error.empty())
        return false;
    if (header.volumes > 999) {
        error = "the archive's header is damaged";
        return false;
    }
    volumes_.push_back({std::move(first), 0, size});
    total_ = size;
    for (uint32_t v = 2; header.volumes == 0 ? v < 1000 : v <= header.volumes; ++v) {
        auto file = std::make_unique<DiskFile>();
        std::string name = VolumeName(path, int(v));
        FileInfo info;
        if (header.volumes == 0 && !GetFileInfo(name, info))
            break;
        if (!file->Open(name, DiskFile::ForReading)) {
            error = "can't open volume " + name + ": " + LastErrorText();
            return false;
        }
        uint64_t volumeSize = file->Size();
        volumes_.push_back({std::move(file), total_, volumeSize});
        total_ += volumeSize;
    }
    return true;
}

bool ArchiveSource::Read(uint64_t offset, void* buffer, size_t size)
{
    char* p = static_cast<char*>(buffer);
    if (offset + size > total_ || offset + size < offset)
        return false;
    for (Volume& v : volumes_) {
        if (size == 0)
            break;
        if (offset >= v.start + v.size)
            continue;
        uint64_t inside = offset - v.start;
        size_t chunk = size_t(std::min<uint64_t>(size, v.size - inside));
        if (!v.file->ReadAt(inside, p, chunk))
            return false;
        p += chunk;
        offset += chunk;
        size -= chunk;
    }
    return size == 0;
}

bool LoadIndex(ArchiveSource& source, ArchiveIndex& index, std::string& error, IndexPart part)
{
    unsigned char bytes[kTrailerSize];
    Trailer trailer;
    uint64_t size = source.Size();
    if (size < kHeaderSize + kTrailerSize || !source.Read(size - kTrailerSize, bytes, kTrailerSize) ||
        !ReadTrailer(bytes, trailer)) {
        error = "the archive's index is missing (the archive is incomplete or damaged)";
        return false;
    }
    error = VersionProblem(trailer.version);
    if (!error.empty())
        return false;
    // Every size is checked against the file before anything is allocated for it.
    uint64_t offset = trailer.indexOffset, packed = trailer.packedSize, plain = trailer.plainSize;
    if (offset < kHeaderSize || packed > size || offset + packed != size - kTrailerSize ||
        plain > (packed + 64) * kMaxInflateRatio) {
        error = "the archive's index is damaged";
        return false;
    }
    if (part == IndexPart::Chapters) {
        PackedBytesReader read = [&](uint64_t at, void* buffer, size_t count) {
            return source.Read(offset + at, buffer, count);
        };
        if (CheckIndexKeepingChapters(read, trailer, index))
            return true;
        // Damage found on the way is reported as the whole read reports it.
        index = ArchiveIndex();
    }
    std::string packedBytes(size_t(packed), '\0'), bytesPlain;
    if (!source.Read(offset, packedBytes.data(), packedBytes.size())) {
        error = "can't read the archive's index: " + LastErrorText();
        return false;
    }
    if (!InflateIndex(packedBytes, plain, bytesPlain) || Crc32(0, bytesPlain.data(), bytesPlain.size()) != trailer.crc) {
        error = "the archive's index is damaged (checksum error)";
        return false;
    }
    return DeserializeIndex(bytesPlain, index, &error, offset);
}

} // namespace jar
