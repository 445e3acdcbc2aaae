#include "archiver/archive_format.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace jar {

bool ChapterSet::Contains(uint32_t chapter) const { return Intersects(chapter, chapter); }

bool ChapterSet::Intersects(uint32_t first, uint32_t last) const
{
    for (const Range& r : ranges_)
        if (r.first <= last && r.last >= first)
            return true;
    return false;
}

uint32_t ChapterSet::HighestWithin(uint32_t first, uint32_t last) const
{
    for (auto r = ranges_.rbegin(); r != ranges_.rend(); ++r)
        if (r->first <= last && r->last >= first)
            return std::min(r->last, last);
    return 0;
}

void ChapterSet::Add(uint32_t chapter)
{
    if (Contains(chapter))
        return;
    ranges_.push_back({chapter, chapter});
    std::sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    for (const Range& r : ranges_) {
        if (!merged.empty() && merged.back().last + 1 >= r.first)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    ranges_ = std::move(merged);
}

void ChapterSet::Remove(uint32_t chapter)
{
    std::vector<Range> kept;
    for (const Range& r : ranges_) {
        if (chapter < r.first || chapter > r.last) {
            kept.push_back(r);
            continue;
        }
        if (r.first < chapter)
            kept.push_back({r.first, chapter - 1});
        if (chapter < r.last)
            kept.push_back({chapter + 1, r.last});
    }
    ranges_ = std::move(kept);
}

std::string ChapterSet::Text() const
{
    if (ranges_.empty())
        return "0";
    if (First() == Last())
        return std::to_string(First());
    return std::to_string(First()) + "-" + std::to_string(Last());
}

Chapter* ArchiveIndex::FindChapter(uint32_t number)
{
    for (Chapter& c : chapters)
        if (c.number == number)
            return &c;
    return nullptr;
}

Chapter& ArchiveIndex::AddChapter(uint32_t number, int64_t now)
{
    if (Chapter* existing = FindChapter(number))
        return *existing;
    Chapter chapter;
    chapter.number = number;
    chapter.created = chapter.modified = now;
    chapters.push_back(chapter);
    std::sort(chapters.begin(), chapters.end(), [](const Chapter& a, const Chapter& b) { return a.number < b.number; });
    return *FindChapter(number);
}

namespace {
inline unsigned char SortKey(char c)
{
    if (c == '\\')
        return 1;
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}
} // namespace

bool PathLess(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = SortKey(a[i]), y = SortKey(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

bool PathEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (SortKey(a[i]) != SortKey(b[i]))
            return false;
    return true;
}

std::string MethodName(const DataBlock* block)
{
    if (!block || block->method == Method::Stored)
        return "Stored";
    static const char* names[] = {"Stored", "Fast", "Normal", "Better", "Best"};
    return names[block->level <= 4 ? block->level : 0];
}

std::string AttributeText(uint32_t attributes)
{
    std::string text = ".....";
    if (attributes & kAttrReadOnly)
        text[0] = 'R';
    if (attributes & kAttrHidden)
        text[1] = 'H';
    if (attributes & kAttrSystem)
        text[2] = 'S';
    if (attributes & kAttrArchive)
        text[3] = 'A';
    if (attributes & kAttrDirectory)
        text[4] = 'D';
    return text;
}

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

class Reader {
public:
    explicit Reader(const std::string& bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    bool Var(uint64_t& v)
    {
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
        if (!Var(n) || n > uint64_t(end_ - p_))
            return false;
        s.assign(p_, size_t(n));
        p_ += n;
        return true;
    }
    bool Count(uint64_t& n) { return Var(n) && n <= uint64_t(end_ - p_); }
    bool AtEnd() const { return p_ == end_; }

private:
    const char* p_;
    const char* end_;
};

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
} // namespace

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

bool DeserializeIndex(const std::string& bytes, ArchiveIndex& index)
{
    Reader r(bytes);
    uint64_t n, v;
    if (!r.Text(index.comment) || !r.Signed(index.created) || !r.Signed(index.modified) || !r.Count(n))
        return false;
    index.chapters.resize(size_t(n));
    for (Chapter& c : index.chapters) {
        if (!r.Var(v) || v == 0 || v > 0x7FFFFFFF || !r.Signed(c.created) || !r.Signed(c.modified) || !r.Text(c.comment))
            return false;
        c.number = uint32_t(v);
    }
    if (!r.Count(n))
        return false;
    index.blocks.resize(size_t(n));
    for (DataBlock& b : index.blocks) {
        uint64_t crc, method, level;
        if (!r.Var(b.offset) || !r.Var(b.packedSize) || !r.Var(b.size) || !r.Var(crc) || !r.Var(method) || method > 1 ||
            !r.Var(level) || level > 4)
            return false;
        b.crc = uint32_t(crc);
        b.method = Method(method);
        b.level = uint8_t(level);
    }
    if (!r.Count(n))
        return false;
    index.entries.resize(size_t(n));
    for (StoredEntry& e : index.entries) {
        uint64_t attributes, block, ranges;
        if (!r.Text(e.path) || !r.Var(attributes) || !r.Signed(e.modified) || !r.Signed(e.created) || !r.Var(e.size) ||
            !r.Var(block) || block > index.blocks.size() || !r.Count(ranges))
            return false;
        e.attributes = uint32_t(attributes);
        e.block = int64_t(block) - 1;
        std::vector<ChapterSet::Range> list(static_cast<size_t>(ranges));
        for (auto& range : list) {
            uint64_t first, last;
            if (!r.Var(first) || !r.Var(last) || first == 0 || last < first || last > 0x7FFFFFFF)
                return false;
            range = {uint32_t(first), uint32_t(last)};
        }
        e.chapters.SetRanges(std::move(list));
    }
    return r.AtEnd();
}

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
    unsigned char header[kHeaderSize];
    uint64_t size = first->Size();
    if (size < kHeaderSize + kTrailerSize || !first->ReadAt(0, header, kHeaderSize) ||
        std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        error = "not an archive of this program";
        return false;
    }
    if (Get32(header + 8) > kFormatVersion) {
        error = "written by a newer version of this program";
        return false;
    }
    uint32_t count = Get32(header + 12);
    if (count > 999) {
        error = "the archive's header is damaged";
        return false;
    }
    volumes_.push_back({std::move(first), 0, size});
    total_ = size;
    for (uint32_t v = 2; count == 0 ? v < 1000 : v <= count; ++v) {
        auto file = std::make_unique<DiskFile>();
        std::string name = VolumeName(path, int(v));
        FileInfo info;
        if (count == 0 && !GetFileInfo(name, info))
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

bool LoadIndex(ArchiveSource& source, ArchiveIndex& index, std::string& error)
{
    unsigned char trailer[kTrailerSize];
    uint64_t size = source.Size();
    if (!source.Read(size - kTrailerSize, trailer, kTrailerSize) || std::memcmp(trailer, "TVJI", 4) != 0 ||
        std::memcmp(trailer + 36, "TVJE", 4) != 0) {
        error = "the archive's index is missing (the archive is incomplete or damaged)";
        return false;
    }
    uint64_t offset = Get64(trailer + 8), packed = Get64(trailer + 16), plain = Get64(trailer + 24);
    uint32_t crc = Get32(trailer + 32);
    if (offset < kHeaderSize || packed > size || offset + packed != size - kTrailerSize || plain > (1ULL << 34)) {
        error = "the archive's index is damaged";
        return false;
    }
    std::string packedBytes(size_t(packed), '\0'), bytes(size_t(plain), '\0');
    if (!source.Read(offset, packedBytes.data(), packedBytes.size())) {
        error = "can't read the archive's index: " + LastErrorText();
        return false;
    }
    uLongf length = uLongf(plain);
    if (uncompress(reinterpret_cast<Bytef*>(bytes.data()), &length, reinterpret_cast<const Bytef*>(packedBytes.data()),
                   uLong(packed)) != Z_OK ||
        length != plain || Crc32(0, bytes.data(), bytes.size()) != crc || !DeserializeIndex(bytes, index)) {
        error = "the archive's index is damaged (checksum error)";
        return false;
    }
    for (const DataBlock& b : index.blocks) {
        if (b.offset < kHeaderSize || b.offset + b.packedSize > offset || b.offset + b.packedSize < b.offset) {
            error = "the archive's index is damaged (a data block lies outside the data)";
            return false;
        }
    }
    return true;
}

// Helpers for the writer, kept here beside the reader so both agree on the byte layout.
void MakeHeader(unsigned char* header, uint32_t volumes)
{
    std::memset(header, 0, kHeaderSize);
    std::memcpy(header, kMagic, sizeof kMagic);
    Put32(header + 8, kFormatVersion);
    Put32(header + 12, volumes);
}

void MakeTrailer(unsigned char* trailer, uint64_t offset, uint64_t packed, uint64_t plain, uint32_t crc)
{
    std::memcpy(trailer, "TVJI", 4);
    Put32(trailer + 4, kFormatVersion);
    Put64(trailer + 8, offset);
    Put64(trailer + 16, packed);
    Put64(trailer + 24, plain);
    Put32(trailer + 32, crc);
    std::memcpy(trailer + 36, "TVJE", 4);
}

} // namespace jar
