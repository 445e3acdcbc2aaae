// An index packed and closed by a trailer as jar32 writes them, for tests that build or damage
// archives by hand.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "archiver/index_codec.h"

namespace packedindex {

// `plain` deflated at zlib `level`; empty when zlib fails.
inline std::string Pack(const std::string& plain, int level = 1)
{
    uLongf size = compressBound(uLong(plain.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
                  uLong(plain.size()), level) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

inline jar::Trailer TrailerFor(uint64_t indexOffset, const std::string& packed, const std::string& plain)
{
    jar::Trailer trailer;
    trailer.indexOffset = indexOffset;
    trailer.packedSize = packed.size();
    trailer.plainSize = plain.size();
    trailer.crc = jar::Crc32(0, plain.data(), plain.size());
    return trailer;
}

// The archive's last bytes: the packed index, then its trailer.
inline std::string IndexAndTrailer(const std::string& packed, const jar::Trailer& trailer)
{
    unsigned char tail[jar::kTrailerSize];
    jar::MakeTrailer(tail, trailer);
    return packed + std::string(reinterpret_cast<const char*>(tail), sizeof tail);
}

// An archive's bytes as a version that never appended wrote them: no salt in the header, and the
// trailer of the first version.
inline std::string FirstVersionOf(std::string archive)
{
    std::memset(&archive[jar::kSaltOffset], 0, jar::kSaltSize);
    if (archive.size() >= jar::kHeaderSize + jar::kAppendedTrailerSize &&
        archive.compare(archive.size() - jar::kAppendedTrailerSize, 4, "TVJA") == 0) {
        archive.erase(archive.size() - jar::kAppendedTrailerSize, jar::kAppendedTrailerSize - jar::kTrailerSize);
        archive[archive.size() - jar::kTrailerSize + 4] = char(jar::kFormatVersion);
    }
    return archive;
}

// Reads the packed index from memory as an archive is read from disk.
inline jar::PackedBytesReader ReaderOver(const std::string& packed)
{
    return [&packed](uint64_t at, void* buffer, size_t size) {
        if (at > packed.size() || size > packed.size() - at)
            return false;
        std::memcpy(buffer, packed.data() + at, size);
        return true;
    };
}

} // namespace packedindex
