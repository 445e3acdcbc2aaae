// x and e: the chosen version of every chosen entry lands under the target folder and nowhere
// else; each file is written beside its target and renamed into place once its CRC-32 is right.
#include <zlib.h>

#include <algorithm>
#include <unordered_map>

#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/index_codec.h"
#include "archiver/progress.h"

namespace jar {

bool ReadBlock(ArchiveSource& source, const DataBlock& block, const std::function<bool(const char*, size_t)>& sink,
               std::string& error)
{
    std::string in(size_t(std::min<uint64_t>(block.packedSize, 1 << 20)), '\0'), out(1 << 20, '\0');
    uint64_t offset = block.offset, left = block.packedSize, produced = 0;
    uint32_t crc = 0;
    z_stream z{};
    bool inflating = block.method == Method::Deflate;
    if (inflating && inflateInit2(&z, -15) != Z_OK) {
        error = "out of memory";
        return false;
    }
    bool ok = true, finished = !inflating;
    while (ok && left > 0) {
        size_t n = size_t(std::min<uint64_t>(left, in.size()));
        if (!source.Read(offset, in.data(), n)) {
            error = "can't read the archive: " + LastErrorText();
            ok = false;
            break;
        }
        offset += n;
        left -= n;
        if (!inflating) {
            crc = Crc32(crc, in.data(), n);
            produced += n;
            if (!sink(in.data(), n)) {
                error = "can't write";
                ok = false;
            }
            continue;
        }
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = uInt(n);
        while (ok && (z.avail_in > 0 || z.avail_out == 0) && !finished) {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            int status = inflate(&z, Z_NO_FLUSH);
            size_t got = out.size() - z.avail_out;
            if (status == Z_BUF_ERROR)
                break; // no progress without more input
            if (status != Z_OK && status != Z_STREAM_END) {
                error = "damaged data (bad compressed stream)";
                ok = false;
                break;
            }
            crc = Crc32(crc, out.data(), got);
            produced += got;
            if (produced > block.size) {
                error = "damaged data (too long)";
                ok = false;
                break;
            }
            if (got && !sink(out.data(), got)) {
                error = "can't write";
                ok = false;
            }
            if (status == Z_STREAM_END)
                finished = true;
            if (got == 0 && z.avail_in == 0)
                break;
        }
        if (StopAsked()) {
            error = StopMessage();
            ok = false;
        }
    }
    if (inflating)
        inflateEnd(&z);
    if (ok && (!finished || produced != block.size || crc != block.crc)) {
        error = "CRC error (damaged data)";
        ok = false;
    }
    return ok;
}

namespace {
int64_t Seconds(int64_t stamp) { return stamp / 10000000; }

// The file an entry is written into before it replaces its target: a new name beside the target,
// created exclusively (never a file already there, never through a link), and removed on every
// way out unless it was moved into place.
struct TemporaryFile {
    std::string path;
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path.empty())
            RemoveFile(path);
    }
    bool Create(const std::string& target, DiskFile& file)
    {
        // A long name leaves no room for the suffix within the 255 bytes a name may have: then a
        // short name of our own in the same folder.
        size_t slash = target.find_last_of(kDiskSeparator);
        size_t leaf = target.size() - (slash == std::string::npos ? 0 : slash + 1);
        std::string base = leaf + 10 > 255 ? target.substr(0, target.size() - leaf) + "jar32-" + std::to_string(ProcessId())
                                           : target;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = base;
            if (attempt > 0)
                name.append(1, '.').append(std::to_string(attempt));
            name.append(".jar~");
            if (file.Open(name, DiskFile::ForNewFile)) {
                path = name;
                return true;
            }
        }
        return false;
    }
};

// The name a target has for the file system: Windows ignores letter case and drops trailing
// dots and blanks of every level.
std::string TargetKey(const std::string& target)
{
#ifdef _WIN32
    std::string key;
    size_t start = 0;
    for (;;) {
        size_t end = target.find('\\', start);
        std::string part = target.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (part.size() > 1 && (part.back() == '.' || part.back() == ' '))
            part.pop_back();
        key += LowerCase(part);
        if (end == std::string::npos)
            break;
        key += '\\';
        start = end + 1;
    }
    return key;
#else
    return target;
#endif
}

