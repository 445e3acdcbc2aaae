#include "archiver/index_codec.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace jar {

uint32_t Crc32(uint32_t crc, const void* data, size_t size)
{
    const Bytef* p = static_cast<const Bytef*>(data);
    while (size > 0) {
        uInt chunk = uInt(std::min<size_t>(size, 1u << 30));
        crc = uint32_t(crc32(crc, p, chunk));
        p += chunk;
        size -= chunk;
    }
    return crc;
}

namespace {
void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put64(unsigned char* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t Get32(const unsigned char* p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}
uint64_t Get64(const unsigned char* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

class Writer {
public:
    void Var(uint64_t v)
    {
        while (v >= 0x80) {
            out += char((v & 0x7F) | 0x80);
            v >>= 7;
        }
        out += char(v);
    }
    void Signed(int64_t v) { Var((uint64_t(v) << 1) ^ uint64_t(v >> 63)); }
    void Text(const std::string& s)
    {
        Var(s.size());
        out += s;
    }
    std::string out;
};

// Hands out the index's plain bytes from a window; a streaming reader refills the window as it
// runs dry, so one reader serves an index held whole and one inflated a piece at a time.
class Reader {
public:
    explicit Reader(const std::string& bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    virtual ~Reader() = default;
    bool Var(uint64_t& v)
    {
        if (end_ - p_ < 10)
            More(10);
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (p_ == end_)
                return false;
            unsigned char c = static_cast<unsigned char>(*p_++);
            v |= uint64_t(c & 0x7F) << shift;
            if (!(c & 0x80))
                return true;
        }
        return false;
    }
    bool Signed(int64_t& v)
    {
        uint64_t u;
        if (!Var(u))
            return false;
        v = int64_t(u >> 1) ^ -int64_t(u & 1);
        return true;
    }
    bool Text(std::string& s)
    {
        uint64_t n;
        if (!Var(n) || n > Left() || (uint64_t(end_ - p_) < n && !More(size_t(n))))
            return false;
        s.assign(p_, size_t(n));
        p_ += n;
        return true;
    }
    // A count of items that each take at least `itemBytes` bytes: it cannot exceed what is left.
    bool Count(uint64_t& n, uint64_t itemBytes) { return Var(n) && n <= Left() / itemBytes; }
    bool AtEnd() const { return Left() == 0; }

protected:
    Reader() = default;
    // Makes at least `need` bytes readable at p_, or every byte that is left; false when fewer.
    virtual bool More(size_t) { return false; }
    uint64_t Left() const { return uint64_t(end_ - p_) + pending_; }

    const char* p_ = nullptr;
    const char* end_ = nullptr;
    uint64_t pending_ = 0; // plain bytes not yet in the window
};

// Inflates the packed index into a window of a few hundred kilobytes, checking the plain
// bytes' CRC-32 as they come; nothing of the whole is ever held.
class InflatingReader : public Reader {
public:
    InflatingReader(const PackedBytesReader& read, uint64_t packedSize, uint64_t plainSize)
        : read_(read), packedLeft_(packedSize)
    {
        pending_ = plainSize;
        started_ = inflateInit(&z_) == Z_OK;
        ok_ = started_;
    }
    ~InflatingReader() override
    {
        // A stop on damage leaves the stream started: it is ended here either way.
        if (started_)
            inflateEnd(&z_);
    }
    // True when the stream ended exactly where the plain size said and its CRC-32 is `crc`.
    bool Finished(uint32_t crc)
    {
        return ok_ && status_ == Z_STREAM_END && pending_ == 0 && p_ == end_ && crc_ == crc;
    }

protected:
    bool More(size_t need) override
    {
        size_t have = size_t(end_ - p_);
        if (!ok_ || pending_ == 0)
            return have >= need;
        need = size_t(std::min<uint64_t>(need, have + pending_));
        // What is left moves to the front; p_ may point into the window, so it moves first.
        if (window_.size() < need + kStep) {
            std::string larger(need + kStep, '\0');
            if (have)
                std::memcpy(larger.data(), p_, have);
            window_.swap(larger);
        } else if (have) {
            std::memmove(window_.data(), p_, have);
        }
        p_ = window_.data();
        end_ = p_ + have;
        while (have < need && pending_ > 0) {
            if (z_.avail_in == 0 && packedLeft_ > 0) {
                size_t piece = size_t(std::min<uint64_t>(packedLeft_, packed_.size()));
                if (!read_(packedOffset_, packed_.data(), piece))
                    return Stop();
                packedOffset_ += piece;
                packedLeft_ -= piece;
                z_.next_in = reinterpret_cast<Bytef*>(packed_.data());
                z_.avail_in = uInt(piece);
            }
            // One byte more than announced lets a longer stream show itself.
            size_t room = size_t(std::min<uint64_t>(window_.size() - have, pending_ + 1));
            char* out = window_.data() + have;
            z_.next_out = reinterpret_cast<Bytef*>(out);
            z_.avail_out = uInt(room);
            status_ = inflate(&z_, Z_NO_FLUSH);
            size_t got = room - z_.avail_out;
            if (got > pending_ || (status_ != Z_OK && status_ != Z_STREAM_END) || (got == 0 && status_ != Z_OK))
                return Stop();
            crc_ = Crc32(crc_, out, got);
            have += got;
            pending_ -= got;
            end_ = window_.data() + have;
            if (status_ == Z_STREAM_END && pending_ > 0)
                return Stop();
        }
        return have >= need;
    }

private:
    static constexpr size_t kStep = 256 << 10;
    bool Stop()
    {
        pending_ = 0;
        ok_ = false;
        return false;
    }

    const PackedBytesReader& read_;
    uint64_t packedOffset_ = 0;
    uint64_t packedLeft_;
    std::string packed_ = std::string(kStep, '\0');
    std::string window_;
    z_stream z_{};
    int status_ = Z_OK;
    uint32_t crc_ = 0;
    bool started_ = false;
    bool ok_ = false;
};

bool Fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}
} // namespace

void MakeHeader(unsigned char* header, uint32_t volumes, uint64_t salt)
{
    std::memset(header, 0, kHeaderSize);
    std::memcpy(header, kMagic, sizeof kMagic);
    Put32(header + 8, kFormatVersion);
    Put32(header + 12, volumes);
    Put64(header + kSaltOffset, salt);
}

bool ReadHeader(const unsigned char* bytes, Header& header)
{
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return false;
    header.version = Get32(bytes + 8);
    header.volumes = Get32(bytes + 12);
    return true;
}

void MakeTrailer(unsigned char* bytes, const Trailer& trailer)
{
    std::memcpy(bytes, "TVJI", 4);
    Put32(bytes + 4, trailer.version == kAppendedTrailerVersion ? kAppendedTrailerVersion : kFormatVersion);
    Put64(bytes + 8, trailer.indexOffset);
    Put64(bytes + 16, trailer.packedSize);
    Put64(bytes + 24, trailer.plainSize);
    Put32(bytes + 32, trailer.crc);
    std::memcpy(bytes + 36, "TVJE", 4);
}

bool ReadTrailer(const unsigned char* bytes, Trailer& trailer)
{
    if (std::memcmp(bytes, "TVJI", 4) != 0 || std::memcmp(bytes + 36, "TVJE", 4) != 0)
        return false;
    trailer.version = Get32(bytes + 4);
    trailer.indexOffset = Get64(bytes + 8);
    trailer.packedSize = Get64(bytes + 16);
    trailer.plainSize = Get64(bytes + 24);
    trailer.crc = Get32(bytes + 32);
    return true;
}

namespace {
// Over what it follows, then this trailer without its own checksum field.
uint32_t AppendedTrailerCrc(const unsigned char* bytes, const unsigned char* previous, size_t previousSize)
{
    uint32_t crc = Crc32(0, previous, previousSize);
    crc = Crc32(crc, bytes, 12);
    return Crc32(crc, bytes + 16, kAppendedTrailerSize - 16);
}
} // namespace

void MakeAppendedTrailer(unsigned char* bytes, const Trailer& trailer, const unsigned char* previous, size_t previousSize)
{
    Trailer appended = trailer;
    appended.version = kAppendedTrailerVersion;
    std::memcpy(bytes, "TVJA", 4);
    Put64(bytes + 4, trailer.previousEnd);
    MakeTrailer(bytes + 16, appended);
    Put32(bytes + 12, AppendedTrailerCrc(bytes, previous, previousSize));
}

bool ReadAppendedTrailerStart(const unsigned char* bytes, Trailer& trailer)
{
    if (std::memcmp(bytes, "TVJA", 4) != 0)
        return false;
    trailer.previousEnd = Get64(bytes + 4);
    return true;
}

bool AppendedTrailerChecks(const unsigned char* bytes, const unsigned char* previous, size_t previousSize)
{
    return Get32(bytes + 12) == AppendedTrailerCrc(bytes, previous, previousSize);
}

std::string TrailerVersionProblem(uint32_t version)
{
    return version == kAppendedTrailerVersion ? std::string() : VersionProblem(version);
}

std::string VersionProblem(uint32_t version)
{
    if (version == 0)
        return "the archive is damaged (no format version)";
    if (version > kFormatVersion)
        return "written by a newer version of this program";
    return "";
}

std::string PrintableName(const std::string& path)
{
    std::string text;
    for (char c : path) {
        if (c == '\n')
            text += "<LF>";
        else if (c == '\r')
            text += "<CR>";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            text += '<';
            text += digits[static_cast<unsigned char>(c) >> 4];
            text += digits[c & 15];
            text += '>';
        }
        else
            text += c;
    }
    return text;
}

