// a, u, f and ac: choose files on disk, decide per file against the archive's last chapter,
// compress what is new on both cores, and append it with a new index to the archive (or write
// the whole archive anew when it is new, a volume set, or would hold too much dead space).
#include <zlib.h>

#include <algorithm>
#include <thread>
#include <unordered_map>

#include "archiver/archive_writer.h"
#include "archiver/commands.h"
#include "archiver/compressor.h"
#include "archiver/console_output.h"
#include "archiver/index_codec.h"
#include "archiver/progress.h"

namespace jar {
namespace {

struct AddItem {
    std::string diskPath;
    std::string archivePath; // leading backslash
    FileInfo info;
};

struct Gatherer {
    const Options& options;
    std::string prefix; // the -o folder inside the archive: "" or "\dir"
    std::string archiveFull;
    std::vector<AddItem> items;
    std::unordered_map<std::string, size_t> seen;
    FileInfo archiveInfo, lockInfo;
    // The folders being listed, outermost first; each identified only when a link needs it.
    struct Level {
        std::string path;
        FileInfo info;
    };
    std::vector<Level> walk;

    // Joins archive-side components, dropping empty, "." and ".." ones so nothing can climb.
    static std::string CleanArchivePath(const std::string& text)
    {
        std::string path;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find_first_of("\\/", start);
            if (end == std::string::npos)
                end = text.size();
            std::string part = text.substr(start, end - start);
            if (!part.empty() && part != "." && part != ".." && part.find(':') == std::string::npos)
                path += "\\" + part;
            start = end + 1;
        }
        return path;
    }

    // Why a name found on disk cannot be stored as it is (empty when it can): the archive's
    // names must mean the same file wherever they are extracted.
    static std::string NameProblem(const std::string& name)
    {
        if (name.find(':') != std::string::npos)
            return "a ':' in a name cannot be stored";
#ifndef _WIN32
        if (name.find('\\') != std::string::npos)
            return "a '\\' in a name would become a folder level";
#endif
        if (name.find_first_not_of(". ") == std::string::npos)
            return "a name of dots and blanks only cannot be extracted";
        return {};
    }

    // The archive itself, or its hold, by another name (a link, a hard link, other letter case).
    // Only a file of the size of one of them can be it, so few files cost the look.
    bool OurOwn(const std::string& path, FileInfo& info) const
    {
        bool sized = (archiveInfo.fileId != 0 && info.size == archiveInfo.size) ||
                     (lockInfo.fileId != 0 && info.size == lockInfo.size);
        return sized && GetFileIdentity(path, info) && (SameFile(info, archiveInfo) || SameFile(info, lockInfo));
    }

    // False when the file is not stored (the caller then does not look inside it either).
    bool Add(const std::string& diskPath, const std::string& storedPart, FileInfo& info)
    {
        std::string stored = CleanArchivePath(prefix + "\\" + storedPart);
        if (stored.empty())
            return true; // the archive root itself
        for (char c : stored)
            if (static_cast<unsigned char>(c) < 0x20) {
                Console::Error("can't store a name with control characters: " + diskPath);
                return false;
            }
        std::string full = FullPath(diskPath);
        if (!info.isDirectory && (full == archiveFull || full == archiveFull + ".tmp~" || full == archiveFull + ".lck~" ||
                                  OurOwn(diskPath, info)))
            return false; // never the archive into itself
        std::string key = LowerCase(stored);
        auto found = seen.find(key);
        if (found != seen.end()) {
            const AddItem& first = items[found->second];
            if (first.archivePath != stored)
                Console::FileWarning("not stored: " + diskPath + " (its name differs only in letter case from " +
                                 first.diskPath + ", and an archive holds one of them)");
            return false;
        }
        seen[key] = items.size();
        items.push_back({diskPath, stored, info});
        Progress::Found(diskPath, info.isDirectory ? 0 : info.size);
        return true;
    }

    // A folder reached again through a link inside itself would be stored over and over. Told by
    // the folders' identities: no path text shows where a link or junction leads. Only a link
    // leads back up (a plain folder is never its own ancestor), so on Windows, where asking
    // costs an open, only a link and then its ancestors, once each, are asked.
    bool Reentered(const std::string& path, FileInfo& info)
    {
        if (info.fileId == 0 && !(info.isLink && GetFileIdentity(path, info)))
            return false;
        for (Level& ancestor : walk)
            if ((ancestor.info.fileId != 0 || GetFileIdentity(ancestor.path, ancestor.info)) &&
                SameFile(info, ancestor.info)) {
                Console::FileWarning("not stored: " + path + " (a link to a folder that holds it)");
                return true;
            }
        return false;
    }