bool TargetWanted(const Options& options, const StoredEntry& entry, const FileInfo& disk)
{
    switch (options.rule) {
    case DateRule::None:
        return true;
    case DateRule::Newer:
        return Seconds(entry.modified) > Seconds(disk.modified);
    case DateRule::Older:
        return Seconds(entry.modified) < Seconds(disk.modified);
    case DateRule::DateOrSize:
        return Seconds(entry.modified) != Seconds(disk.modified) || entry.size != disk.size;
    }
    return true;
}
} // namespace

int ExtractFiles(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    uint32_t last = index.LastChapter();
    uint32_t first = options.chaptersGiven ? options.chapterFirst : last;
    uint32_t upTo = options.chaptersGiven ? (options.chapterLast == 0 ? std::max(last, first) : options.chapterLast) : last;
    if (options.chaptersGiven && first == upTo && !index.FindChapter(first)) {
        Console::Error("no chapter " + std::to_string(first) + " in " + options.archive);
        return 1;
    }
    std::vector<std::string> names;
    if (!ReadListFiles(options.listFiles, names))
        return 1;
    // Only a command without names means everything; list files that name nothing name nothing.
    if (names.empty() && options.names.empty() && !options.listFiles.empty()) {
        Console::Warning("the list file names no file; nothing extracted");
        Console::Line("0 files extracted, 0 skipped");
        return 0;
    }
    NameMatcher matcher = MatcherFor(options, names, index);
    bool keepPaths = options.command == Command::Extract && options.keepPaths;

    std::string folder = options.outputGiven && !options.outputFolder.empty() ? ToDiskSeparators(options.outputFolder) : ".";
    while (folder.size() > 1 && folder.back() == kDiskSeparator && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    if (!CreateDirectories(folder)) {
        Console::Error("can't create " + folder + ": " + LastErrorText());
        return 1;
    }

    // Entries are sorted by path; of the versions of one path (entries i up to j) the one of the
    // highest chapter wins. Null when none is asked for.
    auto choose = [&](size_t i, size_t& j, uint32_t& chosenChapter) {
        const StoredEntry* chosen = nullptr;
        chosenChapter = 0;
        for (j = i; j < index.entries.size() && PathEqual(index.entries[j].path, index.entries[i].path); ++j) {
            uint32_t c = index.entries[j].chapters.HighestWithin(first, upTo);
            if (c > chosenChapter) {
                chosenChapter = c;
                chosen = &index.entries[j];
            }
        }
        return chosen && matcher.Matches(chosen->path) ? chosen : nullptr;
    };
    int64_t filesTotal = 0, bytesTotal = 0;
    uint32_t chapter = 0;
    for (size_t i = 0, j = 0; i < index.entries.size(); i = j)
        if (const StoredEntry* chosen = choose(i, j, chapter); chosen && !chosen->IsDirectory()) {
            ++filesTotal;
            bytesTotal += int64_t(chosen->size);
        }
    Progress::Phase(phase::Extract, filesTotal, bytesTotal);

    bool yesToAll = options.yesToAll;
    size_t extracted = 0, skipped = 0;
    // The files written so far, by the name the target system knows them by: two entries that
    // become one file there (case twins on Windows, "t" and "t.") must not overwrite each other.
    std::unordered_map<std::string, std::string> written;
    for (size_t i = 0; i < index.entries.size();) {
        size_t j = i;
        uint32_t chosenChapter = 0;
        const StoredEntry* chosen = choose(i, j, chosenChapter);
        if (!chosen) {
            i = j;
            continue;
        }
        // Entries of one name in the same chapter (letter case apart, or a damaged archive's
        // duplicates) become one file: the first is extracted, the others are named.
        for (size_t k = i; k < j; ++k)
            if (&index.entries[k] != chosen && index.entries[k].chapters.HighestWithin(first, upTo) == chosenChapter)
                Console::FileWarning("not extracted: " + index.entries[k].path + " (it would overwrite " + chosen->path +
                                     ", another entry of the same name)");
        i = j;
        if (StopAsked()) {
            Console::Error(StopMessage());
            return 1;
        }
        const StoredEntry& entry = *chosen;
        if (!entry.IsDirectory())
            Progress::File(entry.path, entry.size);
        std::vector<std::string> parts;
        if (!SafeComponents(entry.path, parts)) {
            Console::Error("unsafe path in the archive, not extracted: " + entry.path);
            continue;
        }
        if (!keepPaths) {
            if (entry.IsDirectory())
                continue;
            parts.erase(parts.begin(), parts.end() - 1);
        }
        std::string target = folder;
        for (const std::string& part : parts)
            target += (target.back() == kDiskSeparator ? "" : std::string(1, kDiskSeparator)) + part;
        if (entry.IsDirectory()) {
            if (!CreateDirectories(target))
                Console::Error("can't create " + target + ": " + LastErrorText());
            continue;
        }
        std::string key = TargetKey(target);
        auto earlier = written.find(key);
        if (earlier != written.end()) {
            Console::FileWarning("not extracted: " + entry.path + " (it would overwrite " + earlier->second +
                             ", extracted to the same file " + target + ")");
            continue;
        }
        FileInfo disk;
        bool exists = GetFileInfo(target, disk);
        if (exists && disk.isDirectory) {
            Console::Error("can't extract " + entry.path + ": " + target + " is a folder");
            continue;
        }
        if ((!exists && options.freshenOnly && options.rule != DateRule::None) ||
            (exists && !TargetWanted(options, entry, disk))) {
            ++skipped;
            continue;
        }
        if (exists && !Console::AskYesNo("Overwrite " + target, yesToAll)) {
            if (StopAsked()) {
                Console::Error(StopMessage());
                return 1;
            }
            ++skipped;
            continue;
        }
        size_t slash = target.find_last_of(kDiskSeparator);
        if (slash != std::string::npos && slash > 0 && !CreateDirectories(target.substr(0, slash))) {
            Console::Error("can't create " + target.substr(0, slash) + ": " + LastErrorText());
            continue;
        }
        // Declared before the file, so the file is closed before its name is removed.
        TemporaryFile temp;
        DiskFile out;
        if (!temp.Create(target, out)) {
            Console::Error("can't create a temporary file beside " + target + ": " + LastErrorText());
            continue;
        }
        std::string error, writeError;
        bool ok = true;
        if (entry.block >= 0) {
            ok = ReadBlock(source, index.blocks[size_t(entry.block)], [&](const char* data, size_t size) {
                Progress::Bytes(size);
                if (out.Write(data, size))
                    return true;
                writeError = "can't write " + temp.path + ": " +
                             (LastErrorIsDiskFull() ? std::string("the disk is full") : LastErrorText());
                return false;
            }, error);
        }
        out.Close();
        if (!ok && StopAsked()) {
            // The file being written goes with its temporary name; the finished ones stay.
            Console::Error(StopMessage());
            return 1;
        }
        if (!ok) {
            Console::Error(writeError.empty() ? entry.path + ": " + error : writeError);
            if (!writeError.empty())
                return 1;
            continue;
        }
        if (!MoveOver(temp.path, target)) {
            Console::Error("can't replace " + target + ": " + LastErrorText());
            continue;
        }
        temp.path.clear();
        written.emplace(key, entry.path);
        SetFileStamps(target, entry.modified, entry.created, entry.attributes);
        Console::Line("Extracting " + entry.path);
        ++extracted;
    }
    Progress::Close();
    Console::Line(std::to_string(extracted) + " files extracted, " + std::to_string(skipped) + " skipped");
    return 0;
}

} // namespace jar