std::string SerializeIndex(const ArchiveIndex& index)
{
    Writer w;
    w.Text(index.comment);
    w.Signed(index.created);
    w.Signed(index.modified);
    w.Var(index.chapters.size());
    for (const Chapter& c : index.chapters) {
        w.Var(c.number);
        w.Signed(c.created);
        w.Signed(c.modified);
        w.Text(c.comment);
    }
    w.Var(index.blocks.size());
    for (const DataBlock& b : index.blocks) {
        w.Var(b.offset);
        w.Var(b.packedSize);
        w.Var(b.size);
        w.Var(b.crc);
        w.Var(uint64_t(b.method));
        w.Var(b.level);
    }
    w.Var(index.entries.size());
    for (const StoredEntry& e : index.entries) {
        w.Text(e.path);
        w.Var(e.attributes);
        w.Signed(e.modified);
        w.Signed(e.created);
        w.Var(e.size);
        w.Var(uint64_t(e.block + 1));
        w.Var(e.chapters.Ranges().size());
        for (const ChapterSet::Range& r : e.chapters.Ranges()) {
            w.Var(r.first);
            w.Var(r.last);
        }
    }
    return w.out;
}

namespace {

bool BlockInData(const DataBlock& b, uint64_t dataEnd)
{
    return b.offset >= kHeaderSize && b.offset + b.packedSize <= dataEnd && b.offset + b.packedSize >= b.offset;
}

// The one reading of the index's layout. Without `keepFiles` blocks and entries pass through
// one scratch item each and are checked as they go; only the comment, stamps and chapters stay.
bool ReadIndex(Reader& r, ArchiveIndex& index, bool keepFiles, uint64_t dataEnd, std::string* error)
{
    const std::string malformed = "the archive's index is damaged";
    uint64_t n, v;
    // The fewest bytes one chapter, block, entry or chapter range takes.
    if (!r.Text(index.comment) || !r.Signed(index.created) || !r.Signed(index.modified) || !r.Count(n, 4))
        return Fail(error, malformed);
    index.chapters.resize(size_t(n));
    for (Chapter& c : index.chapters) {
        if (!r.Var(v) || v == 0 || v > 0x7FFFFFFF || !r.Signed(c.created) || !r.Signed(c.modified) || !r.Text(c.comment))
            return Fail(error, malformed);
        c.number = uint32_t(v);
    }
    if (!r.Count(n, 6))
        return Fail(error, malformed);
    const uint64_t blockCount = n;
    index.blocks.resize(keepFiles ? size_t(n) : 0);
    DataBlock scratchBlock;
    for (uint64_t i = 0; i < blockCount; ++i) {
        DataBlock& b = keepFiles ? index.blocks[size_t(i)] : scratchBlock;
        uint64_t crc, method, level;
        if (!r.Var(b.offset) || !r.Var(b.packedSize) || !r.Var(b.size) || !r.Var(crc) || crc > 0xFFFFFFFF ||
            !r.Var(method) || method > 1 || !r.Var(level) || level > 4)
            return Fail(error, malformed);
        b.crc = uint32_t(crc);
        b.method = Method(method);
        b.level = uint8_t(level);
        if (dataEnd && !BlockInData(b, dataEnd))
            return Fail(error, malformed + " (a data block lies outside the data)");
    }
    if (!r.Count(n, 7))
        return Fail(error, malformed);
    index.entries.resize(keepFiles ? size_t(n) : 0);
    StoredEntry scratchEntry;
    std::vector<ChapterSet::Range> list;
    for (uint64_t i = 0, count = n; i < count; ++i) {
        StoredEntry& e = keepFiles ? index.entries[size_t(i)] : scratchEntry;
        uint64_t attributes, block, ranges;
        if (!r.Text(e.path) || !r.Var(attributes) || attributes > 0xFFFFFFFF || !r.Signed(e.modified) ||
            !r.Signed(e.created) || !r.Var(e.size) || !r.Var(block) || block > blockCount || !r.Count(ranges, 2))
            return Fail(error, malformed);
        // Every command takes a stored path as an archive path; a listing shows it on one line.
        if (e.path.size() < 2 || e.path[0] != '\\')
            return Fail(error, malformed + " (a stored name does not start with a backslash: \"" +
                                   PrintableName(e.path) + "\")");
        if (e.path.find_first_of("\r\n") != std::string::npos)
            return Fail(error, "the archive holds a name with a line break, refused: " + PrintableName(e.path));
        // What Windows itself can hold; deeper paths only serve to exhaust memory and stack.
        if (e.path.size() > kMaxPathBytes || size_t(std::count(e.path.begin(), e.path.end(), '\\')) > kMaxPathLevels)
            return Fail(error, malformed + " (a stored path deeper than " + std::to_string(kMaxPathLevels) + " levels or longer than " +
                                   std::to_string(kMaxPathBytes) + " bytes)");
        e.attributes = uint32_t(attributes);
        e.block = int64_t(block) - 1;
        list.resize(static_cast<size_t>(ranges));
        for (auto& range : list) {
            uint64_t first, last;
            if (!r.Var(first) || !r.Var(last) || first == 0 || last < first || last > 0x7FFFFFFF)
                return Fail(error, malformed);
            range = {uint32_t(first), uint32_t(last)};
        }
        if (keepFiles)
            e.chapters.SetRanges(list);
    }
    return r.AtEnd() || Fail(error, malformed);
}

} // namespace