    static std::string Leaf(const std::string& path)
    {
        size_t slash = path.find_last_of(kDiskSeparator);
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

    // The stored part of a disk path given without the \.\ marker.
    std::string StoredPartOf(const std::string& diskPath) const
    {
        if (!options.keepPaths)
            return Leaf(diskPath);
        std::string part = diskPath;
#ifdef _WIN32
        if (part.size() >= 2 && part[1] == ':')
            part = part.substr(2);
#endif
        return part;
    }

    // A name found in a folder, in the form that opens that very file.
    static std::string Child(const std::string& folder, const std::string& name)
    {
        return ExactPath(folder + (folder.back() == kDiskSeparator ? "" : std::string(1, kDiskSeparator)) + name);
    }

    // A folder's contents, recursively, stored under `storedPart`.
    void AddContents(const std::string& folder, const std::string& storedPart, const FileInfo& self)
    {
        std::vector<std::string> names;
        if (!ListDirectory(folder, names)) {
            Console::Error("can't read folder " + folder + ": " + LastErrorText());
            return;
        }
        std::sort(names.begin(), names.end());
        walk.push_back({folder, self});
        for (const std::string& name : names) {
            if (StopAsked())
                break;
            std::string path = Child(folder, name);
            FileInfo info;
            if (!GetFileInfo(path, info)) {
                Console::Error("can't open " + path + ": " + LastErrorText());
                continue;
            }
            std::string problem = NameProblem(name);
            if (!problem.empty()) {
                Console::FileWarning("not stored: " + path + " (" + problem + ")");
                continue;
            }
            if (info.isDirectory && Reentered(path, info))
                continue;
            std::string part = options.keepPaths ? storedPart + "\\" + name : name;
            if (Add(path, part, info) && info.isDirectory)
                AddContents(path, part, info);
        }
        walk.pop_back();
    }

    void AddPattern(const std::string& folder, const FileInfo& self, const std::string& pattern,
                    const std::string& storedFolder, bool& matched)
    {
        std::vector<std::string> names;
        if (!ListDirectory(folder, names))
            return;
        std::sort(names.begin(), names.end());
        walk.push_back({folder, self});
        for (const std::string& name : names) {
            std::string path = Child(folder, name);
            FileInfo info;
            if (!GetFileInfo(path, info))
                continue;
            bool wanted = WildcardMatch(pattern.c_str(), name.c_str());
            if (!wanted && !(info.isDirectory && options.recurse))
                continue;
            std::string problem = NameProblem(name);
            if (!problem.empty()) {
                Console::FileWarning("not stored: " + path + " (" + problem + ")");
                continue;
            }
            if (info.isDirectory && options.recurse && Reentered(path, info))
                continue;
            std::string part = options.keepPaths ? storedFolder + "\\" + name : name;
            if (wanted) {
                matched = true;
                if (Add(path, part, info) && info.isDirectory && options.recurse)
                    AddContents(path, part, info);
            } else {
                AddPattern(path, info, pattern, part, matched);
            }
        }
        walk.pop_back();
    }

    static bool Climbs(const std::string& part)
    {
        std::string padded = "/" + part + "/";
        return padded.find("/../") != std::string::npos || padded.find("\\..\\") != std::string::npos ||
               padded.find("/..\\") != std::string::npos || padded.find("\\../") != std::string::npos;
    }

    // One name of the command line or one line of a list file.
    void AddName(const std::string& name)
    {
        std::string path = ToDiskSeparators(name);
        std::string marker = std::string(1, kDiskSeparator) + "." + kDiskSeparator;
        size_t at = path.find(marker);
        std::string base, part;
        if (at != std::string::npos) {
            base = path.substr(0, at);
            part = path.substr(at + marker.size());
            path = part.empty() ? base : base + kDiskSeparator + part;
            if (!options.keepPaths)
                part = Leaf(part);
        } else {
            part = StoredPartOf(path);
        }
        std::string leaf = Leaf(path);
        if (HasWildcards(leaf)) {
            std::string folder = path.size() > leaf.size() ? path.substr(0, path.size() - leaf.size()) : ".";
            if (folder.size() > 1 && folder.back() == kDiskSeparator && !(folder.size() == 3 && folder[1] == ':'))
                folder.pop_back();
            std::string storedFolder = part.size() >= leaf.size() ? part.substr(0, part.size() - leaf.size()) : "";
            bool matched = false;
            folder = ExactPath(folder);
            AddPattern(folder, FileInfo(), leaf, options.keepPaths ? storedFolder : "", matched);
            if (!matched)
                Console::Warning("no file matches " + path);
            return;
        }
        // The name as typed, letter for letter: "dup." is not "dup".
        std::string diskPath = ExactPath(path);
        FileInfo info;
        if (!GetFileInfo(diskPath, info)) {
            Console::Error("can't find " + path + ": " + LastErrorText());
            return;
        }
        std::string problem = NameProblem(leaf);
        if (problem.empty() && part.find(':') != std::string::npos)
            problem = NameProblem(":");
        if (!problem.empty() && !leaf.empty() && leaf != "." && leaf != "..") {
            Console::FileWarning("not stored: " + path + " (" + problem + ")");
            return;
        }
        if (Climbs(part))
            Console::FileWarning(path + " is stored without its \"..\" levels, which an archive cannot hold");
        if (Add(diskPath, part, info) && info.isDirectory && (options.recurse || (at != std::string::npos && part.empty())))
            AddContents(diskPath, part, info);
    }
};

int64_t Seconds(int64_t stamp) { return stamp / 10000000; }

bool RuleSaysReplace(DateRule rule, const FileInfo& disk, const StoredEntry& stored)
{
    switch (rule) {
    case DateRule::Older:
        return Seconds(disk.modified) < Seconds(stored.modified);
    case DateRule::DateOrSize:
        return Seconds(disk.modified) != Seconds(stored.modified) || disk.size != stored.size;
    case DateRule::Newer:
    case DateRule::None:
        break;
    }
    return Seconds(disk.modified) > Seconds(stored.modified);
}

// Streams a file too large for memory straight into the archive; stored when deflate does not help.
bool StreamFile(const std::string& path, int level, ArchiveWriter& writer, DataBlock& block, std::string& error)
{
    DiskFile file;
    if (!file.Open(path, DiskFile::ForReading)) {
        error = "can't open " + path + ": " + LastErrorText();
        return false;
    }
    uint64_t start = writer.Position();
    std::string in(1 << 20, '\0'), out(1 << 20, '\0');
    z_stream z{};
    deflateInit2(&z, ZlibLevel(level), Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    uint32_t crc = 0;
    uint64_t size = 0;
    bool ok = true;
    for (bool end = false; !end && ok;) {
        int64_t n = file.Read(in.data(), in.size());
        if (n < 0 || StopAsked()) {
            error = StopAsked() ? StopMessage() : "can't read " + path + ": " + LastErrorText();
            ok = false;
            break;
        }
        Progress::Bytes(uint64_t(n));
        end = n == 0;
        crc = Crc32(crc, in.data(), size_t(n));
        size += uint64_t(n);
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = uInt(n);
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            deflate(&z, end ? Z_FINISH : Z_NO_FLUSH);
            if (!writer.Append(out.data(), out.size() - z.avail_out)) {
                error = writer.Error();
                ok = false;
                break;
            }
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    if (!ok) {
        writer.Rewind(start);
        return false;
    }
    block = DataBlock();
    block.offset = start;
    block.size = size;
    block.crc = crc;
    block.packedSize = writer.Position() - start;
    block.method = Method::Deflate;
    block.level = uint8_t(level);
    if (block.packedSize < size)
        return true;
    // Deflate made it larger: store the bytes as they are.
    if (!writer.Rewind(start) || !file.Seek(0)) {
        error = writer.Error();
        return false;
    }
    uint64_t copied = 0;
    crc = 0;
    for (;;) {
        int64_t n = file.Read(in.data(), in.size());
        if (n < 0 || StopAsked()) {
            error = StopAsked() ? StopMessage() : "can't read " + path + ": " + LastErrorText();
            writer.Rewind(start);
            return false;
        }
        if (n == 0)
            break;
        Progress::Bytes(0); // read a second time: no new bytes, but the records keep coming
        crc = Crc32(crc, in.data(), size_t(n));
        copied += uint64_t(n);
        if (!writer.Append(in.data(), size_t(n))) {
            error = writer.Error();
            return false;
        }
    }
    block.size = block.packedSize = copied;
    block.crc = crc;
    block.method = Method::Stored;
    block.level = 0;
    return true;
}

struct Pending {
    size_t item;
    int64_t replaces; // entry index of the version it replaces in the target chapter, or -1
};

} // namespace

int AddFiles(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    FileInfo archiveInfo;
    bool exists = GetFileInfo(options.archive, archiveInfo);
    if (exists && archiveInfo.isDirectory) {
        Console::Error(options.archive + " is a folder");
        return 1;
    }
    if (!exists && options.command == Command::Freshen) {
        Console::Error("archive not found: " + options.archive);
        return 1;
    }
    if (exists && !OpenArchive(options.archive, source, index))
        return 1;
    int64_t now = NowStamp();
    if (!exists)
        index.created = now;

    std::vector<std::string> listLines;
    if (!ReadListFiles(options.listFiles, listLines))
        return 1;
    std::string archiveComment, chapterComment;
    if (!options.archiveComment.empty() && !ReadComment(options.archiveComment, "archive", archiveComment))
        return 1;
    if (!options.chapterComment.empty() && !ReadComment(options.chapterComment, "chapter", chapterComment))
        return 1;

    Gatherer gatherer{options, Gatherer::CleanArchivePath(options.outputFolder), FullPath(options.archive), {}, {}, {}, {}, {}};
    for (auto [path, info] : {std::pair{options.archive, &gatherer.archiveInfo},
                              std::pair{LinkTarget(options.archive) + ".lck~", &gatherer.lockInfo}})
        if (GetFileInfo(path, *info) && !GetFileIdentity(path, *info))
            *info = FileInfo();
    Progress::Phase(phase::Scan, -1, -1);
    for (const std::string& name : options.names)
        if (!StopAsked())
            gatherer.AddName(name);
    for (const std::string& line : listLines)
        if (!StopAsked())
            gatherer.AddName(line);
    if (StopAsked()) {
        Console::Error(StopMessage());
        return 1;
    }
    TestPoint("read");

    uint32_t last = index.LastChapter();
    if (options.command == Command::AddChapter && last >= kLastChapterNumber) {
        Console::Error("chapter " + std::to_string(last) + " is the last one " + options.archive +
                       " can have; no chapter was added");
        return 1;
    }
    uint32_t target = options.command == Command::AddChapter ? last + 1 : std::max<uint32_t>(last, 1);
    uint32_t base = options.command == Command::AddChapter ? last : target;

    // The versions of the base chapter, by path.
    std::unordered_map<std::string, size_t> current;
    for (size_t i = 0; i < index.entries.size(); ++i)
        if (base != 0 && index.entries[i].chapters.Contains(base))
            current[LowerCase(index.entries[i].path)] = i;

    std::vector<Pending> pending;
    std::vector<StoredEntry> newDirectories;
    size_t shared = 0, skipped = 0;
    for (size_t i = 0; i < gatherer.items.size(); ++i) {
        const AddItem& item = gatherer.items[i];
        auto found = current.find(LowerCase(item.archivePath));
        StoredEntry* old = found == current.end() ? nullptr : &index.entries[found->second];
        int64_t oldIndex = old ? int64_t(found->second) : -1;
        if (options.command == Command::AddChapter) {
            bool unchanged = old && old->IsDirectory() == item.info.isDirectory &&
                             (item.info.isDirectory || (old->size == item.info.size &&
                                                        Seconds(old->modified) == Seconds(item.info.modified)));
            if (unchanged) {
                old->chapters.Add(target);
                ++shared;
                continue;
            }
            oldIndex = -1; // the old version stays in its own chapters
        } else if (options.command == Command::Freshen || options.command == Command::Update) {
            if (!old && options.command == Command::Freshen) {
                ++skipped;
                continue;
            }
            if (old && !RuleSaysReplace(options.rule, item.info, *old)) {
                ++skipped;
                continue;
            }
        } else if (old && item.info.isDirectory && old->IsDirectory()) {
            continue; // a folder already there
        }
        pending.push_back({i, oldIndex});
    }

    ArchiveWriter writer;
    std::vector<int64_t> replaced;
    for (const Pending& p : pending)
        if (p.replaces >= 0)
            replaced.push_back(p.replaces);
    bool append = exists && ShouldAppend(source, LiveBlockBytes(index, replaced, target), options) &&
                  writer.BeginAppend(options.archive, source);
    if (!append && !writer.Begin(options.archive, options.workFolder)) {
        Console::Error(writer.Error());
        return 1;
    }
    size_t oldBlockCount = index.blocks.size();
    std::vector<CompressJob> jobs;
    std::vector<size_t> jobOf(pending.size(), SIZE_MAX);
    for (size_t p = 0; p < pending.size(); ++p) {
        const AddItem& item = gatherer.items[pending[p].item];
        if (!item.info.isDirectory && item.info.size > 0) {
            jobOf[p] = jobs.size();
            jobs.push_back({item.diskPath, item.info.size});
        }
    }
    int64_t bytesTotal = 0;
    for (const CompressJob& job : jobs)
        bytesTotal += int64_t(job.size);
    Progress::Phase(phase::Compress, int64_t(pending.size()), bytesTotal);
    int threads = std::min(UsableProcessors(), 8);
    ParallelCompressor compressor(std::move(jobs), options.level, threads);
    std::vector<int64_t> dropped; // versions replaced in the target chapter
    size_t added = 0;
    for (size_t p = 0; p < pending.size(); ++p) {
        const AddItem& item = gatherer.items[pending[p].item];
        StoredEntry entry;
        entry.path = item.archivePath;
        entry.attributes = item.info.attributes | (item.info.isDirectory ? uint32_t(kAttrDirectory) : 0u);
        entry.modified = item.info.modified;
        entry.created = item.info.created;
        entry.chapters.Add(target);
        Progress::File(entry.path, jobOf[p] != SIZE_MAX ? item.info.size : 0);
        if (jobOf[p] != SIZE_MAX) {
            CompressResult result;
            compressor.Next(result);
            DataBlock block;
            std::string error;
            if (StopAsked()) {
                Console::Error(StopMessage());
                return 1;
            }
            if (!result.ok) {
                Console::Error(result.error);
                continue;
            }
            if (result.streamed) {
                if (!StreamFile(item.diskPath, options.level, writer, block, error)) {
                    Console::Error(StopAsked() ? StopMessage() : error);
                    if (StopAsked() || !writer.Error().empty())
                        return 1;
                    continue;
                }
            } else {
                block.offset = writer.Position();
                block.size = result.size;
                block.packedSize = result.data.size();
                block.crc = result.crc;
                block.method = result.method;
                block.level = result.method == Method::Deflate ? uint8_t(options.level) : 0;
                if (!writer.Append(result.data.data(), result.data.size())) {
                    Console::Error(writer.Error());
                    return 1;
                }
                Progress::Bytes(result.size);
            }
            entry.size = block.size;
            entry.block = int64_t(index.blocks.size());
            index.blocks.push_back(block);
        }
        if (pending[p].replaces >= 0)
            dropped.push_back(pending[p].replaces);
        Console::Line((pending[p].replaces >= 0 ? "Replacing " : "Adding    ") + entry.path);
        index.entries.push_back(std::move(entry));
        ++added;
    }
    if (StopAsked()) {
        Console::Error(StopMessage());
        return 1;
    }
    Progress::Close();
    // A run that stores nothing changes nothing: no empty chapter, no empty archive.
    if (added == 0 && shared == 0 && options.archiveComment.empty() && options.chapterComment.empty()) {
        writer.Abandon();
        Console::Line(std::string("Nothing to add; ") + options.archive + (exists ? " is unchanged" : " is not created"));
        return 0;
    }
    // A replaced version leaves the target chapter; it disappears when no chapter holds it.
    for (int64_t e : dropped)
        index.entries[size_t(e)].chapters.Remove(target);

    Chapter& chapter = index.AddChapter(target, now);
    chapter.modified = now;
    if (!options.chapterComment.empty())
        chapter.comment = chapterComment;
    if (!options.archiveComment.empty())
        index.comment = archiveComment;
    index.modified = now;
    if (!CopyKeptBlocks(exists ? &source : nullptr, index, oldBlockCount, writer) ||
        !writer.Finish(index, options, &source)) {
        Console::Error(StopAsked() ? StopMessage() : writer.Error());
        return 1;
    }
    Console::Line(std::to_string(added) + " added, " + std::to_string(shared) + " unchanged and shared, " +
                  std::to_string(skipped) + " skipped; chapter " + std::to_string(target) + " of " + options.archive);
    return 0;
}

} // namespace jar
