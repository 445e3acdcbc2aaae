// d, da, dc, o and t: deleting appends an index without what goes (or rewrites the archive once
// enough of it is dead), optimizing rewrites it; testing reads every block.
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "archiver/archive_writer.h"
#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/progress.h"

namespace jar {

bool CopyKeptBlocks(ArchiveSource* source, ArchiveIndex& index, size_t oldBlockCount, ArchiveWriter& writer)
{
    // A folder comes before what it holds, and versions of one path by their first chapter.
    std::vector<StoredEntry> kept;
    kept.reserve(index.entries.size());
    for (StoredEntry& e : index.entries)
        if (!e.chapters.Empty())
            kept.push_back(std::move(e));
    auto before = [](const StoredEntry& a, const StoredEntry& b) {
        if (int order = PathCompare(a.path, b.path))
            return order < 0;
        return a.chapters.First() < b.chapters.First();
    };
    // The index read is in this order already and a change adds its entries at the end: only
    // those are sorted, then merged in (as a sort of the whole would place them).
    auto tail = std::is_sorted_until(kept.begin(), kept.end(), before);
    std::stable_sort(tail, kept.end(), before);
    std::inplace_merge(kept.begin(), tail, kept.end(), before);
    std::vector<int64_t> newIndex(index.blocks.size(), -1);
    std::vector<DataBlock> blocks;
    // What is carried over, first counted for the progress records; an append carries nothing
    // (its old blocks stay where they are), but numbers the blocks as a rewrite would.
    int64_t copies = 0, copyBytes = 0;
    for (const StoredEntry& e : kept)
        if (e.block >= 0 && size_t(e.block) < oldBlockCount && newIndex[size_t(e.block)] < 0 && !writer.Appending()) {
            newIndex[size_t(e.block)] = 0;
            ++copies;
            copyBytes += int64_t(index.blocks[size_t(e.block)].packedSize);
        }
    std::fill(newIndex.begin(), newIndex.end(), -1);
    if (copies > 0)
        Progress::Phase(phase::Copy, copies, copyBytes);
    for (StoredEntry& e : kept) {
        if (e.block < 0)
            continue;
        size_t old = size_t(e.block);
        if (newIndex[old] < 0) {
            DataBlock block = index.blocks[old];
            if (old < oldBlockCount && !writer.Appending()) {
                Progress::File(e.path, block.packedSize);
                if (!writer.CopyBlock(*source, block))
                    return false;
            }
            if (StopAsked())
                return false;
            newIndex[old] = int64_t(blocks.size());
            blocks.push_back(block);
        }
        e.block = newIndex[old];
    }
    if (copies > 0)
        Progress::Close();
    index.entries = std::move(kept);
    index.blocks = std::move(blocks);
    return true;
}

namespace {
// The new index goes after the archive's data, unless the space it leaves to no one is then too
// much: then the whole archive is written anew without it. Compacting always rewrites, and
// changes nothing the archive holds, its stamp included.
bool Commit(const Options& options, ArchiveSource& source, ArchiveIndex& index, bool compact = false)
{
    ArchiveWriter writer;
    if (!compact)
        index.modified = NowStamp();
    bool append = !compact && ShouldAppend(source, LiveBlockBytes(index), options) &&
                  writer.BeginAppend(options.archive, source);
    if ((!append && !writer.Begin(options.archive, options.workFolder)) ||
        !CopyKeptBlocks(&source, index, index.blocks.size(), writer) || !writer.Finish(index, Options(), &source)) {
        Console::Error(StopAsked() ? StopMessage() : writer.Error());
        return false;
    }
    return true;
}
} // namespace

int DeleteFiles(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    std::vector<std::string> names;
    if (!ReadListFiles(options.listFiles, names))
        return 1;
    if (names.empty() && options.names.empty()) {
        Console::Error("no file named to delete");
        return 1;
    }
    NameMatcher matcher = MatcherFor(options, names, index);
    uint32_t last = index.LastChapter();
    size_t removed = 0;
    for (StoredEntry& e : index.entries) {
        bool inScope = options.command == Command::DeleteAll || (last != 0 && e.chapters.Contains(last));
        if (!inScope || !matcher.Matches(e.path))
            continue;
        if (options.command == Command::DeleteAll)
            e.chapters.SetRanges({});
        else
            e.chapters.Remove(last);
        Console::Line("Deleting " + e.path);
        ++removed;
    }
    if (removed == 0) {
        Console::Warning("no file to delete in " + options.archive);
        return 0;
    }
    if (options.command == Command::Delete)
        if (Chapter* chapter = index.FindChapter(last))
            chapter->modified = NowStamp();
    if (!Commit(options, source, index))
        return 1;
    Console::Line(std::to_string(removed) + " deleted from " + options.archive);
    return 0;
}

int DeleteChapters(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    std::vector<uint32_t> numbers;
    for (const std::string& name : options.names) {
        char* end = nullptr;
        unsigned long n = std::strtoul(name.c_str(), &end, 10);
        if (*end != '\0' || n == 0 || !index.FindChapter(uint32_t(n))) {
            Console::Error("no chapter " + name + " in " + options.archive);
            return 1;
        }
        numbers.push_back(uint32_t(n));
    }
    if (numbers.empty()) {
        Console::Error("no chapter named to delete");
        return 1;
    }
    for (uint32_t n : numbers) {
        for (StoredEntry& e : index.entries)
            e.chapters.Remove(n);
        index.chapters.erase(std::remove_if(index.chapters.begin(), index.chapters.end(),
                                            [n](const Chapter& c) { return c.number == n; }),
                             index.chapters.end());
        Console::Line("Deleting chapter " + std::to_string(n));
    }
    if (!Commit(options, source, index))
        return 1;
    Console::Line(std::to_string(numbers.size()) + " chapters deleted from " + options.archive);
    return 0;
}

int CompactArchive(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    uint64_t before = source.Size();
    if (!Commit(options, source, index, true))
        return 1;
    FileInfo after;
    uint64_t size = GetFileInfo(LinkTarget(options.archive), after) ? after.size : before;
    Console::Line(options.archive + " rewritten: " + GroupDigits(before > size ? before - size : 0) +
                  " bytes of removed data reclaimed");
    return 0;
}

int TestArchive(const Options& options)
{
    ArchiveSource source;
    ArchiveIndex index;
    if (!OpenArchive(options.archive, source, index))
        return 1;
    std::vector<std::vector<const StoredEntry*>> users(index.blocks.size());
    for (const StoredEntry& e : index.entries)
        if (e.block >= 0)
            users[size_t(e.block)].push_back(&e);
    size_t tested = 0, damaged = 0;
    int64_t bytesTotal = 0;
    for (const DataBlock& block : index.blocks)
        bytesTotal += int64_t(block.size);
    // A file of the records is a stored version: one block, whichever entries share it.
    Progress::Phase(phase::Test, int64_t(index.blocks.size()), bytesTotal);
    for (size_t b = 0; b < index.blocks.size(); ++b) {
        if (StopAsked()) {
            Console::Error(StopMessage());
            return 1;
        }
        Progress::File(users[b].empty() ? std::string() : users[b].front()->path, index.blocks[b].size);
        std::string error;
        bool ok = ReadBlock(source, index.blocks[b], [](const char*, size_t size) {
            Progress::Bytes(size);
            return true;
        }, error);
        if (!ok && StopAsked()) {
            Console::Error(StopMessage());
            return 1;
        }
        for (const StoredEntry* e : users[b]) {
            ++tested;
            if (!ok) {
                ++damaged;
                Console::Error(e->path + ": " + error);
            } else {
                Console::Line("Testing " + e->path + "  OK");
            }
        }
    }
    Progress::Close();
    if (damaged)
        return 1;
    Console::Line(std::to_string(tested) + " files tested, no error found in " + options.archive);
    return 0;
}

} // namespace jar
