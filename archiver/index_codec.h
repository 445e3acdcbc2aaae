// The archive's bytes on disk (see archiver/FORMAT.md): the header, the trailer, and the index
// turned into bytes and back. The decoder trusts nothing it reads: every count and size is
// checked against the bytes that are really there before anything is allocated for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "archiver/archive_index.h"

namespace jar {

inline constexpr char kMagic[8] = {'T', 'V', 'J', 'A', 'R', '\x1a', '\r', '\n'};
inline constexpr uint32_t kFormatVersion = 1;
inline constexpr size_t kHeaderSize = 24;
// The deepest and longest stored path any command accepts.
inline constexpr size_t kMaxPathLevels = 1024;
inline constexpr size_t kMaxPathBytes = 32767;
inline constexpr size_t kTrailerSize = 40;
// Archives of this version end in a longer trailer: 16 bytes that tie it to what comes before it
// (the trailer it supersedes, or the header's salt), then the 40 bytes of the first version's
// trailer with its version raised.
inline constexpr size_t kAppendedTrailerSize = 56;
// Where the header's salt lies: random bytes no one can foresee, chained into the first trailer.
inline constexpr size_t kSaltOffset = 16, kSaltSize = 8;
inline constexpr uint32_t kAppendedTrailerVersion = 2;
// Deflate cannot expand data by more than about 1,032 to 1; a plain size beyond that is damage.
inline constexpr uint64_t kMaxInflateRatio = 1032;

struct Header {
    uint32_t version = 0;
    uint32_t volumes = 0;
};

struct Trailer {
    uint32_t version = 0;
    uint64_t indexOffset = 0;
    uint64_t packedSize = 0;
    uint64_t plainSize = 0;
    uint32_t crc = 0;
    // A trailer of version 2: where the archive it grew from ended (that archive's trailer ends
    // there), or the header's end for the first trailer.
    uint64_t previousEnd = 0;
    size_t Bytes() const { return version == kAppendedTrailerVersion ? kAppendedTrailerSize : kTrailerSize; }
};

uint32_t Crc32(uint32_t crc, const void* data, size_t size);

void MakeHeader(unsigned char* header, uint32_t volumes, uint64_t salt = 0);
// False when the magic is not ours.
bool ReadHeader(const unsigned char* bytes, Header& header);
void MakeTrailer(unsigned char* bytes, const Trailer& trailer);
// False when either of the trailer's marks is missing.
bool ReadTrailer(const unsigned char* bytes, Trailer& trailer);
// A trailer of version 2: `previous` is what it follows, the last 40 bytes of the trailer it
// supersedes or the header's salt, whose bytes its checksum covers: no bytes but a real successor
// of those pass for one.
void MakeAppendedTrailer(unsigned char* bytes, const Trailer& trailer, const unsigned char* previous, size_t previousSize);
// The 16 bytes before an appended trailer's last 40: false when the mark is missing; the end of
// the previous archive comes out in `trailer`.
bool ReadAppendedTrailerStart(const unsigned char* bytes, Trailer& trailer);
// True when an appended trailer's checksum holds over it and what it follows.
bool AppendedTrailerChecks(const unsigned char* bytes, const unsigned char* previous, size_t previousSize);
// Empty when the version is ours; otherwise why it is refused.
std::string VersionProblem(uint32_t version);
// The same for a trailer, which has one version more: an append's.
std::string TrailerVersionProblem(uint32_t version);

std::string SerializeIndex(const ArchiveIndex& index);
// False for anything malformed: truncation, trailing bytes, counts beyond the bytes present,
// out-of-range values, and paths an archive of ours never holds (not starting with a backslash,
// or holding a line break); `error` then says what.
// With `dataEnd` (where the data area ends: the index's offset) every block must lie inside it.
bool DeserializeIndex(const std::string& bytes, ArchiveIndex& index, std::string* error = nullptr, uint64_t dataEnd = 0);
// Reads `size` packed index bytes from `offset` within the index; false when they cannot be read.
using PackedBytesReader = std::function<bool(uint64_t offset, void* buffer, size_t size)>;
// Reads and checks the whole index as DeserializeIndex does after its CRC-32 is checked, but
// inflating it a piece at a time and keeping only the comment, the stamps and the chapters:
// a listing of chapters costs no memory for the files of a large archive. On failure `error` is
// why, though not always the reason a whole read would give first.
bool CheckIndexKeepingChapters(const PackedBytesReader& read, const Trailer& trailer, ArchiveIndex& index,
                               std::string* error = nullptr);
// Inflates the packed index, growing the output only as data really comes out; false when the
// packed bytes are not a zlib stream of exactly `plainSize` bytes.
bool InflateIndex(const std::string& packed, uint64_t plainSize, std::string& plain);

// A stored name made printable on one line: a line break shows as <LF> or <CR>, any other
// control character as its code in hexadecimal (<1B>).
std::string PrintableName(const std::string& path);

} // namespace jar
