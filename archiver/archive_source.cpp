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

namespace {
enum class TrailerCheck { Good, Missing, Damaged, Version };

// The trailer that ends at `end`, checked as far as it can be alone: its marks and version, that its
// index lies right before it, and an appended one's checksum over itself and the trailer it follows.
TrailerCheck TrailerEndingAt(ArchiveSource& source, uint64_t end, Trailer& trailer, std::string& versionProblem)
{
    unsigned char bytes[kAppendedTrailerSize];
    unsigned char* last = bytes + (kAppendedTrailerSize - kTrailerSize);
    trailer = Trailer();
    if (end < kHeaderSize + kTrailerSize || !source.Read(end - kTrailerSize, last, kTrailerSize) ||
        !ReadTrailer(last, trailer))
        return TrailerCheck::Missing;
    versionProblem = TrailerVersionProblem(trailer.version);
    if (!versionProblem.empty())
        return TrailerCheck::Version;
    uint64_t size = trailer.Bytes();
    if (trailer.version == kFormatVersion) {
        // Only versions that never appended wrote this trailer, and their headers hold no salt;
        // after a salted header such bytes are a stored file's, not a trailer.
        unsigned char salt[kSaltSize];
        if (!source.Read(kSaltOffset, salt, kSaltSize) ||
            std::any_of(salt, salt + kSaltSize, [](unsigned char c) { return c != 0; }))
            return TrailerCheck::Damaged;
    } else if (trailer.version == kAppendedTrailerVersion) {
        // What it follows: the superseded trailer's last 40 bytes, or the header's salt.
        unsigned char previous[kTrailerSize];
        Trailer before;
        if (end < kHeaderSize + size || !source.Read(end - size, bytes, size - kTrailerSize) ||
            !ReadAppendedTrailerStart(bytes, trailer) || trailer.previousEnd > trailer.indexOffset)
            return TrailerCheck::Damaged;
        bool first = trailer.previousEnd == kHeaderSize;
        if (first ? !source.Read(kSaltOffset, previous, kSaltSize)
                  : trailer.previousEnd < kHeaderSize + kTrailerSize ||
                        !source.Read(trailer.previousEnd - kTrailerSize, previous, kTrailerSize) ||
                        !ReadTrailer(previous, before))
            return TrailerCheck::Damaged;
        if (!AppendedTrailerChecks(bytes, previous, first ? kSaltSize : kTrailerSize))
            return TrailerCheck::Damaged;
    }
    // Every size is checked against the file before anything is allocated for it.
    uint64_t offset = trailer.indexOffset, packed = trailer.packedSize;
    if (offset < kHeaderSize || packed > end || offset + packed != end - size ||
        trailer.plainSize > (packed + 64) * kMaxInflateRatio)
        return TrailerCheck::Damaged;
    return TrailerCheck::Good;
}

// Looks back from the end, a megabyte at a time, for the last end mark that closes a whole trailer.
bool FindEarlierTrailer(ArchiveSource& source, Trailer& trailer, uint64_t& end)
{
    const uint64_t chunk = 1 << 20;
    std::string window;
    // Marks are looked for in [low, high); the next window overlaps this one by a mark's length.
    for (uint64_t high = source.Size() - 1; high > kHeaderSize + kTrailerSize - 4;) {
        uint64_t low = high > chunk ? std::max<uint64_t>(high - chunk, kHeaderSize) : kHeaderSize;
        window.resize(size_t(high - low));
        if (!source.Read(low, window.data(), window.size()))
            return false;
        for (size_t at = window.rfind("TVJE"); at != std::string::npos;
             at = at ? window.rfind("TVJE", at - 1) : std::string::npos) {
            // A trailer of the first version has no chain: one inside a stored file could pass.
            std::string ignored;
            if (TrailerEndingAt(source, low + at + 4, trailer, ignored) == TrailerCheck::Good &&
                trailer.version == kAppendedTrailerVersion) {
                end = low + at + 4;
                return true;
            }
        }
        if (low <= kHeaderSize)
            break;
        high = low + 3;
    }
    return false;
}
} // namespace

bool FindTrailer(ArchiveSource& source, Trailer& trailer, uint64_t& end, std::string& error)
{
    std::string versionProblem;
    TrailerCheck tail = TrailerEndingAt(source, source.Size(), trailer, versionProblem);
    if (tail == TrailerCheck::Good) {
        end = source.Size();
        return true;
    }
    // No whole trailer at the end: an append that did not finish (or a damaged last trailer).
    // What follows the last whole trailer is ignored, and stays as dead space when the next change
    // is appended. A healthy archive never looks further; one of a newer version is not read as
    // an older state of itself.
    if (tail != TrailerCheck::Version && FindEarlierTrailer(source, trailer, end))
        return true;
    if (tail == TrailerCheck::Missing)
        error = "the archive's index is missing (the archive is incomplete or damaged)";
    else if (tail == TrailerCheck::Version)
        error = versionProblem;
    else
        error = "the archive's index is damaged";
    return false;
}

bool LoadIndex(ArchiveSource& source, ArchiveIndex& index, std::string& error, IndexPart part)
{
    Trailer trailer;
    uint64_t end = 0;
    if (!FindTrailer(source, trailer, end, error))
        return false;
    uint64_t offset = trailer.indexOffset, packed = trailer.packedSize, plain = trailer.plainSize;
    source.SetEnd(end, trailer);
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
