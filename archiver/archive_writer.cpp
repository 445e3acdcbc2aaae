#include "archiver/archive_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "archiver/console_output.h"
#include "archiver/index_codec.h"

namespace jar {

namespace {
constexpr size_t kBufferSize = 4 << 20;

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of(kDiskSeparator);
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.find_last_of(kDiskSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WorkFolderOf(const std::string& archive, const std::string& workFolder)
{
    std::string folder = workFolder.empty() ? FolderOf(archive) : ToDiskSeparators(workFolder);
    while (folder.size() > 1 && folder.back() == kDiskSeparator && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::string TemporaryArchivePath(const std::string& archive, const std::string& workFolder)
{
    std::string folder = WorkFolderOf(archive, workFolder);
    return folder + (folder.back() == kDiskSeparator ? "" : std::string(1, kDiskSeparator)) + LeafOf(archive) + ".tmp~";
}
} // namespace

bool ArchiveWriter::Begin(const std::string& archive, const std::string& workFolder)
{
    archive_ = archive;
    std::string folder = WorkFolderOf(archive, workFolder);
    if (!workFolder.empty() && !IsDirectory(folder)) {
        error_ = "the work folder " + folder + " does not exist";
        return false;
    }
    // Created new, never over a file of the same name: a stale one of ours was removed when the
    // command began, and anything else of that name is not ours to destroy.
    temp_ = TemporaryArchivePath(archive, workFolder);
    if (!file_.Open(temp_, DiskFile::ForNewFile)) {
        error_ = "can't create " + temp_ + ": " + LastErrorText();
        temp_.clear();
        return false;
    }
    file_.TryLock();
    buffer_.reserve(kBufferSize);
    unsigned char header[kHeaderSize];
    MakeHeader(header, 1);
    // The header goes out at once, so a file left by a killed run is recognisably ours.
    return Append(header, sizeof header) && FlushBuffer();
}

bool RemoveStaleTemporary(const std::string& archive, const std::string& workFolder)
{
    bool removed = false;
    for (const std::string& folder : {std::string(), workFolder}) {
        if (!folder.empty() && workFolder.empty())
            continue;
        std::string temp = TemporaryArchivePath(archive, folder);
        FileInfo info;
        if (!GetFileInfo(temp, info) || info.isDirectory)
            continue;
        DiskFile file;
        char magic[sizeof kMagic];
        // Only a file that begins as our archives do, and that no running jar32 is writing.
        if (!file.Open(temp, DiskFile::ForReading) || file.Size() < sizeof magic ||
            !file.ReadAt(0, magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !file.TryLock())
            continue;
        file.Close();
        if (RemoveFile(temp)) {
            Console::Line("Removed " + temp + ", left by an interrupted run");
            removed = true;
        }
    }
    return removed;
}

bool ArchiveWriter::WriteFailed(const std::string& what)
{
    bool full = LastErrorIsDiskFull();
    error_ = "can't write " + what + ": " + (full ? std::string("the disk is full") : LastErrorText());
    return false;
}

bool ArchiveWriter::FlushBuffer()
{
    if (buffer_.empty())
        return true;
    if (!file_.Write(buffer_.data(), buffer_.size()))
        return WriteFailed(temp_);
    flushed_ += buffer_.size();
    buffer_.clear();
    return true;
}

bool ArchiveWriter::Append(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    position_ += size;
    if (buffer_.size() + size > kBufferSize) {
        if (!FlushBuffer())
            return false;
        if (size >= kBufferSize) {
            if (!file_.Write(p, size))
                return WriteFailed(temp_);
            flushed_ += size;
            return true;
        }
    }
    buffer_.append(p, size);
    return true;
}

bool ArchiveWriter::Rewind(uint64_t position)
{
    if (position >= flushed_) {
        buffer_.resize(size_t(position - flushed_));
    } else {
        buffer_.clear();
        if (!file_.Seek(position))
            return WriteFailed(temp_);
        flushed_ = position;
    }
    position_ = position;
    return true;
}

bool ArchiveWriter::CopyBlock(ArchiveSource& source, DataBlock& block)
{
    std::string chunk(std::min<uint64_t>(block.packedSize, 1 << 20), '\0');
    uint64_t from = block.offset, left = block.packedSize;
    block.offset = position_;
    while (left > 0) {
        size_t n = size_t(std::min<uint64_t>(left, chunk.size()));
        if (!source.Read(from, chunk.data(), n)) {
            error_ = "can't read the old archive: " + LastErrorText();
            return false;
        }
        if (!Append(chunk.data(), n))
            return false;
        from += n;
        left -= n;
    }
    return true;
}

bool ArchiveWriter::Finish(ArchiveIndex& index, const Options& options, ArchiveSource* old)
{
    std::string plain = SerializeIndex(index);
    uLongf packedSize = compressBound(uLong(plain.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(plain.data()),
                  uLong(plain.size()), 1) != Z_OK) {
        error_ = "out of memory writing the index";
        return false;
    }
    packed.resize(packedSize);
    uint64_t indexOffset = position_;
    unsigned char trailer[kTrailerSize];
    Trailer layout;
    layout.indexOffset = indexOffset;
    layout.packedSize = packed.size();
    layout.plainSize = plain.size();
    layout.crc = Crc32(0, plain.data(), plain.size());
    MakeTrailer(trailer, layout);
    if (!Append(packed.data(), packed.size()) || !Append(trailer, sizeof trailer) || !FlushBuffer())
        return false;
    if (!file_.SetSize(position_) || !file_.Sync())
        return WriteFailed(temp_);
    file_.Close();
    if (Interrupted()) {
        error_ = "interrupted by the user";
        return false;
    }
    if (old)
        old->Close();
    // Volumes that follow the free space only matter on removable media: on a fixed disk the
    // whole archive has just been written there, so it fits as one file.
    if (options.volumes && (options.volumeSize != 0 || options.removable))
        return SplitVolumes(options);
    if (!MoveInPlace(temp_, archive_))
        return false;
    temp_.clear();
    // A single file now: volumes of an older, larger set would be read as ours otherwise.
    for (int v = 2; v < 1000; ++v) {
        FileInfo info;
        if (!GetFileInfo(VolumeName(archive_, v), info))
            break;
        RemoveFile(VolumeName(archive_, v));
    }
    return true;
}

bool ArchiveWriter::MoveInPlace(const std::string& from, const std::string& to)
{
    if (MoveOver(from, to))
        return true;
    // Another volume (work folder elsewhere): copy beside the archive first, then rename.
    std::string near = to + ".copy~";
    DiskFile in, out;
    if (!in.Open(from, DiskFile::ForReading) || !out.Open(near, DiskFile::ForWriting)) {
        error_ = "can't put the new archive in place of " + to + ": " + LastErrorText();
        return false;
    }
    std::string chunk(1 << 20, '\0');
    for (;;) {
        int64_t n = in.Read(chunk.data(), chunk.size());
        if (n < 0) {
            error_ = "can't read " + from + ": " + LastErrorText();
            out.Close();
            RemoveFile(near);
            return false;
        }
        if (n == 0)
            break;
        if (!out.Write(chunk.data(), size_t(n))) {
            WriteFailed(near);
            out.Close();
            RemoveFile(near);
            return false;
        }
    }
    bool synced = out.Sync();
    out.Close();
    in.Close();
    if (!synced || !MoveOver(near, to)) {
        error_ = "can't put the new archive in place of " + to + ": " + LastErrorText();
        RemoveFile(near);
        return false;
    }
    RemoveFile(from);
    return true;
}

// Cuts the finished archive into volumes of the asked size (or of the free space), each written
// completely before any replaces an old file.
bool ArchiveWriter::SplitVolumes(const Options& options)
{
    DiskFile in;
    if (!in.Open(temp_, DiskFile::ForReading)) {
        error_ = "can't read " + temp_ + ": " + LastErrorText();
        return false;
    }
    uint64_t total = in.Size(), done = 0;
    const uint64_t minimum = 64 * 1024;
    std::vector<std::string> written;
    std::string chunk(1 << 20, '\0');
    int volume = 0;
    auto fail = [&](const std::string& why) {
        error_ = why;
        for (const std::string& name : written)
            RemoveFile(name + ".part~");
        return false;
    };
    while (done < total) {
        ++volume;
        if (volume > 999)
            return fail("more than 999 volumes");
        std::string name = VolumeName(archive_, volume);
        if (volume > 1 && options.removable) {
            Console::Line("Insert the disk for volume " + std::to_string(volume) + " (" + name + ") and press Enter.");
            std::string ignored;
            Console::Flush();
            ReadConsoleLine(ignored);
            if (Interrupted())
                return fail("interrupted by the user");
        }
        if (!options.volumeCommand.empty())
            RunCommand(options.volumeCommand);
        uint64_t size = options.volumeSize;
        if (size == 0) {
            uint64_t free = FreeSpace(FolderOf(name));
            size = free > minimum * 2 ? free - minimum : 0;
            if (size < minimum)
                return fail("can't write volume " + name + ": the disk is full");
        }
        if (volume == 1 && size <= kHeaderSize)
            return fail("the volume size is too small");
        uint64_t left = std::min(size, total - done);
        DiskFile out;
        std::string part = name + ".part~";
        if (!out.Open(part, DiskFile::ForWriting))
            return fail("can't create " + part + ": " + LastErrorText());
        written.push_back(name);
        while (left > 0) {
            size_t n = size_t(std::min<uint64_t>(left, chunk.size()));
            if (!in.ReadAt(done, chunk.data(), n))
                return fail("can't read " + temp_ + ": " + LastErrorText());
            if (done == 0) {
                // The first volume's header tells readers how many volumes follow.
                uint64_t count = 0, at = 0;
                for (uint64_t s = options.volumeSize; at < total; ++count)
                    at += s ? s : total;
                unsigned char header[kHeaderSize];
                // With sizes that follow the free space the count is not known yet: 0 makes readers look
                // for the volumes that follow.
                MakeHeader(header, options.volumeSize ? uint32_t(count) : 0);
                std::memcpy(chunk.data(), header, kHeaderSize);
            }
            if (!out.Write(chunk.data(), n)) {
                WriteFailed(part);
                std::string why = error_;
                out.Close();
                return fail(why);
            }
            done += n;
            left -= n;
        }
        out.Sync();
        out.Close();
    }
    in.Close();
    for (const std::string& name : written)
        if (!MoveOver(name + ".part~", name))
            return fail("can't put volume " + name + " in place: " + LastErrorText());
    for (int v = volume + 1; v < 1000; ++v) {
        FileInfo info;
        if (!GetFileInfo(VolumeName(archive_, v), info))
            break;
        RemoveFile(VolumeName(archive_, v));
    }
    RemoveFile(temp_);
    temp_.clear();
    Console::Line("Archive written in " + std::to_string(volume) + " volumes.");
    return true;
}

void ArchiveWriter::Abandon()
{
    if (temp_.empty())
        return;
    file_.Close();
    RemoveFile(temp_);
    temp_.clear();
}

} // namespace jar