bool DeserializeIndex(const std::string& bytes, ArchiveIndex& index, std::string* error, uint64_t dataEnd)
{
    Reader r(bytes);
    return ReadIndex(r, index, true, dataEnd, error);
}

bool CheckIndexKeepingChapters(const PackedBytesReader& read, const Trailer& trailer, ArchiveIndex& index,
                               std::string* error)
{
    InflatingReader r(read, trailer.packedSize, trailer.plainSize);
    if (!ReadIndex(r, index, false, trailer.indexOffset, error))
        return false;
    return r.Finished(trailer.crc) || Fail(error, "the archive's index is damaged (checksum error)");
}

bool InflateIndex(const std::string& packed, uint64_t plainSize, std::string& plain)
{
    plain.clear();
    if (plainSize > (packed.size() + 64) * kMaxInflateRatio)
        return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    size_t inLeft = packed.size();
    const size_t step = 1 << 20;
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0) {
            z.avail_in = uInt(std::min<size_t>(inLeft, 1u << 30));
            inLeft -= z.avail_in;
        }
        size_t have = plain.size();
        // One more byte than announced lets a longer stream show itself.
        size_t room = size_t(std::min<uint64_t>(step, plainSize + 1 - have));
        if (room == 0)
            break;
        plain.resize(have + room);
        z.next_out = reinterpret_cast<Bytef*>(plain.data() + have);
        z.avail_out = uInt(room);
        status = inflate(&z, Z_NO_FLUSH);
        plain.resize(have + room - z.avail_out);
        // No progress: more input helps only when some is left to give.
        if (status == Z_BUF_ERROR && z.avail_in == 0 && inLeft > 0)
            status = Z_OK;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && plain.size() == plainSize;
}

} // namespace jar
